// The printer wake-up: reading and parsing the hardware address, and the
// magic packet's two rounds of sends with the pause between. Nothing leaves
// the test: the sockets are a recording fake.
#include <gtest/gtest.h>

#include "net/wake_up.h"
#include "net_fakes.h"

namespace {

using namespace tvzx;
using namespace tvzx::testing;

const net::MacAddress kPrinter = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E};
// The address a refused form leaves.
const std::string kNone = "000000000000";

std::string hexOf(const net::MacAddress& address) {
    static const char* digits = "0123456789ABCDEF";
    std::string text;
    for (std::uint8_t b : address) text += std::string{digits[b >> 4], digits[b & 0xF]};
    return text;
}

// Refused forms leave the address zero.
TEST(ParseMacAddress, AcceptedAndRefusedForms) {
    const std::pair<std::string, std::string> cases[] = {
        {"00:1A:2b:3C:4d:5E", "001A2B3C4D5E"}, {"00-1a-2b-3c-4d-5e", "001A2B3C4D5E"},
        {"001A2B3C4D5E", "001A2B3C4D5E"},      {"0:1:2:3:4:5", "000102030405"},
        {"00:1a-2B:3c-4D:5e", "001A2B3C4D5E"}, {"0001:02:03:04:05:06", "010203040506"},
        {"FFFFFFFFFFFF", "FFFFFFFFFFFF"},      {"1", "000000000001"}, {"00001A2B3C4D5E", "001A2B3C4D5E"},
        // Too few or many groups, a stray or missing separator, not a digit,
        // a group worth 256, a trailing space, 2 to the 48th and far beyond.
        {"", kNone}, {"00:1A:2B:3C:4D", kNone}, {"00:1A:2B:3C:4D:5E:", kNone}, {"00:1A:2B:3C:4D:5E:6F", kNone},
        {":1A:2B:3C:4D:5E", kNone}, {"00::2B:3C:4D:5E", kNone}, {"00:1A:2B:3C:4D:5G", kNone},
        {"100:1A:2B:3C:4D:5E", kNone}, {"00:1A:2B:3C:4D:5E ", kNone}, {"1000000000000", kNone},
        {"FFFFFFFFFFFFFFFFFFFFFFFF", kNone}, {"0x001A2B3C4D5E", kNone},
    };
    for (const auto& [text, expected] : cases) {
        net::MacAddress address = kPrinter;
        EXPECT_EQ(net::parseMacAddress(text, address), expected != kNone) << text;
        EXPECT_EQ(hexOf(address), expected) << text;
    }
}

// Returns the value bytes of a wide text, with or without its terminator.
platform::PrinterDataValue wideValue(std::u16string_view text, bool terminated = true) {
    platform::PrinterDataValue value;
    value.type = 1;
    for (char16_t c : text) value.data.insert(value.data.end(), {std::uint8_t(c & 0xFF), std::uint8_t(c >> 8)});
    if (terminated) value.data.insert(value.data.end(), {0, 0});
    return value;
}

TEST(ReadPrinterMacAddress, ReadsTheStoredTextWithinItsSizeLimit) {
    const struct {
        const char* what;
        std::optional<platform::PrinterDataValue> value;
        bool read;
        std::string address;
    } cases[] = {
        {"17 characters", wideValue(u"00:1a:2b:3c:4d:5e"), true, "001A2B3C4D5E"},
        {"18 characters and terminator", wideValue(u"00:1a:2b:3c:4d:5e0"), false, kNone},
        {"18 characters filling the limit without terminator", wideValue(u"00:1a:2b:3c:4d:5e0", false), true, kNone},
        {"not an address", wideValue(u"printer"), true, kNone},
        {"beyond ASCII", wideValue(u"00:1A:2B:3C:4D:5\u0660"), true, kNone},
        {"odd byte count", platform::PrinterDataValue{1, {'1', 0, '2'}}, true, "000000000001"},
        {"missing", std::nullopt, false, kNone},
    };
    for (const auto& c : cases) {
        platform::MemoryPrinterData data;
        if (c.value) data.set("MacAddress", *c.value);
        const auto open = [&data](std::u16string_view name) -> std::unique_ptr<platform::PrinterData> {
            return name == u"Production 1" ? std::make_unique<platform::MemoryPrinterData>(data) : nullptr;
        };
        net::MacAddress address = kPrinter;
        EXPECT_EQ(net::readPrinterMacAddress(u"Production 1", address, open), c.read) << c.what;
        EXPECT_EQ(hexOf(address), c.address) << c.what;
    }
}

