// The user name: TVZX_USER_NAME when a job runner names the user it prints
// for (as the spooler's user on Windows), else the password database entry
// of the effective user.
#include "platform/user_account.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

#include <vector>

namespace tvzx::platform {

std::string currentUserName() {
    if (const char* named = std::getenv("TVZX_USER_NAME"); named != nullptr && *named != '\0') return named;
    constexpr std::size_t kFallbackBufferSize = 16384;
    const long suggested = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(suggested > 0 ? static_cast<std::size_t>(suggested) : kFallbackBufferSize);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr ||
        found->pw_name == nullptr)
        return {};
    return found->pw_name;
}

}  // namespace tvzx::platform
