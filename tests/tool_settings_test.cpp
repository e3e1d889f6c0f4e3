// The tvzx version, settings and ppd commands, run as a user runs them.
#include <gtest/gtest.h>

#include "tool_runner.h"

#include <algorithm>

#include "common/base64.h"
#include "common/byte_order.h"
#include "settings/schema_hash.h"
#include "settings/text_form.h"

namespace {

namespace fs = std::filesystem;

using namespace tvzx::testing;

class ToolTest : public tvzx::testing::ToolTest {
protected:
    std::string file(const std::string& name) const { return (dir_ / name).string(); }

    // Runs tvzx with the arguments (each quoted for the shell).
    ToolRun tvzx(const std::vector<std::string>& args) const { return ::tvzx::testing::runTvzx(args, dir_ / "stderr"); }
};

TEST_F(ToolTest, VersionAndDescription) {
    EXPECT_EQ(tvzx({"version"}).out, tvzx::settings::settingsVersionText() + "\n");
    EXPECT_EQ(tvzx({"settings", "describe"}).out, tvzx::settings::plainDescription() + "\n");
    EXPECT_EQ(tvzx({"settings", "describe", "--wrapped"}).out, tvzx::settings::writeDescription() + "\n");
}

TEST_F(ToolTest, RefusalsExitWithTwoOneLineAndWriteNothing) {
    writeAll(file("bad.reg"), "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_A\\Printers\\P\\PrinterDriverData]\r\n"
                              "\"DefaultDuplex\"=dword:1x\r\n");
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"settings", "show", "--set", "Nonsense=1"}, "--set: unknown field 'Nonsense'"},
        {{"settings", "show", "--bogus"}, "unknown argument '--bogus'"}, {{"frobnicate"}, "unknown command 'frobnicate'"},
        {{"settings", "show", "--settings"}, "option --settings needs a value"},
        {{"settings", "show", "--block", file("missing")}, "cannot read " + file("missing")},
        {{"settings", "write"}, "settings write needs --block FILE"},
        {{"settings", "write", "--block", file("out.bin"), "--set", "Zoom=0"},
         "--set: number outside 1 to 1000 for Zoom: '0'"},
        {{"ppd", "--set", "Staple=Sideways"}, "--set: unknown option for Staple: 'Sideways'"},
        {{"ppd", "--changed", "Stapling"}, "--changed: no setting is named 'Stapling'"},
        {{"ppd", "--printer-data-example", "--set", "Duplex=True"}, "--printer-data-example takes no settings"},
        {{"render", "--printer-data", file("bad.reg"), "-o", file("out.bin")},
         file("bad.reg") + ":4: dword: needs 1 to 8 hexadecimal digits"},
    };
    for (const auto& [args, message] : cases) {
        const ToolRun run = tvzx(args);
        EXPECT_EQ(std::tuple(run.status, run.err, run.out), std::tuple(2, "tvzx: " + message + "\n", "")) << message;
    }
    EXPECT_FALSE(fs::exists(file("out.bin")));
}

TEST_F(ToolTest, BlockWrittenAndReadBackAndAForeignOneConvertedOnlyWithItsDescription) {
    ASSERT_EQ(tvzx({"settings", "write", "--block", file("block.bin"), "--set", "Punch=3Holes"}).status, 0);
    EXPECT_EQ(fs::file_size(file("block.bin")), 26900u);
    const ToolRun shown = tvzx({"settings", "show", "--block", file("block.bin")});
    ASSERT_EQ(shown.status, 0) << shown.err;
    EXPECT_NE(shown.out.find("\nPunch=3Holes\n"), std::string::npos);

    // A block that states more bytes than the file holds is refused.
    writeAll(file("short.bin"), readAll(file("block.bin")).substr(0, 1000));
    const ToolRun truncated = tvzx({"settings", "show", "--block", file("short.bin")});
    EXPECT_EQ(std::to_string(truncated.status) + " " + truncated.err,
              "2 tvzx: " + file("short.bin") + ": block states 26900 bytes but the file holds 1000\n");

    // A block of another schema converts only with its description.
    ASSERT_EQ(tvzx({"settings", "write", "--block", file("block.bin"), "--set", "Fold=ZFold"}).status, 0);
    // Relabel the block as written under another schema of the same layout.
    std::string bytes = readAll(file("block.bin"));
    auto* const data = reinterpret_cast<std::uint8_t*>(bytes.data());
    tvzx::writeLe32(data + 8, 0x00012345);
    tvzx::writeBe32(data + 29, 0x00012345);
    writeAll(file("foreign.bin"), bytes);
    std::string plain = tvzx::settings::plainDescription();
    plain.replace(2, 8, "012345");
    // The wrapped description carries its terminating NUL.
    writeAll(file("description.txt"), tvzx::base64Encode(std::vector<std::uint8_t>(plain.c_str(), plain.c_str() + plain.size() + 1)));

    const ToolRun described =
        tvzx({"settings", "show", "--block", file("foreign.bin"), "--description", file("description.txt")});
    ASSERT_EQ(described.status, 0) << described.err;
    EXPECT_NE(described.out.find("\nFold=ZFold\n"), std::string::npos);
    const ToolRun undescribed = tvzx({"settings", "show", "--block", file("foreign.bin")});
    ASSERT_EQ(undescribed.status, 0);
    EXPECT_EQ(undescribed.out, tvzx({"settings", "show"}).out);
}

TEST_F(ToolTest, PpdPrintsTheSelectionsOfTheSettingsInRecordOrder) {
    const ToolRun all = tvzx({"ppd", "--set", "PageSize=Letter", "--set", "OutputMethod=Hold"});
    EXPECT_EQ(all.status, 0) << all.err;
    EXPECT_TRUE(all.out.starts_with("PageSize=Letter\nZVLayout=None\nZVDuplex=True\n")) << all.out;
    EXPECT_TRUE(all.out.ends_with("ZVPrintMode=Print\nZVOutputMethod=Hold\n")) << all.out;
    EXPECT_EQ(std::count(all.out.begin(), all.out.end(), '\n'), 74);

    writeAll(file("job.txt"), "# a job\nStaple=1Staple\nBinding=Left\n");
    const ToolRun changed = tvzx({"ppd", "--settings", file("job.txt"), "--set", "Binding=Right", "--changed", "Staple",
                                  "--changed", "OffsetPages"});
    EXPECT_EQ(changed.status, 0) << changed.err;
    EXPECT_EQ(changed.out, "ZVStaple=1Staple(Right)\nZVOffset=False\n");

    // The shipped example printer data is what these tables give.
    EXPECT_TRUE(readAll(std::string(TVZX_SOURCE_DIR) + "/data/printer_data.reg") ==
                tvzx({"ppd", "--printer-data-example"}).out)
        << "data/printer_data.reg is out of date: tvzx ppd --printer-data-example > data/printer_data.reg";
}

}  // namespace
