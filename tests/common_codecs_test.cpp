// Byte-level codecs shared by the settings, ticket and comment writers.
#include <gtest/gtest.h>

#include "common/base64.h"
#include "common/byte_order.h"
#include "common/crc32.h"
#include "common/hex_text.h"
#include "common/wide_text.h"

namespace tvzx {
namespace {

std::vector<std::uint8_t> bytesOf(std::string_view text) { return {text.begin(), text.end()}; }

TEST(Base64, EncodesWithPaddingDecodesBackSkippingForeignCharacters) {
    for (const auto& [plain, encoded] :
         {std::pair{"", ""}, {"f", "Zg=="}, {"fo", "Zm8="}, {"foo", "Zm9v"}, {"foobar", "Zm9vYmFy"}})
        EXPECT_EQ(base64Encode(bytesOf(plain)), encoded) << plain;
    EXPECT_EQ(base64Decode("Zm9vYmE="), bytesOf("fooba"));
    EXPECT_EQ(base64Decode("Zm9v\r\nYm Fy"), bytesOf("foobar"));
    EXPECT_EQ(base64Decode("Zg==Zm9v"), bytesOf("f"));
    EXPECT_EQ(base64Decode(std::string("Zm9v\0Zm9v", 9)), bytesOf("foofoo"));
}

TEST(Crc32, MatchesTheStandardCheckValue) {
    EXPECT_EQ(crc32Update(0, bytesOf("123456789")), 0xCBF43926u);
    // Feeding in pieces gives the same result as feeding at once.
    EXPECT_EQ(crc32Update(crc32Update(0, bytesOf("12345")), bytesOf("6789")), 0xCBF43926u);
}

TEST(HexText, WritesWholeBytesWithoutLeadingZeroBytes) {
    EXPECT_EQ(hexBytesText(0x0A) + " " + hexBytesText(0x123) + " " + hexBytesText(0) + " " + hexBytesText(0xB9F98581u),
              "0A 0123 00 B9F98581");
    EXPECT_EQ(parseHex32("b9f98581"), 0xB9F98581u);
    EXPECT_FALSE(parseHex32("12G4") || parseHex32("") || parseHex32("1B9F98581"));
}

// Each UTF-8 length at both of its ends, a pair, and surrogates without a
// partner (a low one first, a high one last) as U+FFFD each.
TEST(WideText, Utf8OfEveryLengthAndOfUnpairedSurrogates) {
    EXPECT_EQ(utf8FromUtf16(std::u16string{0x7F, 0x80, 0x7FF, 0x800, 0xFFFF, 0xD83D, 0xDE00}),
              "\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF\xF0\x9F\x98\x80");
    EXPECT_EQ(utf8FromUtf16(std::u16string{0xDC00, 0xDC01, u'a', 0xD800}), "\xEF\xBF\xBD\xEF\xBF\xBD" "a" "\xEF\xBF\xBD");
}

// Both orders over one buffer: each read sees the other order's bytes.
TEST(ByteOrder, StoresBothOrdersExplicitly) {
    std::uint8_t buffer[4] = {};
    writeBe32(buffer, 0x01020304);
    writeLe32(buffer, readLe32(buffer) + 0x50000000u);
    EXPECT_EQ(readBe32(buffer), 0x01020354u);
    EXPECT_EQ(readBigEndian(buffer + 1, 3), 0x020354u);
}

}  // namespace
}  // namespace tvzx
