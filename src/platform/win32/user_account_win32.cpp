// The user name of the calling thread as Windows gives it (GetUserNameW:
// the thread's impersonated user when it impersonates one).
#include "platform/user_account.h"

#include <windows.h>

#include <vector>

#include "platform/win32/wide_text.h"

namespace tvzx::platform {
namespace {

// A user name has at most 256 characters, plus the terminator.
constexpr DWORD kNameCapacity = 257;

}  // namespace

std::string currentUserName() {
    std::vector<wchar_t> name(kNameCapacity, L'\0');
    DWORD length = kNameCapacity;
    if (!GetUserNameW(name.data(), &length)) {
        // A longer name than expected: the call said how much room it needs.
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || length <= kNameCapacity) return {};
        name.assign(length, L'\0');
        if (!GetUserNameW(name.data(), &length)) return {};
    }
    // The length counts the terminator.
    if (length <= 1 || length > name.size()) return {};
    return win32::utf8Of(name.data(), length - 1);
}

}  // namespace tvzx::platform

namespace tvzx::platform {

// A user's token comes only with that user's logon, which a host of a test
// job does not have: the thread stays as it is.
ScopedUserImpersonation::ScopedUserImpersonation(std::string_view) {}
ScopedUserImpersonation::~ScopedUserImpersonation() = default;

}  // namespace tvzx::platform
