// The system's datagram sockets, name resolver and network adapter list, as
// far as the device link uses them: it only ever sends.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/socket_address.h"

namespace tvzx::platform {

// A socket handle as the system gives it, widened to the size of a pointer.
using SocketHandle = std::uintptr_t;
// The handle of no socket (all bits set, as the Windows invalid socket).
inline constexpr SocketHandle kInvalidSocket = ~SocketHandle{0};

// One unicast address of an adapter with the length of its on-link prefix
// (0 when the system does not say).
struct AdapterUnicast {
    SocketAddress address;
    std::uint32_t prefixLength = 0;
};

// One network prefix an adapter reaches.
struct AdapterPrefix {
    SocketAddress address;
    std::uint32_t length = 0;
};

// One network adapter as the system lists it.
struct AdapterRecord {
    std::string name;
    bool operational = false;
    bool softwareLoopback = false;
    bool noMulticast = false;
    std::vector<AdapterUnicast> unicast;
    std::vector<AdapterPrefix> prefixes;
};

class SocketApi {
public:
    virtual ~SocketApi() = default;
    // Starts the system's socket library for one more user. Returns whether
    // it is ready.
    virtual bool startLibrary() = 0;
    // Lets go of the socket library for one user.
    virtual void stopLibrary() = 0;
    // Returns a new datagram socket of this address family (kFamilyIPv4 or
    // kFamilyIPv6); kInvalidSocket when none can be made.
    virtual SocketHandle openDatagram(std::uint16_t family) = 0;
    // Allows the socket to send to broadcast addresses. Returns whether the
    // option was set.
    virtual bool enableBroadcast(SocketHandle socket) = 0;
    // Sends bytes as one datagram to the address. Returns how many bytes
    // went out; negative on failure.
    virtual std::int64_t sendTo(SocketHandle socket, const std::uint8_t* data, std::size_t size,
                                const SocketAddress& address) = 0;
    // Shuts the socket down for both directions and closes it.
    virtual void close(SocketHandle socket) = 0;
    // Returns the datagram addresses of a host name or numeric address, in
    // the resolver's order (port 0); nothing when resolution fails. Only
    // IPv4 and IPv6 answers are given.
    virtual std::optional<std::vector<SocketAddress>> resolve(std::string_view host) = 0;
    // Returns the computer's network adapters in the system's order;
    // nothing when they cannot be listed.
    virtual std::optional<std::vector<AdapterRecord>> adapters() = 0;
};

// Returns the sockets of the system the plug-in runs on.
SocketApi& systemSocketApi();

}  // namespace tvzx::platform
