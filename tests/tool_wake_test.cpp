// tvzx wake, run as a user runs it. Every run names the loopback address
// with --to, so the datagrams arrive at a receiver of the test and nowhere
// else.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <string>
#include <vector>

#include "net/wake_up.h"
#include "net_fakes.h"

namespace {

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs tvzx with the arguments (each quoted for the shell); standard error
// is collected apart from standard output.
ToolRun tvzx(const std::vector<std::string>& args) {
    const std::string errFile = ::testing::TempDir() + "tvzx-wake-" + std::to_string(::getpid()) + ".err";
    std::string command = std::string(TVZX_BINARY_DIR) + "/tools/tvzx/tvzx";
    for (const auto& arg : args) command += " '" + arg + "'";
    command += " 2>'" + errFile + "'";
    ToolRun run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return run;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.out.append(buffer, n);
    const int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (FILE* err = std::fopen(errFile.c_str(), "rb")) {
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, err)) > 0;) run.err.append(buffer, n);
        std::fclose(err);
    }
    std::remove(errFile.c_str());
    return run;
}

TEST(ToolWake, SendsTenMagicPacketsToTheGivenAddress) {
    tvzx::testing::LoopbackReceiver receiver(AF_INET);
    ASSERT_TRUE(receiver.ready());
    const ToolRun run = tvzx({"wake", "00-1a-2b-3c-4d-5e", "--to", "127.0.0.1", "--port", std::to_string(receiver.port())});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "10 datagrams sent\n");
    EXPECT_EQ(run.err, "");
    const tvzx::net::MagicPacket packet = tvzx::net::magicPacket({0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E});
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(receiver.receive(), std::vector<std::uint8_t>(packet.begin(), packet.end())) << "datagram " << i;
}

TEST(ToolWake, RefusalsExitWithTwoAndSendNothing) {
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const std::vector<Case> cases = {
        {{"wake"}, "tvzx: wake needs a hardware address\n"},
        {{"wake", "00:1A:2B:3C:4D", "--to", "127.0.0.1"}, "tvzx: '00:1A:2B:3C:4D' is not a hardware address\n"},
        {{"wake", "000000000000", "--to", "127.0.0.1"}, "tvzx: '000000000000' is not a hardware address\n"},
        {{"wake", "001A2B3C4D5E", "--to", "127.0.0.1", "--port", "0"}, "tvzx: --port: '0' is not a port from 1 to 65535\n"},
        {{"wake", "001A2B3C4D5E", "--to", "127.0.0.1", "--port", "65536"},
         "tvzx: --port: '65536' is not a port from 1 to 65535\n"},
        {{"wake", "001A2B3C4D5E", "--to"}, "tvzx: option --to needs a value\n"},
        {{"wake", "001A2B3C4D5E", "001A2B3C4D5F", "--to", "127.0.0.1"}, "tvzx: unknown argument '001A2B3C4D5F'\n"},
    };
    for (const Case& c : cases) {
        const ToolRun run = tvzx(c.args);
        EXPECT_EQ(run.status, 2) << c.message;
        EXPECT_EQ(run.err, c.message);
        EXPECT_EQ(run.out, "");
    }
}

}  // namespace
