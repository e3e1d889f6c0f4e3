// The process's pseudo-random numbers for the job identity and the wake-up
// pause. They need to differ between jobs, not to be unpredictable.
#pragma once

#include <cstdint>

namespace tvzx::config {

// The largest value runtimeRandom() gives.
inline constexpr std::uint32_t kRuntimeRandomMax = 0x7FFF;

// Returns the next value, 0 to kRuntimeRandomMax, of the process's linear
// congruential sequence (the C runtime's: multiplier 214013, increment
// 2531011, bits 16 to 30 of the state). The sequence is seeded once per
// process with the time in seconds at its first use.
std::uint32_t runtimeRandom();

// Returns the value that follows the state, and advances the state.
std::uint32_t nextRuntimeRandom(std::uint32_t& state);

}  // namespace tvzx::config
