// The user name: the user the spooler's stand-in impersonates on the
// calling thread while it renders a job for that user, else the password
// database entry of the effective user.
#include "platform/user_account.h"

#include <pwd.h>
#include <unistd.h>

#include <vector>

#include "platform/posix/standin/print_spooler.h"

namespace tvzx::platform {

std::string currentUserName() {
    if (auto impersonated = standin::impersonatedUser()) return *impersonated;
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

ScopedUserImpersonation::ScopedUserImpersonation(std::string_view user) {
    if (user.empty()) return;
    previous_ = standin::impersonatedUser();
    standin::impersonate(user);
    active_ = true;
}

ScopedUserImpersonation::~ScopedUserImpersonation() {
    if (!active_) return;
    if (previous_) standin::impersonate(*previous_);
    else standin::revertToSelf();
}

}  // namespace tvzx::platform