// A network of one IPv4 segment, 192.168.1.0/24, whose broadcast targets
// resolve; every send is recorded, kNone leaves the process.
struct Segment {
    FakeSocketApi api;
    net::SocketLibrary library{api};
    std::vector<std::chrono::milliseconds> pauses;
    std::vector<std::size_t> sentAtPause;
    net::WakeUpTiming timing{[this](std::chrono::milliseconds length) {
                                 pauses.push_back(length);
                                 sentAtPause.push_back(api.sent.size());
                             },
                             [] { return std::uint32_t{1234}; }};

    Segment() {
        api.knowIPv4("255.255.255.255", v4(255, 255, 255, 255));
        api.knowIPv4("192.168.1.255", v4(192, 168, 1, 255));
        api.adapterList = std::vector{tvzx::testing::ipv4Adapter("eth0", v4(192, 168, 1, 20), 24)};
    }
};

TEST(SendWakeUp, TwoRoundsOfFiveThroughEveryTargetWithAPauseBetweenPastAFailingSocket) {
    Segment segment;
    EXPECT_TRUE(net::sendWakeUp(kPrinter, segment.library, segment.timing));
    std::vector<std::string> expected;
    for (int i = 0; i < 10; ++i)
        expected.insert(expected.end(), {"255.255.255.255:7", "192.168.1.255:7", "255.255.255.255:9", "192.168.1.255:9"});
    // Each datagram is the magic packet: six sync bytes, then sixteen copies.
    std::vector<std::uint8_t> packet(6, 0xFF);
    for (int i = 0; i < 16; ++i) packet.insert(packet.end(), kPrinter.begin(), kPrinter.end());
    std::vector<std::string> destinations;
    for (const auto& datagram : segment.api.sent) {
        destinations.push_back(textOf(datagram.to));
        EXPECT_EQ(datagram.bytes, packet);
    }
    EXPECT_EQ(destinations, expected);
    // One pause of 200 ms and the random part (1234 % 100), after 5 rounds.
    EXPECT_EQ(segment.pauses, std::vector<std::chrono::milliseconds>{std::chrono::milliseconds(234)});
    EXPECT_EQ(segment.sentAtPause, std::vector<std::size_t>{20});

    // A failing socket does not stop the others: the first one made, the
    // limited broadcast on port 7, fails.
    Segment failing;
    failing.api.failingSockets = {100};
    EXPECT_TRUE(net::sendWakeUp(kPrinter, failing.library, failing.timing));
    EXPECT_EQ(failing.api.sent.size(), 30u);
    failing.api.sendResult = [](std::size_t) { return std::int64_t{-1}; };
    EXPECT_FALSE(net::sendWakeUp(kPrinter, failing.library, failing.timing));
}

TEST(SendWakeUp, NothingIsSentWithoutAddressIPv4OrTarget) {
    Segment noAddress, noIPv4, noTarget;
    EXPECT_FALSE(net::sendWakeUp(net::MacAddress{}, noAddress.library, noAddress.timing));
    // An unnumbered adapter and an IPv6 one give no IPv4 address.
    platform::AdapterRecord v6only;
    v6only.unicast = {{platform::ipv6Address({0x20, 0x01}, 0), 64}};
    noIPv4.api.adapterList = std::vector{tvzx::testing::ipv4Adapter("eth0", v4(0, 0, 0, 0), 24), v6only};
    EXPECT_FALSE(net::sendWakeUp(kPrinter, noIPv4.library, noIPv4.timing));
    noTarget.api.names.clear();
    EXPECT_FALSE(net::sendWakeUp(kPrinter, noTarget.library, noTarget.timing));
    for (const Segment* segment : {&noAddress, &noIPv4, &noTarget})
        EXPECT_TRUE(segment->api.sent.empty() && segment->pauses.empty());
    EXPECT_TRUE(noAddress.api.resolved.empty() && noIPv4.api.resolved.empty());
}

}  // namespace
