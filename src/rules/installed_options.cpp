#include "rules/installed_options.h"

#include <algorithm>
#include <iterator>
#include <string_view>

#include "settings/feature_tables.h"

namespace tvzx::rules {
namespace {

using C = Capability;
using F = settings::FieldId;

constexpr std::uint8_t kFinishingByte = 1;
constexpr std::uint8_t kPaperPathByte = 2;
constexpr std::uint8_t kHolePatternByte = 3;
constexpr std::uint8_t kEngineByte = 4;

constexpr CapabilityBit kBits[] = {
    {C::Stapler, kFinishingByte, 0x01, false},
    {C::PunchUnit, kFinishingByte, 0x02, false},
    {C::Folder, kFinishingByte, 0x04, false},
    {C::SaddleStitcher, kFinishingByte, 0x08, false},
    {C::RingBinder, kFinishingByte, 0x10, false},
    {C::PerfectBinder, kFinishingByte, 0x20, false},
    {C::Trimmer, kFinishingByte, 0x40, false},
    {C::SquareFolder, kFinishingByte, 0x80, false},
    {C::PostInserter, kPaperPathByte, 0x01, false},
    {C::PostInserterTray2, kPaperPathByte, 0x02, false},
    {C::ThirdPartyFinisher, kPaperPathByte, 0x04, false},
    {C::RelayUnit, kPaperPathByte, 0x08, false},
    {C::LargeStacker, kPaperPathByte, 0x10, false},
    {C::Slitter, kPaperPathByte, 0x20, false},
    {C::Creaser, kPaperPathByte, 0x40, false},
    {C::OffsetTray, kPaperPathByte, 0x80, false},
    {C::TwoHolePunch, kHolePatternByte, 0x01, true},
    {C::ThreeHolePunch, kHolePatternByte, 0x02, true},
    {C::FourHolePunch, kHolePatternByte, 0x04, true},
    {C::StreamPunch, kHolePatternByte, 0x08, true},
    {C::DuplexUnit, kEngineByte, 0x01, false},
    {C::JobStorage, kEngineByte, 0x02, false},
};

// Every bit lies in the described bytes, each a single bit used once, and
// neither the marker byte nor the paper-feed unit code carries one.
constexpr bool bitsAreSound() {
    for (std::size_t i = 0; i < std::size(kBits); ++i) {
        const CapabilityBit& bit = kBits[i];
        if (bit.byte == kConfigurationGivenByte || bit.byte == kPaperFeedUnitByte) return false;
        if (bit.byte >= kInstalledOptionsSize || bit.mask == 0 || (bit.mask & (bit.mask - 1)) != 0) return false;
        for (std::size_t j = i + 1; j < std::size(kBits); ++j)
            if (kBits[j].capability == bit.capability || (kBits[j].byte == bit.byte && kBits[j].mask == bit.mask))
                return false;
    }
    return true;
}
static_assert(bitsAreSound());

// Codes count up from 0 without gaps, so a code indexes its row.
constexpr bool paperFeedUnitsAreSound() {
    for (std::size_t i = 0; i < std::size(kPaperFeedUnits); ++i)
        if (kPaperFeedUnits[i].code != i) return false;
    return true;
}
static_assert(paperFeedUnitsAreSound());

constexpr CapabilityLimit kLimits[] = {
    // Finishing needs the unit that does it.
    {C::Stapler, F::Staple, allBut("None"), to("None")},
    {C::Stapler, F::OutputBin, oneOf("StaplerMain StaplerSub"), to("Auto")},
    {C::PunchUnit, F::Punch, oneOf("2Holes 3Holes 4Holes"), to("None")},
    {C::TwoHolePunch, F::Punch, oneOf("2Holes"), to("None")},
    {C::ThreeHolePunch, F::Punch, oneOf("3Holes"), to("None")},
    {C::FourHolePunch, F::Punch, oneOf("4Holes"), to("None")},
    {C::StreamPunch, F::Punch, oneOf("GBCStreampunch GBCStreampunchCorvel GBCDoubleStreampunch"), to("None")},
    {C::Folder, F::Fold, allBut("None"), to("None")},
    {C::SaddleStitcher, F::Stitch, oneOf("True"), to("False")},
    {C::RingBinder, F::RingBinding, oneOf("True"), to("False")},
    {C::PerfectBinder, F::PerfectBindMode, allBut("None"), to("None")},
    {C::Trimmer, F::Trim, oneOf("True"), to("False")},
    {C::SquareFolder, F::SquareFold, oneOf("True"), to("False")},
    {C::Slitter, F::Slit, allBut("Off"), to("Off")},
    {C::Slitter, F::PerfectBindSlit, oneOf("True"), to("False")},
    {C::Creaser, F::Crease, allBut("Off"), to("Off")},
    // Output trays of units that are not there.
    {C::ThirdPartyFinisher, F::ThirdPartyFinisherMiddleMode, oneOf("True"), to("False")},
    {C::ThirdPartyFinisher, F::OutputBin, oneOf("ThirdPartyFinisherMiddle"), to("Auto")},
    {C::RelayUnit, F::OutputBin, oneOf("RelayUnit3ASub"), to("Auto")},
    {C::LargeStacker, F::OutputBin, oneOf("OpenStacker"), to("Auto")},
    {C::OffsetTray, F::OffsetCopies, oneOf("True"), to("False")},
    {C::OffsetTray, F::OffsetPages, oneOf("True"), to("False")},
    // Covers from inserter trays that are not there.
    {C::PostInserter, F::PIFrontCoverTray, allBut("None"), to("None")},
    {C::PostInserter, F::PIBackCoverTray, allBut("None"), to("None")},
    {C::PostInserterTray2, F::PIFrontCoverTray, oneOf("PITray2"), to("None")},
    {C::PostInserterTray2, F::PIBackCoverTray, oneOf("PITray2"), to("None")},
    // Paper sources that the paper-feed unit does not provide.
    {C::Tray3, F::InputSlot, oneOf("Tray3"), to("Auto")},
    {C::Tray4, F::InputSlot, oneOf("Tray4"), to("Auto")},
    {C::Tray5, F::InputSlot, oneOf("Tray5"), to("Auto")},
    {C::BypassTray, F::InputSlot, oneOf("MBT"), to("Auto")},
    {C::Tray3, F::FrontCoverTray, oneOf("Tray3"), to("None")},
    {C::Tray4, F::FrontCoverTray, oneOf("Tray4"), to("None")},
    {C::Tray5, F::FrontCoverTray, oneOf("Tray5"), to("None")},
    {C::BypassTray, F::FrontCoverTray, oneOf("MBT"), to("None")},
    {C::Tray3, F::BackCoverTray, oneOf("Tray3"), to("None")},
    {C::Tray4, F::BackCoverTray, oneOf("Tray4"), to("None")},
    {C::Tray5, F::BackCoverTray, oneOf("Tray5"), to("None")},
    {C::BypassTray, F::BackCoverTray, oneOf("MBT"), to("None")},
    {C::Tray3, F::HeaderPage, oneOf("Tray3"), to("Auto")},
    {C::Tray4, F::HeaderPage, oneOf("Tray4"), to("Auto")},
    {C::Tray5, F::HeaderPage, oneOf("Tray5"), to("Auto")},
    {C::BypassTray, F::HeaderPage, oneOf("MBT"), to("Auto")},
    // Two-sided printing needs its unit. A stored, held, secure or proof job
    // keeps its mode without job storage: printing it at once would put a
    // confidential document on the output tray, so the printer holds or
    // refuses it instead. Only spooling, which prints at once anyway, falls back.
    {C::DuplexUnit, F::Duplex, oneOf("True"), to("False")},
    {C::JobStorage, F::PrintMode, oneOf("Spool"), to("Print")},
};

// Returns whether the paper-feed unit code provides a tray; trays 1 and 2
// and every unit that is not a tray are always there as far as the code goes.
bool paperFeedProvides(std::uint8_t code, Capability tray) {
    const PaperFeedUnit& unit = paperFeedUnit(code);
    switch (tray) {
        case C::Tray3: return unit.tray3;
        case C::Tray4: return unit.tray4;
        case C::Tray5: return unit.tray5;
        case C::BypassTray: return unit.bypass;
        default: return true;
    }
}

}  // namespace

std::span<const CapabilityBit> capabilityBits() { return kBits; }

std::span<const CapabilityLimit> capabilityLimits() { return kLimits; }

bool configurationGiven(const InstalledOptions& installed) { return installed[kConfigurationGivenByte] != 0; }

bool hasCapability(const InstalledOptions& installed, Capability capability) {
    if (!configurationGiven(installed)) return true;
    const auto bit = std::find_if(std::begin(kBits), std::end(kBits),
                                  [capability](const CapabilityBit& b) { return b.capability == capability; });
    if (bit == std::end(kBits)) return paperFeedProvides(installed[kPaperFeedUnitByte], capability);
    const std::uint8_t byte = installed[bit->byte];
    if (bit->zeroByteMeansAll && byte == 0) return true;
    return (byte & bit->mask) != 0;
}

const PaperFeedUnit& paperFeedUnit(std::uint8_t code) {
    return kPaperFeedUnits[std::min<std::size_t>(code, std::size(kPaperFeedUnits) - 1)];
}

bool inputSlotFitted(const InstalledOptions& installed, std::uint32_t inputSlot) {
    struct SlotNeed {
        std::string_view slot;
        Capability tray;
    };
    constexpr SlotNeed kSlotNeeds[] = {
        {"Tray3", C::Tray3}, {"Tray4", C::Tray4}, {"Tray5", C::Tray5}, {"MBT", C::BypassTray}};
    // An index beyond the table reads as the default source, which every printer has.
    const settings::OptionTable& slots = *settings::fieldDef(F::InputSlot).options;
    if (inputSlot >= slots.count()) return true;
    const std::string_view name = slots.entries[inputSlot].name;
    for (const SlotNeed& need : kSlotNeeds)
        if (need.slot == name) return paperFeedProvides(installed[kPaperFeedUnitByte], need.tray);
    return true;
}

}  // namespace tvzx::rules
