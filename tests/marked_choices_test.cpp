// The PPD choices a print system marks, read back into the job settings, and
// the printer's installable options into the installed-options block.
#include <gtest/gtest.h>

#include <algorithm>

#include "ppd/feature_selections.h"
#include "ppd/marked_choices.h"
#include "settings/settings_lines.h"

namespace tvzx::ppd {
namespace {

using namespace settings;

MarkedChoice choicesOf(const std::map<std::string, std::string, std::less<>>& marked) {
    return [marked](std::string_view keyword) -> std::optional<std::string> {
        const auto it = marked.find(keyword);
        return it == marked.end() ? std::nullopt : std::optional(it->second);
    };
}

MarkedChoice selectionsOf(const CoreData& record) {
    std::map<std::string, std::string, std::less<>> marked;
    for (const FeatureSelection& selection : featureSelections(record)) marked.emplace(selection.keyword, selection.option);
    return choicesOf(marked);
}

CoreData applied(const ChoiceAssignments& result) {
    CoreData record = settings::defaultRecord();
    for (const std::string& assignment : result.assignments) EXPECT_EQ(settings::applySetting(record, assignment), std::nullopt) << assignment;
    return record;
}

// The selections as "Keyword=Option" lines, which show well in a failure.
std::string lines(const FeatureSelections& selections) {
    std::string out;
    for (const FeatureSelection& selection : selections) out += selection.keyword + "=" + selection.option + "\n";
    return out;
}

// Whether the option is the first of its table with its PPD option: options
// that share one (or have none) cannot be told apart in a PPD.
bool ownPpdOption(const settings::OptionTable& table, std::uint32_t index) {
    const std::string_view option = table.entries[index].ppdOption;
    return !option.empty() && std::none_of(table.entries.begin(), table.entries.begin() + index,
                                           [&](const auto& entry) { return entry.ppdOption == option; });
}

TEST(MarkedChoices, SettingsAndInstalledOptionsFromTheMarkedChoices) {
    // Each option of each mapped setting, the others at their defaults: the
    // selections it writes, marked, give back settings with the same selections.
    for (const MappedSetting& setting : mappedSettings()) {
        const settings::OptionTable& table = *settings::fieldDef(setting.field).options;
        for (std::uint32_t i = 0; i < table.count(); ++i) {
            if (!ownPpdOption(table, i)) continue;
            CoreData record = settings::defaultRecord();
            record.setOption(setting.field, i);
            const ChoiceAssignments result = assignmentsFromChoices(settings::defaultRecord(), selectionsOf(record));
            ASSERT_FALSE(result.refused) << *result.refused;
            EXPECT_EQ(lines(featureSelections(applied(result))), lines(featureSelections(record)))
                << settings::fieldDef(setting.field).name << " option " << table.entries[i].name;
        }
    }
    // Defaults give nothing; choices name their settings.
    EXPECT_TRUE(assignmentsFromChoices(settings::defaultRecord(), selectionsOf(settings::defaultRecord())).assignments.empty());
    const ChoiceAssignments result = assignmentsFromChoices(
        settings::defaultRecord(), choicesOf({{"ZVStaple", "1Staple(Right)"}, {"ZVOffset", "True"}, {"InputSlot", "Auto"},
                                              {"ZVPunch", "GBCStreampunch"}, {"ZVLayout", "Booklet"}}));
    EXPECT_EQ(result.assignments, (std::vector<std::string>{"Layout=Booklet", "Staple=1StapleRight", "Punch=GBCStreampunch",
                                                            "OffsetCopies=True"}));
    EXPECT_EQ(assignmentsFromChoices(settings::defaultRecord(), choicesOf({{"ZVStaple", "Bogus"}})).refused, "ZVStaple=Bogus");
    // Installable options give the installed-options block.
    // Nothing marked: a described printer with every unit and the fullest
    // paper-feed unit.
    const rules::InstalledOptions all = installedOptionsFromChoices(choicesOf({}));
    EXPECT_EQ(all, (rules::InstalledOptions{1, 0xFF, 0xFF, 0x0F, 0x03, 0, 0, 6}));
    const rules::InstalledOptions some = installedOptionsFromChoices(
        choicesOf({{"ZVInstStapler", "False"}, {"ZVInstOffsetTray", "False"}, {"ZVInstThreeHolePunch", "False"},
                   {"ZVInstJobStorage", "False"}, {"ZVInstPaperFeedUnit", "LargeCapacityTray"}}));
    EXPECT_EQ(some, (rules::InstalledOptions{1, 0xFE, 0x7F, 0x0D, 0x01, 0, 0, 2}));
}

}  // namespace
}  // namespace tvzx::ppd
