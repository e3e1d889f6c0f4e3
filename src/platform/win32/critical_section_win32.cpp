// The critical section is the system's own (InitializeCriticalSection),
// which every Windows version the driver runs on has and every thread model
// of the compiler works with.
#include "platform/critical_section.h"

#include <windows.h>

#include <new>

namespace tvzx::platform {
namespace {

CRITICAL_SECTION* sectionIn(unsigned char* storage) {
    return std::launder(reinterpret_cast<CRITICAL_SECTION*>(storage));
}

}  // namespace

CriticalSection::CriticalSection() {
    static_assert(sizeof(CRITICAL_SECTION) <= sizeof(storage_) && alignof(CRITICAL_SECTION) <= alignof(std::max_align_t));
    InitializeCriticalSection(new (storage_) CRITICAL_SECTION);
}

CriticalSection::~CriticalSection() { DeleteCriticalSection(sectionIn(storage_)); }

void CriticalSection::enter() { EnterCriticalSection(sectionIn(storage_)); }

void CriticalSection::leave() { LeaveCriticalSection(sectionIn(storage_)); }

}  // namespace tvzx::platform
