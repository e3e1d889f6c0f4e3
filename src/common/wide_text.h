// Conversion of the driver's wide (UTF-16) texts into the 8-bit texts the
// plug-in writes.
#pragma once

#include <string>
#include <string_view>

namespace tvzx {

// Returns the UTF-8 form of a UTF-16 text; an unpaired surrogate becomes
// U+FFFD.
std::string utf8FromUtf16(std::u16string_view text);

// Returns the text up to its first NUL, at most `capacity` characters.
std::u16string_view untilNul(const char16_t* text, std::size_t capacity);

}  // namespace tvzx
