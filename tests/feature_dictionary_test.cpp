// The line forms of the feature dictionary and the PostScript tokens the
// plug-in builds its values from (the whole texts are checked with the
// feature texts).
#include <gtest/gtest.h>

#include "postscript/feature_dictionary.h"

namespace tvzx::postscript {
namespace {

TEST(FeatureDictionary, EmptyKeysAndNamesWriteNothing) {
    EXPECT_EQ(dictPut("", "100"), "");
    EXPECT_EQ(dictPut("", ""), "");
    EXPECT_EQ(dictCall(""), "");
}

TEST(PostScriptTokens, HexadecimalStringsTakeEveryByte) {
    EXPECT_EQ(hexString(std::string_view("\x00\x7F\x80\xFF", 4)), "<007F80FF>");
    EXPECT_EQ(hexString(""), "<>");
}

TEST(PostScriptTokens, NamesThatWouldBreakTheScannerAreBuiltFromStrings) {
    EXPECT_EQ(literalName("Pale-Blue_2.0"), "/Pale-Blue_2.0");
    // A blank, a delimiter or a byte outside printable ASCII would end the
    // name or change what follows it.
    EXPECT_EQ(literalName("a/b"), "<612F62>cvn");
    EXPECT_EQ(literalName("x) pop (y"), "<782920706F70202879>cvn");
    EXPECT_EQ(literalName("} bind def"), "<7D2062696E6420646566>cvn");
    EXPECT_EQ(literalName("%comment"), "<25636F6D6D656E74>cvn");
    EXPECT_EQ(literalName("Gr\xC3\xBCn"), "<4772C3BC6E>cvn");
    EXPECT_EQ(literalName("tab\there"), "<7461620968657265>cvn");
    EXPECT_EQ(literalName(""), "()cvn");
}

}  // namespace
}  // namespace tvzx::postscript
