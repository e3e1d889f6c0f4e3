#include "common/base64.h"

#include <array>

namespace tvzx {
namespace {

using base64_detail::kAlphabet;

constexpr std::array<std::int8_t, 256> makeDecodeTable() {
    std::array<std::int8_t, 256> table{};
    for (auto& v : table) v = -1;
    for (std::size_t i = 0; i < kAlphabet.size(); ++i) table[static_cast<std::uint8_t>(kAlphabet[i])] = static_cast<std::int8_t>(i);
    return table;
}

constexpr auto kDecode = makeDecodeTable();

}  // namespace

std::string base64Encode(std::span<const std::uint8_t> bytes) {
    // Sized once and written through a pointer: a job's settings block is
    // tens of kilobytes, and appending character by character shows.
    std::string out(base64Size(bytes.size()), '=');
    base64EncodeTo(bytes.data(), bytes.size(), out.data());
    return out;
}

std::vector<std::uint8_t> base64Decode(std::string_view text) {
    std::vector<std::uint8_t> out;
    out.reserve(text.size() / 4 * 3);
    std::uint32_t accumulator = 0;
    int bits = 0;
    for (char c : text) {
        if (c == '=') break;
        const std::int8_t v = kDecode[static_cast<std::uint8_t>(c)];
        if (v < 0) continue;
        accumulator = (accumulator << 6) | static_cast<std::uint32_t>(v);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out.push_back(static_cast<std::uint8_t>((accumulator >> bits) & 0xFF));
        }
    }
    return out;
}

}  // namespace tvzx
