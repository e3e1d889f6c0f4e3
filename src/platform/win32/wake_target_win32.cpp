// The environment variable TVZX_WAKE_TO names the one address the wake-up
// goes to; test runs set it to loopback. Without it the wake-up reaches
// every network the computer is on.
#include "platform/wake_target.h"

#include <windows.h>

#include <vector>

#include "platform/win32/wide_text.h"

namespace tvzx::platform {
namespace {

constexpr const wchar_t* kWakeTargetVariable = L"TVZX_WAKE_TO";

}  // namespace

std::optional<std::string> wakeUpTargetOverride() {
    // The first call sizes the value (with its terminator), the second
    // reads it; 0 means the variable is not set.
    const DWORD needed = GetEnvironmentVariableW(kWakeTargetVariable, nullptr, 0);
    if (needed <= 1) return std::nullopt;
    std::vector<wchar_t> value(needed, L'\0');
    const DWORD length = GetEnvironmentVariableW(kWakeTargetVariable, value.data(), needed);
    if (length == 0 || length >= needed) return std::nullopt;
    std::string address = win32::utf8Of(value.data(), length);
    if (address.empty()) return std::nullopt;
    return address;
}

}  // namespace tvzx::platform
