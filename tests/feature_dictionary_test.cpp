// The line forms of the feature dictionary and the PostScript tokens the
// plug-in builds its values from.
#include <gtest/gtest.h>

#include "postscript/feature_dictionary.h"

namespace tvzx::postscript {
namespace {

TEST(FeatureDictionary, IsCreatedOnlyWhenMissing) {
    EXPECT_EQ(ensureFeatureDict(), "\r\nuserdict /TVZXFeatures known not { userdict /TVZXFeatures 100 dict put } if\r\n");
}

TEST(FeatureDictionary, PutStoresOrRemovesAKey) {
    EXPECT_EQ(dictPut("Zoom", "100"), "TVZXFeatures /Zoom 100 put\r\n");
    EXPECT_EQ(dictPut("Orient", "(Land)"), "TVZXFeatures /Orient (Land) put\r\n");
    // No value removes what an earlier text stored.
    EXPECT_EQ(dictPut("Zoom", ""), "TVZXFeatures /Zoom undef\r\n");
    EXPECT_EQ(dictPut("", "100"), "");
    EXPECT_EQ(dictPut("", ""), "");
}

TEST(FeatureDictionary, CallRunsAProcedureOnlyWhenThePrinterHasIt) {
    EXPECT_EQ(dictCall("Tarvo_P8", "/A4"), "TVZXFeatures /Tarvo_P8 known { /A4 TVZXFeatures /Tarvo_P8 get exec } if\r\n");
    EXPECT_EQ(dictCall("Tarvo_P8", "[2100 2970]"),
              "TVZXFeatures /Tarvo_P8 known { [2100 2970] TVZXFeatures /Tarvo_P8 get exec } if\r\n");
    // Without arguments a single blank follows the opening brace.
    EXPECT_EQ(dictCall("Tarvo_P4"), "TVZXFeatures /Tarvo_P4 known { TVZXFeatures /Tarvo_P4 get exec } if\r\n");
    EXPECT_EQ(dictCall(""), "");
}

TEST(PostScriptTokens, HexadecimalStringsTakeEveryByte) {
    EXPECT_EQ(hexString("%%TARVOPAGETRAILER%%"), "<2525544152564F50414745545241494C45522525>");
    EXPECT_EQ(hexString(std::string_view("\x00\x7F\x80\xFF", 4)), "<007F80FF>");
    EXPECT_EQ(hexString(""), "<>");
}

TEST(PostScriptTokens, NamesThatWouldBreakTheScannerAreBuiltFromStrings) {
    EXPECT_EQ(literalName("NoSet"), "/NoSet");
    EXPECT_EQ(literalName("Pale-Blue_2.0"), "/Pale-Blue_2.0");
    // A blank, a delimiter or a byte outside printable ASCII would end the
    // name or change what follows it.
    EXPECT_EQ(literalName("Sky Blue"), "<536B7920426C7565>cvn");
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
