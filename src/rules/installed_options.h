// The printer's installed options: the 22-byte block that the driver's user
// interface keeps in the printer data, what each byte says, and which
// settings each missing unit rules out.
//
// Block layout (bits counted from the least significant):
//   byte 0      1 when bytes 1 to 4 describe the printer; 0 when they are not
//               known, and then every unit counts as installed
//   byte 1      finishing units: bit 0 stapler, 1 punch unit, 2 folding unit,
//               3 saddle stitcher, 4 ring binder, 5 perfect binder,
//               6 trimmer, 7 square folder
//   byte 2      paper path units: bit 0 post-inserter, 1 its second tray,
//               2 third-party finisher, 3 relay unit, 4 large-capacity
//               stacker, 5 slitter, 6 creaser, 7 offset (shifting) tray
//   byte 3      hole patterns of the punch unit: bit 0 two holes, 1 three
//               holes, 2 four holes, 3 stream punch modules; 0 means every
//               pattern of the unit
//   byte 4      bit 0 duplex unit, bit 1 job storage (hold, secure, user box
//               and form jobs, proof and spool modes)
//   bytes 5, 6  reserved, 0
//   byte 7      paper-feed unit code: which of Tray3, Tray4, Tray5 and the
//               bypass tray (MBT) the printer has, as kPaperFeedUnits lists;
//               read even when byte 0 is 0
//   bytes 8-21  reserved, 0
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "rules/rule_engine.h"
#include "rules/value_sets.h"
#include "settings/field_id.h"

namespace tvzx::rules {

inline constexpr std::size_t kConfigurationGivenByte = 0;
inline constexpr std::size_t kPaperFeedUnitByte = 7;

enum class Capability : std::uint8_t {
    Stapler,
    PunchUnit,
    Folder,
    SaddleStitcher,
    RingBinder,
    PerfectBinder,
    Trimmer,
    SquareFolder,
    PostInserter,
    PostInserterTray2,
    ThirdPartyFinisher,
    RelayUnit,
    LargeStacker,
    Slitter,
    Creaser,
    OffsetTray,
    TwoHolePunch,
    ThreeHolePunch,
    FourHolePunch,
    StreamPunch,
    DuplexUnit,
    JobStorage,
    Tray3,
    Tray4,
    Tray5,
    BypassTray,
};

// One unit's bit in the block.
struct CapabilityBit {
    Capability capability;
    std::uint8_t byte;
    std::uint8_t mask;
    bool zeroByteMeansAll;  // a byte of 0 stands for every unit it describes
};

// What each paper-feed unit code provides besides Tray1 and Tray2. Codes
// above the last row provide what the last row does.
struct PaperFeedUnit {
    std::uint8_t code;
    bool tray3;
    bool tray4;
    bool tray5;
    bool bypass;
};

inline constexpr PaperFeedUnit kPaperFeedUnits[] = {
    {0, false, false, false, false},  // no paper-feed unit
    {1, true, true, true, false},     // three-tray deck
    {2, true, false, false, false},   // one large-capacity tray
    {3, true, false, false, false},   // one large-capacity tray, long paper
    {4, true, false, false, true},    // large-capacity tray and bypass
    {5, true, false, false, true},    // large-capacity tray and bypass, long paper
    {6, true, true, true, true},      // three-tray deck and bypass
};

// The printer configuration the rules consult.
struct PrinterConfig {
    InstalledOptions installed{};
};

// A setting the printer cannot honour without a unit: while the unit is
// missing, `field` holding one of `values` becomes `to`.
struct CapabilityLimit {
    Capability needs;
    settings::FieldId field;
    ValueSet values;
    Replacement to;
};

// Returns the bit of every unit the block describes by a bit.
std::span<const CapabilityBit> capabilityBits();

// Returns the settings that each missing unit rules out, in the order they are cleared.
std::span<const CapabilityLimit> capabilityLimits();

// Returns whether bytes 1 to 4 of the block describe the printer.
bool configurationGiven(const InstalledOptions& installed);

// Returns whether the printer has the unit; every unit counts as installed
// when the block does not describe the printer.
bool hasCapability(const InstalledOptions& installed, Capability capability);

// Returns what a paper-feed unit code provides.
const PaperFeedUnit& paperFeedUnit(std::uint8_t code);

// Returns whether the public settings may select this InputSlot option on a
// printer with these options, judged by the paper-feed unit code alone.
bool inputSlotFitted(const InstalledOptions& installed, std::uint32_t inputSlot);

}  // namespace tvzx::rules
