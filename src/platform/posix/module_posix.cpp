// The dynamic loader knows which loaded object holds an address.
#include "platform/module_exports.h"

#include <dlfcn.h>

namespace tvzx::platform {

void* moduleHandleContaining(const void* address) {
    Dl_info info{};
    if (dladdr(address, &info) == 0) return nullptr;
    return info.dli_fbase;
}

}  // namespace tvzx::platform
