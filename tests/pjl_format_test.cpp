// One ticket command: quoting, numbers and the bounded UTF-8 copy.
#include <gtest/gtest.h>

#include "pjl/pjl_format.h"

namespace tvzx::pjl {
namespace {

TEST(FormatPjlSet, BareQuotedAndNumberValues) {
    EXPECT_EQ(formatPjlSet("COPIES", "3"), "@PJL SET COPIES=3\r\n");
    EXPECT_EQ(formatPjlSet("SHIFT", "-12"), "@PJL SET SHIFT=-12\r\n");
    EXPECT_EQ(formatPjlSet("SHIFT", "-"), "@PJL SET SHIFT=-\r\n");
    EXPECT_EQ(formatPjlSet("SHIFT", "-A"), "@PJL SET SHIFT=\"-A\"\r\n");
    EXPECT_EQ(formatPjlSet("SCALE", "1.5"), "@PJL SET SCALE=\"1.5\"\r\n");
    EXPECT_EQ(formatPjlSet("NAME", "two words"), "@PJL SET NAME=\"two words\"\r\n");
    EXPECT_EQ(formatPjlSet("NAME", "caf\xC3\xA9"), "@PJL SET NAME=\"caf\xC3\xA9\"\r\n");
    EXPECT_EQ(formatPjlSet("EMPTY", ""), "@PJL SET EMPTY=\r\n");
    // A quote inside a value is passed as it is.
    EXPECT_EQ(formatPjlSet("NAME", "a\"b"), "@PJL SET NAME=\"a\"b\"\r\n");
    // Line breaks cannot start a command of their own.
    EXPECT_EQ(formatPjlSet("ZXSECTIONNAME", "Sales\r\n@PJL SET HOLD=OFF", true),
              "@PJL SET ZXSECTIONNAME=\"Sales  @PJL SET HOLD=OFF\"\r\n");
    EXPECT_EQ(formatPjlSet("JOBNAME", "a\nb"), "@PJL SET JOBNAME=\"a b\"\r\n");
    EXPECT_EQ(formatPjlSet("USERNAME", "alice", true), "@PJL SET USERNAME=\"alice\"\r\n");
    EXPECT_EQ(formatPjlSet("USERNAME", "", true), "@PJL SET USERNAME=\"\"\r\n");
    EXPECT_EQ(formatPjlSet("", "value"), "");
    EXPECT_EQ(formatNumber(-25), "-25");
    EXPECT_EQ(formatNumber(4294967295), "4294967295");
}

TEST(BoundedUtf8Copy, KeepsWholeCharactersAndReplacesHighBytesOfOtherEncodings) {
    // "é" is two bytes: with room for three bytes only "aé" fits, not "aéé".
    EXPECT_EQ(boundedUtf8Copy("a\xC3\xA9\xC3\xA9", 4), "a\xC3\xA9");
    EXPECT_EQ(boundedUtf8Copy("a\xC3\xA9\xC3\xA9", 5), "a\xC3\xA9");
    EXPECT_EQ(boundedUtf8Copy("a\xC3\xA9\xC3\xA9", 6), "a\xC3\xA9\xC3\xA9");
    EXPECT_EQ(boundedUtf8Copy("abc", 1), "");
    // A Latin-1 name is not UTF-8: its high bytes become "?".
    EXPECT_EQ(boundedUtf8Copy("M\xFCller", 7), "M?ller");
    EXPECT_EQ(boundedUtf8Copy("M\xFCller", 3), "M?");
    EXPECT_FALSE(isWellFormedUtf8("\xC0\x80"));
    EXPECT_FALSE(isWellFormedUtf8("\xE3\x82"));
    EXPECT_TRUE(isWellFormedUtf8("\xE3\x82\xB4"));
}

}  // namespace
}  // namespace tvzx::pjl
