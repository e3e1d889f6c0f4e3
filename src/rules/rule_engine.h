// The rules engine's entry points: settings written into a record go through
// the setters, so that the settings that depend on them follow.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "settings/core_data.h"

namespace tvzx::rules {

inline constexpr std::size_t kInstalledOptionsSize = 22;
using InstalledOptions = std::array<std::uint8_t, kInstalledOptionsSize>;

// The public DEVMODE values that reach the record; each is set only when the DEVMODE carries it.
struct PublicSettings {
    std::optional<std::uint32_t> orientation;      // option index of Orientation
    std::optional<std::uint32_t> inputSlot;        // option index of InputSlot
    std::optional<std::uint32_t> pageSize;         // option index of PageSize (25 = custom)
    std::optional<std::uint32_t> customWidth;      // CustomPageSizeWidth in its stored scale
    std::optional<std::uint32_t> customHeight;
    std::optional<std::string> pageSizeName;       // PageSizeName
    std::optional<std::uint32_t> pageSizeType;     // option index of PageSizeType
    std::optional<std::uint32_t> resolution;       // option index of Resolution
    std::optional<std::uint32_t> numCopies;        // NumCopies
};

// Writes the values through the rules so dependent settings follow; returns whether the record changed.
bool applyPublicSettings(settings::CoreData& record, const PublicSettings& values, const InstalledOptions& installed,
                         settings::FieldSet* changed = nullptr);
// Sets Duplex through the rules; returns whether the record changed.
bool setDuplexThroughRules(settings::CoreData& record, bool duplex, settings::FieldSet* changed = nullptr);
// Applies the printer's installed options to a record (clears what the printer cannot do); returns whether it changed.
bool applyInstalledOptions(settings::CoreData& record, const InstalledOptions& installed,
                           settings::FieldSet* changed = nullptr);

struct DeviceInfo;
struct PrinterConfig;

// What a single change may consult besides the record.
struct RuleInputs {
    const DeviceInfo* deviceInfo = nullptr;       // paper and trays of the device; usually absent
    const PrinterConfig* printerConfig = nullptr; // installed options; absent when unknown
};

// Sets one option or number field through its setter (a field without one is
// written as it is). Returns whether the record changed.
bool setSetting(settings::CoreData& record, settings::FieldId field, std::uint32_t value,
                settings::FieldSet* changed = nullptr, const RuleInputs& inputs = {});
// Sets a text or binary field, or any field from its stored bytes, through its
// setter; bytes beyond the field are ignored and missing ones read as zero.
// Returns whether the record changed.
bool setSettingBytes(settings::CoreData& record, settings::FieldId field, std::span<const std::uint8_t> stored,
                     settings::FieldSet* changed = nullptr, const RuleInputs& inputs = {});

}  // namespace tvzx::rules
