// SHA-256 (FIPS 180-4), fed in pieces or in one call.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace tvzx {

inline constexpr std::size_t kSha256DigestSize = 32;

using Sha256Digest = std::array<std::uint8_t, kSha256DigestSize>;

// A running SHA-256 computation. Its buffered input is cleared when the
// object goes away, since it may hold key material.
class Sha256 {
public:
    Sha256();
    ~Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;

    // Adds the bytes to the message. Returns nothing.
    void update(std::span<const std::uint8_t> bytes);

    // Adds the text's bytes to the message. Returns nothing.
    void update(std::string_view text);

    // Returns the digest of everything added since construction or the last
    // finish, and starts over with an empty message.
    Sha256Digest finish();

private:
    static constexpr std::size_t kBlockSize = 64;

    void reset();
    void compress(const std::uint8_t* block);

    std::array<std::uint32_t, 8> hash_;
    std::array<std::uint8_t, kBlockSize> buffer_;
    std::size_t buffered_;
    std::uint64_t length_;  // message length so far, in bytes
};

// Returns the SHA-256 digest of the bytes.
Sha256Digest sha256(std::span<const std::uint8_t> bytes);

// Returns the SHA-256 digest of the text's bytes.
Sha256Digest sha256(std::string_view text);

}  // namespace tvzx
