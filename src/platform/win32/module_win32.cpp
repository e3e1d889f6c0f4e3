// The loader's module handle of the module that holds an address.
#include "platform/module_exports.h"

#include <windows.h>

namespace tvzx::platform {

void* moduleHandleContaining(const void* address) {
    HMODULE module = nullptr;
    const DWORD flags = GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT;
    if (!GetModuleHandleExW(flags, static_cast<LPCWSTR>(address), &module)) return nullptr;
    return module;
}

}  // namespace tvzx::platform
