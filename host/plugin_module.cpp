#include "plugin_module.h"

#include <dlfcn.h>

#include "host_error.h"

namespace tvzx::host {
namespace {

template <typename Function>
Function exportOf(void* handle, std::string_view name, const std::string& path) {
    void* address = dlsym(handle, std::string(name).c_str());
    if (address == nullptr) {
        dlclose(handle);
        throw HostError(path + ": the module does not export " + std::string(name));
    }
    return reinterpret_cast<Function>(address);
}

}  // namespace

PluginModule::PluginModule(const std::string& path)
    // The module keeps its own symbols: nothing it defines may bind to the host's.
    : path_(path), handle_(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) {
    if (handle_ == nullptr) {
        const char* reason = dlerror();
        throw HostError(path + ": cannot load the module: " + (reason != nullptr ? reason : "unknown reason"));
    }
    getClassObject_ = exportOf<win::DllGetClassObjectFn>(handle_, win::kDllGetClassObjectName, path_);
    canUnloadNow_ = exportOf<win::DllCanUnloadNowFn>(handle_, win::kDllCanUnloadNowName, path_);
}

PluginModule::~PluginModule() {
    if (!keepLoaded_) dlclose(handle_);
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
