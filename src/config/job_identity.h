// The job identity: a 26-character text that names one print job, given to
// the printer in the job ticket and announced to the notification library.
// Twelve upper-case hexadecimal digits (AC DE 48 and three pseudo-random
// bytes), then the UTC month, day, hour, minute and second with two digits
// each and the milliseconds with four.
#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/dynamic_library.h"

namespace tvzx::config {

inline constexpr std::array<std::uint8_t, 3> kJobIdentityMark = {0xAC, 0xDE, 0x48};
inline constexpr std::size_t kJobIdentityRandomBytes = 3;
inline constexpr std::size_t kJobIdentityTimeDigits = 14;
inline constexpr std::size_t kJobIdentityLength =
    (kJobIdentityMark.size() + kJobIdentityRandomBytes) * 2 + kJobIdentityTimeDigits;
static_assert(kJobIdentityLength == 26);

// The moment of a job in UTC, as the identity writes it.
struct JobTime {
    std::uint32_t month = 1;
    std::uint32_t day = 1;
    std::uint32_t hour = 0;
    std::uint32_t minute = 0;
    std::uint32_t second = 0;
    std::uint32_t millisecond = 0;
};

// Returns the UTC calendar time of this instant.
JobTime jobTimeOf(std::chrono::system_clock::time_point instant);

// Returns the job identity of these pseudo-random bytes and this time.
std::string formatJobIdentity(const std::array<std::uint8_t, kJobIdentityRandomBytes>& randomBytes,
                              const JobTime& time);

// Returns a new job identity: bytes from the process's pseudo-random
// sequence (each a value modulo 255) and the current time.
std::string newJobIdentity();

// Announces a job to the notification library at `libraryPath`: when it
// loads and exports "BdcSetNotifyPrint", calls it with the identity and the
// document name in UTF-8, then unloads it. Returns whether the call was
// made. Nothing is announced for an empty identity or without a document.
bool announceJob(platform::LibraryLoader& loader, std::u16string_view libraryPath, std::string_view jobIdentity,
                 std::optional<std::u16string_view> documentText);

// Returns a new job identity after announcing it to the notification
// library beside the loaded module with this handle, when there is one.
std::string jobIdentity(void* module, std::optional<std::u16string_view> documentText,
                        platform::LibraryLoader& loader = platform::systemLibraryLoader());

}  // namespace tvzx::config
