// A function of a system module that not every Windows version has: looked
// up by name the first time it is wanted, under a critical section with a
// done flag read before and after entering it, and kept for the life of the
// process. Only modules that stay loaded for the whole process (kernel32,
// ntdll) are looked up this way; the handle is not counted.
#pragma once

#include <windows.h>

#include <atomic>

#include "platform/critical_section.h"

namespace tvzx::platform::win32 {

template <typename Function>
class RunTimeFunction {
public:
    // `module` and `name` must outlive the object (string literals).
    RunTimeFunction(const wchar_t* module, const char* name) : module_(module), name_(name) {}
    RunTimeFunction(const RunTimeFunction&) = delete;
    RunTimeFunction& operator=(const RunTimeFunction&) = delete;

    // Returns the function; null when the module or the export is missing.
    Function get() {
        if (done_.load(std::memory_order_acquire)) return function_;
        CriticalSectionGuard guard(section_);
        // Another thread may have looked it up while this one waited.
        if (!done_.load(std::memory_order_relaxed)) {
            HMODULE module = GetModuleHandleW(module_);
            if (module != nullptr)
                function_ = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name_)));
            done_.store(true, std::memory_order_release);
        }
        return function_;
    }

private:
    const wchar_t* module_;
    const char* name_;
    CriticalSection section_;
    std::atomic<bool> done_{false};
    Function function_ = nullptr;
};

}  // namespace tvzx::platform::win32
