// Libraries through the Windows loader: LoadLibraryW, GetProcAddress,
// FreeLibrary.
#include "platform/dynamic_library.h"

#include <windows.h>

#include <string>

#include "platform/win32/wide_text.h"

namespace tvzx::platform {
namespace {

class WindowsLibrary final : public LoadedLibrary {
public:
    explicit WindowsLibrary(HMODULE module) : module_(module) {}
    ~WindowsLibrary() override { FreeLibrary(module_); }
    WindowsLibrary(const WindowsLibrary&) = delete;
    WindowsLibrary& operator=(const WindowsLibrary&) = delete;

    void* symbol(const char* name) const override {
        if (name == nullptr) return nullptr;
        return reinterpret_cast<void*>(GetProcAddress(module_, name));
    }

private:
    HMODULE module_;
};

class WindowsLoader final : public LibraryLoader {
public:
    std::unique_ptr<LoadedLibrary> load(std::u16string_view path) override {
        if (path.empty() || win32::holdsNul(path)) return nullptr;
        const std::wstring terminated = win32::wideOf(path);
        HMODULE module = LoadLibraryW(terminated.c_str());
        if (module == nullptr) return nullptr;
        return std::make_unique<WindowsLibrary>(module);
    }
};

}  // namespace

LibraryLoader& systemLibraryLoader() {
    static WindowsLoader loader;
    return loader;
}

}  // namespace tvzx::platform
