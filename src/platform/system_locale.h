// What the operating system's user locale says.
#pragma once

#include <string>

namespace tvzx::platform {

// Returns the locale's paper-size value as Windows states it: "1" Letter,
// "5" Legal, "8" A3, "9" A4; empty when the system does not say.
std::string localePaperSize();

}  // namespace tvzx::platform
