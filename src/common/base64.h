// Base64 with the standard alphabet and "=" padding.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tvzx {

// Returns the Base64 text of the bytes, padded to a multiple of four, no line breaks.
std::string base64Encode(std::span<const std::uint8_t> bytes);

// Returns the decoded bytes. Characters outside the alphabet (line breaks,
// spaces, NUL) are skipped; the first "=" ends the data.
std::vector<std::uint8_t> base64Decode(std::string_view text);

}  // namespace tvzx
