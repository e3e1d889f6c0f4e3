#include "byte_source.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "file_descriptors.h"
#include "host_error.h"

namespace tvzx::host {

std::size_t MemorySource::read(std::span<char> into) {
    const std::size_t count = std::min(into.size(), rest_.size());
    std::memcpy(into.data(), rest_.data(), count);
    rest_.remove_prefix(count);
    return count;
}

FileSource::FileSource(const std::string& path) : path_(path), descriptor_(files::openForReading(path)) {
    if (descriptor_ < 0) throw HostError(path + ": cannot open: " + std::strerror(errno));
    // A directory opens fine but cannot be read as a document.
    if (files::isDirectory(descriptor_)) {
        files::close(descriptor_);
        throw HostError(path + ": is a directory");
    }
}

FileSource::~FileSource() { files::close(descriptor_); }

std::size_t FileSource::read(std::span<char> into) {
    const long long count = files::readSome(descriptor_, into.data(), into.size());
    if (count < 0) throw HostError(path_ + ": cannot read: " + std::strerror(errno));
    return static_cast<std::size_t>(count);
}

std::size_t FileSource::sizeHint() const {
    const long long size = files::regularFileSize(descriptor_);
    return size > 0 ? static_cast<std::size_t>(size) : 0;
}

std::size_t StandardInputSource::read(std::span<char> into) {
    const long long count = files::readSome(files::standardInput(), into.data(), into.size());
    if (count < 0) throw HostError(std::string("standard input cannot be read: ") + std::strerror(errno));
    return static_cast<std::size_t>(count);
}

}  // namespace tvzx::host
