// A POSIX system is no Windows version: it answers no to every version
// check and reports none, which classifies as "cannot be determined".
#include "platform/system_version.h"

namespace tvzx::platform {
namespace {

class PosixVersion final : public SystemVersion {
public:
    bool atLeast(std::uint32_t, std::uint32_t) override { return false; }
    std::optional<ReportedVersion> reported() override { return std::nullopt; }
};

}  // namespace

SystemVersion& systemVersion() {
    static PosixVersion version;
    return version;
}

}  // namespace tvzx::platform
