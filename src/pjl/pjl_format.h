// The syntax of one ticket command and the number and name forms it uses.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tvzx::pjl {

inline constexpr std::string_view kSetPrefix = "@PJL SET ";
inline constexpr std::string_view kLineEnd = "\r\n";

// Returns "@PJL SET " key "=" value CR LF. With quoteAlways the value stands
// in double quotes; otherwise it is bare when it is empty, a number (an
// optional leading "-" and digits, or a lone "-") or made of ASCII letters
// and digits only, and quoted in every other case. A carriage return or line
// feed inside the value becomes a blank, so that no value can end its line
// and start a command of its own, and a double quote becomes an apostrophe,
// so that the value stays one quoted string. Empty for an empty key.
std::string formatPjlSet(std::string_view key, std::string_view value, bool quoteAlways = false);

// Returns the number in decimal, with a leading "-" when negative.
std::string formatNumber(std::int64_t value);

// Returns the name as it may stand in the ticket within a buffer of n bytes
// (n counts the terminating zero): well-formed UTF-8 keeps whole characters
// that fit into n - 1 bytes; anything else is copied byte by byte up to
// n - 1 bytes with every byte of 0x80 or above replaced by "?".
std::string boundedUtf8Copy(std::string_view source, std::size_t n);

// Returns the text without its control characters (below 0x20, and DEL),
// which some printers' network cards hang on.
std::string withoutControls(std::string_view text);

// Returns whether the bytes are well-formed UTF-8.
bool isWellFormedUtf8(std::string_view text);

}  // namespace tvzx::pjl
