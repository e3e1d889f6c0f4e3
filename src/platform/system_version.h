// What the running system says about its version.
#pragma once

#include <cstdint>
#include <optional>

namespace tvzx::platform {

// The version the system reports of itself: its platform (2 for the NT
// family), major and minor version.
struct ReportedVersion {
    std::uint32_t platformId = 0;
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
};

class SystemVersion {
public:
    virtual ~SystemVersion() = default;
    // Returns whether the system is at least this version, service pack 0
    // or later; false when it cannot tell.
    virtual bool atLeast(std::uint32_t major, std::uint32_t minor) = 0;
    // Returns the version the system reports; nothing when it reports none.
    virtual std::optional<ReportedVersion> reported() = 0;
};

// Returns the version queries of the system the plug-in runs on.
SystemVersion& systemVersion();

}  // namespace tvzx::platform
