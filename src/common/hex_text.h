// Hexadecimal texts of the settings subsystem.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tvzx {

// Writes the number in upper-case hexadecimal to `digits`, two digits per
// byte, most significant byte first, leading zero bytes left out but at
// least one byte written: 0x0A gives "0A", 0x123 gives "0123". Returns how
// many digits were written. Usable while compiling.
constexpr std::size_t hexBytesDigits(std::uint32_t value, char (&digits)[8]) {
    constexpr char kDigits[] = "0123456789ABCDEF";
    int bytes = 4;
    while (bytes > 1 && ((value >> ((bytes - 1) * 8)) & 0xFF) == 0) --bytes;
    std::size_t count = 0;
    for (int i = bytes - 1; i >= 0; --i) {
        const unsigned b = (value >> (i * 8)) & 0xFF;
        digits[count++] = kDigits[b >> 4];
        digits[count++] = kDigits[b & 15];
    }
    return count;
}

// Returns the digits hexBytesDigits writes, as a text.
inline std::string hexBytesText(std::uint32_t value) {
    char digits[8] = {};
    return std::string(digits, hexBytesDigits(value, digits));
}

// Returns the value of one hexadecimal digit (either case); -1 for any other
// character.
int hexDigitValue(char c);

// Returns the number read from hexadecimal digits (either case); nothing when
// the text is empty, holds another character or exceeds 32 bits.
std::optional<std::uint32_t> parseHex32(std::string_view text);

}  // namespace tvzx
