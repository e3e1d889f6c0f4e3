// The critical section is a slim reader/writer lock taken exclusively: it
// needs no clean-up and works under every thread model of the compiler.
#include "platform/critical_section.h"

#include <windows.h>

#include <new>

namespace tvzx::platform {
namespace {

SRWLOCK* lockIn(unsigned char* storage) { return std::launder(reinterpret_cast<SRWLOCK*>(storage)); }

}  // namespace

CriticalSection::CriticalSection() {
    static_assert(sizeof(SRWLOCK) <= sizeof(storage_) && alignof(SRWLOCK) <= alignof(std::max_align_t));
    InitializeSRWLock(new (storage_) SRWLOCK);
}

CriticalSection::~CriticalSection() = default;

void CriticalSection::enter() { AcquireSRWLockExclusive(lockIn(storage_)); }

void CriticalSection::leave() { ReleaseSRWLockExclusive(lockIn(storage_)); }

}  // namespace tvzx::platform
