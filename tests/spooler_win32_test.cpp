// The Windows platform layer against a real print spooler: a printer added
// with the system's own PostScript driver and a file port (as Wine's spooler
// allows), its data written with SetPrinterDataW and read back through the
// layer's OpenPrinterW, GetPrinterDataW and GetPrinterW calls. Where no such
// printer can be added (no Wine PostScript driver, no administrator rights)
// the tests are skipped.
#include <gtest/gtest.h>

#if defined(_WIN32)

#include <windows.h>
#include <winspool.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/printer_by_name.h"
#include "platform/spooler.h"
#include "required_tool.h"

namespace tvzx {
namespace {

constexpr wchar_t kPrinterName[] = L"TVZX Spooler Test";
constexpr char16_t kPrinterName16[] = u"TVZX Spooler Test";
constexpr wchar_t kDriverName[] = L"Wine PostScript Driver";
constexpr wchar_t kDriverFile[] = L"wineps.drv";
constexpr wchar_t kEnvironment[] = L"Windows x64";
constexpr wchar_t kPort[] = L"FILE:";
constexpr wchar_t kPrintProcessor[] = L"WinPrint";
constexpr wchar_t kDataType[] = L"RAW";
constexpr DWORD kDriverVersion = 3;
constexpr DWORD kDriverInfoLevel = 3;
constexpr DWORD kPrinterInfoLevel = 2;
constexpr wchar_t kMacAddressValue[] = L"MacAddress";
constexpr wchar_t kMacAddress[] = L"00:1B:44:11:3A:B7";
constexpr wchar_t kOptionsValue[] = L"InstallableOptions";

class RealSpooler : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // The driver first: a printer can only be added for a known driver.
        DRIVER_INFO_3W driver{};
        driver.cVersion = kDriverVersion;
        driver.pName = const_cast<wchar_t*>(kDriverName);
        driver.pEnvironment = const_cast<wchar_t*>(kEnvironment);
        driver.pDriverPath = const_cast<wchar_t*>(kDriverFile);
        driver.pDataFile = const_cast<wchar_t*>(kDriverFile);
        driver.pConfigFile = const_cast<wchar_t*>(kDriverFile);
        driver.pDefaultDataType = const_cast<wchar_t*>(kDataType);
        if (!AddPrinterDriverExW(nullptr, kDriverInfoLevel, reinterpret_cast<BYTE*>(&driver), APD_COPY_NEW_FILES)) {
            skipReason = "no PostScript driver to add a printer with (error " + std::to_string(GetLastError()) + ")";
            return;
        }
        PRINTER_INFO_2W info{};
        info.pPrinterName = const_cast<wchar_t*>(kPrinterName);
        info.pPortName = const_cast<wchar_t*>(kPort);
        info.pDriverName = const_cast<wchar_t*>(kDriverName);
        info.pPrintProcessor = const_cast<wchar_t*>(kPrintProcessor);
        info.pDatatype = const_cast<wchar_t*>(kDataType);
        HANDLE added = AddPrinterW(nullptr, kPrinterInfoLevel, reinterpret_cast<BYTE*>(&info));
        // A printer left by an earlier run is used as it is.
        if (added == nullptr && GetLastError() != ERROR_PRINTER_ALREADY_EXISTS) {
            skipReason = "the spooler holds no added printer (error " + std::to_string(GetLastError()) + ")";
            return;
        }
        if (added != nullptr) ClosePrinter(added);
        HANDLE printer = nullptr;
        PRINTER_DEFAULTSW access{nullptr, nullptr, PRINTER_ALL_ACCESS};
        if (!OpenPrinterW(const_cast<wchar_t*>(kPrinterName), &printer, &access)) {
            skipReason = "the added printer cannot be opened (error " + std::to_string(GetLastError()) + ")";
            return;
        }
        // The values the driver's user-interface plug-in would write.
        SetPrinterDataW(printer, const_cast<wchar_t*>(kMacAddressValue), REG_SZ,
                        reinterpret_cast<BYTE*>(const_cast<wchar_t*>(kMacAddress)), sizeof kMacAddress);
        SetPrinterDataW(printer, const_cast<wchar_t*>(kOptionsValue), REG_BINARY, options().data(),
                        static_cast<DWORD>(options().size()));
        ClosePrinter(printer);
    }

    static void TearDownTestSuite() {
        HANDLE printer = nullptr;
        PRINTER_DEFAULTSW access{nullptr, nullptr, PRINTER_ALL_ACCESS};
        if (OpenPrinterW(const_cast<wchar_t*>(kPrinterName), &printer, &access)) {
            DeletePrinter(printer);
            ClosePrinter(printer);
        }
    }

    void SetUp() override {
        TVZX_REQUIRE_TOOL(skipReason.empty(), "a printer in the system's spooler: " + skipReason);
    }

    static std::vector<std::uint8_t>& options() {
        static std::vector<std::uint8_t> bytes = {0x01, 0x00, 0xFF, 0x7F, 0x80, 0x02, 0x00, 0x00, 0x10};
        return bytes;
    }

    static inline std::string skipReason;
};

std::vector<std::uint8_t> bytesOf(const wchar_t* text, std::size_t size) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text);
    return std::vector<std::uint8_t>(bytes, bytes + size);
}

TEST_F(RealSpooler, ReadsPrinterDataOfAPrinterOpenedByName) {
    const auto data = platform::openPrinterData(kPrinterName16);
    ASSERT_NE(data, nullptr);
    const auto mac = data->read("MacAddress");
    ASSERT_TRUE(mac);
    EXPECT_EQ(mac->type, static_cast<std::uint32_t>(REG_SZ));
    EXPECT_EQ(mac->data, bytesOf(kMacAddress, sizeof kMacAddress));
    const auto options = data->read("InstallableOptions");
    ASSERT_TRUE(options);
    EXPECT_EQ(options->type, static_cast<std::uint32_t>(REG_BINARY));
    EXPECT_EQ(options->data, RealSpooler::options());
    EXPECT_FALSE(data->read("LastCustomPapers"));
    EXPECT_EQ(platform::openPrinterData(u"TVZX No Such Printer"), nullptr);
}

TEST_F(RealSpooler, AnswersForAHandleAsTheDriverHandsItOver) {
    platform::Spooler& spooler = platform::systemSpooler();
    void* printer = spooler.openPrinter(kPrinterName16);
    ASSERT_NE(printer, nullptr);
    EXPECT_EQ(spooler.printerName(printer), std::u16string(kPrinterName16));
    const auto data = spooler.printerData(printer);
    ASSERT_NE(data, nullptr);
    const auto options = data->read("InstallableOptions");
    ASSERT_TRUE(options);
    EXPECT_EQ(options->data, RealSpooler::options());
    // The printer's DEVMODE: at least its public part, which states its own size.
    const auto devmode = spooler.printerDevMode(printer);
    ASSERT_TRUE(devmode);
    ASSERT_GE(devmode->size(), sizeof(DEVMODEW));
    const auto* head = reinterpret_cast<const DEVMODEW*>(devmode->data());
    EXPECT_EQ(devmode->size(), std::size_t{head->dmSize} + head->dmDriverExtra);
    // No job of this number was ever spooled.
    EXPECT_FALSE(spooler.jobParameters(printer, 0x7FFF0000));
    spooler.closePrinter(printer);
    EXPECT_EQ(spooler.openPrinter(u"TVZX No Such Printer"), nullptr);
}

}  // namespace
}  // namespace tvzx

#endif
