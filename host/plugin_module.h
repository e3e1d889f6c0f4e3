// The plug-in module, loaded at run time and reached only through its two
// exports, as the driver reaches its in-process COM server.
#pragma once

#include <memory>
#include <string>

#include "platform/com_abi.h"
#include "platform/dynamic_library.h"

namespace tvzx::host {

class PluginModule {
public:
    // Loads the module and finds its exports; throws HostError naming the
    // path and what is missing.
    explicit PluginModule(const std::string& path);
    // Unloads the module unless it asked to stay (see releaseIfUnused).
    ~PluginModule();
    PluginModule(const PluginModule&) = delete;
    PluginModule& operator=(const PluginModule&) = delete;

    const std::string& path() const { return path_; }
    // Returns the module's class object for the class and interface.
    win::HRESULT getClassObject(const win::GUID& clsid, const win::GUID& iid, void** out) const;
    // Asks the module whether it may be unloaded; returns its answer. When
    // it says no, the module stays loaded for the life of the process.
    win::HRESULT askCanUnloadNow();

private:
    std::string path_;
    std::unique_ptr<platform::LoadedLibrary> library_;
    win::DllGetClassObjectFn getClassObject_;
    win::DllCanUnloadNowFn canUnloadNow_;
    bool keepLoaded_ = false;
};

}  // namespace tvzx::host
