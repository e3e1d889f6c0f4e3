// Where a datagram for "everyone on the printer's segment" goes: the limited
// broadcast address and the directed broadcast address of every IPv4
// network the computer is on.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "net/adapters.h"
#include "net/tv_socket.h"

namespace tvzx::net {

inline constexpr std::string_view kLimitedBroadcast = "255.255.255.255";

// Returns the dotted text of four address bytes; empty when all are 0.
std::string formatIPv4(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d);

// Returns the directed broadcast address of an entry's network (every host
// bit of its address set). Nothing for an entry that is not IPv4, has a
// zero address or mask or the mask 255.255.255.255, or whose adapter is
// down or the software loopback.
std::optional<platform::IPv4Host> directedBroadcast(const AdapterAddressEntry& entry);

// Returns broadcast-enabled sockets for the port: first the limited
// broadcast, then the directed broadcast of each entry of `entries` that has
// one, in order. A target whose socket or broadcast option fails is left
// out.
std::vector<SocketPointer> broadcastSockets(SocketLibrary& library, std::uint16_t port,
                                            const std::vector<AdapterAddressEntry>& entries);

// As above, for the system's adapters of the moment.
std::vector<SocketPointer> broadcastSockets(SocketLibrary& library, std::uint16_t port);

}  // namespace tvzx::net
