#include "plugin_module.h"

#include <map>
#include <mutex>
#include <utility>

#include "host_error.h"
#include "platform/dynamic_library.h"
#include "platform/path_text.h"

namespace tvzx::host {
namespace {

template <typename Function>
Function exportOf(const platform::LoadedLibrary& library, std::string_view name, const std::string& path) {
    void* address = library.symbol(std::string(name).c_str());
    if (address == nullptr) throw HostError(path + ": the module does not export " + std::string(name));
    return reinterpret_cast<Function>(address);
}

// The modules kept loaded until the process ends, one load of each file
// however many jobs asked; never destroyed, so nothing unloads them while
// the process exits. Jobs on several threads share it.
struct KeptModules {
    std::mutex lock;
    std::map<std::string, std::unique_ptr<platform::LoadedLibrary>> byPath;
};

KeptModules& keptModules() {
    static auto* kept = new KeptModules();
    return *kept;
}

}  // namespace

PluginModule::PluginModule(const std::string& path)
    // The system's loader keeps the module's symbols its own, as Windows does.
    : path_(path), library_(platform::systemLibraryLoader().load(platform::utf16Path(path))) {
    if (!library_) throw HostError(path + ": cannot load the module: the system's loader refused it");
    getClassObject_ = exportOf<win::DllGetClassObjectFn>(*library_, win::kDllGetClassObjectName, path_);
    canUnloadNow_ = exportOf<win::DllCanUnloadNowFn>(*library_, win::kDllCanUnloadNowName, path_);
}

PluginModule::~PluginModule() {
    // A module that asked to stay loaded stays for the life of the process.
    if (!keepLoaded_) return;
    KeptModules& kept = keptModules();
    const std::lock_guard hold(kept.lock);
    // A module kept already stays by that load; this one is let go.
    kept.byPath.try_emplace(path_, std::move(library_));
}

win::HRESULT PluginModule::getClassObject(const win::GUID& clsid, const win::GUID& iid, void** out) const {
    return getClassObject_(&clsid, &iid, out);
}

win::HRESULT PluginModule::askCanUnloadNow() {
    const win::HRESULT answer = canUnloadNow_();
    keepLoaded_ = answer != win::S_OK;
    return answer;
}

}  // namespace tvzx::host
