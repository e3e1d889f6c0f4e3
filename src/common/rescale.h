// Conversion of stored fixed-point numbers between scales.
#pragma once

#include <cstdint>

namespace tvzx {

// Returns value converted from fromScale to toScale after reduction by the
// greatest common divisor (a scale of 0 counts as 1), rounded half up when
// the target unit is coarser; negative values round half away from zero.
std::int64_t rescale(std::int64_t value, std::uint32_t fromScale, std::uint32_t toScale);

}  // namespace tvzx
