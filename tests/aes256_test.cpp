// AES-256 in CBC mode against the published known answers.
#include <gtest/gtest.h>

#include "common/aes256.h"

namespace tvzx {
namespace {

std::vector<std::uint8_t> fromHex(std::string_view hex) {
    auto digit = [](char c) { return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10; };
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(static_cast<std::uint8_t>(digit(hex[i]) * 16 + digit(hex[i + 1])));
    return bytes;
}

template <std::size_t N>
std::span<const std::uint8_t, N> fixed(const std::vector<std::uint8_t>& bytes) {
    return std::span<const std::uint8_t>(bytes).first<N>();
}

// NIST SP 800-38A, F.2.5 (CBC-AES256.Encrypt) and F.2.6 (CBC-AES256.Decrypt):
// four chained blocks, so the block cipher both ways is checked through them.
TEST(Aes256Cbc, MatchesTheStandardsExampleBothWaysAndRefusesPartialBlocks) {
    const std::vector<std::uint8_t> key = fromHex("603deb1015ca71be2b73aef0857d77811f352c073b6108d72d9810a30914dff4");
    const std::vector<std::uint8_t> iv = fromHex("000102030405060708090a0b0c0d0e0f");
    const std::vector<std::uint8_t> plain = fromHex("6bc1bee22e409f96e93d7e117393172a" "ae2d8a571e03ac9c9eb76fac45af8e51"
                                                    "30c81c46a35ce411e5fbc1191a0a52ef" "f69f2445df4f9b17ad2b417be66c3710");
    const std::vector<std::uint8_t> cipher = fromHex("f58c4c04d6e5f1ba779eabfb5f7bfbd6" "9cfc4e967edb808d679f777bc6702c7d"
                                                     "39f23369a9d9bacfa530e26304231461" "b2eb05e2c39be9fcda6c19078c6a9d1b");
    std::vector<std::uint8_t> data = plain;
    ASSERT_TRUE(aes256CbcEncipher(fixed<kAes256KeySize>(key), fixed<kAesBlockSize>(iv), data));
    EXPECT_EQ(data, cipher);
    ASSERT_TRUE(aes256CbcDecipher(fixed<kAes256KeySize>(key), fixed<kAesBlockSize>(iv), data));
    EXPECT_EQ(data, plain);
    // Partial blocks are refused and the bytes left alone.
    for (std::size_t size : {1u, 15u, 17u, 63u}) {
        std::vector<std::uint8_t> part(plain.begin(), plain.begin() + size);
        const std::vector<std::uint8_t> original = part;
        EXPECT_FALSE(aes256CbcEncipher(fixed<kAes256KeySize>(key), fixed<kAesBlockSize>(iv), part)) << size;
        EXPECT_FALSE(aes256CbcDecipher(fixed<kAes256KeySize>(key), fixed<kAesBlockSize>(iv), part)) << size;
        EXPECT_EQ(part, original) << size;
    }
    // No blocks at all is a whole number of blocks.
    std::vector<std::uint8_t> empty;
    EXPECT_TRUE(aes256CbcEncipher(fixed<kAes256KeySize>(key), fixed<kAesBlockSize>(iv), empty));
    EXPECT_TRUE(aes256CbcDecipher(fixed<kAes256KeySize>(key), fixed<kAesBlockSize>(iv), empty));
}

TEST(Aes256, WipeMemoryZeroesEveryByte) {
    std::vector<std::uint8_t> bytes(37, 0xA5);
    wipeMemory(bytes.data(), bytes.size());
    EXPECT_EQ(bytes, std::vector<std::uint8_t>(37, 0));
}

}  // namespace
}  // namespace tvzx
