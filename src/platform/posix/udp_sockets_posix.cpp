// Datagram sockets over the POSIX socket calls, getaddrinfo for names and
// getifaddrs for the adapters. Socket addresses are converted between the
// plug-in's layout and the system's structures at each call.
#include "platform/udp_sockets.h"

#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <bit>
#include <cstring>

namespace tvzx::platform {
namespace {

int nativeFamily(std::uint16_t family) {
    if (family == kFamilyIPv4) return AF_INET;
    if (family == kFamilyIPv6) return AF_INET6;
    return AF_UNSPEC;
}

// Returns the plug-in's form of a system socket address; no address for
// other families.
SocketAddress fromNative(const sockaddr* native) {
    if (native == nullptr) return {};
    if (native->sa_family == AF_INET) {
        sockaddr_in in{};
        std::memcpy(&in, native, sizeof in);
        IPv4Host host{};
        std::memcpy(host.data(), &in.sin_addr, host.size());
        return ipv4Address(host, ntohs(in.sin_port));
    }
    if (native->sa_family == AF_INET6) {
        sockaddr_in6 in6{};
        std::memcpy(&in6, native, sizeof in6);
        IPv6Host host{};
        std::memcpy(host.data(), &in6.sin6_addr, host.size());
        SocketAddress address = ipv6Address(host, ntohs(in6.sin6_port), in6.sin6_scope_id);
        std::memcpy(address.bytes.data() + kIPv6FlowOffset, &in6.sin6_flowinfo, 4);
        return address;
    }
    return {};
}

// The system's structure for one of the plug-in's addresses.
struct NativeAddress {
    sockaddr_storage storage{};
    socklen_t length = 0;
};

NativeAddress toNative(const SocketAddress& address) {
    NativeAddress native;
    if (address.isIPv4()) {
        sockaddr_in in{};
        in.sin_family = AF_INET;
        in.sin_port = htons(address.port());
        const IPv4Host host = address.ipv4();
        std::memcpy(&in.sin_addr, host.data(), host.size());
        std::memcpy(&native.storage, &in, sizeof in);
        native.length = sizeof in;
    } else if (address.isIPv6()) {
        sockaddr_in6 in6{};
        in6.sin6_family = AF_INET6;
        in6.sin6_port = htons(address.port());
        std::memcpy(&in6.sin6_flowinfo, address.bytes.data() + kIPv6FlowOffset, 4);
        const IPv6Host host = address.ipv6();
        std::memcpy(&in6.sin6_addr, host.data(), host.size());
        in6.sin6_scope_id = address.scope();
        std::memcpy(&native.storage, &in6, sizeof in6);
        native.length = sizeof in6;
    }
    return native;
}

// Returns the number of leading one bits of a network mask.
std::uint32_t prefixLengthOf(const sockaddr* mask) {
    const SocketAddress address = fromNative(mask);
    std::uint32_t length = 0;
    if (address.isIPv4()) {
        for (std::uint8_t byte : address.ipv4()) length += static_cast<std::uint32_t>(std::popcount(byte));
    } else if (address.isIPv6()) {
        for (std::uint8_t byte : address.ipv6()) length += static_cast<std::uint32_t>(std::popcount(byte));
    }
    return length;
}

// Returns the network an IPv6 address lies in: the address with its host
// bits cleared.
SocketAddress networkOf(const SocketAddress& address, const sockaddr* mask) {
    const SocketAddress maskAddress = fromNative(mask);
    SocketAddress network = ipv6Address({}, 0);
    if (!address.isIPv6() || !maskAddress.isIPv6()) return network;
    const IPv6Host host = address.ipv6();
    const IPv6Host bits = maskAddress.ipv6();
    IPv6Host masked{};
    for (std::size_t i = 0; i < masked.size(); ++i) masked[i] = static_cast<std::uint8_t>(host[i] & bits[i]);
    return ipv6Address(masked, 0);
}

AdapterRecord& adapterNamed(std::vector<AdapterRecord>& adapters, const char* name, unsigned flags) {
    for (AdapterRecord& adapter : adapters)
        if (adapter.name == name) return adapter;
    AdapterRecord adapter;
    adapter.name = name;
    // An interface that is up and has its link running is operational.
    adapter.operational = (flags & IFF_UP) != 0 && (flags & IFF_RUNNING) != 0;
    adapter.softwareLoopback = (flags & IFF_LOOPBACK) != 0;
    adapter.noMulticast = (flags & IFF_MULTICAST) == 0;
    adapters.push_back(std::move(adapter));
    return adapters.back();
}

class PosixSockets final : public SocketApi {
public:
    // POSIX sockets need no library start.
    bool startLibrary() override { return true; }
    void stopLibrary() override {}

    SocketHandle openDatagram(std::uint16_t family) override {
        const int native = nativeFamily(family);
        if (native == AF_UNSPEC) return kInvalidSocket;
        const int descriptor = socket(native, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        if (descriptor < 0) return kInvalidSocket;
        return static_cast<SocketHandle>(descriptor);
    }

    bool enableBroadcast(SocketHandle handle) override {
        const int on = 1;
        return setsockopt(static_cast<int>(handle), SOL_SOCKET, SO_BROADCAST, &on, sizeof on) == 0;
    }

    std::int64_t sendTo(SocketHandle handle, const std::uint8_t* data, std::size_t size,
                        const SocketAddress& address) override {
        const NativeAddress native = toNative(address);
        if (native.length == 0) return -1;
        // A closed peer must not end the process with a signal.
        const ssize_t sent = sendto(static_cast<int>(handle), data, size, MSG_NOSIGNAL,
                                    reinterpret_cast<const sockaddr*>(&native.storage), native.length);
        return static_cast<std::int64_t>(sent);
    }

    void close(SocketHandle handle) override {
        const int descriptor = static_cast<int>(handle);
        shutdown(descriptor, SHUT_RDWR);
        ::close(descriptor);
    }

    std::optional<std::vector<SocketAddress>> resolve(std::string_view host) override {
        const std::string name(host);
        addrinfo hints{};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_DGRAM;
        addrinfo* answers = nullptr;
        if (getaddrinfo(name.c_str(), nullptr, &hints, &answers) != 0) return std::nullopt;
        std::vector<SocketAddress> addresses;
        for (const addrinfo* answer = answers; answer != nullptr; answer = answer->ai_next) {
            SocketAddress address = fromNative(answer->ai_addr);
            if (address.size != 0) addresses.push_back(address);
        }
        freeaddrinfo(answers);
        return addresses;
    }

    std::optional<std::vector<AdapterRecord>> adapters() override {
        ifaddrs* list = nullptr;
        if (getifaddrs(&list) != 0) return std::nullopt;
        std::vector<AdapterRecord> adapters;
        for (const ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
            if (entry->ifa_name == nullptr || entry->ifa_addr == nullptr) continue;
            const SocketAddress address = fromNative(entry->ifa_addr);
            if (address.size == 0) continue;
            AdapterRecord& adapter = adapterNamed(adapters, entry->ifa_name, entry->ifa_flags);
            const std::uint32_t length = prefixLengthOf(entry->ifa_netmask);
            adapter.unicast.push_back({address, length});
            // The system lists IPv6 prefixes only through the masks of the
            // addresses; each gives one prefix.
            if (address.isIPv6()) adapter.prefixes.push_back({networkOf(address, entry->ifa_netmask), length});
        }
        freeifaddrs(list);
        return adapters;
    }
};

}  // namespace

SocketApi& systemSocketApi() {
    static PosixSockets sockets;
    return sockets;
}

}  // namespace tvzx::platform
