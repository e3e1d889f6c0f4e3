// The line forms of the feature dictionary and the PostScript tokens the
// plug-in builds its values from (the whole texts are checked with the
// feature texts).
#include <gtest/gtest.h>

#include "postscript/feature_dictionary.h"

namespace tvzx::postscript {
namespace {

TEST(FeatureDictionary, EmptyKeysWriteNothingHexStringsTakeEveryByteAndOddNamesAreBuiltFromStrings) {
    EXPECT_EQ(dictPut("", "100") + dictPut("", "") + dictCall(""), "");

    // Hexadecimal strings take every byte.
    EXPECT_EQ(hexString(std::string_view("\x00\x7F\x80\xFF", 4)), "<007F80FF>");
    EXPECT_EQ(hexString(""), "<>");

    // Names that would break the scanner are built from strings.
    EXPECT_EQ(literalName("Pale-Blue_2.0"), "/Pale-Blue_2.0");
    // A blank, a delimiter or a byte outside printable ASCII would end the
    // name or change what follows it.
    const std::pair<std::string_view, std::string_view> names[] = {
        {"a/b", "<612F62>cvn"}, {"x) pop (y", "<782920706F70202879>cvn"}, {"} bind def", "<7D2062696E6420646566>cvn"},
        {"%comment", "<25636F6D6D656E74>cvn"}, {"Gr\xC3\xBCn", "<4772C3BC6E>cvn"}, {"tab\there", "<7461620968657265>cvn"},
        {"", "()cvn"}};
    for (const auto& [name, expected] : names) EXPECT_EQ(literalName(name), expected) << name;
}

}  // namespace
}  // namespace tvzx::postscript
