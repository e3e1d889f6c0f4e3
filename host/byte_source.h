// Where the host reads a document from: a file read piece by piece, or bytes
// already in memory.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace tvzx::host {

class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Fills the front of `into`; returns how many bytes it read, 0 at the
    // end. Throws HostError when the source cannot be read.
    virtual std::size_t read(std::span<char> into) = 0;
};

// Bytes held in memory; the caller keeps them alive.
class MemorySource final : public ByteSource {
public:
    explicit MemorySource(std::string_view bytes) : rest_(bytes) {}
    std::size_t read(std::span<char> into) override;

private:
    std::string_view rest_;
};

// A file opened for reading, closed on destruction.
class FileSource final : public ByteSource {
public:
    // Opens the file; throws HostError naming it when it cannot be opened.
    explicit FileSource(const std::string& path);
    ~FileSource() override;
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;
    std::size_t read(std::span<char> into) override;
    // Returns the file's size when it is a regular file; 0 otherwise.
    std::size_t sizeHint() const;

private:
    std::string path_;
    int descriptor_;
};

// Standard input, read as it comes and left open.
class StandardInputSource final : public ByteSource {
public:
    std::size_t read(std::span<char> into) override;
};

}  // namespace tvzx::host
