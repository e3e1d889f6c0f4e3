// The plug-in's state for one driver instance (PDEV): the driver's own DDI
// functions behind the hooks, the progress of the current job and the
// settings captured at its start.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>

#include "device/job_settings.h"
#include "platform/com_abi.h"
#include "settings/core_data.h"
#include "settings/private_block.h"

namespace tvzx::device {

// Number of DDI functions the plug-in hooks.
inline constexpr std::size_t kHookCount = 27;
// Capacity of the kept document name, its terminating NUL included.
inline constexpr std::size_t kDocumentNameCapacity = 512;

struct DeviceState {
    // The driver's own function for each slot of the hook table; null where
    // the driver has none.
    std::array<win::PFN, kHookCount> driverFunctions{};
    // Pages set up so far in the current job.
    std::uint64_t pageCounter = 0;
    // Set while a tab sheet printed on the current page still needs its
    // interpreter state restored.
    std::uint8_t restorePending = 0;
    // The name given at document start, NUL-terminated; all zero when none.
    std::array<char16_t, kDocumentNameCapacity> documentName{};
    std::uint32_t bitmapWidth = 0;
    std::uint32_t bitmapHeight = 0;
    // Spooler job id given at document start; 0 when unknown.
    std::uint32_t jobId = 0;
    // Document starts not yet matched by a document end.
    std::uint64_t documentStartCount = 0;
    // Whether a private DEVMODE block was attached at the first document start.
    std::uint8_t privateDevmodePresent = 0;
    // The settings of the job: defaults until the first document start.
    settings::CoreData settings;
    // Whether the job was counted as a tab document or one with tab sheets.
    std::uint8_t tabDocument = 0;
    // The settings the output works from, kept between driver calls.
    JobSettingsCache jobSettings;
};

// Returns a fresh state: zeroed, with the default settings.
std::unique_ptr<DeviceState> makeDeviceState();

// Returns the device state the device object carries; null when there is no
// device object or no state.
inline DeviceState* deviceStateOf(const win::DEVOBJ* devObj) {
    return devObj != nullptr ? static_cast<DeviceState*>(devObj->pdevOEM) : nullptr;
}

// Returns the device object behind a surface; null when there is none.
inline win::DEVOBJ* deviceObjectOf(const win::SURFOBJ* surface) {
    return surface != nullptr ? static_cast<win::DEVOBJ*>(surface->dhpdev) : nullptr;
}

// Returns the device object behind a device handle of the font and colour
// calls; null when there is none.
inline win::DEVOBJ* deviceObjectOf(win::DHPDEV device) { return static_cast<win::DEVOBJ*>(device); }

// Returns the plug-in's private DEVMODE block of the device object, whose
// size the plug-in itself gave the driver; empty when there is none.
std::span<std::uint8_t> privateBlockOf(const win::DEVOBJ* devObj);

// Returns the settings record of a private block that passes the full check
// (size, signature, schema hash, extension); null otherwise.
settings::CoreData* currentBlockRecord(std::span<std::uint8_t> block);

// The fields that choose how the job is output: print mode, output method
// and the secure-print identity, in this order.
inline constexpr std::array<settings::FieldId, 4> kOutputFields = {
    settings::FieldId::PrintMode, settings::FieldId::OutputMethod, settings::FieldId::WaitModeSecurePrintId,
    settings::FieldId::WaitModePassword};

// The fields that identify who prints the job and where it goes.
inline constexpr std::array<settings::FieldId, 12> kIdentityFields = {
    settings::FieldId::AccountTrack,
    settings::FieldId::AccountTrackDepartmentName,
    settings::FieldId::AccountTrackPassword,
    settings::FieldId::UserAuthenticationUserName,
    settings::FieldId::UserAuthenticationPassword,
    settings::FieldId::PrintMode,
    settings::FieldId::OutputMethod,
    settings::FieldId::OutputMethodFolderName,
    settings::FieldId::OutputMethodFolderNamePassword,
    settings::FieldId::OutputMethodUserBoxName,
    settings::FieldId::WaitModeSecurePrintId,
    settings::FieldId::WaitModePassword};

// Returns the set of the output fields.
const settings::FieldSet& outputFieldSet();
// Returns the set of the identity fields.
const settings::FieldSet& identityFieldSet();

}  // namespace tvzx::device
