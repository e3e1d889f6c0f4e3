// The account the calling thread runs as.
#pragma once

#include <string>

namespace tvzx::platform {

// Returns the operating system's name of the user the calling thread runs
// as, in UTF-8, as the system gives it (it may carry a domain part); empty
// when it cannot be read.
std::string currentUserName();

}  // namespace tvzx::platform
