// The Windows file system: file attributes, a new temporary file deleted on
// close, GetTempPathW and the "Common AppData" shell folder of the machine.
#include "platform/file_system.h"

#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/wide_text.h"

namespace tvzx::platform {
namespace {

constexpr const wchar_t* kShellFoldersKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr const wchar_t* kCommonAppDataValue = L"Common AppData";
// The longest temporary path GetTempPathW gives, with its terminator.
constexpr DWORD kTemporaryPathCapacity = MAX_PATH + 2;

using win32::holdsNul;
using win32::textOf;
using win32::wideOf;

// Returns the text with its environment variables ("%SystemDrive%")
// replaced, as the shell stores some folders; the text itself when it
// cannot be expanded.
std::u16string expanded(const std::wstring& text) {
    const DWORD needed = ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
    if (needed == 0) return textOf(text.c_str());
    std::vector<wchar_t> out(needed, L'\0');
    const DWORD length = ExpandEnvironmentStringsW(text.c_str(), out.data(), needed);
    if (length == 0 || length > needed) return textOf(text.c_str());
    return textOf(out.data());
}

class WindowsFileSystem final : public FileSystem {
public:
    bool isDirectory(std::u16string_view path) override {
        if (path.empty() || holdsNul(path)) return false;
        const DWORD attributes = GetFileAttributesW(wideOf(path).c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    }

    bool exists(std::u16string_view path) override {
        return !path.empty() && !holdsNul(path) && GetFileAttributesW(wideOf(path).c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    bool createScratchFile(std::u16string_view path) override {
        if (path.empty() || holdsNul(path)) return false;
        HANDLE file = CreateFileW(wideOf(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (file == INVALID_HANDLE_VALUE) return false;
        CloseHandle(file);
        return true;
    }

    std::u16string temporaryDirectory() override {
        wchar_t path[kTemporaryPathCapacity] = {};
        const DWORD length = GetTempPathW(kTemporaryPathCapacity, path);
        if (length == 0 || length >= kTemporaryPathCapacity) return {};
        return textOf(path, length);
    }

    std::optional<std::u16string> commonAppDataDirectory() override {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kShellFoldersKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return std::nullopt;
        DWORD type = 0;
        DWORD size = 0;
        std::optional<std::u16string> result;
        // First the size, then the text; a text value need not end in NUL.
        if (RegQueryValueExW(key, kCommonAppDataValue, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
            (type == REG_SZ || type == REG_EXPAND_SZ) && size > 0) {
            std::vector<wchar_t> text(size / sizeof(wchar_t) + 1, L'\0');
            if (RegQueryValueExW(key, kCommonAppDataValue, nullptr, &type, reinterpret_cast<BYTE*>(text.data()),
                                 &size) == ERROR_SUCCESS) {
                const std::wstring value(text.data());
                result = type == REG_EXPAND_SZ ? expanded(value) : textOf(value.c_str());
            }
        }
        RegCloseKey(key);
        return result;
    }
};

}  // namespace

FileSystem& systemFileSystem() {
    static WindowsFileSystem fileSystem;
    return fileSystem;
}

bool appendToFile(std::u16string_view path, std::string_view bytes) {
    if (path.empty() || holdsNul(path) || bytes.size() > MAXDWORD) return false;
    // Appending access alone puts every write at the end, whoever else
    // writes to the file at the same time.
    HANDLE file = CreateFileW(wideOf(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const BOOL wrote = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    const BOOL closed = CloseHandle(file);
    return wrote && closed && written == bytes.size();
}

}  // namespace tvzx::platform
