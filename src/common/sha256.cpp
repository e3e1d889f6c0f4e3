#include "common/sha256.h"

#include <algorithm>

#include "common/aes256.h"
#include "common/byte_order.h"

namespace tvzx {
namespace {

// The first 32 bits of the fractional parts of the cube roots of the first
// 64 primes.
constexpr std::array<std::uint32_t, 64> kRoundConstants = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2,
};

// The first 32 bits of the fractional parts of the square roots of the first
// eight primes.
constexpr std::array<std::uint32_t, 8> kInitialHash = {
    0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a, 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19,
};

// The padded message ends with its length in bits as a 64-bit number.
constexpr std::size_t kLengthFieldSize = 8;

constexpr std::uint32_t rotateRight(std::uint32_t x, int n) { return (x >> n) | (x << (32 - n)); }

}  // namespace

Sha256::Sha256() { reset(); }

Sha256::~Sha256() {
    wipeMemory(buffer_.data(), buffer_.size());
    wipeMemory(hash_.data(), sizeof(hash_));
}

void Sha256::reset() {
    hash_ = kInitialHash;
    buffer_.fill(0);
    buffered_ = 0;
    length_ = 0;
}

void Sha256::compress(const std::uint8_t* block) {
    // The message schedule: the block's sixteen big-endian words, then 48
    // words mixed from earlier ones.
    std::array<std::uint32_t, 64> w;
    for (std::size_t t = 0; t < 16; ++t) w[t] = readBe32(block + 4 * t);
    for (std::size_t t = 16; t < 64; ++t) {
        const std::uint32_t s0 = rotateRight(w[t - 15], 7) ^ rotateRight(w[t - 15], 18) ^ (w[t - 15] >> 3);
        const std::uint32_t s1 = rotateRight(w[t - 2], 17) ^ rotateRight(w[t - 2], 19) ^ (w[t - 2] >> 10);
        w[t] = w[t - 16] + s0 + w[t - 7] + s1;
    }

    std::uint32_t a = hash_[0], b = hash_[1], c = hash_[2], d = hash_[3];
    std::uint32_t e = hash_[4], f = hash_[5], g = hash_[6], h = hash_[7];
    for (std::size_t t = 0; t < 64; ++t) {
        const std::uint32_t sum1 = rotateRight(e, 6) ^ rotateRight(e, 11) ^ rotateRight(e, 25);
        const std::uint32_t choose = (e & f) ^ (~e & g);
        const std::uint32_t t1 = h + sum1 + choose + kRoundConstants[t] + w[t];
        const std::uint32_t sum0 = rotateRight(a, 2) ^ rotateRight(a, 13) ^ rotateRight(a, 22);
        const std::uint32_t majority = (a & b) ^ (a & c) ^ (b & c);
        const std::uint32_t t2 = sum0 + majority;
        h = g;
        g = f;
        f = e;
        e = d + t1;
        d = c;
        c = b;
        b = a;
        a = t1 + t2;
    }
    hash_[0] += a;
    hash_[1] += b;
    hash_[2] += c;
    hash_[3] += d;
    hash_[4] += e;
    hash_[5] += f;
    hash_[6] += g;
    hash_[7] += h;
    wipeMemory(w.data(), sizeof(w));
}

void Sha256::update(std::span<const std::uint8_t> bytes) {
    length_ += bytes.size();
    std::size_t used = 0;
    // Complete a partly filled block first.
    if (buffered_ > 0) {
        const std::size_t take = std::min(kBlockSize - buffered_, bytes.size());
        for (std::size_t i = 0; i < take; ++i) buffer_[buffered_ + i] = bytes[i];
        buffered_ += take;
        used = take;
        if (buffered_ < kBlockSize) return;
        compress(buffer_.data());
        buffered_ = 0;
    }
    // Whole blocks are compressed straight from the input.
    for (; bytes.size() - used >= kBlockSize; used += kBlockSize) compress(bytes.data() + used);
    // The rest waits for more input or for finish.
    for (; used < bytes.size(); ++used) buffer_[buffered_++] = bytes[used];
}

void Sha256::update(std::string_view text) {
    update(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

Sha256Digest Sha256::finish() {
    const std::uint64_t bitLength = length_ * 8;
    // Padding: a single 1 bit, zeros up to 8 bytes short of a block boundary,
    // then the length in bits, big-endian. When the length no longer fits
    // after the 1 bit, the padding runs into one more block.
    buffer_[buffered_++] = 0x80;
    if (buffered_ > kBlockSize - kLengthFieldSize) {
        while (buffered_ < kBlockSize) buffer_[buffered_++] = 0;
        compress(buffer_.data());
        buffered_ = 0;
    }
    while (buffered_ < kBlockSize - kLengthFieldSize) buffer_[buffered_++] = 0;
    writeBigEndian(&buffer_[kBlockSize - kLengthFieldSize], kLengthFieldSize, bitLength);
    compress(buffer_.data());

    Sha256Digest digest;
    for (std::size_t i = 0; i < hash_.size(); ++i) writeBe32(&digest[4 * i], hash_[i]);
    reset();
    return digest;
}

Sha256Digest sha256(std::span<const std::uint8_t> bytes) {
    Sha256 hash;
    hash.update(bytes);
    return hash.finish();
}

Sha256Digest sha256(std::string_view text) {
    Sha256 hash;
    hash.update(text);
    return hash.finish();
}

}  // namespace tvzx
