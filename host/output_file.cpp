#include "output_file.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "file_descriptors.h"
#include "host_error.h"

namespace tvzx::host {
namespace {

constexpr std::size_t kBufferSize = 1 << 20;
// A stream's reader gets its bytes in pieces of this size: small enough that
// the printer starts early, large enough that writing costs little.
constexpr std::size_t kStreamBufferSize = 64 * 1024;
constexpr std::string_view kTemporarySuffix = ".partial";
constexpr std::string_view kUniqueTemplate = ".XXXXXX";
constexpr std::string_view kStandardOutputName = "standard output";

std::string failure(std::string_view what, const std::string& path) {
    return std::string(what) + " " + path + ": " + std::strerror(errno);
}

}  // namespace

OutputFile::OutputFile(const std::string& path, Delivery delivery)
    : path_(path),
      bufferSize_(path.empty() && delivery == Delivery::AsWritten ? kStreamBufferSize : kBufferSize) {
    buffer_ = std::make_unique_for_overwrite<char[]>(bufferSize_);
    if (path.empty() && delivery == Delivery::AsWritten) {
        // Standard output stays open: it is not the job's to close.
        mode_ = Mode::Streamed;
    } else if (path.empty()) {
        mode_ = Mode::Spooled;
        descriptor_ = files::createAnonymous();
        if (descriptor_ < 0) throw HostError(failure("cannot keep the job for", std::string(kStandardOutputName)));
    } else if (files::isSpecialFile(path)) {
        mode_ = Mode::Direct;
        descriptor_ = files::openForWriting(path);
        if (descriptor_ < 0) throw HostError(failure("cannot write", path));
    } else {
        mode_ = Mode::Staged;
        temporary_ = path + std::string(kUniqueTemplate) + std::string(kTemporarySuffix);
        descriptor_ = files::createUnique(temporary_, kTemporarySuffix.size());
        if (descriptor_ < 0) throw HostError(failure("cannot write", path));
        files::giveNewFileMode(descriptor_);
    }
}

OutputFile::~OutputFile() {
    if (descriptor_ >= 0 && mode_ != Mode::Streamed) files::close(descriptor_);
    if (mode_ == Mode::Staged && !committed_) files::remove(temporary_);
}

int OutputFile::target() const { return mode_ == Mode::Streamed ? files::standardOutput() : descriptor_; }

void OutputFile::writeAll(int descriptor, const char* data, std::size_t size) {
    while (size > 0) {
        const long long count = files::writeSome(descriptor, data, size);
        if (count < 0) {
            throw HostError(failure("cannot write", path_.empty() ? std::string(kStandardOutputName) : path_));
        }
        data += count;
        size -= static_cast<std::size_t>(count);
    }
}

void OutputFile::flush() {
    writeAll(target(), buffer_.get(), buffered_);
    buffered_ = 0;
}

void OutputFile::write(std::string_view bytes) {
    size_ += bytes.size();
    if (bytes.size() > bufferSize_ - buffered_) {
        flush();
        // A piece larger than the buffer goes out at once.
        if (bytes.size() >= bufferSize_) return writeAll(target(), bytes.data(), bytes.size());
    }
    std::memcpy(buffer_.get() + buffered_, bytes.data(), bytes.size());
    buffered_ += bytes.size();
}

void OutputFile::commit() {
    flush();
    switch (mode_) {
        case Mode::Direct:
        case Mode::Streamed: break;
        case Mode::Staged:
            if (!files::close(std::exchange(descriptor_, -1))) throw HostError(failure("cannot write", path_));
            if (!files::rename(temporary_, path_)) throw HostError(failure("cannot write", path_));
            break;
        case Mode::Spooled: {
            // The job is complete: hand it to standard output.
            if (!files::rewind(descriptor_)) throw HostError(failure("cannot read back the job for", std::string(kStandardOutputName)));
            const int standardOutput = files::standardOutput();
            for (;;) {
                const long long count = files::readSome(descriptor_, buffer_.get(), kBufferSize);
                if (count < 0) throw HostError(failure("cannot read back the job for", std::string(kStandardOutputName)));
                if (count == 0) break;
                writeAll(standardOutput, buffer_.get(), static_cast<std::size_t>(count));
            }
            break;
        }
    }
    committed_ = true;
}

}  // namespace tvzx::host
