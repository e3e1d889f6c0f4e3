// The plug-in's companion files: modules, help and language files that sit
// beside it under names derived from its own file name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/dynamic_library.h"

namespace tvzx::platform {

// The kinds of companion file, by the numbers callers pass.
enum class CompanionKind : std::uint32_t {
    UserInterface = 0,
    Help = 1,
    PostScript = 2,
    UserModeDriver = 3,
    Base = 4,
    Pcl = 5,
    Language = 6,
    Notification = 7,
    SystemCopy = 8,
};

// Returns the companion file of this kind for the plug-in file at
// `modulePath`. The base is the path up to the last underscore of the file
// name, or the path without its ".dll" when the file name has none; the
// system copy is the base's file name in `systemDirectory`. Nothing when the
// path is 4 characters or shorter, the file name does not end in "dll" (any
// case), the kind is unknown, or the system copy is asked for without a
// system directory.
std::optional<std::u16string> companionFileName(std::u16string_view modulePath, std::uint32_t kind,
                                                std::u16string_view systemDirectory = {});

// Returns the companion file of this kind for the loaded module with this
// handle, from its real path; nothing when that cannot be obtained or the
// name cannot be formed.
std::optional<std::u16string> companionFilePath(void* module, CompanionKind kind);

// Copies the companion file name of this kind for the loaded module into a
// caller's buffer of `capacity` characters, NUL-terminated. Returns whether
// it fitted; the buffer holds an empty text otherwise (when it has room for
// one).
bool copyCompanionFileName(void* module, std::uint32_t kind, char16_t* buffer, std::size_t capacity);

// Returns the companion library of this kind for the loaded module, loaded
// with `loader`; null when it is not there or cannot be loaded.
std::unique_ptr<LoadedLibrary> loadCompanionLibrary(void* module, CompanionKind kind,
                                                              LibraryLoader& loader);

}  // namespace tvzx::platform
