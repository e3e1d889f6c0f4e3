// The core driver's keyword tables in the printer data, and the printer
// access object that reads them with the spooler's answers.
#include <gtest/gtest.h>

#include "config/keyword_table.h"
#include "printer_fixtures.h"

namespace {

using namespace tvzx::config;
using namespace tvzx::testing;

constexpr std::uint32_t kHash = 0x1A2B3C4D;

// Builds a value from text pieces; "\0" and "\x01" are spelled out by the caller.
std::vector<std::uint8_t> bytesOf(std::string_view text) { return {text.begin(), text.end()}; }

std::string shown(const std::optional<KeywordTable>& table) {
    if (!table) return "(not usable)";
    std::string out;
    for (const auto& [key, number] : *table) out += key + "=" + std::to_string(number) + ";";
    return out;
}

TEST(KeywordTable, ReadsRecordsBehindTheHashRefusesWhatIsCutShortAndReadsBackWhatIsFormatted) {
    using namespace std::string_view_literals;
    const std::pair<std::string_view, std::string> cases[] = {
        // A later record replaces an earlier one.
        {"1A2B3C4D\0InputSlot\0\x11\x00ZVDuplex\0\x34\x12InputSlot\0\x05\x00"sv, "InputSlot=5;ZVDuplex=4660;"},
        {"1A2B3C4E\0InputSlot\0\x11\x00"sv, "(not usable)"}, {"1a2b3c4d\0InputSlot\0\x11\x00"sv, "(not usable)"},
        {""sv, "(not usable)"},
        // Fewer than four bytes after a record end the table; the hash alone,
        // even without its NUL, is an empty table.
        {"1A2B3C4D\0Ab\0\x01\x00Z\0\x02"sv, "Ab=1;"}, {"1A2B3C4D"sv, ""},
        // A key running to the end, or a number cut short, is never read past the value.
        {"1A2B3C4D\0Ab\0\x01\x00LongKeyWithoutEnd"sv, "(not usable)"},
        {"1A2B3C4D\0Ab\0\x01\x00Key\0\x07"sv, "(not usable)"}, {"1A2B3C4D\0Ab\0\x01\x00Key\0"sv, "(not usable)"},
    };
    for (const auto& [bytes, expected] : cases) EXPECT_EQ(shown(parseKeywordTable(bytesOf(bytes), kHash)), expected);
    // What is formatted reads back.
    const KeywordTable table{{"InputSlot", 17}, {"ZVStaple", 0xFFFF}, {"ZVStaple_1Staple(Left)", 2}};
    const auto value = formatKeywordTable(table, kHash);
    EXPECT_EQ(std::string(value.begin(), value.begin() + 9), std::string("1A2B3C4D\0", 9));
    EXPECT_EQ(shown(parseKeywordTable(value, kHash)), shown(table));
    // A record without a key is left out: alone it could not be read back.
    EXPECT_EQ(formatKeywordTable({{"", 3}}, kHash), formatKeywordTable({}, kHash));
}

TEST(PrinterAccess, ReadsAsTheSpoolerDoesOnlyWithAHandleRefusesSizesBeyond32BitsAndKeyedValuesItLacks) {
    PrinterSpooler spooler;
    spooler.setDword("DefaultDuplex", 0x01020304);
    std::uint8_t buffer[8] = {};
    std::uint64_t needed = 0;
    std::uint32_t type = 0;
    // Without a handle the answer is 1801 and the spooler is never asked.
    const PrinterAccess none(spooler, nullptr);
    EXPECT_EQ(none.readValue("DefaultDuplex", &type, buffer, sizeof buffer, &needed), kErrorInvalidPrinterName);
    EXPECT_EQ(none.readExtendedValue("DsDriver", "printBinNames", &type, buffer, sizeof buffer, &needed),
              kErrorInvalidPrinterName);
    EXPECT_EQ(none.deviceCapability(kCapabilityBins).count, -1);
    EXPECT_FALSE(none.forms() || none.value("DefaultDuplex"));
    EXPECT_EQ(spooler.questions, 0);

    const PrinterAccess printer(spooler, printerHandle());
    EXPECT_EQ(printer.readValue("DefaultDuplex", &type, buffer, 2, &needed), kErrorMoreData);
    EXPECT_EQ(std::pair(needed, buffer[0]), (std::pair<std::uint64_t, std::uint8_t>(4, 0))) << "nothing copied to a short buffer";
    EXPECT_EQ(printer.readValue("DefaultDuplex", &type, buffer, sizeof buffer, &needed), kErrorSuccess);
    EXPECT_EQ(type, tvzx::win::REG_DWORD);
    EXPECT_EQ(std::vector<std::uint8_t>(buffer, buffer + 4), (std::vector<std::uint8_t>{4, 3, 2, 1}));
    EXPECT_EQ(printer.readValue("Missing", &type, buffer, sizeof buffer, &needed), kErrorFileNotFound);

    constexpr std::uint64_t kBeyond = std::uint64_t{std::numeric_limits<std::uint32_t>::max()} + 1;
    EXPECT_EQ(printer.readValue("DefaultDuplex", &type, buffer, kBeyond, &needed), kErrorIncorrectSize);
    needed = kBeyond;
    EXPECT_EQ(printer.readValue("DefaultDuplex", &type, buffer, sizeof buffer, &needed), kErrorIncorrectSize);
    EXPECT_EQ(printer.readExtendedValue("DsDriver", "x", &type, buffer, kBeyond, nullptr), kErrorIncorrectSize);

    // Keyed values come only from a spooler that knows them.
    spooler.keyed["DsDriver\\printBinNames"] = {tvzx::win::REG_MULTI_SZ, {'A', 0, 0, 0, 0, 0}};
    const auto value = printer.extendedValue("DsDriver", "printBinNames");
    ASSERT_TRUE(value);
    EXPECT_EQ(value->type, tvzx::win::REG_MULTI_SZ);
    EXPECT_EQ(value->data.size(), 6u);
    EXPECT_FALSE(printer.extendedValue("DsDriver", "printMediaReady"));

    tvzx::platform::AbsentSpooler plain;
    const PrinterAccess other(plain, printerHandle());
    std::uint64_t asked = 0;
    EXPECT_EQ(other.readExtendedValue("DsDriver", "printBinNames", nullptr, nullptr, 0, &asked), kErrorNotSupported);
    EXPECT_EQ(other.deviceCapability(kCapabilityBins).count, -1);
}

}  // namespace
