// tvzx printer-data on a system without a spooler: the values go into the
// printer data file of --printer-data, checked first, and the next job
// through that file follows them.
#include <gtest/gtest.h>

#include "tool_runner.h"

namespace {

namespace fs = std::filesystem;
using tvzx::testing::readAll;
using tvzx::testing::writeAll;

class ToolPrinterData : public tvzx::testing::ToolTest {
protected:
    tvzx::testing::ToolRun tvzx(std::vector<std::string> args) const {
        return tvzx::testing::runTvzx(args, file("stderr"));
    }
    std::vector<std::string> printerData(std::vector<std::string> more) const {
        std::vector<std::string> args{"printer-data", "--printer", "Press 7", "--printer-data", file("press.reg").string()};
        args.insert(args.end(), more.begin(), more.end());
        return args;
    }
};

TEST_F(ToolPrinterData, SetValuesGoIntoANewFileAndShowAsTheyWereNamed) {
    const auto set = tvzx(printerData({"--set", "InstalledOption.PaperFeedUnit=ThreeTrayDeck", "--set", "DefaultDuplex=False",
                                       "--set", "MacAddress=00-00-5e-00-53-0a", "--set", "BinNames=Tray 1,Bypass"}));
    ASSERT_EQ(set.status, 0) << set.err;
    EXPECT_EQ(set.out, "4 values set for printer \"Press 7\"\n");
    const std::string key = "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\Press 7\\";
    const std::string reg = readAll(file("press.reg"));
    EXPECT_NE(reg.find(key + "PrinterDriverData]\r\n\"DefaultDuplex\"=dword:00000000\r\n\"MacAddress\"=\"00:00:5E:00:53:0A\"\r\n"
                             "\"InstallableOptions\"=hex:01,ff,ff,0f,03,00,00,01,00,00,00,00,00,00,00,00,00,00,\\\r\n"
                             "  00,00,00,00\r\n"),
              std::string::npos)
        << reg;
    EXPECT_NE(reg.find(key + "DsDriver]\r\n\"printBinNames\"=hex(7):54,00,72,00,61,00,79,00,20,00,31,00,00,00,42,00,79,"),
              std::string::npos)
        << reg;
    // A second run changes one option of the stored block and shows all.
    const auto shown = tvzx(printerData({"--set", "InstalledOption.Stapler=False", "--show"}));
    ASSERT_EQ(shown.status, 0) << shown.err;
    EXPECT_NE(shown.out.find("InstalledOption.Stapler=False\nInstalledOption.PunchUnit=True\n"), std::string::npos) << shown.out;
    EXPECT_NE(shown.out.find("InstalledOption.PaperFeedUnit=ThreeTrayDeck\nDefaultDuplex=False\nMacAddress=00:00:5E:00:53:0A\n"
                             "BinNames=Tray 1,Bypass\n"),
              std::string::npos)
        << shown.out;
}

TEST_F(ToolPrinterData, AnImportedPrinterTakesItsValuesAndLaterSetsWin) {
    const auto run = tvzx(printerData({"--import", std::string(TVZX_SOURCE_DIR) + "/data/printer_data.reg", "--set",
                                       "InstalledOption.PerfectBinder=False", "--set", "DefaultDuplex=False", "--show"}));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("InstalledOption.PerfectBinder=False\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("InstalledOption.OffsetTray=True\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("InstalledOption.PaperFeedUnit=ThreeTrayDeckBypass\nDefaultDuplex=False\nMacAddress=00:00:5E:00:53:01\n"
                           "BinNames=Auto Select,Tray 1,"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("\nCustomPaper="), std::string::npos) << run.out;
    // The job on the printer now starts one-sided; the example printer's own
    // data starts it two-sided.
    const auto job = tvzx({"settings", "show", "--printer-data", file("press.reg").string()});
    const auto example = tvzx({"settings", "show", "--printer-data", std::string(TVZX_SOURCE_DIR) + "/data/printer_data.reg"});
    EXPECT_NE(job.out.find("\nDuplex=False\n"), std::string::npos) << job.err;
    EXPECT_NE(example.out.find("\nDuplex=True\n"), std::string::npos) << example.err;
}

TEST_F(ToolPrinterData, RefusedValuesExitWithTwoAndLeaveTheFileAsItWas) {
    ASSERT_EQ(tvzx(printerData({"--set", "DefaultDuplex=True"})).status, 0);
    const std::string before = readAll(file("press.reg"));
    std::string shortOptions = "Windows Registry Editor Version 5.00\r\n\r\n"
                               "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\X\\PrinterDriverData]\r\n"
                               "\"InstallableOptions\"=hex:01,ff,ff,0f,03,00,00,01,00,00,00,00,00,00,00,00,00,00,00,00,00\r\n";
    writeAll(file("short.reg"), shortOptions);
    writeAll(file("mac.reg"), "Windows Registry Editor Version 5.00\r\n\r\n"
                              "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\X\\PrinterDriverData]\r\n"
                              "\"MacAddress\"=\"00:00:5E:00:53\"\r\n");
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--set", "MacAddress=00:00:5E:00:53"}, "tvzx: MacAddress: '00:00:5E:00:53' is not a hardware address\n"},
        {{"--set", "MacAddress=00:00:00:00:00:00"}, "tvzx: MacAddress: '00:00:00:00:00:00' is not a hardware address\n"},
        {{"--set", "DefaultDuplex=False", "--set", "InstalledOption.Stapler=Yes"},
         "tvzx: --set: InstalledOption.Stapler=Yes names no installable option or no choice of it\n"},
        {{"--set", "DefaultDuplex=1"}, "tvzx: --set: DefaultDuplex is True or False, not '1'\n"},
        {{"--set", "BinNames=Tray 1,,Tray 2"}, "tvzx: BinNames: an empty bin name in 'Tray 1,,Tray 2'\n"},
        {{"--set", "Speed=Fast"},
         "tvzx: --set: no printer data value is named 'Speed' (InstalledOption.<Name>, DefaultDuplex, MacAddress, BinNames)\n"},
        {{"--import", file("short.reg").string()}, "tvzx: " + file("short.reg").string() + ": InstallableOptions: 21 bytes, not 22\n"},
        {{"--import", file("mac.reg").string()}, "tvzx: MacAddress: '00:00:5E:00:53' is not a hardware address\n"},
    };
    for (const auto& [more, message] : cases) {
        const auto run = tvzx(printerData(more));
        EXPECT_EQ(std::tuple(run.status, run.err, run.out), std::tuple(2, message, "")) << message;
    }
    const auto other = tvzx({"printer-data", "--printer", "Press 8", "--printer-data", file("press.reg").string(), "--show"});
    EXPECT_EQ(other.err, "tvzx: " + file("press.reg").string() + ": holds the data of another printer, not of \"Press 8\"\n");
    EXPECT_EQ(tvzx({"printer-data", "--printer", "Press 7"}).err,
              "tvzx: printer-data needs --import FILE.reg, --set Value=Data or --show\n");
    EXPECT_EQ(tvzx({"printer-data", "--show"}).err, "tvzx: printer-data needs --printer NAME\n");
    EXPECT_EQ(readAll(file("press.reg")), before);
}

}  // namespace
