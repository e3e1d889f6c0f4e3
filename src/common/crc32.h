// CRC-32 with the reflected polynomial 0xEDB88320, usable while compiling.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace tvzx {

namespace crc32_detail {

constexpr std::array<std::uint32_t, 256> makeTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

inline constexpr auto kTable = makeTable();

}  // namespace crc32_detail

// Returns the standard CRC-32 of the bytes continued from `previous` (0 for a
// fresh start): the usual zlib-compatible update.
constexpr std::uint32_t crc32Update(std::uint32_t previous, std::span<const std::uint8_t> bytes) {
    std::uint32_t r = ~previous;
    for (std::uint8_t b : bytes) r = crc32_detail::kTable[(r ^ b) & 0xFF] ^ (r >> 8);
    return ~r;
}

// Returns the CRC-32 of the text's bytes continued from `previous`.
constexpr std::uint32_t crc32Update(std::uint32_t previous, std::string_view text) {
    std::uint32_t r = ~previous;
    for (char c : text) r = crc32_detail::kTable[(r ^ static_cast<std::uint8_t>(c)) & 0xFF] ^ (r >> 8);
    return ~r;
}

}  // namespace tvzx
