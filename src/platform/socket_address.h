// Socket addresses in the one layout the plug-in works with, whatever the
// system: the Windows socket address structures, byte for byte. The family
// is a little-endian 16-bit number (2 for IPv4, 23 for IPv6), the port is in
// network order. IPv4: family, port, 4 address bytes, 8 zero bytes (16 in
// all). IPv6: family, port, 4 bytes of flow information, 16 address bytes,
// a little-endian 32-bit scope (28 in all). Each platform converts to its
// own structures at its calls.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "common/byte_order.h"

namespace tvzx::platform {

inline constexpr std::uint16_t kFamilyIPv4 = 2;
inline constexpr std::uint16_t kFamilyIPv6 = 23;
inline constexpr std::size_t kIPv4AddressSize = 16;
inline constexpr std::size_t kIPv6AddressSize = 28;

inline constexpr std::size_t kFamilyOffset = 0;
inline constexpr std::size_t kPortOffset = 2;
inline constexpr std::size_t kIPv4HostOffset = 4;
inline constexpr std::size_t kIPv6FlowOffset = 4;
inline constexpr std::size_t kIPv6HostOffset = 8;
inline constexpr std::size_t kIPv6ScopeOffset = 24;

using IPv4Host = std::array<std::uint8_t, 4>;
using IPv6Host = std::array<std::uint8_t, 16>;

static_assert(kIPv4HostOffset + std::tuple_size_v<IPv4Host> <= kIPv4AddressSize);
static_assert(kIPv6HostOffset + std::tuple_size_v<IPv6Host> == kIPv6ScopeOffset);
static_assert(kIPv6ScopeOffset + 4 == kIPv6AddressSize);

struct SocketAddress {
    std::array<std::uint8_t, kIPv6AddressSize> bytes{};
    // 16 for IPv4, 28 for IPv6, 0 for no address.
    std::size_t size = 0;

    // Returns the family number; 0 for no address.
    std::uint16_t family() const {
        return size == 0 ? 0 : static_cast<std::uint16_t>(readLittleEndian(bytes.data() + kFamilyOffset, 2));
    }
    // Returns the port in host order.
    std::uint16_t port() const { return static_cast<std::uint16_t>(readBigEndian(bytes.data() + kPortOffset, 2)); }
    void setPort(std::uint16_t port) { writeBigEndian(bytes.data() + kPortOffset, 2, port); }

    bool isIPv4() const { return size == kIPv4AddressSize && family() == kFamilyIPv4; }
    bool isIPv6() const { return size == kIPv6AddressSize && family() == kFamilyIPv6; }

    // Returns the IPv4 host address; meaningful only for an IPv4 address.
    IPv4Host ipv4() const {
        IPv4Host host{};
        for (std::size_t i = 0; i < host.size(); ++i) host[i] = bytes[kIPv4HostOffset + i];
        return host;
    }
    // Returns the IPv6 host address; meaningful only for an IPv6 address.
    IPv6Host ipv6() const {
        IPv6Host host{};
        for (std::size_t i = 0; i < host.size(); ++i) host[i] = bytes[kIPv6HostOffset + i];
        return host;
    }
    // Returns the IPv6 scope.
    std::uint32_t scope() const {
        return static_cast<std::uint32_t>(readLittleEndian(bytes.data() + kIPv6ScopeOffset, 4));
    }
};

// Returns the IPv4 socket address of this host and port.
inline SocketAddress ipv4Address(const IPv4Host& host, std::uint16_t port) {
    SocketAddress address;
    address.size = kIPv4AddressSize;
    writeLittleEndian(address.bytes.data() + kFamilyOffset, 2, kFamilyIPv4);
    address.setPort(port);
    for (std::size_t i = 0; i < host.size(); ++i) address.bytes[kIPv4HostOffset + i] = host[i];
    return address;
}

// Returns the IPv6 socket address of this host, port and scope.
inline SocketAddress ipv6Address(const IPv6Host& host, std::uint16_t port, std::uint32_t scope = 0) {
    SocketAddress address;
    address.size = kIPv6AddressSize;
    writeLittleEndian(address.bytes.data() + kFamilyOffset, 2, kFamilyIPv6);
    address.setPort(port);
    for (std::size_t i = 0; i < host.size(); ++i) address.bytes[kIPv6HostOffset + i] = host[i];
    writeLittleEndian(address.bytes.data() + kIPv6ScopeOffset, 4, scope);
    return address;
}

}  // namespace tvzx::platform
