// UDP sockets with their destinations, the socket library's start count,
// the adapter entries and the broadcast targets, over a recording socket
// layer; and one real datagram over the loopback interface.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <array>
#include <string>
#include <vector>

#include "net/adapters.h"
#include "net/broadcast_targets.h"
#include "net/socket_library.h"
#include "net/tv_socket.h"
#include "net_fakes.h"

namespace {

using namespace tvzx;
using tvzx::testing::FakeSocketApi;
using tvzx::testing::LoopbackReceiver;
using tvzx::testing::textOf;
using tvzx::testing::v4;

std::vector<std::string> targetsOf(const std::vector<net::SocketPointer>& sockets) {
    std::vector<std::string> texts;
    for (const auto& socket : sockets) texts.push_back(textOf(socket->address()));
    return texts;
}

TEST(SocketLibrary, StartsWithTheFirstSocketAndStopsOnceAfterTheLast) {
    FakeSocketApi api;
    net::SocketLibrary library(api);
    const auto destination = v4(10, 0, 0, 1, 5);
    {
        auto first = net::createSocket(library, platform::kIPv4AddressSize, &destination, 7);
        // An empty socket holds the library as well.
        auto empty = net::createSocket(library, platform::kIPv4AddressSize, nullptr, 7);
        EXPECT_EQ(api.starts, 1);
        first.reset();
        EXPECT_EQ(api.stops, 0);
    }
    EXPECT_EQ(api.starts, 1);
    EXPECT_EQ(api.stops, 1);
    // Only the socket with a handle is closed.
    EXPECT_EQ(api.closed, std::vector<platform::SocketHandle>{100});
}

TEST(SocketLibrary, AFailedStartIsNotMatchedByAStop) {
    FakeSocketApi api;
    api.startSucceeds = false;
    net::SocketLibrary library(api);
    { net::SocketLibraryUse use(library); }
    EXPECT_EQ(api.starts, 1);
    EXPECT_EQ(api.stops, 0);
    // A surplus release does not wrap the count.
    library.release();
    EXPECT_EQ(library.users(), 0u);
}

TEST(TvSocket, CreationTakesTheDestinationWithThePortReplaced) {
    FakeSocketApi api;
    net::SocketLibrary library(api);
    const auto v4Destination = v4(192, 168, 1, 255, 1234);
    const auto v6Destination = platform::ipv6Address({0xFE, 0x80, 15, 1}, 1234, 3);

    const auto socket4 = net::createSocket(library, platform::kIPv4AddressSize, &v4Destination, 9);
    EXPECT_TRUE(socket4->valid());
    EXPECT_EQ(textOf(socket4->address()), "192.168.1.255:9");

    // Port 0 keeps the destination's own port.
    const auto kept = net::createSocket(library, platform::kIPv4AddressSize, &v4Destination, 0);
    EXPECT_EQ(kept->address().port(), 1234);

    const auto socket6 = net::createSocket(library, platform::kIPv6AddressSize, &v6Destination, 7);
    EXPECT_NE(dynamic_cast<net::TvSocket6*>(socket6.get()), nullptr);
    EXPECT_EQ(socket6->address().port(), 7);
    EXPECT_EQ(socket6->address().scope(), 3u);
}

TEST(TvSocket, MissingOrMismatchedDestinationGivesAnEmptySocketOfTheKind) {
    FakeSocketApi api;
    net::SocketLibrary library(api);
    const auto v4Destination = v4(10, 0, 0, 1);
    const auto empty4 = net::createSocket(library, platform::kIPv4AddressSize, nullptr, 7);
    const auto mismatched = net::createSocket(library, platform::kIPv6AddressSize, &v4Destination, 7);
    for (const auto* socket : {empty4.get(), mismatched.get()}) {
        EXPECT_FALSE(socket->valid());
        EXPECT_EQ(socket->handle(), platform::kInvalidSocket);
        EXPECT_EQ(socket->address().size, 0u);
    }
    EXPECT_NE(dynamic_cast<net::TvSocket4*>(empty4.get()), nullptr);
    EXPECT_NE(dynamic_cast<net::TvSocket6*>(mismatched.get()), nullptr);
}

TEST(ResolveSocket, TakesTheFirstAnswerThatOpensWhileHoldingTheLibrary) {
    FakeSocketApi api;
    net::SocketLibrary library(api);
    const net::TvSocket::ConstantUdpSocketParams params(9);
    api.names["only6"] = {platform::ipv6Address({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}, 0)};
    api.names["both"] = {v4(10, 1, 2, 3), platform::ipv6Address({0x20, 0x01}, 0)};
    api.names["none"] = {};

    const auto six = net::resolveSocket(library, "only6", params);
    ASSERT_NE(six, nullptr);
    EXPECT_NE(dynamic_cast<net::TvSocket6*>(six.get()), nullptr);
    EXPECT_EQ(six->address().port(), 9);

    // An answer the system opens no socket for is skipped.
    api.refusedFamilies = {platform::kFamilyIPv4};
    const auto second = net::resolveSocket(library, "both", params);
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(second->address().isIPv6());

    EXPECT_EQ(net::resolveSocket(library, "none", params), nullptr);
    EXPECT_EQ(net::resolveSocket(library, "unknown.invalid", params), nullptr);
}

TEST(SendDatagram, SendsEveryByteAndStopsOnTheFirstFailure) {
    FakeSocketApi api;
    net::SocketLibrary library(api);
    const auto destination = v4(127, 0, 0, 1);
    const auto socket = net::createSocket(library, platform::kIPv4AddressSize, &destination, 9);
    std::array<std::uint8_t, 102> packet{};
    for (std::size_t i = 0; i < packet.size(); ++i) packet[i] = static_cast<std::uint8_t>(i);

    // The system takes 40 bytes at a time: the rest follows in order.
    api.sendResult = [](std::size_t size) { return static_cast<std::int64_t>(std::min<std::size_t>(size, 40)); };
    EXPECT_TRUE(net::sendDatagram(*socket, packet));
    std::vector<std::uint8_t> joined;
    for (const auto& datagram : api.sent) joined.insert(joined.end(), datagram.bytes.begin(), datagram.bytes.end());
    EXPECT_EQ(joined, std::vector<std::uint8_t>(packet.begin(), packet.end()));

    // Nothing taken and a failure both end the send instead of looping.
    api.sendResult = [](std::size_t) { return std::int64_t{0}; };
    EXPECT_FALSE(net::sendDatagram(*socket, packet));
    api.sendResult = [](std::size_t) { return std::int64_t{-1}; };
    EXPECT_FALSE(net::sendDatagram(*socket, packet));

    const auto empty = net::createSocket(library, platform::kIPv4AddressSize, nullptr, 9);
    EXPECT_FALSE(net::sendDatagram(*empty, packet));
    EXPECT_FALSE(net::sendDatagram(*socket, std::span<const std::uint8_t>{}));
    EXPECT_EQ(api.sendCalls, 5);
}

TEST(Adapters, EntriesCarryFlagsAndMasksInAdapterOrder) {
    platform::AdapterRecord ethernet = tvzx::testing::ipv4Adapter(std::string(600, 'e'), v4(192, 168, 1, 20), 24);
    ethernet.unicast.push_back({platform::ipv6Address({0x20, 0x01, 0x0d, 0xb8, 0, 1}, 0), 64});
    // The first IPv6 prefix with a length and an address gives the mask.
    ethernet.prefixes = {{platform::ipv6Address({}, 0), 48},
                         {platform::ipv6Address({0x20, 0x01}, 0), 0},
                         {platform::ipv6Address({0x20, 0x01, 0x0d, 0xb8}, 0), 52},
                         {platform::ipv6Address({0x20, 0x01, 0x0d, 0xb8, 0, 1}, 0), 64}};
    platform::AdapterRecord loopback = tvzx::testing::ipv4Adapter("lo", v4(127, 0, 0, 1), 40, false);
    loopback.softwareLoopback = true;
    loopback.noMulticast = true;

    const auto entries = net::adapterEntries({ethernet, loopback});
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].adapterName.size(), net::kAdapterNameLimit);
    EXPECT_EQ(entries[0].flags, net::kAdapterOperational | net::kAdapterMulticast);
    EXPECT_EQ(entries[0].mask.ipv4(), (platform::IPv4Host{255, 255, 255, 0}));
    EXPECT_TRUE(entries[1].address.isIPv6());
    EXPECT_EQ(entries[1].mask.ipv6(), (platform::IPv6Host{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xF0}));
    EXPECT_EQ(entries[2].adapterName, "lo");
    EXPECT_EQ(entries[2].flags, net::kAdapterSoftwareLoopback);
    // A prefix longer than an IPv4 address means the whole address.
    EXPECT_EQ(entries[2].mask.ipv4(), (platform::IPv4Host{255, 255, 255, 255}));

    EXPECT_EQ(net::ipv4Mask(0), (platform::IPv4Host{}));
    EXPECT_EQ(net::ipv4Mask(17), (platform::IPv4Host{255, 255, 128, 0}));
    platform::IPv6Host full;
    full.fill(0xFF);
    EXPECT_EQ(net::ipv6Mask(200), full);
}

