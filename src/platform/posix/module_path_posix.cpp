// The dynamic loader names the file of the object mapped at a handle (its
// load address); the real path resolves every link.
#include "platform/module_path.h"

#include <dlfcn.h>
#include <stdlib.h>

#include "platform/path_text.h"

namespace tvzx::platform {

std::u16string modulePath(void* module) {
    if (module == nullptr) return {};
    Dl_info info{};
    // The load address lies inside the object's first mapping, so the
    // loader finds the object by it.
    if (dladdr(module, &info) == 0 || info.dli_fname == nullptr || info.dli_fname[0] == '\0') return {};
    char* resolved = realpath(info.dli_fname, nullptr);
    if (resolved == nullptr) return {};
    std::u16string path = utf16Path(resolved);
    free(resolved);
    return path;
}

// A POSIX system has no directory of system modules in the Windows sense.
std::u16string systemDirectory() { return {}; }

}  // namespace tvzx::platform
