// State the loaded module keeps for the whole process: the server lock count
// and whether a tab document is being produced.
#pragma once

#include <chrono>
#include <cstdint>

#include "platform/com_abi.h"

namespace tvzx::device {

// Changes the server lock count: up when lock is true, else down. Returns
// the new count.
std::int32_t lockServer(bool lock);
// Returns the server lock count.
std::int32_t serverLockCount();

struct DeviceState;

// Returns whether a job of the process is a tab document or carries tab
// sheets, and its device is still enabled.
bool tabDocumentActive();
// Sets the tab-document state of the whole process: one such job, or none.
void setTabDocumentActive(bool active);
// Counts the device's job as a tab document or one with tab sheets; a device
// is counted once.
void markTabDocument(DeviceState& state);
// Ends the count of the device's job, when it was counted.
void endTabDocument(DeviceState& state);

// How long the unload check waits while a tab document is active, so that
// its worker can finish with the module.
inline constexpr std::chrono::milliseconds kTabDocumentUnloadPause{100};

// Answers whether the module may be unloaded: S_FALSE while the server is
// locked, S_OK otherwise. Live objects are not counted. Pauses first while a
// tab document is active.
win::HRESULT canUnloadNow();

}  // namespace tvzx::device
