// The tab document's temporary file: named by GetTempFileNameW, opened with
// CreateFileW either shared with the worker still writing it or alone and
// deleted on close, removed with DeleteFileW.
#include "platform/temporary_files.h"

#include <windows.h>

#include <limits>
#include <string>

#include "platform/win32/wide_text.h"

namespace tvzx::platform {
namespace {

// GetTempFileNameW makes the name itself and creates the file when given 0.
constexpr UINT kSystemChosenNumber = 0;
// The longest path GetTempFileNameW writes, with its terminator.
constexpr std::size_t kTemporaryNameCapacity = MAX_PATH;
// The most one ReadFile call is asked for.
constexpr std::size_t kLargestRead = std::numeric_limits<DWORD>::max();

class WindowsReadableFile final : public ReadableFile {
public:
    explicit WindowsReadableFile(HANDLE file) : file_(file) {}
    ~WindowsReadableFile() override { CloseHandle(file_); }
    WindowsReadableFile(const WindowsReadableFile&) = delete;
    WindowsReadableFile& operator=(const WindowsReadableFile&) = delete;

    std::size_t read(std::uint8_t* buffer, std::size_t capacity) override {
        if (buffer == nullptr || capacity == 0) return 0;
        DWORD done = 0;
        const auto wanted = static_cast<DWORD>(capacity < kLargestRead ? capacity : kLargestRead);
        if (!ReadFile(file_, buffer, wanted, &done, nullptr)) return 0;
        return done;
    }

    std::uint64_t size() override {
        LARGE_INTEGER size{};
        if (!GetFileSizeEx(file_, &size) || size.QuadPart < 0) return 0;
        return static_cast<std::uint64_t>(size.QuadPart);
    }

private:
    HANDLE file_;
};

// Returns the existing file opened for reading with this access, sharing
// and flags; null when it cannot be opened.
std::unique_ptr<ReadableFile> openExisting(std::u16string_view path, DWORD access, DWORD sharing, DWORD flags) {
    if (path.empty() || win32::holdsNul(path)) return nullptr;
    const std::wstring widePath = win32::wideOf(path);
    HANDLE file = CreateFileW(widePath.c_str(), access, sharing, nullptr, OPEN_EXISTING, flags, nullptr);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_unique<WindowsReadableFile>(file);
}

class WindowsTemporaryFiles final : public TemporaryFiles {
public:
    std::optional<std::u16string> createUnique(std::u16string_view directory, std::u16string_view prefix) override {
        if (directory.empty() || win32::holdsNul(directory) || win32::holdsNul(prefix)) return std::nullopt;
        const std::wstring wideDirectory = win32::wideOf(directory);
        const std::wstring widePrefix = win32::wideOf(prefix);
        wchar_t name[kTemporaryNameCapacity] = {};
        if (GetTempFileNameW(wideDirectory.c_str(), widePrefix.c_str(), kSystemChosenNumber, name) == 0)
            return std::nullopt;
        return win32::textOf(name);
    }

    std::unique_ptr<ReadableFile> openShared(std::u16string_view path) override {
        // The worker may still be writing the file, and the reader must not
        // keep it from being written, renamed or removed.
        return openExisting(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            FILE_ATTRIBUTE_NORMAL);
    }

    std::unique_ptr<ReadableFile> openExclusive(std::u16string_view path, bool deleteOnClose) override {
        // Deleting on close needs the right to delete the file.
        const DWORD access = GENERIC_READ | (deleteOnClose ? DELETE : 0);
        const DWORD flags = FILE_FLAG_SEQUENTIAL_SCAN | (deleteOnClose ? FILE_FLAG_DELETE_ON_CLOSE : 0);
        return openExisting(path, access, 0, flags);
    }

    bool remove(std::u16string_view path) override {
        if (path.empty() || win32::holdsNul(path)) return false;
        const std::wstring widePath = win32::wideOf(path);
        if (DeleteFileW(widePath.c_str())) return true;
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    }

    void sleep(std::uint32_t milliseconds) override { Sleep(milliseconds); }

    void clearLastError() override { SetLastError(ERROR_SUCCESS); }
};

}  // namespace

TemporaryFiles& systemTemporaryFiles() {
    static WindowsTemporaryFiles files;
    return files;
}

}  // namespace tvzx::platform
