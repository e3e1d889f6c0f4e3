// The calling thread's last-error code, which the driver reads after a
// failed call. On Windows it is the system's own; elsewhere it is errno,
// the one per-thread error code that every module of the process shares.
#pragma once

#include <cstdint>

namespace tvzx::platform {

// Sets the calling thread's last-error code.
void setLastError(std::uint32_t code);

// Returns the calling thread's last-error code.
std::uint32_t lastError();

}  // namespace tvzx::platform
