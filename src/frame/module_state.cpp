#include "frame/module_state.h"

#include <atomic>
#include <thread>

namespace tvzx::frame {
namespace {

std::atomic<void*> savedModuleHandle{nullptr};
std::atomic<std::int32_t> serverLocks{0};
// Written by the dispatcher and the tab logic, read by the unload check;
// relaxed order is enough for a flag that only delays the answer.
std::atomic<std::uint8_t> tabDocument{0};

}  // namespace

void captureModuleHandle(void* handle) {
    void* expected = nullptr;
    savedModuleHandle.compare_exchange_strong(expected, handle);
}

void* moduleHandle() { return savedModuleHandle.load(); }

std::int32_t lockServer(bool lock) {
    return lock ? serverLocks.fetch_add(1) + 1 : serverLocks.fetch_sub(1) - 1;
}

std::int32_t serverLockCount() { return serverLocks.load(); }

bool tabDocumentActive() { return tabDocument.load(std::memory_order_relaxed) != 0; }

void setTabDocumentActive(bool active) { tabDocument.store(active ? 1 : 0, std::memory_order_relaxed); }

win::HRESULT canUnloadNow() {
    if (tabDocumentActive()) std::this_thread::sleep_for(kTabDocumentUnloadPause);
    return serverLockCount() != 0 ? win::S_FALSE : win::S_OK;
}

}  // namespace tvzx::frame
