#include "output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "host_error.h"

namespace tvzx::host {
namespace {

constexpr std::size_t kBufferSize = 1 << 20;
constexpr std::string_view kTemporarySuffix = ".partial";
constexpr std::string_view kUniqueTemplate = ".XXXXXX";
constexpr mode_t kNewFileMode = 0666;
constexpr int kStandardOutput = 1;
constexpr std::string_view kStandardOutputName = "standard output";

std::string failure(std::string_view what, const std::string& path) {
    return std::string(what) + " " + path + ": " + std::strerror(errno);
}

// Returns whether the path names something other than a regular file that
// exists (a device or a pipe), which cannot be replaced by a rename.
bool isSpecialFile(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode);
}

// Returns a new file, already unlinked, for a job bound for standard output.
int anonymousFile() {
    const char* directory = std::getenv("TMPDIR");
    std::string name = std::string(directory != nullptr && *directory != '\0' ? directory : "/tmp") + "/tvzx" +
                       std::string(kUniqueTemplate);
    const int descriptor = ::mkstemp(name.data());
    if (descriptor >= 0) ::unlink(name.c_str());
    return descriptor;
}

}  // namespace

OutputFile::OutputFile(const std::string& path) : path_(path), buffer_(kBufferSize) {
    if (path.empty()) {
        mode_ = Mode::Spooled;
        descriptor_ = anonymousFile();
        if (descriptor_ < 0) throw HostError(failure("cannot keep the job for", std::string(kStandardOutputName)));
    } else if (isSpecialFile(path)) {
        mode_ = Mode::Direct;
        descriptor_ = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
        if (descriptor_ < 0) throw HostError(failure("cannot write", path));
    } else {
        mode_ = Mode::Staged;
        temporary_ = path + std::string(kUniqueTemplate) + std::string(kTemporarySuffix);
        descriptor_ = ::mkstemps(temporary_.data(), static_cast<int>(kTemporarySuffix.size()));
        if (descriptor_ < 0) throw HostError(failure("cannot write", path));
        // The finished file gets the permissions a new file would have.
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(descriptor_, kNewFileMode & ~mask);
    }
}

OutputFile::~OutputFile() {
    if (descriptor_ >= 0) ::close(descriptor_);
    if (mode_ == Mode::Staged && !committed_) ::unlink(temporary_.c_str());
}

void OutputFile::writeAll(int descriptor, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t count = ::write(descriptor, data, size);
        if (count < 0) {
            if (errno == EINTR) continue;
            throw HostError(failure("cannot write", path_.empty() ? std::string(kStandardOutputName) : path_));
        }
        data += count;
        size -= static_cast<std::size_t>(count);
    }
}

void OutputFile::flush() {
    writeAll(descriptor_, buffer_.data(), buffered_);
    buffered_ = 0;
}

void OutputFile::write(std::string_view bytes) {
    size_ += bytes.size();
    if (bytes.size() > buffer_.size() - buffered_) {
        flush();
        // A piece larger than the buffer goes out at once.
        if (bytes.size() >= buffer_.size()) return writeAll(descriptor_, bytes.data(), bytes.size());
    }
    std::memcpy(buffer_.data() + buffered_, bytes.data(), bytes.size());
    buffered_ += bytes.size();
}

void OutputFile::commit() {
    flush();
    switch (mode_) {
        case Mode::Direct: break;
        case Mode::Staged:
            if (::close(std::exchange(descriptor_, -1)) != 0) throw HostError(failure("cannot write", path_));
            if (::rename(temporary_.c_str(), path_.c_str()) != 0) throw HostError(failure("cannot write", path_));
            break;
        case Mode::Spooled: {
            // The job is complete: hand it to standard output.
            if (::lseek(descriptor_, 0, SEEK_SET) != 0) throw HostError(failure("cannot read back the job for", std::string(kStandardOutputName)));
            for (;;) {
                const ssize_t count = ::read(descriptor_, buffer_.data(), buffer_.size());
                if (count < 0 && errno == EINTR) continue;
                if (count < 0) throw HostError(failure("cannot read back the job for", std::string(kStandardOutputName)));
                if (count == 0) break;
                writeAll(kStandardOutput, buffer_.data(), static_cast<std::size_t>(count));
            }
            break;
        }
    }
    committed_ = true;
}

}  // namespace tvzx::host
