// Test stand-ins for the network: a socket layer that sends nothing (it
// records what the device link asks of the system and answers from tables
// the test fills), and a receiver on the loopback interface, the only place
// a test sends real datagrams to.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <functional>
#include <map>
#include <set>

#include "platform/udp_sockets.h"

namespace tvzx::testing {

struct SentDatagram {
    platform::SocketHandle socket;
    std::vector<std::uint8_t> bytes;
    platform::SocketAddress to;
};

inline platform::SocketAddress v4(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d,
                                  std::uint16_t port = 0) {
    return platform::ipv4Address({a, b, c, d}, port);
}

// Returns "a.b.c.d:port" for an IPv4 address, "[v6]:port" for IPv6.
inline std::string textOf(const platform::SocketAddress& address) {
    if (!address.isIPv4()) return address.isIPv6() ? "[v6]:" + std::to_string(address.port()) : "none";
    const platform::IPv4Host host = address.ipv4();
    return std::to_string(host[0]) + "." + std::to_string(host[1]) + "." + std::to_string(host[2]) + "." +
           std::to_string(host[3]) + ":" + std::to_string(address.port());
}

class FakeSocketApi final : public platform::SocketApi {
public:
    bool startLibrary() override { return ++starts, true; }
    void stopLibrary() override { ++stops; }

    platform::SocketHandle openDatagram(std::uint16_t family) override {
        return refusedFamilies.count(family) != 0 ? platform::kInvalidSocket : *open.insert(nextHandle++).first;
    }
    bool enableBroadcast(platform::SocketHandle socket) override {
        if (broadcastRefused.count(socket) != 0) return false;
        return broadcastEnabled.insert(socket), true;
    }
    std::int64_t sendTo(platform::SocketHandle socket, const std::uint8_t* data, std::size_t size,
                        const platform::SocketAddress& address) override {
        if (failingSockets.count(socket) != 0) return -1;
        const std::int64_t taken = sendResult ? sendResult(size) : static_cast<std::int64_t>(size);
        if (taken > 0) sent.push_back({socket, std::vector<std::uint8_t>(data, data + taken), address});
        return taken;
    }
    void close(platform::SocketHandle socket) override { closed.push_back(socket); open.erase(socket); }
    std::optional<std::vector<platform::SocketAddress>> resolve(std::string_view host) override {
        resolved.emplace_back(host);
        const auto it = names.find(std::string(host));
        return it == names.end() ? std::nullopt : std::optional(it->second);
    }
    std::optional<std::vector<platform::AdapterRecord>> adapters() override { return adapterList; }

    // Answers numeric IPv4 texts as the resolver would.
    void knowIPv4(const std::string& text, const platform::SocketAddress& address) { names[text] = {address}; }

    int starts = 0, stops = 0;
    std::set<std::uint16_t> refusedFamilies;
    platform::SocketHandle nextHandle = 100;
    std::set<platform::SocketHandle> open, broadcastEnabled, broadcastRefused, failingSockets;
    std::vector<platform::SocketHandle> closed;
    std::function<std::int64_t(std::size_t)> sendResult;
    std::vector<SentDatagram> sent;
    std::map<std::string, std::vector<platform::SocketAddress>> names;
    std::vector<std::string> resolved;
    std::optional<std::vector<platform::AdapterRecord>> adapterList;
};

// Returns an adapter with one IPv4 address of this prefix length.
inline platform::AdapterRecord ipv4Adapter(std::string name, const platform::SocketAddress& address,
                                           std::uint32_t prefixLength, bool operational = true) {
    platform::AdapterRecord adapter;
    adapter.name = std::move(name);
    adapter.operational = operational;
    adapter.unicast = {{address, prefixLength}};
    return adapter;
}

// A datagram socket bound to a loopback address on a free port, to receive
// what the plug-in's socket sends.
class LoopbackReceiver {
public:
    explicit LoopbackReceiver(int family) {
        descriptor_ = ::socket(family, SOCK_DGRAM, 0);
        if (descriptor_ < 0) return;
        timeval timeout{2, 0};
        setsockopt(descriptor_, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
        sockaddr_storage address{};
        auto* in = reinterpret_cast<sockaddr_in*>(&address);
        auto* in6 = reinterpret_cast<sockaddr_in6*>(&address);
        address.ss_family = static_cast<sa_family_t>(family);
        if (family == AF_INET) in->sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        else in6->sin6_addr = in6addr_loopback;
        socklen_t length = family == AF_INET ? sizeof(sockaddr_in) : sizeof(sockaddr_in6);
        if (::bind(descriptor_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
            ::getsockname(descriptor_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            ::close(descriptor_);
            descriptor_ = -1;
            return;
        }
        port_ = ntohs(family == AF_INET ? in->sin_port : in6->sin6_port);
    }
    ~LoopbackReceiver() { if (descriptor_ >= 0) ::close(descriptor_); }
    bool ready() const { return descriptor_ >= 0; }
    std::uint16_t port() const { return port_; }
    // Returns the next datagram; empty after the timeout.
    std::vector<std::uint8_t> receive() {
        std::vector<std::uint8_t> buffer(2048);
        const ssize_t size = ::recv(descriptor_, buffer.data(), buffer.size(), 0);
        buffer.resize(size > 0 ? static_cast<std::size_t>(size) : 0);
        return buffer;
    }

private:
    int descriptor_ = -1;
    std::uint16_t port_ = 0;
};

}  // namespace tvzx::testing
