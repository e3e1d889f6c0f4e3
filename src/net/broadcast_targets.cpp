#include "net/broadcast_targets.h"

namespace tvzx::net {
namespace {

constexpr platform::IPv4Host kHostMask = {0xFF, 0xFF, 0xFF, 0xFF};

// Returns a broadcast-enabled socket to the address text; null when it
// cannot be made.
SocketPointer broadcastSocket(SocketLibrary& library, std::string_view host, std::uint16_t port) {
    const TvSocket::ConstantUdpSocketParams params(port);
    SocketPointer socket = resolveSocket(library, host, params);
    if (!socket || !library.api().enableBroadcast(socket->handle())) return nullptr;
    return socket;
}

}  // namespace

std::string formatIPv4(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d) {
    if (a == 0 && b == 0 && c == 0 && d == 0) return {};
    return std::to_string(a) + '.' + std::to_string(b) + '.' + std::to_string(c) + '.' + std::to_string(d);
}

std::optional<platform::IPv4Host> directedBroadcast(const AdapterAddressEntry& entry) {
    if (!entry.address.isIPv4() || !entry.mask.isIPv4()) return std::nullopt;
    // A directed broadcast leaves through a working adapter; the loopback
    // adapter reaches no printer.
    if ((entry.flags & kAdapterOperational) == 0 || (entry.flags & kAdapterSoftwareLoopback) != 0) return std::nullopt;
    const platform::IPv4Host address = entry.address.ipv4();
    const platform::IPv4Host mask = entry.mask.ipv4();
    if (address == platform::IPv4Host{} || mask == platform::IPv4Host{} || mask == kHostMask) return std::nullopt;
    platform::IPv4Host broadcast{};
    for (std::size_t i = 0; i < broadcast.size(); ++i)
        broadcast[i] = static_cast<std::uint8_t>(address[i] | static_cast<std::uint8_t>(~mask[i]));
    return broadcast;
}

std::vector<SocketPointer> broadcastSockets(SocketLibrary& library, std::uint16_t port,
                                            const std::vector<AdapterAddressEntry>& entries) {
    std::vector<SocketPointer> sockets;
    if (SocketPointer limited = broadcastSocket(library, kLimitedBroadcast, port)) sockets.push_back(std::move(limited));
    for (const AdapterAddressEntry& entry : entries) {
        const std::optional<platform::IPv4Host> target = directedBroadcast(entry);
        if (!target) continue;
        const std::string text = formatIPv4((*target)[0], (*target)[1], (*target)[2], (*target)[3]);
        if (SocketPointer directed = broadcastSocket(library, text, port)) sockets.push_back(std::move(directed));
    }
    return sockets;
}

std::vector<SocketPointer> broadcastSockets(SocketLibrary& library, std::uint16_t port) {
    return broadcastSockets(library, port, enumerateAdapters(library.api()));
}

}  // namespace tvzx::net
