// AES-256 (FIPS 197, 14 rounds) on single blocks, and CBC mode over whole
// blocks. Used for the passwords of the job ticket and the language file.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace tvzx {

inline constexpr std::size_t kAesBlockSize = 16;
inline constexpr std::size_t kAes256KeySize = 32;

using AesBlock = std::array<std::uint8_t, kAesBlockSize>;

// Overwrites the bytes with zeros through volatile stores, so the compiler
// cannot drop the clearing of a key or key schedule as a dead store. Returns
// nothing.
void wipeMemory(void* data, std::size_t size);

// One expanded AES-256 key. The round keys are cleared when the object goes
// away; copying is not allowed so that no second copy lingers.
class Aes256 {
public:
    explicit Aes256(std::span<const std::uint8_t, kAes256KeySize> key);
    ~Aes256();
    Aes256(const Aes256&) = delete;
    Aes256& operator=(const Aes256&) = delete;

    // Returns the enciphered block (the forward cipher).
    AesBlock encipherBlock(std::span<const std::uint8_t, kAesBlockSize> block) const;

    // Returns the deciphered block (the inverse cipher).
    AesBlock decipherBlock(std::span<const std::uint8_t, kAesBlockSize> block) const;

private:
    static constexpr std::size_t kRounds = 14;
    // One 16-byte round key for the initial key addition and each round.
    std::array<std::uint8_t, kAesBlockSize * (kRounds + 1)> roundKeys_;
};

// Enciphers the bytes in place in CBC mode. Returns false, leaving them
// unchanged, when their count is not a whole number of blocks; no padding is
// added here.
bool aes256CbcEncipher(std::span<const std::uint8_t, kAes256KeySize> key,
                       std::span<const std::uint8_t, kAesBlockSize> iv,
                       std::span<std::uint8_t> data);

// Deciphers the bytes in place in CBC mode. Returns false, leaving them
// unchanged, when their count is not a whole number of blocks; no padding is
// removed here.
bool aes256CbcDecipher(std::span<const std::uint8_t, kAes256KeySize> key,
                       std::span<const std::uint8_t, kAesBlockSize> iv,
                       std::span<std::uint8_t> data);

}  // namespace tvzx
