// Enciphered ticket values, against a second computation from the key
// material the printers hold, on the AES and SHA-256 primitives that their
// own tests check against the published examples.
#include <gtest/gtest.h>

#include "common/sha256.h"
#include "pjl/ticket_cipher.h"

namespace tvzx::pjl {
namespace {

// The 20 bytes of key material in their true order: the key is the SHA-256
// of the first ten, the IV the first 16 bytes of the SHA-256 of the last ten.
constexpr std::array<std::uint8_t, 20> kMaterial = {0x94, 0x4B, 0xB7, 0x66, 0x02, 0x4B, 0x09, 0x94, 0x6D, 0x75,
                                                    0xA2, 0x4D, 0x4D, 0x60, 0xC9, 0x48, 0xA2, 0x43, 0x23, 0xEC};

// Pads with n bytes of n - 1, chains the blocks by hand and writes the
// upper-case hex text the printers read.
std::string enciphered(const std::string& value) {
    const Aes256 aes(sha256(std::span(kMaterial).first<10>()));
    const Sha256Digest ivDigest = sha256(std::span(kMaterial).last<10>());
    AesBlock chain;
    std::copy_n(ivDigest.begin(), chain.size(), chain.begin());
    const std::size_t n = 16 - value.size() % 16;
    std::string padded = value + std::string(n, static_cast<char>(n - 1));
    std::string hex;
    for (std::size_t at = 0; at < padded.size(); at += 16) {
        for (std::size_t i = 0; i < 16; ++i) chain[i] ^= static_cast<std::uint8_t>(padded[at + i]);
        chain = aes.encipherBlock(chain);
        for (const std::uint8_t b : chain) hex += {"0123456789ABCDEF"[b >> 4], "0123456789ABCDEF"[b & 15]};
    }
    return hex;
}

// Every length across three blocks, with bytes outside ASCII.
TEST(TicketCipher, MatchesAnIndependentComputation) {
    std::string value;
    for (std::size_t length = 0; length <= 48; ++length) {
        EXPECT_EQ(encipherForTicket(value), enciphered(value)) << length;
        value += static_cast<char>(0x80 + length * 3);
    }
    EXPECT_EQ(encipherForTicket("secret1"), "58D1AF9EB0EABA55F5F2363E6C43802E");
}

}  // namespace
}  // namespace tvzx::pjl
