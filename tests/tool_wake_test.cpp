// tvzx wake, run as a user runs it. Every run names the loopback address
// with --to, so the datagrams arrive at a receiver of the test and nowhere
// else.
#include <gtest/gtest.h>

#include "net_fakes.h"
#include "tool_runner.h"

namespace {

tvzx::testing::ToolRun tvzx(const std::vector<std::string>& args) {
    const std::string errFile = ::testing::TempDir() + "tvzx-wake-" + std::to_string(::getpid()) + ".err";
    auto run = tvzx::testing::runTvzx(args, errFile);
    std::remove(errFile.c_str());
    return run;
}

TEST(ToolWake, SendsTenMagicPacketsToTheGivenAddress) {
    tvzx::testing::LoopbackReceiver receiver(AF_INET);
    ASSERT_TRUE(receiver.ready());
    const auto run = tvzx({"wake", "00-1a-2b-3c-4d-5e", "--to", "127.0.0.1", "--port", std::to_string(receiver.port())});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(std::pair(run.out, run.err), (std::pair<std::string, std::string>("10 datagrams sent\n", "")));
    std::vector<std::uint8_t> packet(6, 0xFF);
    for (int i = 0; i < 16; ++i) packet.insert(packet.end(), {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E});
    for (int i = 0; i < 10; ++i) EXPECT_EQ(receiver.receive(), packet) << "datagram " << i;
}

TEST(ToolWake, RefusalsExitWithTwoAndSendNothing) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"wake"}, "tvzx: wake needs a hardware address\n"},
        {{"wake", "00:1A:2B:3C:4D", "--to", "127.0.0.1"}, "tvzx: '00:1A:2B:3C:4D' is not a hardware address\n"},
        {{"wake", "000000000000", "--to", "127.0.0.1"}, "tvzx: '000000000000' is not a hardware address\n"},
        {{"wake", "001A2B3C4D5E", "--to", "127.0.0.1", "--port", "0"}, "tvzx: --port: '0' is not a port from 1 to 65535\n"},
        {{"wake", "001A2B3C4D5E", "--to", "127.0.0.1", "--port", "65536"},
         "tvzx: --port: '65536' is not a port from 1 to 65535\n"},
    };
    for (const auto& [args, message] : cases) {
        const auto run = tvzx(args);
        EXPECT_EQ(std::tuple(run.status, run.err, run.out), std::tuple(2, message, "")) << message;
    }
}

}  // namespace
