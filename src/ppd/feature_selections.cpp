#include "ppd/feature_selections.h"

#include <algorithm>
#include <cstddef>

namespace tvzx::ppd {
namespace {

using settings::CoreData;
using settings::FieldId;
using settings::OptionTable;

// Option names the rules look for in their tables.
constexpr std::string_view kOneStaple = "1Staple";
constexpr std::string_view kOneStapleLeft = "1StapleLeft";
constexpr std::string_view kOneStapleRight = "1StapleRight";
constexpr std::string_view kRightBinding = "Right";
constexpr std::string_view kStreamPunch = "GBCStreampunch";
constexpr std::string_view kStreamPunchCorvel = "GBCStreampunchCorvel";
constexpr std::string_view kProfileTarget = "PaperProfile";
constexpr std::string_view kAutoTarget = "Auto";
// The PPD option that both stream punches select.
constexpr std::string_view kStreamPunchOption = "GBCStreampunch";
// The first option of an on/off setting is its "off".
constexpr std::uint32_t kOff = 0;
constexpr std::uint32_t kNoProfile = 0;

constexpr FieldId kStapleFollows[] = {FieldId::Binding};
constexpr FieldId kOffsetFollows[] = {FieldId::OffsetPages};
constexpr FieldId kTargetFollows[] = {FieldId::MainPaperProfileIndex, FieldId::MainPaperProfileSize};
constexpr FieldId kDateStyleFollows[] = {FieldId::DateStamp};

// The settings with a rule of their own. The offset feature has no table of
// its own: it stands where the first of its two settings stands.
constexpr MappedSetting kOwnRules[] = {
    {FieldId::Staple, MappingRule::Staple, kStapleFollows},
    {FieldId::OffsetCopies, MappingRule::Offset, kOffsetFollows},
    {FieldId::Punch, MappingRule::Punch, {}},
    {FieldId::TargetPaperSize, MappingRule::TargetPaperSize, kTargetFollows},
    {FieldId::DateStyle, MappingRule::DateStyle, kDateStyleFollows},
    {FieldId::PIPrinterAndDeviceName, MappingRule::PrinterAndModelName, {}},
};

const OptionTable& tableOf(FieldId id) { return *settings::fieldDef(id).options; }

// Returns the option in force: an index beyond a fixed list reads as the
// table's default; an open list keeps whatever is stored.
std::uint32_t optionInForce(const CoreData& record, FieldId id) {
    const OptionTable& table = tableOf(id);
    const std::uint32_t index = record.option(id);
    return table.count() == 0 || index < table.count() ? index : table.defaultIndex;
}

bool isOption(const CoreData& record, FieldId id, std::string_view name) {
    const OptionTable& table = tableOf(id);
    const std::uint32_t index = optionInForce(record, id);
    return index < table.count() && table.entries[index].name == name;
}

// Returns the PPD option of the table's option at index (the default option's
// when the index lies beyond the list).
std::string_view ppdOptionAt(const OptionTable& table, std::uint32_t index) {
    return settings::lookupValue(table, index, settings::Column::PpdOption).text;
}

// Returns the PPD option of a named option of the table, or the default
// option's when the table has no such option.
std::string_view ppdOptionNamed(const OptionTable& table, std::string_view name) {
    return ppdOptionAt(table, table.find(name).value_or(table.defaultIndex));
}

bool append(FeatureSelections& selections, std::string_view keyword, std::string_view option) {
    if (keyword.empty() || option.empty()) return false;
    selections.push_back({std::string(keyword), std::string(option)});
    return true;
}

bool wanted(const MappedSetting& setting, const settings::FieldSet* changed) {
    if (changed == nullptr) return true;
    const auto named = [changed](FieldId id) { return changed->test(static_cast<std::size_t>(id)); };
    return named(setting.field) || std::any_of(setting.alsoFollows.begin(), setting.alsoFollows.end(), named);
}

std::string_view stapleOption(const CoreData& record) {
    const OptionTable& table = tableOf(FieldId::Staple);
    if (!isOption(record, FieldId::Staple, kOneStaple)) return ppdOptionAt(table, record.option(FieldId::Staple));
    // The staple goes into the corner of the binding edge; top binding
    // staples on the left.
    const bool right = isOption(record, FieldId::Binding, kRightBinding);
    return ppdOptionNamed(table, right ? kOneStapleRight : kOneStapleLeft);
}

std::string_view offsetOption(const CoreData& record) {
    const bool on = optionInForce(record, FieldId::OffsetCopies) != kOff ||
                    optionInForce(record, FieldId::OffsetPages) != kOff;
    return on ? kTrueOption : kFalseOption;
}

std::string_view punchOption(const CoreData& record) {
    if (isOption(record, FieldId::Punch, kStreamPunch) || isOption(record, FieldId::Punch, kStreamPunchCorvel))
        return kStreamPunchOption;
    return ppdOptionAt(tableOf(FieldId::Punch), record.option(FieldId::Punch));
}

std::string_view targetPaperOption(const CoreData& record) {
    const OptionTable& table = tableOf(FieldId::TargetPaperSize);
    if (!isOption(record, FieldId::TargetPaperSize, kProfileTarget))
        return ppdOptionAt(table, record.option(FieldId::TargetPaperSize));
    if (record.option(FieldId::MainPaperProfileIndex) == kNoProfile) return ppdOptionNamed(table, kAutoTarget);
    // The profile's size is a PageSize option; the target list holds the
    // same sizes in the same order from the first named size on.
    const std::string_view firstSize = tableOf(FieldId::PageSize).entries.front().name;
    const std::uint32_t firstNamedTarget = table.find(firstSize).value_or(table.count());
    return ppdOptionAt(table, firstNamedTarget + record.option(FieldId::MainPaperProfileSize));
}

std::string_view dateStyleOption(const CoreData& record) {
    const OptionTable& table = tableOf(FieldId::DateStyle);
    // Without a date stamp the style is the table's last option, "None".
    if (optionInForce(record, FieldId::DateStamp) == kOff && table.count() > 0)
        return ppdOptionAt(table, table.count() - 1);
    return ppdOptionAt(table, record.option(FieldId::DateStyle));
}

std::vector<MappedSetting> collectMappedSettings() {
    std::vector<MappedSetting> result;
    for (std::size_t i = 0; i < settings::kFieldCount; ++i) {
        const auto id = static_cast<FieldId>(i);
        const auto own = std::find_if(std::begin(kOwnRules), std::end(kOwnRules),
                                      [id](const MappedSetting& rule) { return rule.field == id; });
        if (own != std::end(kOwnRules)) {
            result.push_back(*own);
            continue;
        }
        const settings::FieldDef& def = settings::fieldDef(id);
        if (def.kind == settings::Kind::Option && def.options != nullptr && !def.options->ppdKeyword.empty())
            result.push_back({id, MappingRule::Option, {}});
    }
    return result;
}

}  // namespace

std::span<const MappedSetting> mappedSettings() {
    static const std::vector<MappedSetting> table = collectMappedSettings();
    return table;
}

bool mapSetting(const MappedSetting& setting, const CoreData& record, FeatureSelections& selections,
                const settings::FieldSet* changed) {
    if (!wanted(setting, changed)) return false;
    const OptionTable& table = tableOf(setting.field);
    switch (setting.rule) {
        case MappingRule::Option:
            return append(selections, table.ppdKeyword, ppdOptionAt(table, record.option(setting.field)));
        case MappingRule::Staple: return append(selections, table.ppdKeyword, stapleOption(record));
        case MappingRule::Offset: return append(selections, kOffsetKeyword, offsetOption(record));
        case MappingRule::Punch: return append(selections, table.ppdKeyword, punchOption(record));
        case MappingRule::TargetPaperSize: return append(selections, table.ppdKeyword, targetPaperOption(record));
        case MappingRule::DateStyle: return append(selections, table.ppdKeyword, dateStyleOption(record));
        case MappingRule::PrinterAndModelName: {
            const std::string_view option = ppdOptionAt(table, record.option(setting.field));
            if (!append(selections, table.ppdKeyword, option)) return false;
            return append(selections, kModelNameKeyword, option);
        }
    }
    return false;
}

void buildFeatureSelections(const CoreData& record, FeatureSelections& selections, const settings::FieldSet* changed) {
    selections.clear();
    for (const MappedSetting& setting : mappedSettings()) mapSetting(setting, record, selections, changed);
}

FeatureSelections featureSelections(const CoreData& record, const settings::FieldSet* changed) {
    FeatureSelections selections;
    buildFeatureSelections(record, selections, changed);
    return selections;
}

}  // namespace tvzx::ppd
