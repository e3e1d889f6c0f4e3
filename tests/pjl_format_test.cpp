// One ticket command: quoting, numbers and the bounded UTF-8 copy.
#include <gtest/gtest.h>

#include "pjl/pjl_format.h"

namespace tvzx::pjl {
namespace {

TEST(FormatPjlSet, BareQuotedAndNumberValues) {
    // Each row: key, value, whether always quoted, the command.
    const std::tuple<std::string_view, std::string_view, bool, std::string_view> cases[] = {
        {"COPIES", "3", false, "@PJL SET COPIES=3\r\n"}, {"SHIFT", "-12", false, "@PJL SET SHIFT=-12\r\n"},
        {"SHIFT", "-", false, "@PJL SET SHIFT=-\r\n"}, {"SHIFT", "-A", false, "@PJL SET SHIFT=\"-A\"\r\n"},
        {"SCALE", "1.5", false, "@PJL SET SCALE=\"1.5\"\r\n"}, {"EMPTY", "", false, "@PJL SET EMPTY=\r\n"},
        {"NAME", "two words", false, "@PJL SET NAME=\"two words\"\r\n"},
        {"NAME", "caf\xC3\xA9", false, "@PJL SET NAME=\"caf\xC3\xA9\"\r\n"},
        // A quote inside a value is passed as it is.
        {"NAME", "a\"b", false, "@PJL SET NAME=\"a\"b\"\r\n"},
        // Line breaks cannot start a command of their own.
        {"ZXSECTIONNAME", "Sales\r\n@PJL SET HOLD=OFF", true, "@PJL SET ZXSECTIONNAME=\"Sales  @PJL SET HOLD=OFF\"\r\n"},
        {"JOBNAME", "a\nb", false, "@PJL SET JOBNAME=\"a b\"\r\n"}, {"USERNAME", "", true, "@PJL SET USERNAME=\"\"\r\n"},
        {"USERNAME", "alice", true, "@PJL SET USERNAME=\"alice\"\r\n"}, {"", "value", false, ""}};
    for (const auto& [key, value, quoted, expected] : cases)
        EXPECT_EQ(formatPjlSet(key, value, quoted), expected) << key << "=" << value;
    EXPECT_EQ(formatNumber(-25), "-25");
    EXPECT_EQ(formatNumber(4294967295), "4294967295");
}

TEST(BoundedUtf8Copy, KeepsWholeCharactersAndReplacesHighBytesOfOtherEncodings) {
    // "é" is two bytes: with room for three bytes only "aé" fits, not "aéé".
    // A Latin-1 name is not UTF-8: its high bytes become "?".
    const std::tuple<std::string_view, std::size_t, std::string_view> cases[] = {
        {"a\xC3\xA9\xC3\xA9", 4, "a\xC3\xA9"}, {"a\xC3\xA9\xC3\xA9", 5, "a\xC3\xA9"}, {"abc", 1, ""},
        {"a\xC3\xA9\xC3\xA9", 6, "a\xC3\xA9\xC3\xA9"}, {"M\xFCller", 7, "M?ller"}, {"M\xFCller", 3, "M?"}};
    for (const auto& [source, n, expected] : cases) EXPECT_EQ(boundedUtf8Copy(source, n), expected) << source << " " << n;
    EXPECT_FALSE(isWellFormedUtf8("\xC0\x80") || isWellFormedUtf8("\xE3\x82"));
    EXPECT_TRUE(isWellFormedUtf8("\xE3\x82\xB4"));
}

}  // namespace
}  // namespace tvzx::pjl
