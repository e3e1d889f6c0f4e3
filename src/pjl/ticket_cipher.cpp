#include "pjl/ticket_cipher.h"

#include <cstddef>
#include <span>
#include <vector>

#include "common/sha256.h"

namespace tvzx::pjl {
namespace {

constexpr std::size_t kKeyMaterialSize = 20;
constexpr std::size_t kKeyMaterialHalf = kKeyMaterialSize / 2;

// The 20 bytes of key material the printers decipher ticket values with,
// stored out of order so that they do not stand together in the module: byte
// i of the material is kStoredKeyMaterial[kKeyMaterialOrder[i]]. Both tables
// must stay exactly as the printers' firmware expects; changing either makes
// every enciphered password in our tickets unreadable to the printer.
constexpr std::array<std::uint8_t, kKeyMaterialSize> kStoredKeyMaterial = {
    0x23, 0x4D, 0xEC, 0xA2, 0xC9, 0x75, 0x4D, 0x94, 0x6D, 0xA2,
    0x43, 0x66, 0x48, 0x60, 0xB7, 0x4B, 0x4B, 0x09, 0x94, 0x02,
};
constexpr std::array<std::uint8_t, kKeyMaterialSize> kKeyMaterialOrder = {
    18, 15, 14, 11, 19, 16, 17, 7, 8, 5, 9, 6, 1, 13, 4, 12, 3, 10, 0, 2,
};

// Every stored byte must be used exactly once, or part of the material is lost.
constexpr bool isPermutation(const std::array<std::uint8_t, kKeyMaterialSize>& order) {
    std::array<bool, kKeyMaterialSize> seen{};
    for (std::uint8_t position : order) {
        if (position >= kKeyMaterialSize || seen[position]) return false;
        seen[position] = true;
    }
    return true;
}
static_assert(isPermutation(kKeyMaterialOrder));

constexpr char kHexDigits[] = "0123456789ABCDEF";

}  // namespace

TicketCipherKeys ticketCipherKeys() {
    // Put the key material back in order only for as long as it is hashed.
    std::array<std::uint8_t, kKeyMaterialSize> material;
    for (std::size_t i = 0; i < kKeyMaterialSize; ++i) material[i] = kStoredKeyMaterial[kKeyMaterialOrder[i]];

    TicketCipherKeys keys;
    keys.key = sha256(std::span(material).first<kKeyMaterialHalf>());
    Sha256Digest ivDigest = sha256(std::span(material).last<kKeyMaterialHalf>());
    for (std::size_t i = 0; i < kAesBlockSize; ++i) keys.iv[i] = ivDigest[i];

    wipeMemory(material.data(), material.size());
    wipeMemory(ivDigest.data(), ivDigest.size());
    return keys;
}

std::string encipherForTicket(std::string_view value) {
    // The padding always adds 1 to 16 bytes, each one less than the count
    // added; this is what the printers strip, so it must not be the PKCS#7
    // value n.
    const std::size_t padding = kAesBlockSize - value.size() % kAesBlockSize;
    std::vector<std::uint8_t> data(value.begin(), value.end());
    data.resize(value.size() + padding, static_cast<std::uint8_t>(padding - 1));

    TicketCipherKeys keys = ticketCipherKeys();
    aes256CbcEncipher(keys.key, keys.iv, data);
    wipeMemory(&keys, sizeof(keys));

    // Two digits per byte, high digit first.
    std::string text;
    text.reserve(2 * data.size());
    for (std::uint8_t b : data) {
        text += kHexDigits[b >> 4];
        text += kHexDigits[b & 0x0F];
    }
    return text;
}

}  // namespace tvzx::pjl
