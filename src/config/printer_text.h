// Text values of the printer's data: wide characters, little-endian, up to
// the first NUL.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tvzx::config {

// Returns the text of a wide-text value: its characters up to the first NUL
// or its end; a last odd byte is no character.
std::u16string wideTextOf(const std::vector<std::uint8_t>& data);

}  // namespace tvzx::config
