#include "common/module_handle.h"

#include <atomic>

namespace tvzx {
namespace {

std::atomic<void*> savedModuleHandle{nullptr};

}  // namespace

void captureModuleHandle(void* handle) {
    void* expected = nullptr;
    savedModuleHandle.compare_exchange_strong(expected, handle);
}

void* moduleHandle() { return savedModuleHandle.load(); }

}  // namespace tvzx
