#include "platform/last_error.h"

#include <windows.h>

namespace tvzx::platform {

void setLastError(std::uint32_t code) { SetLastError(code); }

std::uint32_t lastError() { return GetLastError(); }

}  // namespace tvzx::platform
