// The account the calling thread runs as.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tvzx::platform {

// Returns the operating system's name of the user the calling thread runs
// as, in UTF-8, as the system gives it (it may carry a domain part); empty
// when it cannot be read.
std::string currentUserName();

// Renders on the calling thread for this user (UTF-8) for its lifetime, as
// the spooler impersonates the user of the job a thread renders; the
// thread's previous user comes back afterwards. An empty name, or a system
// where only the user's own logon can impersonate them (Windows), leaves
// the thread as it is.
class ScopedUserImpersonation {
public:
    explicit ScopedUserImpersonation(std::string_view user);
    ~ScopedUserImpersonation();
    ScopedUserImpersonation(const ScopedUserImpersonation&) = delete;
    ScopedUserImpersonation& operator=(const ScopedUserImpersonation&) = delete;

    // Returns whether the thread renders for the user given.
    bool active() const { return active_; }

private:
    bool active_ = false;
    [[maybe_unused]] std::optional<std::string> previous_;
};

}  // namespace tvzx::platform
