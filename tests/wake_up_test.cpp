// The printer wake-up: reading and parsing the hardware address, the magic
// packet, the two rounds of sends with the pause between, and the job
// service that runs it at document start. Nothing leaves the test: the
// sockets are a recording fake.
#include <gtest/gtest.h>

#include <optional>

#include <cstdlib>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "net/mac_address.h"
#include "net/wake_service.h"
#include "net/wake_up.h"
#include "net_fakes.h"
#include "platform/printer_data.h"

namespace {

using namespace tvzx;
using tvzx::testing::FakeSocketApi;
using tvzx::testing::textOf;
using tvzx::testing::v4;

const net::MacAddress kPrinter = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E};

std::string hexOf(const net::MacAddress& address) {
    static const char* digits = "0123456789ABCDEF";
    std::string text;
    for (std::uint8_t b : address) text += std::string{digits[b >> 4], digits[b & 0xF]};
    return text;
}

TEST(ParseMacAddress, AcceptedForms) {
    struct Case {
        std::string text;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"00:1A:2b:3C:4d:5E", "001A2B3C4D5E"},
        {"00-1a-2b-3c-4d-5e", "001A2B3C4D5E"},
        {"001A2B3C4D5E", "001A2B3C4D5E"},
        {"0:1:2:3:4:5", "000102030405"},
        {"00:1a-2B:3c-4D:5e", "001A2B3C4D5E"},
        {"0001:02:03:04:05:06", "010203040506"},
        {"FFFFFFFFFFFF", "FFFFFFFFFFFF"},
        {"1", "000000000001"},
        {"00001A2B3C4D5E", "001A2B3C4D5E"},
    };
    for (const Case& c : cases) {
        net::MacAddress address{};
        EXPECT_TRUE(net::parseMacAddress(c.text, address)) << c.text;
        EXPECT_EQ(hexOf(address), c.expected) << c.text;
    }
}

TEST(ParseMacAddress, RefusedFormsLeaveTheAddressZero) {
    const std::vector<std::string> refused = {
        "",
        "00:1A:2B:3C:4D",           // five groups
        "00:1A:2B:3C:4D:5E:",       // separator after the sixth
        "00:1A:2B:3C:4D:5G",        // not a digit
        "100:1A:2B:3C:4D:5E",       // a group worth 256
        "00:1A:2B:3C:4D:5E:6F",     // seven groups
        ":1A:2B:3C:4D:5E",          // empty first group
        "00::2B:3C:4D:5E",          // empty group inside
        "00:1A:2B:3C:4D:5E ",       // trailing space
        "1000000000000",            // 2 to the 48th
        "FFFFFFFFFFFFFFFFFFFFFFFF",  // far beyond
        "0x001A2B3C4D5E",
    };
    for (const std::string& text : refused) {
        net::MacAddress address = kPrinter;
        EXPECT_FALSE(net::parseMacAddress(text, address)) << text;
        EXPECT_TRUE(net::isNone(address)) << text << " gave " << hexOf(address);
    }
}

TEST(MagicPacket, SixSyncBytesThenSixteenCopies) {
    const net::MagicPacket packet = net::magicPacket(kPrinter);
    ASSERT_EQ(packet.size(), 102u);
    std::vector<std::uint8_t> expected(6, 0xFF);
    for (int i = 0; i < 16; ++i) expected.insert(expected.end(), kPrinter.begin(), kPrinter.end());
    EXPECT_EQ(std::vector<std::uint8_t>(packet.begin(), packet.end()), expected);
}

