// Environment variables through the C library's setenv and unsetenv.
#include "platform/environment_variables.h"

#include <cstdlib>

namespace tvzx::platform {

bool setEnvironmentVariable(std::string_view name, std::string_view value) {
    return ::setenv(std::string(name).c_str(), std::string(value).c_str(), 1) == 0;
}

bool removeEnvironmentVariable(std::string_view name) { return ::unsetenv(std::string(name).c_str()) == 0; }

std::optional<std::string> environmentVariable(std::string_view name) {
    const char* value = std::getenv(std::string(name).c_str());
    if (value == nullptr) return std::nullopt;
    return std::string(value);
}

}  // namespace tvzx::platform
