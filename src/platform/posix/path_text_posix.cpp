// UTF-8 and UTF-16 path conversion for the POSIX calls.
#include "platform/path_text.h"

#include <cstdint>

#include "common/wide_text.h"

namespace tvzx::platform {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

void appendUtf16(std::u16string& out, char32_t code) {
    if (code < 0x10000) {
        out.push_back(static_cast<char16_t>(code));
        return;
    }
    code -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 | (code >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 | (code & 0x3FF)));
}

}  // namespace

std::string utf8Path(std::u16string_view path) { return utf8FromUtf16(path); }

std::u16string utf16Path(std::string_view path) {
    std::u16string out;
    std::size_t i = 0;
    while (i < path.size()) {
        const auto lead = static_cast<std::uint8_t>(path[i]);
        // The sequence length and the smallest code it may carry, so that
        // overlong forms are refused.
        std::size_t length = 1;
        char32_t code = lead;
        char32_t smallest = 0;
        if (lead >= 0xF0 && lead < 0xF5) {
            length = 4, code = lead & 0x07, smallest = 0x10000;
        } else if (lead >= 0xE0 && lead < 0xF0) {
            length = 3, code = lead & 0x0F, smallest = 0x800;
        } else if (lead >= 0xC2 && lead < 0xE0) {
            length = 2, code = lead & 0x1F, smallest = 0x80;
        } else if (lead >= 0x80) {
            appendUtf16(out, kReplacement);
            ++i;
            continue;
        }
        std::size_t taken = 1;
        for (; taken < length && i + taken < path.size(); ++taken) {
            const auto next = static_cast<std::uint8_t>(path[i + taken]);
            if ((next & 0xC0) != 0x80) break;
            code = (code << 6) | (next & 0x3F);
        }
        const bool valid = taken == length && code >= smallest && code <= 0x10FFFF && !(code >= 0xD800 && code < 0xE000);
        appendUtf16(out, valid ? code : kReplacement);
        i += taken;
    }
    return out;
}

}  // namespace tvzx::platform
