// The critical section is a standard mutex where the threads are POSIX ones.
#include "platform/critical_section.h"

#include <mutex>
#include <new>

namespace tvzx::platform {
namespace {

std::mutex& mutexIn(unsigned char* storage) { return *std::launder(reinterpret_cast<std::mutex*>(storage)); }

}  // namespace

CriticalSection::CriticalSection() {
    static_assert(sizeof(std::mutex) <= sizeof(storage_) && alignof(std::mutex) <= alignof(std::max_align_t));
    new (storage_) std::mutex();
}

CriticalSection::~CriticalSection() { mutexIn(storage_).~mutex(); }

void CriticalSection::enter() { mutexIn(storage_).lock(); }

void CriticalSection::leave() { mutexIn(storage_).unlock(); }

}  // namespace tvzx::platform
