// tvzx wake: sends the printer wake-up for a hardware address, as the
// plug-in does at document start, to the broadcast targets of this
// computer's networks or to one given address.
#include <charconv>
#include <optional>
#include <string>
#include <vector>

#include "commands.h"
#include "net/broadcast_targets.h"
#include "net/mac_address.h"
#include "net/wake_up.h"

namespace tvzx::cli {
namespace {

struct WakeOptions {
    std::optional<std::string> mac;
    std::optional<std::string> to;
    std::optional<std::uint16_t> port;
};

std::uint16_t portOf(const std::string& text) {
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value == 0 || value > 0xFFFF)
        throw UsageError("--port: '" + text + "' is not a port from 1 to 65535");
    return static_cast<std::uint16_t>(value);
}

WakeOptions readOptions(Arguments arguments) {
    WakeOptions options;
    while (arguments.more()) {
        const std::string word = arguments.take();
        if (word == "--to") options.to = arguments.value(word);
        else if (word == "--port") options.port = portOf(arguments.value(word));
        else if (word.starts_with("-") || options.mac) Arguments::unknown(word);
        else options.mac = word;
    }
    if (!options.mac) throw UsageError("wake needs a hardware address");
    return options;
}

// Returns sockets to the one address given, a socket per port; broadcasting
// is allowed on them, so that a broadcast address may be given too.
std::vector<net::SocketPointer> socketsTo(net::SocketLibrary& library, const std::string& host,
                                          const std::vector<std::uint16_t>& ports) {
    std::vector<net::SocketPointer> sockets;
    for (std::uint16_t port : ports) {
        const net::TvSocket::ConstantUdpSocketParams params(port);
        net::SocketPointer socket = net::resolveSocket(library, host, params);
        if (!socket) throw UsageError("--to: no socket can be opened to '" + host + "'");
        library.api().enableBroadcast(socket->handle());
        sockets.push_back(std::move(socket));
    }
    return sockets;
}

std::vector<net::SocketPointer> broadcastTargets(net::SocketLibrary& library, const std::vector<std::uint16_t>& ports) {
    if (!library.hasIPv4Address()) throw UsageError("this computer has no IPv4 address to broadcast from");
    std::vector<net::SocketPointer> sockets;
    for (std::uint16_t port : ports) {
        std::vector<net::SocketPointer> more = net::broadcastSockets(library, port);
        sockets.insert(sockets.end(), more.begin(), more.end());
    }
    if (sockets.empty()) throw UsageError("no broadcast target can be reached");
    return sockets;
}

}  // namespace

std::string wakeCommand(Arguments arguments) {
    const WakeOptions options = readOptions(std::move(arguments));
    net::MacAddress address{};
    if (!net::parseMacAddress(*options.mac, address) || net::isNone(address))
        throw UsageError("'" + *options.mac + "' is not a hardware address");
    std::vector<std::uint16_t> ports(net::kWakeUpPorts.begin(), net::kWakeUpPorts.end());
    if (options.port) ports = {*options.port};
    net::SocketLibrary& library = net::systemSocketLibrary();
    const std::vector<net::SocketPointer> targets =
        options.to ? socketsTo(library, *options.to, ports) : broadcastTargets(library, ports);
    const std::size_t sent = net::sendMagicPackets(address, targets, net::systemTiming());
    // Saying that nothing went out as if all were well would hide a fault.
    if (sent == 0) throw UsageError("no datagram could be sent");
    return std::to_string(sent) + (sent == 1 ? " datagram sent\n" : " datagrams sent\n");
}

}  // namespace tvzx::cli
