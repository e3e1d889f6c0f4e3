#include "common/wide_text.h"

#include <cstdint>

namespace tvzx {
namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr char32_t kHighSurrogateFirst = 0xD800;
constexpr char32_t kLowSurrogateFirst = 0xDC00;
constexpr char32_t kSurrogateEnd = 0xE000;

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

}  // namespace

std::string utf8FromUtf16(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char32_t unit = text[i];
        if (unit < kHighSurrogateFirst || unit >= kSurrogateEnd) {
            appendUtf8(out, unit);
            continue;
        }
        // A high surrogate counts only with a low one right after it.
        const bool high = unit < kLowSurrogateFirst;
        if (high && i + 1 < text.size() && text[i + 1] >= kLowSurrogateFirst && text[i + 1] < kSurrogateEnd) {
            const char32_t low = text[i + 1];
            appendUtf8(out, 0x10000 + ((unit - kHighSurrogateFirst) << 10) + (low - kLowSurrogateFirst));
            ++i;
        } else {
            appendUtf8(out, kReplacement);
        }
    }
    return out;
}

std::u16string_view untilNul(const char16_t* text, std::size_t capacity) {
    if (text == nullptr) return {};
    std::size_t length = 0;
    while (length < capacity && text[length] != u'\0') ++length;
    return std::u16string_view(text, length);
}

}  // namespace tvzx
