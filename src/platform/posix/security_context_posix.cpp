// A POSIX process has no per-thread impersonation: the worker prints with
// the process's own rights already.
#include "platform/security_context.h"

namespace tvzx::platform {

SelfImpersonation::SelfImpersonation() = default;
SelfImpersonation::~SelfImpersonation() = default;

}  // namespace tvzx::platform
