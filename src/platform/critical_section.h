// A lock for the process-wide state that several threads may reach at
// once: the socket library's start count and one-time answers.
#pragma once

#include <cstddef>

namespace tvzx::platform {

class CriticalSection {
public:
    CriticalSection();
    ~CriticalSection();
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;

    // Waits until the calling thread holds the section.
    void enter();
    // Lets the next waiting thread in.
    void leave();

private:
    // Room for the system's lock object, which each platform constructs in
    // place (its size is checked there).
    alignas(std::max_align_t) unsigned char storage_[64];
};

// Holds a critical section for the lifetime of the guard.
class CriticalSectionGuard {
public:
    explicit CriticalSectionGuard(CriticalSection& section) : section_(section) { section_.enter(); }
    ~CriticalSectionGuard() { section_.leave(); }
    CriticalSectionGuard(const CriticalSectionGuard&) = delete;
    CriticalSectionGuard& operator=(const CriticalSectionGuard&) = delete;

private:
    CriticalSection& section_;
};

}  // namespace tvzx::platform
