// The tab document's temporary file on a POSIX file system. Sharing modes do
// not exist here: an exclusive open is a plain open, and delete-on-close
// removes the name at once (the open file stays readable).
#include "platform/temporary_files.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "platform/path_text.h"

namespace tvzx::platform {
namespace {

class PosixFile final : public ReadableFile {
public:
    explicit PosixFile(int descriptor) : descriptor_(descriptor) {}
    ~PosixFile() override { close(descriptor_); }
    PosixFile(const PosixFile&) = delete;
    PosixFile& operator=(const PosixFile&) = delete;

    std::size_t read(std::uint8_t* buffer, std::size_t capacity) override {
        for (;;) {
            const ssize_t count = ::read(descriptor_, buffer, capacity);
            if (count >= 0) return static_cast<std::size_t>(count);
            if (errno != EINTR) return 0;
        }
    }

    std::uint64_t size() override {
        struct stat status {};
        if (fstat(descriptor_, &status) != 0) return 0;
        return static_cast<std::uint64_t>(status.st_size);
    }

private:
    int descriptor_;
};

std::unique_ptr<ReadableFile> openForReading(std::u16string_view path) {
    const int descriptor = ::open(utf8Path(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) return nullptr;
    return std::make_unique<PosixFile>(descriptor);
}

class PosixTemporaryFiles final : public TemporaryFiles {
public:
    std::optional<std::u16string> createUnique(std::u16string_view directory, std::u16string_view prefix) override {
        // Like GetTempFileNameW: the prefix (at most three characters), a
        // unique part and ".tmp", created empty.
        std::string pattern = utf8Path(directory);
        if (!pattern.empty() && pattern.back() != '/') pattern += '/';
        pattern += utf8Path(prefix.substr(0, 3)) + "XXXXXX.tmp";
        const int descriptor = mkstemps(pattern.data(), 4);
        if (descriptor < 0) return std::nullopt;
        close(descriptor);
        return utf16Path(pattern);
    }

    std::unique_ptr<ReadableFile> openShared(std::u16string_view path) override { return openForReading(path); }

    std::unique_ptr<ReadableFile> openExclusive(std::u16string_view path, bool deleteOnClose) override {
        auto file = openForReading(path);
        if (file != nullptr && deleteOnClose) ::unlink(utf8Path(path).c_str());
        return file;
    }

    bool remove(std::u16string_view path) override {
        return ::unlink(utf8Path(path).c_str()) == 0 || errno == ENOENT;
    }

    void sleep(std::uint32_t milliseconds) override {
        timespec pause{static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L};
        while (nanosleep(&pause, &pause) != 0 && errno == EINTR) {
        }
    }

    void clearLastError() override { errno = 0; }
};

}  // namespace

TemporaryFiles& systemTemporaryFiles() {
    static PosixTemporaryFiles files;
    return files;
}

}  // namespace tvzx::platform
