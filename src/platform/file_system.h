// What the plug-in asks the file system when it looks for a directory it
// may write to: whether paths exist, whether a file can be made there, and
// where the system keeps temporary and shared application data.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tvzx::platform {

// The separator between a directory and a name inside it.
#if defined(_WIN32)
inline constexpr char16_t kPathSeparator = u'\\';
#else
inline constexpr char16_t kPathSeparator = u'/';
#endif

// Returns the directory with a separator at its end, added when it has none
// (either separator counts).
inline std::u16string withSeparator(std::u16string_view directory) {
    std::u16string path(directory);
    if (path.empty() || (path.back() != kPathSeparator && path.back() != u'/' && path.back() != u'\\'))
        path.push_back(kPathSeparator);
    return path;
}

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // Returns whether the path names an existing directory.
    virtual bool isDirectory(std::u16string_view path) = 0;
    // Returns whether anything exists under this path.
    virtual bool exists(std::u16string_view path) = 0;
    // Creates a new file of this path for reading and writing, unshared and
    // removed again when closed, then closes it. Returns whether it could be
    // created; an existing file is never opened.
    virtual bool createScratchFile(std::u16string_view path) = 0;
    // Returns the user's temporary directory; empty when unknown.
    virtual std::u16string temporaryDirectory() = 0;
    // Returns the machine's directory of application data shared by all
    // users; nothing where the system keeps none.
    virtual std::optional<std::u16string> commonAppDataDirectory() = 0;
};

// Returns the file system of the system the plug-in runs on.
FileSystem& systemFileSystem();

// Adds the bytes at the end of the file, created when missing, in one
// write, so that lines added by processes at the same time do not mix; a
// symbolic link in the file's place is refused on POSIX systems. Returns
// whether all of them were written.
bool appendToFile(std::u16string_view path, std::string_view bytes);

}  // namespace tvzx::platform
