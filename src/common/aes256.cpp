#include "common/aes256.h"

namespace tvzx {
namespace {

// Multiplication by x in GF(2^8) modulo the AES polynomial x^8 + x^4 + x^3 + x + 1.
constexpr std::uint8_t xtime(std::uint8_t b) {
    return static_cast<std::uint8_t>((b << 1) ^ ((b >> 7) * 0x1B));
}

constexpr std::uint8_t gfMultiply(std::uint8_t a, std::uint8_t b) {
    std::uint8_t product = 0;
    while (b != 0) {
        if (b & 1) product ^= a;
        a = xtime(a);
        b >>= 1;
    }
    return product;
}

constexpr std::uint8_t rotateLeft(std::uint8_t b, int n) {
    return static_cast<std::uint8_t>((b << n) | (b >> (8 - n)));
}

// The S-box: the multiplicative inverse (a^254, with 0 mapping to 0) followed
// by the affine transformation with the constant 0x63.
constexpr std::array<std::uint8_t, 256> makeSubstitution() {
    std::array<std::uint8_t, 256> table{};
    for (unsigned a = 0; a < 256; ++a) {
        const auto value = static_cast<std::uint8_t>(a);
        // a^254 by square and multiply keeps the compile-time work small.
        std::uint8_t inverse = 1;
        std::uint8_t power = value;
        for (unsigned exponent = 254; exponent != 0; exponent >>= 1) {
            if (exponent & 1) inverse = gfMultiply(inverse, power);
            power = gfMultiply(power, power);
        }
        table[a] = static_cast<std::uint8_t>(inverse ^ rotateLeft(inverse, 1) ^ rotateLeft(inverse, 2) ^
                                             rotateLeft(inverse, 3) ^ rotateLeft(inverse, 4) ^ 0x63);
    }
    return table;
}

constexpr std::array<std::uint8_t, 256> makeInverse(const std::array<std::uint8_t, 256>& forward) {
    std::array<std::uint8_t, 256> table{};
    for (unsigned a = 0; a < 256; ++a) table[forward[a]] = static_cast<std::uint8_t>(a);
    return table;
}

constexpr auto kSubstitution = makeSubstitution();
constexpr auto kInverseSubstitution = makeInverse(kSubstitution);

// Spot checks against the tables printed in the standard.
static_assert(kSubstitution[0x00] == 0x63 && kSubstitution[0x01] == 0x7C && kSubstitution[0x53] == 0xED &&
              kSubstitution[0xFF] == 0x16);
static_assert(kInverseSubstitution[0x00] == 0x52 && kInverseSubstitution[0x63] == 0x00 &&
              kInverseSubstitution[0xFF] == 0x7D);

constexpr std::size_t kKeyWords = kAes256KeySize / 4;

// The state is kept column by column, as the bytes arrive: row r of column c
// is byte r + 4c, so input and output need no reordering.
using State = std::array<std::uint8_t, kAesBlockSize>;

void addRoundKey(State& state, const std::uint8_t* roundKey) {
    for (std::size_t i = 0; i < kAesBlockSize; ++i) state[i] ^= roundKey[i];
}

// SubBytes and ShiftRows together: row r moves r columns to the left.
void substituteAndShift(State& state) {
    const State in = state;
    for (std::size_t c = 0; c < 4; ++c)
        for (std::size_t r = 0; r < 4; ++r) state[r + 4 * c] = kSubstitution[in[r + 4 * ((c + r) % 4)]];
}

// InvShiftRows and InvSubBytes together: row r moves r columns to the right.
void inverseShiftAndSubstitute(State& state) {
    const State in = state;
    for (std::size_t c = 0; c < 4; ++c)
        for (std::size_t r = 0; r < 4; ++r) state[r + 4 * ((c + r) % 4)] = kInverseSubstitution[in[r + 4 * c]];
}

// MixColumns as {02}a_i + {03}a_(i+1) + a_(i+2) + a_(i+3), written with the
// sum of the column so that each output byte needs a single xtime.
void mixColumns(State& state) {
    for (std::size_t c = 0; c < 4; ++c) {
        std::uint8_t* a = &state[4 * c];
        const std::uint8_t a0 = a[0], a1 = a[1], a2 = a[2], a3 = a[3];
        const std::uint8_t sum = a0 ^ a1 ^ a2 ^ a3;
        a[0] = a0 ^ sum ^ xtime(a0 ^ a1);
        a[1] = a1 ^ sum ^ xtime(a1 ^ a2);
        a[2] = a2 ^ sum ^ xtime(a2 ^ a3);
        a[3] = a3 ^ sum ^ xtime(a3 ^ a0);
    }
}

// InvMixColumns: the inverse polynomial factors as MixColumns times
// ({04}x^2 + {05}), so multiply by that first and reuse mixColumns.
void inverseMixColumns(State& state) {
    for (std::size_t c = 0; c < 4; ++c) {
        std::uint8_t* a = &state[4 * c];
        const std::uint8_t even = xtime(xtime(a[0] ^ a[2]));
        const std::uint8_t odd = xtime(xtime(a[1] ^ a[3]));
        a[0] ^= even;
        a[1] ^= odd;
        a[2] ^= even;
        a[3] ^= odd;
    }
    mixColumns(state);
}

State toState(std::span<const std::uint8_t, kAesBlockSize> block) {
    State state;
    for (std::size_t i = 0; i < kAesBlockSize; ++i) state[i] = block[i];
    return state;
}

bool isWholeBlocks(std::span<std::uint8_t> data) { return data.size() % kAesBlockSize == 0; }

}  // namespace

void wipeMemory(void* data, std::size_t size) {
    volatile auto* bytes = static_cast<volatile std::uint8_t*>(data);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = 0;
}

Aes256::Aes256(std::span<const std::uint8_t, kAes256KeySize> key) {
    // The first eight words are the key itself.
    for (std::size_t i = 0; i < kAes256KeySize; ++i) roundKeys_[i] = key[i];

    // Each further word is the word eight back combined with the previous
    // word, which is rotated, substituted and given the round constant at the
    // start of every eight words, and only substituted halfway through.
    std::uint8_t roundConstant = 0x01;
    for (std::size_t word = kKeyWords; word < 4 * (kRounds + 1); ++word) {
        const std::uint8_t* previous = &roundKeys_[4 * (word - 1)];
        std::array<std::uint8_t, 4> temp{previous[0], previous[1], previous[2], previous[3]};
        if (word % kKeyWords == 0) {
            temp = {static_cast<std::uint8_t>(kSubstitution[temp[1]] ^ roundConstant), kSubstitution[temp[2]],
                    kSubstitution[temp[3]], kSubstitution[temp[0]]};
            roundConstant = xtime(roundConstant);
        } else if (word % kKeyWords == 4) {
            for (auto& b : temp) b = kSubstitution[b];
        }
        for (std::size_t i = 0; i < 4; ++i)
            roundKeys_[4 * word + i] = roundKeys_[4 * (word - kKeyWords) + i] ^ temp[i];
        wipeMemory(temp.data(), temp.size());
    }
}

Aes256::~Aes256() { wipeMemory(roundKeys_.data(), roundKeys_.size()); }

AesBlock Aes256::encipherBlock(std::span<const std::uint8_t, kAesBlockSize> block) const {
    State state = toState(block);
    addRoundKey(state, &roundKeys_[0]);
    // Rounds 1 to 13 are full rounds; the last one leaves out MixColumns.
    for (std::size_t round = 1; round < kRounds; ++round) {
        substituteAndShift(state);
        mixColumns(state);
        addRoundKey(state, &roundKeys_[kAesBlockSize * round]);
    }
    substituteAndShift(state);
    addRoundKey(state, &roundKeys_[kAesBlockSize * kRounds]);
    return state;
}

AesBlock Aes256::decipherBlock(std::span<const std::uint8_t, kAesBlockSize> block) const {
    State state = toState(block);
    // The forward rounds undone in reverse order, with the same round keys.
    addRoundKey(state, &roundKeys_[kAesBlockSize * kRounds]);
    for (std::size_t round = kRounds - 1; round >= 1; --round) {
        inverseShiftAndSubstitute(state);
        addRoundKey(state, &roundKeys_[kAesBlockSize * round]);
        inverseMixColumns(state);
    }
    inverseShiftAndSubstitute(state);
    addRoundKey(state, &roundKeys_[0]);
    return state;
}

bool aes256CbcEncipher(std::span<const std::uint8_t, kAes256KeySize> key,
                       std::span<const std::uint8_t, kAesBlockSize> iv, std::span<std::uint8_t> data) {
    if (!isWholeBlocks(data)) return false;
    const Aes256 cipher(key);
    AesBlock chain = toState(iv);
    // Each plaintext block is combined with the previous ciphertext block (the
    // IV for the first) before it is enciphered.
    for (std::size_t offset = 0; offset < data.size(); offset += kAesBlockSize) {
        const auto block = data.subspan(offset).first<kAesBlockSize>();
        for (std::size_t i = 0; i < kAesBlockSize; ++i) chain[i] ^= block[i];
        chain = cipher.encipherBlock(chain);
        for (std::size_t i = 0; i < kAesBlockSize; ++i) block[i] = chain[i];
    }
    return true;
}

bool aes256CbcDecipher(std::span<const std::uint8_t, kAes256KeySize> key,
                       std::span<const std::uint8_t, kAesBlockSize> iv, std::span<std::uint8_t> data) {
    if (!isWholeBlocks(data)) return false;
    const Aes256 cipher(key);
    AesBlock chain = toState(iv);
    // The ciphertext block is kept before it is overwritten: it is what the
    // next deciphered block is combined with.
    for (std::size_t offset = 0; offset < data.size(); offset += kAesBlockSize) {
        const auto block = data.subspan(offset).first<kAesBlockSize>();
        const AesBlock ciphertext = toState(block);
        const AesBlock plain = cipher.decipherBlock(ciphertext);
        for (std::size_t i = 0; i < kAesBlockSize; ++i) block[i] = plain[i] ^ chain[i];
        chain = ciphertext;
    }
    return true;
}

}  // namespace tvzx
