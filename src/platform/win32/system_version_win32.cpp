// Version checks through VerifyVersionInfoW. The reported version comes from
// RtlGetVersion, which tells the true version whatever the host program's
// manifest says, and otherwise from GetVersionExW; both are looked up at
// run time (newer headers deprecate the latter, ntdll is not linked).
#include "platform/system_version.h"

#include <windows.h>

#include "platform/win32/run_time_function.h"

namespace tvzx::platform {
namespace {

using RtlGetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOW*);
using GetVersionExFunction = BOOL(WINAPI*)(OSVERSIONINFOW*);

constexpr LONG kStatusSuccess = 0;

// The lookups are made on first use so that they exist before any caller,
// however early.
win32::RunTimeFunction<RtlGetVersionFunction>& rtlGetVersion() {
    static win32::RunTimeFunction<RtlGetVersionFunction> function{L"ntdll.dll", "RtlGetVersion"};
    return function;
}

win32::RunTimeFunction<GetVersionExFunction>& getVersionEx() {
    static win32::RunTimeFunction<GetVersionExFunction> function{L"kernel32.dll", "GetVersionExW"};
    return function;
}

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
        OSVERSIONINFOW info{};
        info.dwOSVersionInfoSize = sizeof info;
        if (const RtlGetVersionFunction get = rtlGetVersion().get(); get != nullptr && get(&info) == kStatusSuccess)
            return ReportedVersion{info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion};
        info = OSVERSIONINFOW{};
        info.dwOSVersionInfoSize = sizeof info;
        if (const GetVersionExFunction get = getVersionEx().get(); get != nullptr && get(&info))
            return ReportedVersion{info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion};
        return std::nullopt;
    }
};

}  // namespace

SystemVersion& systemVersion() {
    static WindowsVersion version;
    return version;
}

}  // namespace tvzx::platform
