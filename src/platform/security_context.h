// The security context a tab worker prints under.
#pragma once

namespace tvzx::platform {

// Impersonates the process's own security context on the calling thread for
// its lifetime, so that a worker thread prints with the rights the process
// has; does nothing where the system has no impersonation.
class SelfImpersonation {
public:
    SelfImpersonation();
    ~SelfImpersonation();
    SelfImpersonation(const SelfImpersonation&) = delete;
    SelfImpersonation& operator=(const SelfImpersonation&) = delete;

    // Returns whether the impersonation is in force.
    bool active() const { return active_; }

private:
    bool active_ = false;
    // The impersonation the thread had before, put back at the end; null
    // when it had none (or the system has no impersonation).
    [[maybe_unused]] void* previousToken_ = nullptr;
};

}  // namespace tvzx::platform
