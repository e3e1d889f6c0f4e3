// tvzx ppd, run as a user runs it: the selections of given settings, the
// example printer data it makes, and the printer data file of tvzx render.
#include <gtest/gtest.h>

#include "tool_runner.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

using tvzx::testing::readAll;
using tvzx::testing::ToolRun;
using tvzx::testing::writeAll;

class PpdTool : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("tvzx-ppd-" + std::to_string(::getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path file(const std::string& name) const { return dir_ / name; }

    // Runs tvzx with the arguments (each quoted for the shell).
    ToolRun tvzx(const std::vector<std::string>& args) const {
        return ::tvzx::testing::runTvzx(args, file("stderr"));
    }

    // Expects a refusal: exit 2, nothing on standard output, this one line on standard error.
    void expectRefused(const std::vector<std::string>& args, const std::string& line) const {
        const ToolRun run = tvzx(args);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, "tvzx: " + line + "\n");
    }

private:
    fs::path dir_;
};

TEST_F(PpdTool, PrintsTheSelectionsOfTheSettingsInRecordOrder) {
    const ToolRun all = tvzx({"ppd", "--set", "PageSize=Letter", "--set", "OutputMethod=Hold"});
    EXPECT_EQ(all.status, 0) << all.err;
    EXPECT_TRUE(all.out.starts_with("PageSize=Letter\nZVLayout=None\nZVDuplex=True\n")) << all.out;
    EXPECT_TRUE(all.out.ends_with("ZVPrintMode=Print\nZVOutputMethod=Hold\n")) << all.out;
    EXPECT_EQ(std::count(all.out.begin(), all.out.end(), '\n'), 74);

    writeAll(file("job.txt"), "# a job\nStaple=1Staple\nBinding=Left\n");
    const ToolRun changed = tvzx({"ppd", "--settings", file("job.txt").string(), "--set", "Binding=Right", "--changed",
                                  "Staple", "--changed", "OffsetPages"});
    EXPECT_EQ(changed.status, 0) << changed.err;
    EXPECT_EQ(changed.out, "ZVStaple=1Staple(Right)\nZVOffset=False\n");
}

TEST_F(PpdTool, RefusesWhatItCannotReadWithOneLine) {
    expectRefused({"ppd", "--set", "Staple=Sideways"}, "--set: unknown option for Staple: 'Sideways'");
    expectRefused({"ppd", "--changed", "Stapling"}, "--changed: no setting is named 'Stapling'");
    expectRefused({"ppd", "--changed"}, "option --changed needs a value");
    expectRefused({"ppd", "--printer-data-example", "--set", "Duplex=True"}, "--printer-data-example takes no settings");
    expectRefused({"ppd", "extra"}, "unknown argument 'extra'");
}

TEST_F(PpdTool, TheShippedPrinterDataIsTheExampleOfTheseTables) {
    const ToolRun example = tvzx({"ppd", "--printer-data-example"});
    EXPECT_EQ(example.status, 0) << example.err;
    EXPECT_TRUE(readAll(std::string(TVZX_SOURCE_DIR) + "/data/printer_data.reg") == example.out)
        << "data/printer_data.reg is out of date: tvzx ppd --printer-data-example > data/printer_data.reg";
}

TEST_F(PpdTool, RenderRefusesAPrinterDataFileItCannotRead) {
    writeAll(file("bad.reg"), "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_A\\Printers\\P\\PrinterDriverData]\r\n"
                              "\"DefaultDuplex\"=dword:1x\r\n");
    expectRefused({"render", "--printer-data", file("bad.reg").string(), "-o", file("out.prn").string()},
                  file("bad.reg").string() + ":4: dword: needs 1 to 8 hexadecimal digits");
    EXPECT_FALSE(fs::exists(file("out.prn")));
}

}  // namespace
