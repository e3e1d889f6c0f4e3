// Enciphered ticket values: the fixed key, the padding and the hex text.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/aes256.h"
#include "pjl/ticket_cipher.h"

namespace tvzx::pjl {
namespace {

std::vector<std::uint8_t> fromHex(std::string_view hex) {
    auto digit = [](char c) { return c <= '9' ? c - '0' : c - 'A' + 10; };
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(static_cast<std::uint8_t>(digit(hex[i]) * 16 + digit(hex[i + 1])));
    return bytes;
}

// Deciphers a ticket value with the ticket keys, as the printer does, and
// returns the padded plaintext.
std::vector<std::uint8_t> decipherTicketValue(std::string_view hex) {
    std::vector<std::uint8_t> data = fromHex(hex);
    const TicketCipherKeys keys = ticketCipherKeys();
    EXPECT_TRUE(aes256CbcDecipher(keys.key, keys.iv, data));
    return data;
}

std::vector<std::uint8_t> padded(std::string_view value) {
    const std::size_t n = 16 - value.size() % 16;
    std::vector<std::uint8_t> bytes(value.begin(), value.end());
    bytes.insert(bytes.end(), n, static_cast<std::uint8_t>(n - 1));
    return bytes;
}

// These pin the key material and its stored order: if either changes, the
// printers can no longer read our passwords.
TEST(TicketCipher, KeysComeFromTheSharedKeyMaterial) {
    const TicketCipherKeys keys = ticketCipherKeys();
    EXPECT_EQ(std::vector<std::uint8_t>(keys.key.begin(), keys.key.end()),
              fromHex("527E85135D8C5C6E63BC5EDBE8B2D0211ED1EA68F9783AC7B435A0502E5E0310"));
    EXPECT_EQ(std::vector<std::uint8_t>(keys.iv.begin(), keys.iv.end()), fromHex("0462E23297DDC2A86BC6F4B384B3EFB1"));
}

TEST(TicketCipher, MatchesKnownAnswers) {
    EXPECT_EQ(encipherForTicket(""), "A046E4164E9E85B6C2C6D6878D02FE19");
    EXPECT_EQ(encipherForTicket("secret1"), "58D1AF9EB0EABA55F5F2363E6C43802E");
    EXPECT_EQ(encipherForTicket("0123456789ABCDEF"), "4F69D5AB7D6D3288898E8E2553E38AE5A4C2D20FF0F3E3289B1F160C0EEE681E");
}

// Every length across three blocks, with bytes outside ASCII, deciphers back
// to the value followed by n bytes of n - 1.
TEST(TicketCipher, DeciphersBackToThePaddedValue) {
    std::string value;
    for (std::size_t length = 0; length <= 48; ++length) {
        const std::string text = encipherForTicket(value);
        EXPECT_EQ(text.size(), 32 * (length / 16 + 1)) << length;
        EXPECT_EQ(decipherTicketValue(text), padded(value)) << length;
        value += static_cast<char>(0x80 + length * 3);
    }
}

}  // namespace
}  // namespace tvzx::pjl
