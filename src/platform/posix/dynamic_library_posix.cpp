// Libraries through the dynamic loader: dlopen, dlsym, dlclose.
#include "platform/dynamic_library.h"

#include <dlfcn.h>

#include "platform/path_text.h"

namespace tvzx::platform {
namespace {

class DlLibrary final : public LoadedLibrary {
public:
    explicit DlLibrary(void* handle) : handle_(handle) {}
    ~DlLibrary() override { dlclose(handle_); }
    DlLibrary(const DlLibrary&) = delete;
    DlLibrary& operator=(const DlLibrary&) = delete;

    void* symbol(const char* name) const override { return name == nullptr ? nullptr : dlsym(handle_, name); }

private:
    void* handle_;
};

class DlLoader final : public LibraryLoader {
public:
    std::unique_ptr<LoadedLibrary> load(std::u16string_view path) override {
        if (path.empty()) return nullptr;
        // The library's own symbols stay its own, as a Windows library's do.
        // Its calls into other libraries are bound on first use: a job calls
        // few of them, and the modules are linked with nothing left undefined.
        void* handle = dlopen(utf8Path(path).c_str(), RTLD_LAZY | RTLD_LOCAL);
        if (handle == nullptr) return nullptr;
        return std::make_unique<DlLibrary>(handle);
    }
};

}  // namespace

LibraryLoader& systemLibraryLoader() {
    static DlLoader loader;
    return loader;
}

}  // namespace tvzx::platform
