#include "config/windows_version.h"

#include <array>

namespace tvzx::config {
namespace {

// The platform number of the NT family.
constexpr std::uint32_t kNtPlatform = 2;

struct VersionCheck {
    std::uint32_t major;
    std::uint32_t minor;
    WindowsVersionClass versionClass;
};

// The checks in the order they are made: the newest first.
constexpr std::array<VersionCheck, 4> kVersionChecks = {{
    {6, 2, WindowsVersionClass::Version6_2},
    {6, 1, WindowsVersionClass::Version6_1},
    {6, 0, WindowsVersionClass::Version6_0},
    {5, 1, WindowsVersionClass::Version5_1},
}};

}  // namespace

WindowsVersionClass classifyReportedVersion(const platform::ReportedVersion& version) {
    if (version.platformId < kNtPlatform) return WindowsVersionClass::NotNt;
    if (version.platformId != kNtPlatform) return WindowsVersionClass::Undetermined;
    if (version.major < 5) return WindowsVersionClass::NtBefore5;
    if (version.major == 5) return version.minor == 0 ? WindowsVersionClass::Version5_0 : WindowsVersionClass::Version5_1;
    if (version.major == 6 && version.minor == 0) return WindowsVersionClass::Version6_0;
    if (version.major == 6 && version.minor == 1) return WindowsVersionClass::Version6_1;
    return WindowsVersionClass::Version6_2;
}

WindowsVersionClass classifyWindowsVersion(platform::SystemVersion& system) {
    for (const VersionCheck& check : kVersionChecks)
        if (system.atLeast(check.major, check.minor)) return check.versionClass;
    const std::optional<platform::ReportedVersion> reported = system.reported();
    if (!reported) return WindowsVersionClass::Undetermined;
    return classifyReportedVersion(*reported);
}

WindowsVersionClass windowsVersionClass() {
    // The system does not change while the process runs; the first caller
    // asks, the others wait for its answer.
    static const WindowsVersionClass versionClass = classifyWindowsVersion(platform::systemVersion());
    return versionClass;
}

}  // namespace tvzx::config
