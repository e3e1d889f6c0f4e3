// Environment variables of the process: the system's copy, which the
// plug-in reads with GetEnvironmentVariableW and child processes inherit,
// and the C library's copy, which getenv reads; both are kept the same.
#include "platform/environment_variables.h"

#include <windows.h>

#include <cstdlib>

#include "platform/win32/wide_text.h"

namespace tvzx::platform {

bool setEnvironmentVariable(std::string_view name, std::string_view value) {
    const std::wstring wideName = win32::wideOfUtf8(name);
    const std::wstring wideValue = win32::wideOfUtf8(value);
    if (wideName.empty() || wideName.find(L'=') != std::wstring::npos) return false;
    // The C library's copy cannot hold an empty value; the system's can.
    if (!wideValue.empty() && _wputenv_s(wideName.c_str(), wideValue.c_str()) != 0) return false;
    return SetEnvironmentVariableW(wideName.c_str(), wideValue.c_str()) != 0;
}

bool removeEnvironmentVariable(std::string_view name) {
    const std::wstring wideName = win32::wideOfUtf8(name);
    if (wideName.empty()) return false;
    // An empty value removes the variable from the C library's copy.
    _wputenv_s(wideName.c_str(), L"");
    return SetEnvironmentVariableW(wideName.c_str(), nullptr) != 0 || GetLastError() == ERROR_ENVVAR_NOT_FOUND;
}

std::optional<std::string> environmentVariable(std::string_view name) {
    const std::wstring wideName = win32::wideOfUtf8(name);
    if (wideName.empty()) return std::nullopt;
    // The first call tells the size with the terminating NUL; a variable
    // that changes in between is asked for again.
    std::wstring value;
    SetLastError(ERROR_SUCCESS);
    for (DWORD size = GetEnvironmentVariableW(wideName.c_str(), nullptr, 0); size != 0;) {
        value.assign(size, L'\0');
        const DWORD length = GetEnvironmentVariableW(wideName.c_str(), value.data(), size);
        if (length < size) return win32::utf8Of(value.data(), length);
        size = length;
    }
    // A size of 0 is an absent variable, or an empty one.
    if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
    return std::string();
}

}  // namespace tvzx::platform
