// The tvzx version and settings commands, run as a user runs them.
#include <gtest/gtest.h>

#include "tool_runner.h"

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "common/base64.h"
#include "common/byte_order.h"
#include "settings/schema_hash.h"
#include "settings/text_form.h"

namespace {

namespace fs = std::filesystem;

using tvzx::testing::readAll;
using tvzx::testing::ToolRun;
using tvzx::testing::writeAll;

class ToolTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("tvzx-tool-" + std::to_string(::getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path file(const std::string& name) const { return dir_ / name; }

    // Runs tvzx with the arguments (each quoted for the shell).
    ToolRun tvzx(const std::vector<std::string>& args) const {
        return ::tvzx::testing::runTvzx(args, file("stderr"));
    }

private:
    fs::path dir_;
};

TEST_F(ToolTest, VersionAndDescription) {
    const ToolRun version = tvzx({"version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, tvzx::settings::settingsVersionText() + "\n");

    const ToolRun plain = tvzx({"settings", "describe"});
    EXPECT_EQ(plain.out, tvzx::settings::plainDescription() + "\n");
    const ToolRun wrapped = tvzx({"settings", "describe", "--wrapped"});
    EXPECT_EQ(wrapped.out, tvzx::settings::writeDescription() + "\n");
}

TEST_F(ToolTest, ShowReadsBackThroughASettingsFile) {
    const ToolRun changed = tvzx({"settings", "show", "--set", "Staple=2StaplesWide", "--set", "PIComment=\"A \\\"B\\\"\""});
    ASSERT_EQ(changed.status, 0) << changed.err;
    EXPECT_NE(changed.out.find("\nStaple=2StaplesWide\n"), std::string::npos);
    writeAll(file("job.settings"), changed.out);
    const ToolRun again = tvzx({"settings", "show", "--settings", file("job.settings").string()});
    EXPECT_EQ(again.out, changed.out);
}

TEST_F(ToolTest, RefusalsExitWithTwoAndWriteNothing) {
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const std::vector<Case> cases = {
        {{"settings", "show", "--set", "Nonsense=1"}, "tvzx: --set: unknown field 'Nonsense'\n"},
        {{"settings", "show", "--set", "Zoom=0"}, "tvzx: --set: number outside 1 to 1000 for Zoom: '0'\n"},
        {{"settings", "show", "--bogus"}, "tvzx: unknown argument '--bogus'\n"},
        {{"settings", "show", "--settings"}, "tvzx: option --settings needs a value\n"},
        {{"settings", "show", "--block", file("missing").string()}, "tvzx: cannot read " + file("missing").string() + "\n"},
        {{"settings", "write"}, "tvzx: settings write needs --block FILE\n"},
        {{"frobnicate"}, "tvzx: unknown command 'frobnicate'\n"},
    };
    for (const Case& c : cases) {
        const ToolRun run = tvzx(c.args);
        EXPECT_EQ(run.status, 2) << c.message;
        EXPECT_EQ(run.err, c.message);
        EXPECT_EQ(run.out, "");
    }
    const ToolRun refused = tvzx({"settings", "write", "--block", file("never.bin").string(), "--set", "Zoom=0"});
    EXPECT_EQ(refused.status, 2);
    EXPECT_FALSE(fs::exists(file("never.bin")));
}

TEST_F(ToolTest, BlockWrittenAndReadBack) {
    ASSERT_EQ(tvzx({"settings", "write", "--block", file("block.bin").string(), "--set", "Punch=3Holes"}).status, 0);
    EXPECT_EQ(fs::file_size(file("block.bin")), 26900u);
    const ToolRun shown = tvzx({"settings", "show", "--block", file("block.bin").string()});
    ASSERT_EQ(shown.status, 0) << shown.err;
    EXPECT_NE(shown.out.find("\nPunch=3Holes\n"), std::string::npos);

    // A block that states more bytes than the file holds is refused.
    std::string bytes = readAll(file("block.bin"));
    writeAll(file("short.bin"), bytes.substr(0, 1000));
    const ToolRun truncated = tvzx({"settings", "show", "--block", file("short.bin").string()});
    EXPECT_EQ(truncated.status, 2);
    EXPECT_EQ(truncated.err, "tvzx: " + file("short.bin").string() + ": block states 26900 bytes but the file holds 1000\n");
}

TEST_F(ToolTest, ForeignBlockConvertsOnlyWithItsDescription) {
    ASSERT_EQ(tvzx({"settings", "write", "--block", file("block.bin").string(), "--set", "Fold=ZFold"}).status, 0);
    // Relabel the block as written under another schema of the same layout.
    std::string bytes = readAll(file("block.bin"));
    const std::uint32_t otherHash = 0x00012345;
    tvzx::writeLe32(reinterpret_cast<std::uint8_t*>(bytes.data()) + 8, otherHash);
    tvzx::writeBe32(reinterpret_cast<std::uint8_t*>(bytes.data()) + 29, otherHash);
    writeAll(file("foreign.bin"), bytes);
    std::string plain = tvzx::settings::plainDescription();
    plain.replace(2, 8, "012345");
    std::vector<std::uint8_t> text(plain.begin(), plain.end());
    text.push_back(0);
    writeAll(file("description.txt"), tvzx::base64Encode(text));

    const ToolRun described = tvzx({"settings", "show", "--block", file("foreign.bin").string(), "--description",
                                file("description.txt").string()});
    ASSERT_EQ(described.status, 0) << described.err;
    EXPECT_NE(described.out.find("\nFold=ZFold\n"), std::string::npos);

    const ToolRun undescribed = tvzx({"settings", "show", "--block", file("foreign.bin").string()});
    ASSERT_EQ(undescribed.status, 0);
    EXPECT_EQ(undescribed.out, tvzx({"settings", "show"}).out);
}

}  // namespace
