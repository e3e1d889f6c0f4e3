#include "device/module_state.h"

#include <atomic>
#include <thread>

#include "device/device_state.h"

namespace tvzx::device {
namespace {

std::atomic<std::int32_t> serverLocks{0};
// Devices whose job is a tab document or carries tab sheets: counted by the
// dispatcher and the tab logic, uncounted when the device is disabled, read
// by the unload check. Relaxed order is enough for a count that only delays
// the answer.
std::atomic<std::int32_t> tabDocumentDevices{0};

}  // namespace

std::int32_t lockServer(bool lock) {
    return lock ? serverLocks.fetch_add(1) + 1 : serverLocks.fetch_sub(1) - 1;
}

std::int32_t serverLockCount() { return serverLocks.load(); }

bool tabDocumentActive() { return tabDocumentDevices.load(std::memory_order_relaxed) > 0; }

void setTabDocumentActive(bool active) { tabDocumentDevices.store(active ? 1 : 0, std::memory_order_relaxed); }

void markTabDocument(DeviceState& state) {
    if (state.tabDocument != 0) return;
    state.tabDocument = 1;
    tabDocumentDevices.fetch_add(1, std::memory_order_relaxed);
}

void endTabDocument(DeviceState& state) {
    if (state.tabDocument == 0) return;
    state.tabDocument = 0;
    // A count cleared meanwhile stays at zero.
    std::int32_t count = tabDocumentDevices.load(std::memory_order_relaxed);
    while (count > 0 && !tabDocumentDevices.compare_exchange_weak(count, count - 1, std::memory_order_relaxed)) {
    }
}

win::HRESULT canUnloadNow() {
    if (tabDocumentActive()) std::this_thread::sleep_for(kTabDocumentUnloadPause);
    return serverLockCount() != 0 ? win::S_FALSE : win::S_OK;
}

}  // namespace tvzx::device
