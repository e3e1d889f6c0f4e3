#include "file_descriptors.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#if defined(_WIN32)
#include <io.h>

#include <filesystem>
#include <random>
#else
#include <unistd.h>
#endif

namespace tvzx::host::files {
namespace {

constexpr int kStandardInput = 0;
constexpr int kStandardOutput = 1;
constexpr std::string_view kUniquePlaceholder = "XXXXXX";

#if defined(_WIN32)
// Windows descriptors: binary, not inherited by child processes.
constexpr int kCommonFlags = _O_BINARY | _O_NOINHERIT;
constexpr int kNewFilePermissions = _S_IREAD | _S_IWRITE;
constexpr int kUniqueAttempts = 100;
constexpr std::string_view kNameCharacters = "abcdefghijklmnopqrstuvwxyz0123456789";
#else
constexpr int kCommonFlags = O_CLOEXEC;
constexpr mode_t kNewFileMode = 0666;
#endif

}  // namespace

int openForReading(const std::string& path) { return ::open(path.c_str(), O_RDONLY | kCommonFlags); }

int openForWriting(const std::string& path) { return ::open(path.c_str(), O_WRONLY | kCommonFlags); }

#if defined(_WIN32)

namespace {

// Returns a descriptor of a new file named after the template, created with
// the extra flags; -1 on failure.
int createFromTemplate(std::string& path, std::size_t suffixLength, int extraFlags) {
    if (path.size() < suffixLength + kUniquePlaceholder.size()) {
        errno = EINVAL;
        return -1;
    }
    const std::size_t at = path.size() - suffixLength - kUniquePlaceholder.size();
    std::random_device seed;
    std::minstd_rand pick(seed());
    // A name taken by someone else is tried again with other characters.
    for (int attempt = 0; attempt < kUniqueAttempts; ++attempt) {
        for (std::size_t i = 0; i < kUniquePlaceholder.size(); ++i)
            path[at + i] = kNameCharacters[pick() % kNameCharacters.size()];
        const int descriptor =
            ::_open(path.c_str(), _O_RDWR | _O_CREAT | _O_EXCL | kCommonFlags | extraFlags, kNewFilePermissions);
        if (descriptor >= 0 || errno != EEXIST) return descriptor;
    }
    return -1;
}

}  // namespace

int createUnique(std::string& path, std::size_t suffixLength) { return createFromTemplate(path, suffixLength, 0); }

int createAnonymous() {
    std::error_code error;
    const std::filesystem::path directory = std::filesystem::temp_directory_path(error);
    if (error) {
        errno = ENOENT;
        return -1;
    }
    std::string path = (directory / ("tvzx" + std::string(kUniquePlaceholder))).string();
    // The system removes a temporary file when its last descriptor closes.
    return createFromTemplate(path, 0, _O_TEMPORARY);
}

bool isDirectory(int descriptor) {
    struct _stat64 status {};
    return ::_fstat64(descriptor, &status) == 0 && (status.st_mode & _S_IFMT) == _S_IFDIR;
}

long long regularFileSize(int descriptor) {
    struct _stat64 status {};
    if (::_fstat64(descriptor, &status) != 0 || (status.st_mode & _S_IFMT) != _S_IFREG) return -1;
    return status.st_size;
}

bool isSpecialFile(const std::string& path) {
    struct _stat64 status {};
    return ::_stat64(path.c_str(), &status) == 0 && (status.st_mode & _S_IFMT) != _S_IFREG;
}

// Windows gives a new file the permissions of its directory.
void giveNewFileMode(int) {}

long long readSome(int descriptor, char* data, std::size_t size) {
    return ::_read(descriptor, data, static_cast<unsigned>(std::min<std::size_t>(size, 1u << 30)));
}

long long writeSome(int descriptor, const char* data, std::size_t size) {
    return ::_write(descriptor, data, static_cast<unsigned>(std::min<std::size_t>(size, 1u << 30)));
}

bool rewind(int descriptor) { return ::_lseeki64(descriptor, 0, SEEK_SET) == 0; }

bool close(int descriptor) { return ::_close(descriptor) == 0; }

int standardOutput() {
    // Line ends of the job must not be widened to CR LF on the way out.
    ::_setmode(kStandardOutput, _O_BINARY);
    return kStandardOutput;
}

int standardInput() {
    // A job's CR LF and its other control bytes must come in as they are.
    ::_setmode(kStandardInput, _O_BINARY);
    return kStandardInput;
}

#else

int createUnique(std::string& path, std::size_t suffixLength) {
    return ::mkostemps(path.data(), static_cast<int>(suffixLength), O_CLOEXEC);
}

int createAnonymous() {
    const char* directory = std::getenv("TMPDIR");
    std::string name = std::string(directory != nullptr && *directory != '\0' ? directory : "/tmp") + "/tvzx" +
                       std::string(kUniquePlaceholder);
    const int descriptor = ::mkostemp(name.data(), O_CLOEXEC);
    // Without a name the file goes away with its descriptor.
    if (descriptor >= 0) ::unlink(name.c_str());
    return descriptor;
}

bool isDirectory(int descriptor) {
    struct stat status {};
    return ::fstat(descriptor, &status) == 0 && S_ISDIR(status.st_mode);
}

long long regularFileSize(int descriptor) {
    struct stat status {};
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) return -1;
    return status.st_size;
}

bool isSpecialFile(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode);
}

void giveNewFileMode(int descriptor) {
    // mkstemp makes files only the user may read; the finished file gets
    // the permissions any new file would have.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(descriptor, kNewFileMode & ~mask);
}

long long readSome(int descriptor, char* data, std::size_t size) {
    for (;;) {
        const ssize_t count = ::read(descriptor, data, size);
        if (count >= 0 || errno != EINTR) return count;
    }
}

long long writeSome(int descriptor, const char* data, std::size_t size) {
    for (;;) {
        const ssize_t count = ::write(descriptor, data, size);
        if (count >= 0 || errno != EINTR) return count;
    }
}

bool rewind(int descriptor) { return ::lseek(descriptor, 0, SEEK_SET) == 0; }

bool close(int descriptor) { return ::close(descriptor) == 0; }

int standardOutput() { return kStandardOutput; }

int standardInput() { return kStandardInput; }

#endif

bool standardInputIsTerminal() {
#if defined(_WIN32)
    return ::_isatty(kStandardInput) != 0;
#else
    return ::isatty(kStandardInput) != 0;
#endif
}

bool remove(const std::string& path) { return std::remove(path.c_str()) == 0 || errno == ENOENT; }

bool rename(const std::string& from, const std::string& to) {
#if defined(_WIN32)
    // The C library's rename does not replace an existing file on Windows.
    std::error_code error;
    std::filesystem::rename(from, to, error);
    // The reason is a Windows error code, not one of errno's.
    if (error) errno = EACCES;
    return !error;
#else
    return std::rename(from.c_str(), to.c_str()) == 0;
#endif
}

}  // namespace tvzx::host::files
