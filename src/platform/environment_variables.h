// The process's environment variables, which the host and the tool set for
// the plug-in they load (the printer data file, the wake-up address).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tvzx::platform {

// Sets the variable for this process and the processes it starts. Returns
// whether it was set.
bool setEnvironmentVariable(std::string_view name, std::string_view value);

// Removes the variable. Returns whether it is gone.
bool removeEnvironmentVariable(std::string_view name);

// Returns the variable's value; nothing when it is not set.
std::optional<std::string> environmentVariable(std::string_view name);

}  // namespace tvzx::platform
