// The computer's network adapters as the device link sees them: one entry
// per unicast IPv4 or IPv6 address, with the network mask of that address.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/socket_address.h"
#include "platform/udp_sockets.h"

namespace tvzx::net {

// Entry flags.
inline constexpr std::uint32_t kAdapterOperational = 0x01;
inline constexpr std::uint32_t kAdapterSoftwareLoopback = 0x04;
inline constexpr std::uint32_t kAdapterMulticast = 0x10;
// The longest adapter name an entry keeps.
inline constexpr std::size_t kAdapterNameLimit = 512;
inline constexpr std::uint32_t kIPv4PrefixBits = 32;
inline constexpr std::uint32_t kIPv6PrefixBits = 128;

struct AdapterAddressEntry {
    std::string adapterName;
    std::uint32_t flags = 0;
    platform::SocketAddress address;
    // An address of the same family holding the network mask.
    platform::SocketAddress mask;
};

// Returns the IPv4 mask of this many leading one bits (at most 32).
platform::IPv4Host ipv4Mask(std::uint32_t prefixLength);
// Returns the IPv6 mask of this many leading one bits (at most 128).
platform::IPv6Host ipv6Mask(std::uint32_t prefixLength);

// Returns the entries of the adapters, in adapter order and within an
// adapter in address order. An IPv4 mask comes from the prefix length the
// system gives for the address; an IPv6 mask from the adapter's first IPv6
// prefix with a non-zero length and a non-zero address (none: a zero mask).
std::vector<AdapterAddressEntry> adapterEntries(const std::vector<platform::AdapterRecord>& adapters);

// Returns the entries of the system's adapters; none when they cannot be
// listed.
std::vector<AdapterAddressEntry> enumerateAdapters(platform::SocketApi& api);

// Returns whether some entry holds a non-zero IPv4 address.
bool holdsIPv4Address(const std::vector<AdapterAddressEntry>& entries);

}  // namespace tvzx::net
