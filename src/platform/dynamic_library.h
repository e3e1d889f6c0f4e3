// Loading a library at run time and finding its exports by name.
#pragma once

#include <memory>
#include <string_view>

namespace tvzx::platform {

// One loaded library; destroying it unloads it.
class LoadedLibrary {
public:
    virtual ~LoadedLibrary() = default;
    // Returns the address of the export of this name; null when the library
    // has none.
    virtual void* symbol(const char* name) const = 0;
};

class LibraryLoader {
public:
    virtual ~LibraryLoader() = default;
    // Returns the library loaded from this path; null when it cannot be
    // loaded.
    virtual std::unique_ptr<LoadedLibrary> load(std::u16string_view path) = 0;
};

// Returns the system's loader.
LibraryLoader& systemLibraryLoader();

}  // namespace tvzx::platform