TEST(Adapters, IPv4AnswerIsAskedOnceAndKept) {
    FakeSocketApi api;
    net::SocketLibrary library(api);
    api.adapterList = std::vector<platform::AdapterRecord>{tvzx::testing::ipv4Adapter("eth0", v4(0, 0, 0, 0), 24)};
    EXPECT_FALSE(library.hasIPv4Address());
    api.adapterList->push_back(tvzx::testing::ipv4Adapter("eth1", v4(10, 0, 0, 2), 8));
    EXPECT_FALSE(library.hasIPv4Address());

    FakeSocketApi other;
    other.adapterList = api.adapterList;
    net::SocketLibrary second(other);
    EXPECT_TRUE(second.hasIPv4Address());
    // No adapter list at all: no entries, no address.
    FakeSocketApi unlisted;
    EXPECT_TRUE(net::enumerateAdapters(unlisted).empty());
}

TEST(FormatIPv4, DottedDecimalOrEmptyForZero) {
    EXPECT_EQ(net::formatIPv4(0, 0, 0, 0), "");
    EXPECT_EQ(net::formatIPv4(192, 168, 1, 255), "192.168.1.255");
    EXPECT_EQ(net::formatIPv4(0, 0, 0, 1), "0.0.0.1");
    EXPECT_EQ(net::formatIPv4(255, 255, 255, 255), "255.255.255.255");
}

