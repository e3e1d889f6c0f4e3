#include "utf16_text.h"

namespace tvzx::host {
namespace {

constexpr char16_t kReplacement = u'\uFFFD';
constexpr char32_t kLastCodePoint = 0x10FFFF;
constexpr char32_t kFirstSurrogate = 0xD800;
constexpr char32_t kLastSurrogate = 0xDFFF;
constexpr char32_t kFirstSupplementary = 0x10000;

// Returns the length of the sequence a lead byte starts (0: not a lead byte)
// and the smallest code point it may encode.
std::pair<int, char32_t> sequenceOf(unsigned char lead) {
    if (lead < 0x80) return {1, 0};
    if ((lead & 0xE0) == 0xC0) return {2, 0x80};
    if ((lead & 0xF0) == 0xE0) return {3, 0x800};
    if ((lead & 0xF8) == 0xF0) return {4, 0x10000};
    return {0, 0};
}

}  // namespace

std::u16string utf16FromUtf8(std::string_view text) {
    std::u16string wide;
    wide.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const auto [length, smallest] = sequenceOf(lead);
        bool wellFormed = length > 0 && i + static_cast<std::size_t>(length) <= text.size();
        char32_t code = length == 1 ? lead : lead & (0x7F >> length);
        for (int k = 1; wellFormed && k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
            wellFormed = (next & 0xC0) == 0x80;
            code = (code << 6) | (next & 0x3F);
        }
        if (wellFormed) wellFormed = code >= smallest && code <= kLastCodePoint && (code < kFirstSurrogate || code > kLastSurrogate);
        if (!wellFormed) {
            wide += kReplacement;
            ++i;
            continue;
        }
        i += static_cast<std::size_t>(length);
        if (code < kFirstSupplementary) {
            wide += static_cast<char16_t>(code);
        } else {
            code -= kFirstSupplementary;
            wide += static_cast<char16_t>(kFirstSurrogate + (code >> 10));
            wide += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
        }
    }
    return wide;
}

}  // namespace tvzx::host
