// A POSIX process has no impersonation of its own; the spooler's stand-in
// keeps the user a thread renders for, which a worker sets aside so that it
// prints as the process.
#include "platform/security_context.h"

#include <optional>
#include <string>

#include "platform/posix/standin/print_spooler.h"

namespace tvzx::platform {

// The user set aside is kept where Windows keeps the previous token.
SelfImpersonation::SelfImpersonation() {
    if (auto user = standin::impersonatedUser()) previousToken_ = new std::string(std::move(*user));
    standin::revertToSelf();
    active_ = true;
}

SelfImpersonation::~SelfImpersonation() {
    auto* user = static_cast<std::string*>(previousToken_);
    if (user == nullptr) return;
    standin::impersonate(*user);
    delete user;
}

}  // namespace tvzx::platform
