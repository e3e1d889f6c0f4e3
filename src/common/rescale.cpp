#include "common/rescale.h"

#include <numeric>

namespace tvzx {

std::int64_t rescale(std::int64_t value, std::uint32_t fromScale, std::uint32_t toScale) {
    if (fromScale == toScale) return value;
    const std::uint64_t f = fromScale == 0 ? 1 : fromScale;
    const std::uint64_t t = toScale;
    const std::uint64_t g = std::gcd(f, t);
    const std::uint64_t multiplier = t / g;
    const std::uint64_t divisor = f / g;
    const std::uint64_t half = multiplier < divisor ? divisor / 2 : 0;
    // Work on the magnitude and put the sign back afterwards.
    const bool negative = value < 0;
    const std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    const std::uint64_t result = (magnitude * multiplier + half) / divisor;
    return negative ? -static_cast<std::int64_t>(result) : static_cast<std::int64_t>(result);
}

}  // namespace tvzx
