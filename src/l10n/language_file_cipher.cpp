#include "l10n/language_file_cipher.h"

#include <array>

#include "common/aes256.h"
#include "common/sha256.h"

namespace tvzx::l10n {
namespace {

constexpr std::size_t kKeyMaterialSize = 24;
constexpr std::size_t kKeyMaterialHalf = kKeyMaterialSize / 2;
constexpr std::size_t kUtf16UnitSize = 2;

// The 24 bytes of key material of language files, stored out of order so
// that they do not stand together in the module: byte i of the material is
// kStoredKeyMaterial[kKeyMaterialOrder[i]]. Every language file ever packed
// is enciphered under them; changing either table makes those files
// unreadable.
constexpr std::array<std::uint8_t, kKeyMaterialSize> kStoredKeyMaterial = {
    0x61, 0x65, 0x64, 0x37, 0x06, 0xCD, 0xD3, 0xBE, 0xE1, 0x7E, 0x5F, 0xFA,
    0xED, 0x64, 0x2E, 0x44, 0x4A, 0xAB, 0xCF, 0x87, 0xBB, 0x59, 0xC8, 0x3A,
};
constexpr std::array<std::uint8_t, kKeyMaterialSize> kKeyMaterialOrder = {
    16, 10, 4, 11, 1, 0, 22, 18, 15, 8, 21, 12, 6, 13, 5, 9, 3, 20, 7, 19, 17, 23, 2, 14,
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

struct LanguageFileKeys {
    std::array<std::uint8_t, kAes256KeySize> key;
    std::array<std::uint8_t, kAesBlockSize> iv;
};

// Returns the key (SHA-256 of the first half of the material) and the IV
// (the first 16 bytes of SHA-256 of its second half), built when needed so
// that neither stands in the module. Callers clear the result when done.
LanguageFileKeys languageFileKeys() {
    std::array<std::uint8_t, kKeyMaterialSize> material;
    for (std::size_t i = 0; i < kKeyMaterialSize; ++i) material[i] = kStoredKeyMaterial[kKeyMaterialOrder[i]];

    LanguageFileKeys keys;
    keys.key = sha256(std::span(material).first<kKeyMaterialHalf>());
    Sha256Digest ivDigest = sha256(std::span(material).last<kKeyMaterialHalf>());
    for (std::size_t i = 0; i < kAesBlockSize; ++i) keys.iv[i] = ivDigest[i];

    wipeMemory(material.data(), material.size());
    wipeMemory(ivDigest.data(), ivDigest.size());
    return keys;
}

}  // namespace

bool isLanguageFileSize(std::uint64_t size) {
    return size >= kLanguageFileMinimumSize && size < kLanguageFileSizeLimit && size % kAesBlockSize == 0;
}

std::optional<std::u16string> decipherLanguageFile(std::vector<std::uint8_t> bytes) {
    if (!isLanguageFileSize(bytes.size())) return std::nullopt;
    LanguageFileKeys keys = languageFileKeys();
    const bool deciphered = aes256CbcDecipher(keys.key, keys.iv, bytes);
    wipeMemory(&keys, sizeof keys);
    if (!deciphered) return std::nullopt;

    // The text ends at its first NUL character; the padding behind it is not text.
    std::u16string text;
    text.reserve(bytes.size() / kUtf16UnitSize);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += kUtf16UnitSize) {
        const auto unit = static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8));
        if (unit == u'\0') break;
        text.push_back(unit);
    }
    return text;
}

std::vector<std::uint8_t> encipherLanguageFile(std::u16string_view text) {
    // At least one NUL character ends the text; NUL bytes fill the last block.
    std::vector<std::uint8_t> bytes;
    const std::size_t terminated = (text.size() + 1) * kUtf16UnitSize;
    bytes.reserve(terminated + kAesBlockSize);
    for (const char16_t unit : text) {
        bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    const std::size_t padded = (terminated + kAesBlockSize - 1) / kAesBlockSize * kAesBlockSize;
    bytes.resize(padded, 0);

    LanguageFileKeys keys = languageFileKeys();
    aes256CbcEncipher(keys.key, keys.iv, bytes);
    wipeMemory(&keys, sizeof keys);
    return bytes;
}

}  // namespace tvzx::l10n
