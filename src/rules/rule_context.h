// The state of one run of the rules engine: the record being corrected, the
// setters running now, the settings that changed, and what the rules may
// consult about the device and the printer.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "rules/installed_options.h"
#include "settings/core_data.h"

namespace tvzx::rules {

// Paper sources a page exception record names: 0 is the job's own source,
// 1 to 5 Tray1 to Tray5, 6 the bypass tray, 7 and 8 the post-inserter trays.
inline constexpr std::size_t kRecordSources = 9;

// Paper and tray information of the device, as the device reported it.
struct DeviceInfo {
    std::uint32_t state = 0;                             // 1 or 2: the report is current
    std::array<bool, kRecordSources> sourceLoaded{};     // paper is loaded in the source
};

// Returns whether the device information is there and current.
constexpr bool deviceInfoUsable(const DeviceInfo* info) {
    return info != nullptr && (info->state == 1 || info->state == 2);
}

// The settings whose setters are running now, innermost last. A setting
// directly set by an entry point may stand in it twice.
class InProgress {
public:
    // Enters a setting; returns false when the list cannot grow.
    bool push(settings::FieldId field);
    // Removes the innermost entry.
    void pop();
    // Returns whether the setting is in the list.
    bool contains(settings::FieldId field) const { return depth_[static_cast<std::size_t>(field)] != 0; }
    // Returns the entries, outermost first.
    std::span<const settings::FieldId> entries() const { return {stack_.data(), size_}; }

private:
    static constexpr std::size_t kCapacity = 2 * settings::kFieldCount;
    std::array<settings::FieldId, kCapacity> stack_{};
    std::size_t size_ = 0;
    std::array<std::uint8_t, settings::kFieldCount> depth_{};
};

// One run of the engine. The snapshot is taken when the context is created.
class RuleContext {
public:
    // Without a caller's set, the context keeps the changed settings itself.
    RuleContext(settings::CoreData& record, settings::FieldSet* changed, const DeviceInfo* deviceInfo,
                const PrinterConfig* printerConfig);
    RuleContext(const RuleContext&) = delete;
    RuleContext& operator=(const RuleContext&) = delete;

    settings::CoreData* settings;
    InProgress inProgress;
    settings::FieldSet* changed;  // every setting whose value differs from the snapshot
    const DeviceInfo* deviceInfo;
    settings::CoreData snapshot;
    const PrinterConfig* printerConfig;

    // Marks a setting as changed when it differs from the snapshot, and as
    // unchanged otherwise.
    void noteWritten(settings::FieldId field);

private:
    settings::FieldSet ownChanged_;
};

}  // namespace tvzx::rules
