// The POSIX file system: stat, an exclusive open that is unlinked before it
// is closed, and TMPDIR for the temporary directory.
#include "platform/file_system.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/path_text.h"

namespace tvzx::platform {
namespace {

// The temporary directory when TMPDIR does not name one.
constexpr const char* kDefaultTemporaryDirectory = "/tmp";
// Only the owner may read or write the scratch file, for the short time it
// exists.
constexpr mode_t kScratchFileMode = 0600;
// A file added to is made as any new file of the user would be.
constexpr mode_t kNewFileMode = 0666;

class PosixFileSystem final : public FileSystem {
public:
    bool isDirectory(std::u16string_view path) override {
        struct stat status {};
        return !path.empty() && stat(utf8Path(path).c_str(), &status) == 0 && S_ISDIR(status.st_mode);
    }

    bool exists(std::u16string_view path) override {
        struct stat status {};
        return !path.empty() && lstat(utf8Path(path).c_str(), &status) == 0;
    }

    bool createScratchFile(std::u16string_view path) override {
        if (path.empty()) return false;
        const std::string name = utf8Path(path);
        // O_EXCL refuses an existing file or link; the name is removed at
        // once, so the file goes away with its last descriptor.
        const int descriptor = open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, kScratchFileMode);
        if (descriptor < 0) return false;
        unlink(name.c_str());
        close(descriptor);
        return true;
    }

    std::u16string temporaryDirectory() override {
        const char* configured = getenv("TMPDIR");
        if (configured != nullptr && configured[0] != '\0') return utf16Path(configured);
        return utf16Path(kDefaultTemporaryDirectory);
    }

    // POSIX systems have no machine-wide application data folder.
    std::optional<std::u16string> commonAppDataDirectory() override { return std::nullopt; }
};

}  // namespace

FileSystem& systemFileSystem() {
    static PosixFileSystem fileSystem;
    return fileSystem;
}

bool appendToFile(std::u16string_view path, std::string_view bytes) {
    // Files added to may sit in a directory others can write to, such as
    // /tmp: a symbolic link planted under the name is not followed.
    const int descriptor =
        ::open(utf8Path(path).c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOFOLLOW, kNewFileMode);
    if (descriptor < 0) return false;
    const ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
    const bool closed = ::close(descriptor) == 0;
    return written == static_cast<ssize_t>(bytes.size()) && closed;
}

}  // namespace tvzx::platform