TEST(BroadcastSockets, LimitedThenDirectedBroadcastOfEachUsableNetwork) {
    FakeSocketApi api;
    net::SocketLibrary library(api);
    api.knowIPv4("255.255.255.255", v4(255, 255, 255, 255));
    api.knowIPv4("192.168.1.255", v4(192, 168, 1, 255));
    api.knowIPv4("10.255.255.255", v4(10, 255, 255, 255));
    api.knowIPv4("172.16.7.255", v4(172, 16, 7, 255));
    platform::AdapterRecord loopback = tvzx::testing::ipv4Adapter("lo", v4(127, 0, 0, 1), 8);
    loopback.softwareLoopback = true;
    platform::AdapterRecord v6only;
    v6only.operational = true;
    v6only.unicast.push_back({platform::ipv6Address({0x20, 0x01}, 0), 64});
    v6only.prefixes.push_back({platform::ipv6Address({0x20, 0x01}, 0), 64});
    api.adapterList = std::vector<platform::AdapterRecord>{
        tvzx::testing::ipv4Adapter("eth0", v4(192, 168, 1, 20), 24),
        tvzx::testing::ipv4Adapter("host-route", v4(192, 168, 2, 7), 32),
        tvzx::testing::ipv4Adapter("unnumbered", v4(0, 0, 0, 0), 24),
        tvzx::testing::ipv4Adapter("no-mask", v4(192, 168, 3, 7), 0),
        tvzx::testing::ipv4Adapter("down", v4(172, 16, 7, 1), 24, false),
        loopback,
        v6only,
        tvzx::testing::ipv4Adapter("eth1", v4(10, 1, 2, 3), 8),
    };

    const auto sockets = net::broadcastSockets(library, 9);
    EXPECT_EQ(targetsOf(sockets),
              (std::vector<std::string>{"255.255.255.255:9", "192.168.1.255:9", "10.255.255.255:9"}));
    for (const auto& socket : sockets) EXPECT_EQ(api.broadcastEnabled.count(socket->handle()), 1u);
    EXPECT_EQ(api.resolved, (std::vector<std::string>{"255.255.255.255", "192.168.1.255", "10.255.255.255"}));
}

