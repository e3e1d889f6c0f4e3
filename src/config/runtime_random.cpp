#include "config/runtime_random.h"

#include <atomic>
#include <chrono>

namespace tvzx::config {
namespace {

constexpr std::uint32_t kMultiplier = 214013;
constexpr std::uint32_t kIncrement = 2531011;
constexpr unsigned kOutputShift = 16;

constexpr std::uint32_t advance(std::uint32_t state) { return state * kMultiplier + kIncrement; }

std::atomic<std::uint32_t>& sharedState() {
    // Seeded by the first caller; the sequence's own state is kept apart
    // from the C runtime's, which belongs to the host process.
    static std::atomic<std::uint32_t> state{static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count())};
    return state;
}

}  // namespace

std::uint32_t nextRuntimeRandom(std::uint32_t& state) {
    state = advance(state);
    return (state >> kOutputShift) & kRuntimeRandomMax;
}

std::uint32_t runtimeRandom() {
    std::atomic<std::uint32_t>& state = sharedState();
    std::uint32_t current = state.load(std::memory_order_relaxed);
    // Each caller takes its own step of the sequence, however many threads
    // ask at once.
    while (!state.compare_exchange_weak(current, advance(current), std::memory_order_relaxed)) {
    }
    return (advance(current) >> kOutputShift) & kRuntimeRandomMax;
}

}  // namespace tvzx::config
