// Hexadecimal texts of the settings subsystem.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tvzx {

// Returns the number in upper-case hexadecimal, two digits per byte, most
// significant byte first, leading zero bytes left out but at least one byte
// written: 0x0A gives "0A", 0x123 gives "0123". Usable while compiling.
constexpr std::string hexBytesText(std::uint32_t value) {
    constexpr char kDigits[] = "0123456789ABCDEF";
    int bytes = 4;
    while (bytes > 1 && ((value >> ((bytes - 1) * 8)) & 0xFF) == 0) --bytes;
    std::string out;
    for (int i = bytes - 1; i >= 0; --i) {
        const unsigned b = (value >> (i * 8)) & 0xFF;
        out += kDigits[b >> 4];
        out += kDigits[b & 15];
    }
    return out;
}

// Returns the value of one hexadecimal digit (either case); -1 for any other
// character.
int hexDigitValue(char c);

// Returns the number read from hexadecimal digits (either case); nothing when
// the text is empty, holds another character or exceeds 32 bits.
std::optional<std::uint32_t> parseHex32(std::string_view text);

}  // namespace tvzx
