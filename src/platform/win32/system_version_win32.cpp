// Version checks through VerifyVersionInfoW; the reported version through
// GetVersionExW, looked up at run time since newer headers deprecate it.
#include "platform/system_version.h"

#include <windows.h>

namespace tvzx::platform {
namespace {

using GetVersionExFunction = BOOL(WINAPI*)(OSVERSIONINFOW*);

class WindowsVersion final : public SystemVersion {
public:
    bool atLeast(std::uint32_t major, std::uint32_t minor) override {
        OSVERSIONINFOEXW wanted{};
        wanted.dwOSVersionInfoSize = sizeof wanted;
        wanted.dwMajorVersion = major;
        wanted.dwMinorVersion = minor;
        wanted.wServicePackMajor = 0;
        const DWORD fields = VER_MAJORVERSION | VER_MINORVERSION | VER_SERVICEPACKMAJOR;
        ULONGLONG condition = 0;
        condition = VerSetConditionMask(condition, VER_MAJORVERSION, VER_GREATER_EQUAL);
        condition = VerSetConditionMask(condition, VER_MINORVERSION, VER_GREATER_EQUAL);
        condition = VerSetConditionMask(condition, VER_SERVICEPACKMAJOR, VER_GREATER_EQUAL);
        return VerifyVersionInfoW(&wanted, fields, condition) != FALSE;
    }

    std::optional<ReportedVersion> reported() override {
        HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
        if (kernel == nullptr) return std::nullopt;
        const auto getVersion =
            reinterpret_cast<GetVersionExFunction>(reinterpret_cast<void*>(GetProcAddress(kernel, "GetVersionExW")));
        if (getVersion == nullptr) return std::nullopt;
        OSVERSIONINFOW info{};
        info.dwOSVersionInfoSize = sizeof info;
        if (!getVersion(&info)) return std::nullopt;
        return ReportedVersion{info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion};
    }
};

}  // namespace

SystemVersion& systemVersion() {
    static WindowsVersion version;
    return version;
}

}  // namespace tvzx::platform