// Returns the value bytes of a wide text, with or without its terminator.
platform::PrinterDataValue wideValue(std::u16string_view text, bool terminated = true) {
    platform::PrinterDataValue value;
    value.type = 1;
    for (char16_t c : text) {
        value.data.push_back(static_cast<std::uint8_t>(c & 0xFF));
        value.data.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    if (terminated) value.data.insert(value.data.end(), {0, 0});
    return value;
}

// Opens the data of the one printer "Production 1", counting the opens.
struct PrinterStore {
    platform::MemoryPrinterData data;
    bool opens = true;
    std::vector<std::u16string> opened;

    net::PrinterDataOpener opener() {
        return [this](std::u16string_view name) -> std::unique_ptr<platform::PrinterData> {
            opened.emplace_back(name);
            if (!opens || name != u"Production 1") return nullptr;
            return std::make_unique<platform::MemoryPrinterData>(data);
        };
    }
};

TEST(ReadPrinterMacAddress, ReadsTheStoredTextWithinItsSizeLimit) {
    struct Case {
        const char* what;
        std::optional<platform::PrinterDataValue> value;
        bool read;
        std::string address;
    };
    const std::vector<Case> cases = {
        {"17 characters", wideValue(u"00:1a:2b:3c:4d:5e"), true, "001A2B3C4D5E"},
        {"digits only", wideValue(u"001A2B3C4D5E"), true, "001A2B3C4D5E"},
        {"18 characters and terminator", wideValue(u"00:1a:2b:3c:4d:5e0"), false, "000000000000"},
        {"18 characters filling the limit without terminator", wideValue(u"00:1a:2b:3c:4d:5e0", false), true,
         "000000000000"},
        {"not an address", wideValue(u"printer"), true, "000000000000"},
        {"beyond ASCII", wideValue(u"00:1A:2B:3C:4D:5\u0660"), true, "000000000000"},
        {"odd byte count", platform::PrinterDataValue{1, {'1', 0, '2'}}, true, "000000000001"},
        {"missing", std::nullopt, false, "000000000000"},
    };
    for (const Case& c : cases) {
        PrinterStore store;
        if (c.value) store.data.set("MacAddress", *c.value);
        net::MacAddress address = kPrinter;
        EXPECT_EQ(net::readPrinterMacAddress(u"Production 1", address, store.opener()), c.read) << c.what;
        EXPECT_EQ(hexOf(address), c.address) << c.what;
    }
}

TEST(ReadPrinterMacAddress, NoNameOrNoPrinterReadsNothing) {
    PrinterStore store;
    store.data.set("MacAddress", wideValue(u"001A2B3C4D5E"));
    net::MacAddress address = kPrinter;
    EXPECT_FALSE(net::readPrinterMacAddress(u"", address, store.opener()));
    EXPECT_TRUE(store.opened.empty());
    EXPECT_TRUE(net::isNone(address));
    store.opens = false;
    EXPECT_FALSE(net::readPrinterMacAddress(u"Production 1", address, store.opener()));
    EXPECT_FALSE(net::readPrinterMacAddress(u"Production 1", address, nullptr));
}

// A network of one IPv4 segment, 192.168.1.0/24, whose broadcast targets
// resolve; every send is recorded, none leaves the process.
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
        api.adapterList = std::vector<platform::AdapterRecord>{tvzx::testing::ipv4Adapter("eth0", v4(192, 168, 1, 20), 24)};
    }
};

TEST(SendWakeUp, TwoRoundsOfFiveThroughEveryTargetWithAPauseBetween) {
    Segment segment;
    EXPECT_TRUE(net::sendWakeUp(kPrinter, segment.library, segment.timing));

    const std::vector<std::string> round = {"255.255.255.255:7", "192.168.1.255:7", "255.255.255.255:9",
                                            "192.168.1.255:9"};
    std::vector<std::string> expected;
    for (int i = 0; i < 10; ++i) expected.insert(expected.end(), round.begin(), round.end());
    std::vector<std::string> destinations;
    const net::MagicPacket packet = net::magicPacket(kPrinter);
    for (const auto& datagram : segment.api.sent) {
        destinations.push_back(textOf(datagram.to));
        EXPECT_EQ(datagram.bytes, std::vector<std::uint8_t>(packet.begin(), packet.end()));
    }
    EXPECT_EQ(destinations, expected);
    // One pause of 200 ms and the random part (1234 % 100), after 5 rounds.
    EXPECT_EQ(segment.pauses, std::vector<std::chrono::milliseconds>{std::chrono::milliseconds(234)});
    EXPECT_EQ(segment.sentAtPause, std::vector<std::size_t>{20});
    // Every socket is closed and the library let go.
    EXPECT_TRUE(segment.api.open.empty());
    EXPECT_EQ(segment.api.stops, segment.api.starts);
}

