// The system's socket library as the process shares it: started with the
// first socket and stopped with the last, and the one-time answer whether
// the computer has an IPv4 address at all.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/critical_section.h"
#include "platform/udp_sockets.h"

namespace tvzx::net {

class SocketLibrary {
public:
    explicit SocketLibrary(platform::SocketApi& api) : api_(api) {}
    SocketLibrary(const SocketLibrary&) = delete;
    SocketLibrary& operator=(const SocketLibrary&) = delete;

    // Returns the socket calls this library makes.
    platform::SocketApi& api() const { return api_; }

    // Counts one more user, starting the system's library for the first.
    void acquire();
    // Counts one user less, stopping the system's library after the last
    // when this count had started it.
    void release();
    // Returns how many users hold the library.
    std::uint32_t users();

    // Returns whether some adapter holds a valid, non-zero IPv4 address,
    // asked of the system once and kept for the life of this library.
    bool hasIPv4Address();

private:
    platform::SocketApi& api_;
    platform::CriticalSection countSection_;
    std::uint32_t users_ = 0;
    bool started_ = false;
    platform::CriticalSection answerSection_;
    std::atomic<bool> answered_{false};
    bool hasIPv4_ = false;
};

// Holds one use of the library for its lifetime.
class SocketLibraryUse {
public:
    explicit SocketLibraryUse(SocketLibrary& library) : library_(library) { library_.acquire(); }
    ~SocketLibraryUse() { library_.release(); }
    SocketLibraryUse(const SocketLibraryUse&) = delete;
    SocketLibraryUse& operator=(const SocketLibraryUse&) = delete;

private:
    SocketLibrary& library_;
};

// Returns the process's library over the system's sockets.
SocketLibrary& systemSocketLibrary();

}  // namespace tvzx::net
