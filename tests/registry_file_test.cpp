// Registry export files: what an export of a printer's key holds, in the
// registry editor's UTF-16LE and in UTF-8, the lines that are refused with
// their line numbers, writing a file back, and finding the printer in it.
#include <gtest/gtest.h>

#include "platform/registry_file.h"
#include "platform/registry_printer.h"
#include "printer_fixtures.h"

namespace tvzx::platform {

// Shows a value in a failure as its name, type and bytes.
void PrintTo(const RegistryValue& value, std::ostream* out) {
    *out << '"' << value.name << "\" type " << value.type << " bytes";
    for (std::uint8_t byte : value.data) *out << ' ' << static_cast<int>(byte);
}

}  // namespace tvzx::platform

namespace {

using namespace tvzx::platform;
using tvzx::testing::wideBytes;

constexpr std::string_view kPrinterKey =
    "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\Press 1";

// An export as the registry editor writes it, with every value form a
// printer's key holds.
const std::string kExport =
    std::string(kRegistryHeader) + "\r\n\r\n[" + std::string(kPrinterKey) + "\\PrinterDriverData]\r\n"
    "\"MacAddress\"=\"00:00:5E:00:53:01\"\r\n\"DefaultDuplex\"=dword:00000001\r\n"
    "\"InstallableOptions\"=hex:01,3f,81,00,03,00,00,06,00,00,00,00,00,00,00,00,00,00,\\\r\n  00,00,00,00\r\n"
    "\"Path\"=hex(2):25,00,41,00,00,00\r\n\"Quoted \\\"name\\\"\"=\"C:\\\\Spool \\\"A\\\"\"\r\n"
    "@=\"\"\r\n; a comment\r\n\r\n"
    "[" + std::string(kPrinterKey) + "\\DsDriver]\r\n"
    "\"printBinNames\"=hex(7):54,00,31,00,00,00,54,00,32,00,00,00,00,00\r\n"
    "\"printRate\"=hex(b):01,00,00,00,00,00,00,00\r\n";

std::vector<std::uint8_t> utf8(std::string_view text) { return {text.begin(), text.end()}; }

// Returns the text as the registry editor saves it: UTF-16LE after its mark.
std::vector<std::uint8_t> utf16le(std::string_view text) {
    std::vector<std::uint8_t> bytes = {0xFF, 0xFE};
    const std::u16string wide = utf16FromUtf8(text).value();
    for (char16_t c : wide) bytes.insert(bytes.end(), {std::uint8_t(c & 0xFF), std::uint8_t(c >> 8)});
    return bytes;
}

std::string errorOf(const RegistryParse& parse) {
    return parse.error ? std::to_string(parse.error->line) + ": " + parse.error->message : "(no error)";
}

TEST(RegistryFile, ReadsEveryValueFormOfAnExportInUtf16OrUtf8WithCrLfOrLf) {
    const RegistryParse parse = parseRegistryFile(utf16le(kExport));
    ASSERT_FALSE(parse.error) << errorOf(parse);
    ASSERT_EQ(parse.file.keys.size(), 2u);
    const RegistryKey& data = parse.file.keys[0];

    EXPECT_EQ(data.values, (std::vector<RegistryValue>{
                               {"MacAddress", 1, wideBytes(u"00:00:5E:00:53:01")}, {"DefaultDuplex", 4, {1, 0, 0, 0}},
                               {"InstallableOptions", 3,
                                {1, 0x3F, 0x81, 0, 3, 0, 0, 6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
                               {"Path", 2, {0x25, 0, 0x41, 0, 0, 0}},
                               {"Quoted \"name\"", 1, wideBytes(u"C:\\Spool \"A\"")},
                               {"", 1, {0, 0}}}));
    EXPECT_EQ(std::pair(parse.file.keys[1].values[0].type, parse.file.keys[1].values[1].type), std::pair(7u, 0xBu));
    // Names are found as the registry finds them, without regard to case.
    EXPECT_EQ(parse.file.findKey(std::string(kPrinterKey) + "\\DSDRIVER"), &parse.file.keys[1]);

    // UTF-8 with or without its mark reads like UTF-16, and LF ends lines too.
    std::string lf = kExport;
    for (std::size_t at; (at = lf.find("\r\n")) != std::string::npos;) lf.erase(at, 1);
    for (const auto& bytes : {utf8(kExport), utf8("\xEF\xBB\xBF" + kExport), utf8(lf)}) {
        const RegistryParse other = parseRegistryFile(bytes);
        EXPECT_FALSE(other.error) << errorOf(other);
        EXPECT_EQ(other.file, parse.file);
    }
    // Text beyond ASCII survives both encodings.
    const std::string accented = std::string(kRegistryHeader) +
                                 "\n[HKEY_A\\Caf\xC3\xA9]\n\"N\xC3\xA4me\"=\"\xE2\x82\xAC \xF0\x9F\x96\xA8\"\n";
    const RegistryParse a = parseRegistryFile(utf8(accented));
    const RegistryParse b = parseRegistryFile(utf16le(accented));
    ASSERT_FALSE(a.error) << errorOf(a);
    EXPECT_EQ(a.file, b.file);
    EXPECT_EQ(a.file.keys[0].values[0].data, wideBytes(u"\u20AC \U0001F5A8"));
}

TEST(RegistryFile, ALaterValueOfTheSameNameReplacesAndAKeyNamedTwiceIsOneKey) {
    const std::string text = std::string(kRegistryHeader) +
                             "\n[HKEY_A\\B]\n\"X\"=dword:1\n[HKEY_A\\C]\n[hkey_a\\b]\n\"x\"=dword:2\n\"Y\"=hex:\n";
    const RegistryParse parse = parseRegistryFile(utf8(text));
    ASSERT_FALSE(parse.error) << errorOf(parse);
    ASSERT_EQ(parse.file.keys.size(), 2u);
    EXPECT_EQ(parse.file.keys[0].values, (std::vector<RegistryValue>{{"x", 4, {2, 0, 0, 0}}, {"Y", 3, {}}}));
}

TEST(RegistryFile, RefusesWhatIsNotAnExportNamingTheLine) {
    const std::string h = std::string(kRegistryHeader) + "\n";
    const struct {
        std::string text;
        std::string expected;
    } cases[] = {
        {"", "1: empty file: the first line must be \"Windows Registry Editor Version 5.00\""},
        {"REGEDIT4\n", "1: the first line must be \"Windows Registry Editor Version 5.00\""},
        {h + "\"A\"=dword:1\n", "2: a value before the first key"}, {h + "[HKEY_A\n", "2: a key line must end in ']'"},
        {h + "[-HKEY_A]\n", "2: key deletions are not printer data"},
        {h + "[Software\\A]\n", "2: a key path must begin with a root key (HKEY_...)"},
        {h + "[HKEY_A\\\\B]\n", "2: a key path must not hold an empty key name"},
        {h + "[HKEY_A]\n\"A\"=-\n", "3: value deletions are not printer data"},
        {h + "[HKEY_A]\n\"A\"=qword:1\n", "3: unknown value type"},
        {h + "[HKEY_A]\n\"A\"=\n", "3: the value has no data"},
        {h + "[HKEY_A]\n\"A\" dword:1\n", "3: '=' must follow the value name"},
        {h + "[HKEY_A]\n\"A=dword:1\n", "3: a quoted text is not closed"},
        {h + "[HKEY_A]\n\"A\\n\"=dword:1\n", "3: only \\\\ and \\\" may follow a backslash in a quoted text"},
        {h + "[HKEY_A]\n\"A\"=\"x\"y\n", "3: text after the closing quote"},
        {h + "[HKEY_A]\n\"A\"=dword:123456789\n", "3: dword: needs 1 to 8 hexadecimal digits"},
        {h + "[HKEY_A]\n\"A\"=dword:\n", "3: dword: needs 1 to 8 hexadecimal digits"},
        {h + "[HKEY_A]\n\"A\"=hex(zz):01\n", "3: hex( needs a hexadecimal type number and ')'"},
        {h + "[HKEY_A]\n\"A\"=hex;01\n", "3: ':' must follow hex or hex(type)"},
        {h + "[HKEY_A]\n\"A\"=hex:1,02\n", "3: a byte must be two hexadecimal digits"},
        {h + "[HKEY_A]\n\"A\"=hex:01 02\n", "3: bytes must be separated by ','"},
        {h + "[HKEY_A]\n\"A\"=hex:01,\n", "3: a byte list must not end in ','"},
        {h + "[HKEY_A]\n\"A\"=hex:01,\\\n  02,\\\n", "4: the byte list continues past the end of the file"},
        {h + "[HKEY_A]\n\"A\"=hex:01,\\\n  zz\n", "4: a byte must be two hexadecimal digits"},
        {h + "[HKEY_A]\ngarbage\n", "3: unexpected text"},
        {h + "[HKEY_A]\n\"A\"=\"\xC3\"\n", "3: the text is not UTF-8"},
    };
    for (const auto& c : cases) {
        const RegistryParse parse = parseRegistryFile(utf8(c.text));
        EXPECT_EQ(errorOf(parse), c.expected) << c.text;
        EXPECT_TRUE(parse.file.keys.empty());
    }
}

TEST(RegistryFile, RefusesBrokenUtf16AtItsLineAndBigEndianFiles) {
    std::vector<std::uint8_t> bytes = utf16le(std::string(kRegistryHeader) + "\r\n[HKEY_A]\r\n\"A\"=\"");
    bytes.insert(bytes.end(), {0x00, 0xD8, '"', 0});  // a high surrogate without its low half
    EXPECT_EQ(errorOf(parseRegistryFile(bytes)), "3: the file is not valid UTF-16LE");
    bytes = utf16le(std::string(kRegistryHeader) + "\r\n");
    bytes.push_back('x');  // half a character
    EXPECT_EQ(errorOf(parseRegistryFile(bytes)), "2: the file is not valid UTF-16LE");
    EXPECT_EQ(errorOf(parseRegistryFile(std::vector<std::uint8_t>{0xFE, 0xFF, 0, 'W'})),
              "1: UTF-16 big-endian files are not read; save the export as UTF-16LE or UTF-8");
}

TEST(RegistryFile, WhatIsWrittenReadsBackAndKeepsToTheLineWidth) {
    RegistryFile file;
    std::vector<std::uint8_t> large(300);
    for (std::size_t i = 0; i < large.size(); ++i) large[i] = static_cast<std::uint8_t>(i);
    file.keys.push_back({"HKEY_LOCAL_MACHINE\\A",
                         {{"Large", 3, large}, {"Text", 1, wideBytes(u"x \"y\" \\z")}, {"Lines", 1, wideBytes(u"a\r\nb")},
                          {"Unterminated", 1, {'a', 0, 'b', 0, 'c', 0}}, {"Short", 4, {1, 2}},
                          {"Number", 4, {0x2A, 0, 0, 0}}, {"", 0xB, {1, 2, 3, 4, 5, 6, 7, 8}}}});
    file.keys.push_back({"HKEY_LOCAL_MACHINE\\B", {}});
    const std::string text = formatRegistryFile(file);
    const RegistryParse parse = parseRegistryFile(utf8(text));
    ASSERT_FALSE(parse.error) << errorOf(parse) << "\n" << text;
    EXPECT_EQ(parse.file, file);
    for (const char* line : {"\"Text\"=\"x \\\"y\\\" \\\\z\"\r\n", "\"Number\"=dword:0000002a\r\n",
                             "\"Short\"=hex(4):01,02\r\n", "\"Lines\"=hex(1):", "@=hex(b):01,02,03,04,05,06,07,08\r\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line << " in\n" << text;
    for (std::size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        EXPECT_LE(end - start, 80u) << text.substr(start, end - start);
}

TEST(RegistryPrinter, IsTheOnePrinterAboveTheDriverDataKey) {
    RegistryParse parse = parseRegistryFile(utf8(kExport));
    ASSERT_FALSE(parse.error) << errorOf(parse);
    const RegistryPrinterLoad load = findRegistryPrinter(std::move(parse.file));
    ASSERT_TRUE(load.printer) << load.error;
    EXPECT_EQ(load.printer->name(), u"Press 1");
    ASSERT_TRUE(load.printer->driverData("defaultDUPLEX"));
    EXPECT_EQ(load.printer->driverData("DefaultDuplex")->data, (std::vector<std::uint8_t>{1, 0, 0, 0}));
    ASSERT_TRUE(load.printer->value("DsDriver", "printBinNames"));
    EXPECT_FALSE(load.printer->value("DsSpooler", "printBinNames"));
    const RegistryPrinterData data(load.printer);
    EXPECT_EQ(data.read("MacAddress")->type, 1u);
    EXPECT_FALSE(data.read("printBinNames"));
    // Files without or with more than one printer are refused.
    const auto errorOfKeys = [](const std::string& keys) {
        return findRegistryPrinter(parseRegistryFile(utf8(std::string(kRegistryHeader) + "\n" + keys)).file).error;
    };
    EXPECT_EQ(errorOfKeys("[HKEY_A\\Printers\\P\\DsDriver]\n"),
              "the file holds no key ...\\Printers\\<printer>\\PrinterDriverData");
    EXPECT_EQ(errorOfKeys("[HKEY_A\\Printers\\P\\PrinterDriverData]\n[HKEY_A\\Printers\\Q\\PrinterDriverData]\n"),
              "the file holds the data of the printers \"P\" and \"Q\"; export the key of one printer");
    EXPECT_EQ(loadRegistryPrinter("/nonexistent/printer.reg").error, "/nonexistent/printer.reg: cannot be read");
}

}  // namespace
