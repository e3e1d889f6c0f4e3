#include "net/socket_library.h"

#include "net/adapters.h"

namespace tvzx::net {

void SocketLibrary::acquire() {
    platform::CriticalSectionGuard guard(countSection_);
    if (users_ == 0) started_ = api_.startLibrary();
    ++users_;
}

void SocketLibrary::release() {
    platform::CriticalSectionGuard guard(countSection_);
    if (users_ == 0) return;
    --users_;
    // A start that failed is not matched by a stop: the stop would take
    // away a start that another part of the process made.
    if (users_ == 0 && started_) {
        api_.stopLibrary();
        started_ = false;
    }
}

std::uint32_t SocketLibrary::users() {
    platform::CriticalSectionGuard guard(countSection_);
    return users_;
}

bool SocketLibrary::hasIPv4Address() {
    if (answered_.load(std::memory_order_acquire)) return hasIPv4_;
    platform::CriticalSectionGuard guard(answerSection_);
    // Another thread may have answered while this one waited.
    if (!answered_.load(std::memory_order_relaxed)) {
        hasIPv4_ = holdsIPv4Address(enumerateAdapters(api_));
        answered_.store(true, std::memory_order_release);
    }
    return hasIPv4_;
}

SocketLibrary& systemSocketLibrary() {
    static SocketLibrary library(platform::systemSocketApi());
    return library;
}

}  // namespace tvzx::net
