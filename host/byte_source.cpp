#include "byte_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "host_error.h"

namespace tvzx::host {

std::size_t MemorySource::read(std::span<char> into) {
    const std::size_t count = std::min(into.size(), rest_.size());
    std::memcpy(into.data(), rest_.data(), count);
    rest_.remove_prefix(count);
    return count;
}

FileSource::FileSource(const std::string& path) : path_(path), descriptor_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {
    if (descriptor_ < 0) throw HostError(path + ": cannot open: " + std::strerror(errno));
    // A directory opens fine but cannot be read as a document.
    struct stat status {};
    if (::fstat(descriptor_, &status) == 0 && S_ISDIR(status.st_mode)) {
        ::close(descriptor_);
        throw HostError(path + ": is a directory");
    }
}

FileSource::~FileSource() { ::close(descriptor_); }

std::size_t FileSource::read(std::span<char> into) {
    for (;;) {
        const ssize_t count = ::read(descriptor_, into.data(), into.size());
        if (count >= 0) return static_cast<std::size_t>(count);
        if (errno != EINTR) throw HostError(path_ + ": cannot read: " + std::strerror(errno));
    }
}

}  // namespace tvzx::host
