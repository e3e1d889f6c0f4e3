// Base64 with the standard alphabet and "=" padding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tvzx {

namespace base64_detail {

inline constexpr std::string_view kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

}  // namespace base64_detail

// Returns the length of the Base64 text of `size` bytes.
constexpr std::size_t base64Size(std::size_t size) { return (size + 2) / 3 * 4; }

// Writes the Base64 text of the bytes (any byte-sized type) to `out`, which
// holds base64Size(size) characters; usable while compiling.
template <typename Byte>
constexpr void base64EncodeTo(const Byte* bytes, std::size_t size, char* out) {
    using base64_detail::kAlphabet;
    const auto at = [&](std::size_t i) { return static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[i])); };
    std::size_t i = 0;
    for (; i + 3 <= size; i += 3) {
        const std::uint32_t v = (at(i) << 16) | (at(i + 1) << 8) | at(i + 2);
        *out++ = kAlphabet[(v >> 18) & 63];
        *out++ = kAlphabet[(v >> 12) & 63];
        *out++ = kAlphabet[(v >> 6) & 63];
        *out++ = kAlphabet[v & 63];
    }
    // The last one or two bytes, and the padding.
    const std::size_t rest = size - i;
    if (rest == 0) return;
    std::uint32_t v = at(i) << 16;
    if (rest == 2) v |= at(i + 1) << 8;
    *out++ = kAlphabet[(v >> 18) & 63];
    *out++ = kAlphabet[(v >> 12) & 63];
    *out++ = rest == 2 ? kAlphabet[(v >> 6) & 63] : '=';
    *out = '=';
}

// Returns the Base64 text of the bytes, padded to a multiple of four, no line breaks.
std::string base64Encode(std::span<const std::uint8_t> bytes);

// Returns the decoded bytes. Characters outside the alphabet (line breaks,
// spaces, NUL) are skipped; the first "=" ends the data.
std::vector<std::uint8_t> base64Decode(std::string_view text);

}  // namespace tvzx
