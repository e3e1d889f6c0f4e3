// Where this system lets the printer wake-up go.
#pragma once

#include <optional>
#include <string>

namespace tvzx::platform {

// Returns the one address the wake-up must be sent to instead of the
// broadcast targets of the computer's networks; nothing when the wake-up
// broadcasts as usual. On a development or test system this keeps every
// wake-up datagram on a chosen address (loopback in tests and CI).
std::optional<std::string> wakeUpTargetOverride();

}  // namespace tvzx::platform
