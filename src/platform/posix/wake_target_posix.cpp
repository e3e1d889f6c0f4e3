// The environment variable TVZX_WAKE_TO names the one address the wake-up
// goes to; test runs set it to loopback.
#include "platform/wake_target.h"

#include <cstdlib>

namespace tvzx::platform {

std::optional<std::string> wakeUpTargetOverride() {
    const char* address = std::getenv("TVZX_WAKE_TO");
    if (address == nullptr || *address == '\0') return std::nullopt;
    return std::string(address);
}

}  // namespace tvzx::platform
