// The class of Windows version the plug-in runs on, which decides where it
// looks first for a writable directory.
#pragma once

#include <cstdint>

#include "platform/system_version.h"

namespace tvzx::config {

enum class WindowsVersionClass : std::uint32_t {
    NotNt = 0,           // a platform outside the NT family
    NtBefore5 = 1,       // NT before 5.0
    Version5_0 = 2,      // 5.0
    Version5_1 = 3,      // 5.1 or a later 5.x
    Version6_0 = 4,      // 6.0
    Version6_1 = 5,      // 6.1
    Version6_2 = 6,      // 6.2 or later
    Undetermined = 7,    // the version cannot be determined or is unknown
};

// Returns the class of the reported version: platform, major and minor.
WindowsVersionClass classifyReportedVersion(const platform::ReportedVersion& version);

// Returns the class the system's answers give: the version checks from 6.2
// down to 5.1 first, then the reported version; Undetermined when neither
// tells. A POSIX system answers neither and so is Undetermined.
WindowsVersionClass classifyWindowsVersion(platform::SystemVersion& system);

// Returns the class of the running system, asked once per process.
WindowsVersionClass windowsVersionClass();

}  // namespace tvzx::config
