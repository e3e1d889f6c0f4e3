// The worker prints as the process itself: ImpersonateSelf on the calling
// thread, and at the end the thread's earlier impersonation put back
// (SetThreadToken) or, when it had none, RevertToSelf.
#include "platform/security_context.h"

#include <windows.h>

namespace tvzx::platform {

SelfImpersonation::SelfImpersonation() {
    // A thread that already impersonates a client keeps that token to
    // return to; the process's own context decides whether it may be read.
    HANDLE previous = nullptr;
    if (OpenThreadToken(GetCurrentThread(), TOKEN_IMPERSONATE, TRUE, &previous)) previousToken_ = previous;
    active_ = ImpersonateSelf(SecurityImpersonation) != FALSE;
    if (!active_ && previousToken_ != nullptr) {
        CloseHandle(previousToken_);
        previousToken_ = nullptr;
    }
}

SelfImpersonation::~SelfImpersonation() {
    if (!active_) return;
    // Putting the earlier token back ends the self impersonation as well;
    // should that fail, the thread at least drops the process's context.
    if (previousToken_ == nullptr || !SetThreadToken(nullptr, previousToken_)) RevertToSelf();
    if (previousToken_ != nullptr) CloseHandle(previousToken_);
}

}  // namespace tvzx::platform
