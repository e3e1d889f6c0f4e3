#include "platform/last_error.h"

#include <cerrno>

namespace tvzx::platform {

void setLastError(std::uint32_t code) { errno = static_cast<int>(code); }

std::uint32_t lastError() { return static_cast<std::uint32_t>(errno); }

}  // namespace tvzx::platform