TEST(SendWakeUp, AFailingSocketDoesNotStopTheOthers) {
    Segment segment;
    // The first socket made, the limited broadcast on port 7, fails.
    segment.api.failingSockets = {100};
    EXPECT_TRUE(net::sendWakeUp(kPrinter, segment.library, segment.timing));
    EXPECT_EQ(segment.api.sent.size(), 30u);

    Segment allFail;
    allFail.api.sendResult = [](std::size_t) { return std::int64_t{-1}; };
    EXPECT_FALSE(net::sendWakeUp(kPrinter, allFail.library, allFail.timing));
}

TEST(SendWakeUp, NothingIsSentWithoutAddressIPv4OrTarget) {
    Segment noAddress;
    EXPECT_FALSE(net::sendWakeUp(net::MacAddress{}, noAddress.library, noAddress.timing));
    EXPECT_TRUE(noAddress.api.resolved.empty());

    Segment noIPv4;
    platform::AdapterRecord v6only;
    v6only.unicast.push_back({platform::ipv6Address({0x20, 0x01}, 0), 64});
    noIPv4.api.adapterList = std::vector<platform::AdapterRecord>{v6only};
    EXPECT_FALSE(net::sendWakeUp(kPrinter, noIPv4.library, noIPv4.timing));
    EXPECT_TRUE(noIPv4.api.resolved.empty());

    Segment noTarget;
    noTarget.api.names.clear();
    EXPECT_FALSE(net::sendWakeUp(kPrinter, noTarget.library, noTarget.timing));

    for (const Segment* segment : {&noAddress, &noIPv4, &noTarget}) {
        EXPECT_EQ(segment->api.sendCalls, 0);
        EXPECT_TRUE(segment->pauses.empty());
    }
}

TEST(WakeUpPause, TwoHundredToTwoNinetyNineMilliseconds) {
    EXPECT_EQ(net::wakeUpPauseFor(0), std::chrono::milliseconds(200));
    EXPECT_EQ(net::wakeUpPauseFor(99), std::chrono::milliseconds(299));
    EXPECT_EQ(net::wakeUpPauseFor(32767), std::chrono::milliseconds(267));
}

// Job services underneath that count what reaches them.
class CountingServices final : public frame::JobServices {
public:
    void wakePrinter(std::u16string_view) override { ++wakes; }
    bool holdsTabRecord(const settings::CoreData&) override {
        ++tabQuestions;
        return true;
    }
    int wakes = 0;
    int tabQuestions = 0;
};

TEST(WakeService, WakesTheNamedPrinterAndPassesTheRestOn) {
    Segment segment;
    PrinterStore store;
    store.data.set("MacAddress", wideValue(u"00-1A-2B-3C-4D-5E"));
    CountingServices next;
    net::WakeService service(next, store.opener(), segment.library, segment.timing);

    service.wakePrinter(u"Production 1");
    EXPECT_EQ(store.opened, std::vector<std::u16string>{u"Production 1"});
    EXPECT_EQ(segment.api.sent.size(), 40u);
    EXPECT_EQ(next.wakes, 0);

    // Another printer has no address stored: nothing goes out.
    service.wakePrinter(u"Proof printer");
    EXPECT_EQ(segment.api.sent.size(), 40u);

    EXPECT_TRUE(service.holdsTabRecord(settings::defaultRecord()));
    EXPECT_EQ(next.tabQuestions, 1);
}

}  // namespace
