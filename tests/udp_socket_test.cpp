// UDP sockets with their destinations and the broadcast targets, over a
// recording socket layer; and real datagrams over the loopback interface.
#include <gtest/gtest.h>

#include "net/broadcast_targets.h"
#include "net_fakes.h"

namespace {

using namespace tvzx;
using namespace tvzx::testing;

// Returns a packet of 102 bytes counting from `first` by `step`.
std::vector<std::uint8_t> counting(int first, int step) {
    std::vector<std::uint8_t> packet(102);
    for (std::size_t i = 0; i < packet.size(); ++i) packet[i] = static_cast<std::uint8_t>(first + step * int(i));
    return packet;
}

TEST(ResolveSocket, TakesTheFirstAnswerThatOpensWithThePortAskedAndSendsEveryByteInOrder) {
    FakeSocketApi api;
    net::SocketLibrary library(api);
    const net::TvSocket::ConstantUdpSocketParams params(9);
    const auto v6 = platform::ipv6Address({0x20, 0x01, 0x0d, 0xb8}, 1234, 3);
    api.names["both"] = {v4(10, 1, 2, 3, 1234), v6};
    api.names["none"] = {};
    EXPECT_EQ(textOf(net::resolveSocket(library, "both", params)->address()), "10.1.2.3:9");
    // An answer the system opens no socket for is skipped.
    api.refusedFamilies = {platform::kFamilyIPv4};
    const auto second = net::resolveSocket(library, "both", params);
    ASSERT_NE(second, nullptr);
    const platform::SocketAddress& address = second->address();
    EXPECT_EQ(std::tuple(address.ipv6(), address.port(), address.scope()), std::tuple(v6.ipv6(), 9, 3u));
    EXPECT_EQ(net::resolveSocket(library, "none", params), nullptr);
    EXPECT_EQ(net::resolveSocket(library, "unknown.invalid", params), nullptr);

    // A datagram goes out byte for byte in order, stopping on the first failure.
    api.refusedFamilies.clear();
    api.knowIPv4("127.0.0.1", v4(127, 0, 0, 1));
    const auto socket = net::resolveSocket(library, "127.0.0.1", net::TvSocket::ConstantUdpSocketParams(9));
    const std::vector<std::uint8_t> packet = counting(0, 1);
    // The system takes 40 bytes at a time: the rest follows in order.
    api.sendResult = [](std::size_t size) { return static_cast<std::int64_t>(std::min<std::size_t>(size, 40)); };
    EXPECT_TRUE(net::sendDatagram(*socket, packet));
    std::vector<std::uint8_t> joined;
    for (const auto& datagram : api.sent) joined.insert(joined.end(), datagram.bytes.begin(), datagram.bytes.end());
    EXPECT_EQ(joined, packet);
    // Nothing taken and a failure both end the send instead of looping.
    for (const std::int64_t taken : {0, -1}) {
        api.sendResult = [taken](std::size_t) { return taken; };
        EXPECT_FALSE(net::sendDatagram(*socket, packet));
    }
}

TEST(BroadcastSockets, LimitedThenDirectedBroadcastOfEachUsableNetwork) {
    FakeSocketApi api;
    net::SocketLibrary library(api);
    for (const auto& address : {v4(255, 255, 255, 255), v4(192, 168, 1, 255), v4(10, 1, 15, 255), v4(172, 16, 7, 255),
                                v4(192, 168, 4, 255)})
        api.knowIPv4(textOf(address).substr(0, textOf(address).find(':')), address);
    platform::AdapterRecord loopback = ipv4Adapter("lo", v4(127, 0, 0, 1), 8);
    loopback.softwareLoopback = true;
    platform::AdapterRecord v6only;
    v6only.operational = true;
    v6only.unicast = {{platform::ipv6Address({0x20, 0x01}, 0), 64}};
    v6only.prefixes = {{platform::ipv6Address({0x20, 0x01}, 0), 64}};
    api.adapterList = std::vector<platform::AdapterRecord>{
        ipv4Adapter("eth0", v4(192, 168, 1, 20), 24),         ipv4Adapter("host-route", v4(192, 168, 2, 7), 32),
        ipv4Adapter("unnumbered", v4(0, 0, 0, 0), 24),        ipv4Adapter("no-mask", v4(192, 168, 3, 7), 0),
        ipv4Adapter("down", v4(172, 16, 7, 1), 24, false),    loopback, v6only,
        ipv4Adapter("unresolved", v4(172, 17, 0, 1), 16),     ipv4Adapter("no-broadcast", v4(192, 168, 4, 1), 24),
        ipv4Adapter("eth1", v4(10, 1, 2, 3), 20)};
    // The socket to 192.168.4.255 (the third made) refuses the broadcast option.
    api.broadcastRefused = {102};

    const auto sockets = net::broadcastSockets(library, 9);
    std::vector<std::string> targets;
    for (const auto& socket : sockets) {
        targets.push_back(textOf(socket->address()));
        EXPECT_EQ(api.broadcastEnabled.count(socket->handle()), 1u);
    }
    EXPECT_EQ(targets, (std::vector<std::string>{"255.255.255.255:9", "192.168.1.255:9", "10.1.15.255:9"}));
    EXPECT_EQ(api.resolved, (std::vector<std::string>{"255.255.255.255", "192.168.1.255", "172.17.255.255",
                                                      "192.168.4.255", "10.1.15.255"}));
    EXPECT_EQ(api.closed, std::vector<platform::SocketHandle>{102});
}

TEST(LoopbackDatagram, ReachesAReceiverOverIPv4AndIPv6) {
    const std::vector<std::uint8_t> packet = counting(0xFF, -1);
    for (const auto& [family, host] : {std::pair{AF_INET, "127.0.0.1"}, std::pair{AF_INET6, "::1"}}) {
        tvzx::testing::LoopbackReceiver receiver(family);
        if (!receiver.ready()) {
            // A system without IPv6 on its loopback still checks IPv4.
            ASSERT_EQ(family, AF_INET6) << "no loopback receiver for " << host;
            continue;
        }
        const net::TvSocket::ConstantUdpSocketParams params(receiver.port());
        const auto socket = net::resolveSocket(net::systemSocketLibrary(), host, params);
        ASSERT_NE(socket, nullptr) << host;
        EXPECT_TRUE(net::sendDatagram(*socket, packet)) << host;
        EXPECT_EQ(receiver.receive(), packet) << host;
    }
}

TEST(SystemAdapters, LoopbackAdapterIsListedWithItsRealMask) {
    bool found = false;
    for (const auto& entry : net::enumerateAdapters(platform::systemSocketApi())) {
        if (!entry.address.isIPv4() || entry.address.ipv4() != platform::IPv4Host{127, 0, 0, 1}) continue;
        found = true;
        EXPECT_EQ(entry.mask.ipv4(), (platform::IPv4Host{255, 0, 0, 0}));
        // The loopback network is never a broadcast target.
        EXPECT_FALSE(net::directedBroadcast(entry).has_value());
    }
    EXPECT_TRUE(found) << "no adapter holds 127.0.0.1";
}

}  // namespace
