#include "ppd/marked_choices.h"

#include <algorithm>
#include <iterator>

#include "ppd/feature_selections.h"

namespace tvzx::ppd {
namespace {

using rules::Capability;
using settings::FieldId;
using settings::OptionTable;

constexpr std::string_view kAssign = "=";
// The first option of an on/off setting is its "off".
constexpr std::uint32_t kOff = 0;
constexpr std::uint32_t kOn = 1;
// The configuration byte's value when the block describes the printer.
constexpr std::uint8_t kConfigurationGiven = 1;

constexpr InstallableOption kInstallable[] = {
    {"ZVInstStapler", "Stapler", Capability::Stapler},
    {"ZVInstPunchUnit", "Punch unit", Capability::PunchUnit},
    {"ZVInstTwoHolePunch", "Two-hole punch", Capability::TwoHolePunch},
    {"ZVInstThreeHolePunch", "Three-hole punch", Capability::ThreeHolePunch},
    {"ZVInstFourHolePunch", "Four-hole punch", Capability::FourHolePunch},
    {"ZVInstStreamPunch", "Stream punch", Capability::StreamPunch},
    {"ZVInstFolder", "Folding unit", Capability::Folder},
    {"ZVInstSaddleStitcher", "Saddle stitcher", Capability::SaddleStitcher},
    {"ZVInstRingBinder", "Ring binder", Capability::RingBinder},
    {"ZVInstPerfectBinder", "Perfect binder", Capability::PerfectBinder},
    {"ZVInstTrimmer", "Trimmer", Capability::Trimmer},
    {"ZVInstSquareFolder", "Square folder", Capability::SquareFolder},
    {"ZVInstPostInserter", "Post-inserter", Capability::PostInserter},
    {"ZVInstInserterTray2", "Post-inserter tray 2", Capability::PostInserterTray2},
    {"ZVInstThirdPartyFinisher", "Third-party finisher", Capability::ThirdPartyFinisher},
    {"ZVInstRelayUnit", "Relay unit", Capability::RelayUnit},
    {"ZVInstLargeStacker", "Large-capacity stacker", Capability::LargeStacker},
    {"ZVInstSlitter", "Slitter", Capability::Slitter},
    {"ZVInstCreaser", "Creaser", Capability::Creaser},
    {"ZVInstOffsetTray", "Offset tray", Capability::OffsetTray},
    {"ZVInstDuplexUnit", "Duplex unit", Capability::DuplexUnit},
    {"ZVInstJobStorage", "Job storage", Capability::JobStorage},
    {"ZVInstPaperFeedUnit", "Paper-feed unit", std::nullopt},
};

// One choice per paper-feed unit code, as rules::kPaperFeedUnits lists them.
constexpr std::string_view kPaperFeedChoices[] = {
    "None", "ThreeTrayDeck", "LargeCapacityTray", "LargeCapacityTrayLong",
    "LargeCapacityTrayBypass", "LargeCapacityTrayLongBypass", "ThreeTrayDeckBypass",
};
static_assert(std::size(kPaperFeedChoices) == std::size(rules::kPaperFeedUnits));

constexpr std::string_view kFalseChoice = "False";

// Returns the PPD keyword a mapped setting selects under.
std::string_view keywordOf(const MappedSetting& setting) {
    if (setting.rule == MappingRule::Offset) return kOffsetKeyword;
    return settings::fieldDef(setting.field).options->ppdKeyword;
}

// Returns what the record selects for the keyword; empty when nothing.
std::string currentChoice(const MappedSetting& setting, const settings::CoreData& record, std::string_view keyword) {
    FeatureSelections selections;
    mapSetting(setting, record, selections, nullptr);
    const auto it = std::find_if(selections.begin(), selections.end(),
                                 [keyword](const FeatureSelection& s) { return s.keyword == keyword; });
    return it == selections.end() ? std::string() : it->option;
}

// Returns the option a choice names: the one with that PPD option, else one
// without a PPD option whose own name it is (an "Auto" that the PPD lists
// with no code).
std::optional<std::uint32_t> optionOfChoice(const MappedSetting& setting, std::string_view choice) {
    const OptionTable& table = *settings::fieldDef(setting.field).options;
    if (setting.rule == MappingRule::Offset) {
        if (choice == kTrueOption) return kOn;
        if (choice == kFalseOption) return kOff;
        return std::nullopt;
    }
    for (std::uint32_t i = 0; i < table.count(); ++i)
        if (table.entries[i].ppdOption == choice) return i;
    for (std::uint32_t i = 0; i < table.count(); ++i)
        if (table.entries[i].ppdOption.empty() && table.entries[i].name == choice) return i;
    return std::nullopt;
}

}  // namespace

ChoiceAssignments assignmentsFromChoices(const settings::CoreData& reference, const MarkedChoice& marked) {
    ChoiceAssignments result;
    for (const MappedSetting& setting : mappedSettings()) {
        const std::string_view keyword = keywordOf(setting);
        if (keyword.empty()) continue;
        const std::optional<std::string> choice = marked(keyword);
        if (!choice || *choice == currentChoice(setting, reference, keyword)) continue;
        const auto index = optionOfChoice(setting, *choice);
        if (!index) {
            result.refused = std::string(keyword) + std::string(kAssign) + *choice;
            return result;
        }
        // A choice the PPD lists without code ("Auto") may name what is set.
        if (reference.option(setting.field) == *index) continue;
        const settings::FieldDef& def = settings::fieldDef(setting.field);
        result.assignments.push_back(std::string(def.name) + std::string(kAssign) +
                                     std::string(def.options->entries[*index].name));
    }
    return result;
}

std::span<const InstallableOption> installableOptions() { return kInstallable; }

std::span<const std::string_view> paperFeedUnitChoices() { return kPaperFeedChoices; }

rules::InstalledOptions installedOptionsFromChoices(const MarkedChoice& marked) {
    rules::InstalledOptions block{};
    block[rules::kConfigurationGivenByte] = kConfigurationGiven;
    block[rules::kPaperFeedUnitByte] = static_cast<std::uint8_t>(std::size(kPaperFeedChoices) - 1);
    for (const InstallableOption& option : kInstallable) {
        const std::optional<std::string> choice = marked(option.keyword);
        if (!option.unit) {
            const auto* found = std::find(std::begin(kPaperFeedChoices), std::end(kPaperFeedChoices), choice.value_or(""));
            if (found != std::end(kPaperFeedChoices))
                block[rules::kPaperFeedUnitByte] = static_cast<std::uint8_t>(found - std::begin(kPaperFeedChoices));
            continue;
        }
        if (choice == kFalseChoice) continue;
        for (const rules::CapabilityBit& bit : rules::capabilityBits())
            if (bit.capability == *option.unit) block[bit.byte] |= bit.mask;
    }
    return block;
}

}  // namespace tvzx::ppd
