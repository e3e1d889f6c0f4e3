// Where the loaded module and the system's own modules live on disk.
#pragma once

#include <string>

namespace tvzx::platform {

// Returns the full path of the loaded module with this handle, in its long
// form with every link resolved; empty when the handle is null or the path
// cannot be obtained.
std::u16string modulePath(void* module);

// Returns the system directory the system's own modules are loaded from,
// without a trailing separator; empty where the system has none.
std::u16string systemDirectory();

}  // namespace tvzx::platform