TEST(BroadcastSockets, TargetsWithoutSocketOrBroadcastOptionAreLeftOut) {
    FakeSocketApi api;
    net::SocketLibrary library(api);
    api.knowIPv4("255.255.255.255", v4(255, 255, 255, 255));
    // The first socket (the limited broadcast) refuses the option; the
    // directed broadcast of the second network does not resolve.
    api.broadcastRefused = {100};
    api.knowIPv4("192.168.1.255", v4(192, 168, 1, 255));
    const std::vector<net::AdapterAddressEntry> entries =
        net::adapterEntries({tvzx::testing::ipv4Adapter("eth0", v4(192, 168, 1, 20), 24),
                             tvzx::testing::ipv4Adapter("eth1", v4(10, 1, 2, 3), 8)});
    const auto sockets = net::broadcastSockets(library, 7, entries);
    EXPECT_EQ(targetsOf(sockets), std::vector<std::string>{"192.168.1.255:7"});
    // The refused socket is closed again.
    EXPECT_EQ(api.closed, std::vector<platform::SocketHandle>{100});
    api.names.clear();
    EXPECT_TRUE(net::broadcastSockets(library, 7, entries).empty());
}

TEST(LoopbackDatagram, ReachesAReceiverOverIPv4AndIPv6) {
    std::array<std::uint8_t, 102> packet{};
    for (std::size_t i = 0; i < packet.size(); ++i) packet[i] = static_cast<std::uint8_t>(0xFF - i);
    net::SocketLibrary& library = net::systemSocketLibrary();
    for (const auto& [family, host] : {std::pair{AF_INET, "127.0.0.1"}, std::pair{AF_INET6, "::1"}}) {
        LoopbackReceiver receiver(family);
        if (!receiver.ready()) {
            // A system without IPv6 on its loopback still checks IPv4.
            ASSERT_EQ(family, AF_INET6) << "no loopback receiver for " << host;
            continue;
        }
        const net::TvSocket::ConstantUdpSocketParams params(receiver.port());
        const auto socket = net::resolveSocket(library, host, params);
        ASSERT_NE(socket, nullptr) << host;
        EXPECT_TRUE(net::sendDatagram(*socket, packet)) << host;
        EXPECT_EQ(receiver.receive(), std::vector<std::uint8_t>(packet.begin(), packet.end())) << host;
    }
}

TEST(SystemAdapters, LoopbackAdapterIsListedWithItsRealMask) {
    const auto entries = net::enumerateAdapters(platform::systemSocketApi());
    bool found = false;
    for (const auto& entry : entries) {
        if (!entry.address.isIPv4() || entry.address.ipv4() != platform::IPv4Host{127, 0, 0, 1}) continue;
        found = true;
        EXPECT_NE(entry.flags & net::kAdapterSoftwareLoopback, 0u);
        EXPECT_EQ(entry.mask.ipv4(), (platform::IPv4Host{255, 0, 0, 0}));
        // The loopback network is never a broadcast target.
        EXPECT_FALSE(net::directedBroadcast(entry).has_value());
    }
    EXPECT_TRUE(found) << "no adapter holds 127.0.0.1";
}

}  // namespace
