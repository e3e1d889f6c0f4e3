// A printer driver on Windows always wakes its printer on every network the
// computer reaches.
#include "platform/wake_target.h"

namespace tvzx::platform {

std::optional<std::string> wakeUpTargetOverride() { return std::nullopt; }

}  // namespace tvzx::platform
