// The temporary file a tab document is printed into: made with a unique
// name, waited for, read once and removed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace tvzx::platform {

// An open file read from its start; destroying it closes the file.
class ReadableFile {
public:
    virtual ~ReadableFile() = default;
    // Reads up to `capacity` bytes at the current position. Returns how
    // many were read: 0 at the end of the file or on a read error.
    virtual std::size_t read(std::uint8_t* buffer, std::size_t capacity) = 0;
    // Returns the size of the file in bytes; 0 when it cannot be told.
    virtual std::uint64_t size() = 0;
};

class TemporaryFiles {
public:
    virtual ~TemporaryFiles() = default;
    // Creates an empty file with a name unique in `directory` that starts
    // with `prefix` (as GetTempFileNameW names it) and returns its full
    // path; nothing when no file could be created there.
    virtual std::optional<std::u16string> createUnique(std::u16string_view directory, std::u16string_view prefix) = 0;
    // Returns the file opened for reading while others may still read,
    // write or delete it; null when it cannot be opened.
    virtual std::unique_ptr<ReadableFile> openShared(std::u16string_view path) = 0;
    // Returns the file opened for reading by this caller alone. With
    // `deleteOnClose` the system removes it when it is closed. Null when it
    // cannot be opened that way.
    virtual std::unique_ptr<ReadableFile> openExclusive(std::u16string_view path, bool deleteOnClose) = 0;
    // Removes the file. Returns whether it is gone (also when it was never
    // there).
    virtual bool remove(std::u16string_view path) = 0;
    // Puts the calling thread to sleep for this many milliseconds.
    virtual void sleep(std::uint32_t milliseconds) = 0;
    // Clears the calling thread's last error.
    virtual void clearLastError() = 0;
};

// Returns the system's temporary files.
TemporaryFiles& systemTemporaryFiles();

}  // namespace tvzx::platform
