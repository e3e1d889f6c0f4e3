// The user name of the calling thread as Windows gives it.
#include "platform/user_account.h"

#include <windows.h>

namespace tvzx::platform {

std::string currentUserName() {
    // A user name has at most 256 characters, plus the terminator.
    constexpr DWORD kNameCapacity = 257;
    wchar_t name[kNameCapacity] = {};
    DWORD length = kNameCapacity;
    if (!GetUserNameW(name, &length)) return {};
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, name, -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 1) return {};
    std::string result(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, name, -1, result.data(), bytes, nullptr, nullptr);
    result.resize(static_cast<std::size_t>(bytes) - 1);
    return result;
}

}  // namespace tvzx::platform
