#include "frame/plugin_object.h"

#include <atomic>
#include <new>
#include <optional>
#include <type_traits>

#include "frame/environment.h"
#include "frame/helper_adapters.h"
#include "device/module_state.h"
#include "frame/plugin_callbacks.h"
#include "postscript/injection.h"

namespace tvzx::frame {
namespace {

using namespace tvzx::win;

// The plug-in object: its interface first, so that the interface pointer
// the driver holds is the object's own address.
struct IOemPS {
    IPrintOemPS2 com;
    std::atomic<ULONG> references{1};
    IPrintOemDriverPS* driverHelper = nullptr;
    IPrintCorePS2* coreHelper = nullptr;
};
static_assert(std::is_standard_layout_v<IOemPS> && offsetof(IOemPS, com) == 0);

struct IOemCF {
    IClassFactory com;
    std::atomic<ULONG> references{1};
};
static_assert(std::is_standard_layout_v<IOemCF> && offsetof(IOemCF, com) == 0);

IOemPS* objectOf(IPrintOemPS2* self) { return reinterpret_cast<IOemPS*>(self); }
IOemCF* factoryOf(IClassFactory* self) { return reinterpret_cast<IOemCF*>(self); }

// Nothing may leave the module as an exception: the driver would end.
template <typename Operation>
HRESULT guarded(HRESULT onFailure, Operation operation) noexcept {
    try {
        return operation();
    } catch (...) {
        return onFailure;
    }
}

template <typename Interface>
void releaseHelper(Interface*& helper) {
    if (helper == nullptr) return;
    helper->lpVtbl->Release(helper);
    helper = nullptr;
}

// Returns the interface asked of `unknown`, holding one reference; null when
// it is not offered.
template <typename Interface>
Interface* askFor(IUnknown* unknown, const GUID& iid) {
    void* answer = nullptr;
    if (!succeeded(unknown->lpVtbl->QueryInterface(unknown, &iid, &answer))) return nullptr;
    return static_cast<Interface*>(answer);
}

HRESULT TVZX_STDCALL pluginQueryInterface(IPrintOemPS2* self, const GUID* iid, void** out) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (iid == nullptr) return E_NOINTERFACE;
    if (*iid != IID_IUnknown && *iid != IID_IPrintOemPS && *iid != IID_IPrintOemPS2) return E_NOINTERFACE;
    *out = self;
    self->lpVtbl->AddRef(self);
    return S_OK;
}

ULONG TVZX_STDCALL pluginAddRef(IPrintOemPS2* self) { return objectOf(self)->references.fetch_add(1) + 1; }

ULONG TVZX_STDCALL pluginRelease(IPrintOemPS2* self) {
    IOemPS* object = objectOf(self);
    const ULONG count = object->references.fetch_sub(1) - 1;
    if (count == 0) {
        releaseHelper(object->driverHelper);
        releaseHelper(object->coreHelper);
        delete object;
    }
    return count;
}

HRESULT TVZX_STDCALL pluginGetInfo(IPrintOemPS2*, DWORD mode, void* buffer, DWORD size, DWORD* needed) {
    return getInfo(mode, buffer, size, needed);
}

HRESULT TVZX_STDCALL pluginDevMode(IPrintOemPS2*, DWORD mode, OEMDMPARAM* param) {
    return guarded(E_FAIL, [&] { return devMode(mode, param, environment()); });
}

HRESULT TVZX_STDCALL pluginEnableDriver(IPrintOemPS2*, DWORD, DWORD, DRVENABLEDATA* enableData) {
    return enableDriver(enableData);
}

HRESULT TVZX_STDCALL pluginDisableDriver(IPrintOemPS2* self) {
    IOemPS* object = objectOf(self);
    releaseHelper(object->driverHelper);
    releaseHelper(object->coreHelper);
    return S_OK;
}

HRESULT TVZX_STDCALL pluginEnablePDEV(IPrintOemPS2*, DEVOBJ* devObj, WCHAR*, ULONG, HSURF*, ULONG gdiInfoSize,
                                      GDIINFO* gdiInfo, ULONG, DEVINFO*, DRVENABLEDATA* driverTable,
                                      void** outState) {
    return guarded(E_FAIL, [&] { return enablePdev(devObj, gdiInfoSize, gdiInfo, driverTable, outState); });
}

HRESULT TVZX_STDCALL pluginDisablePDEV(IPrintOemPS2*, DEVOBJ* devObj) { return disablePdev(devObj); }

HRESULT TVZX_STDCALL pluginResetPDEV(IPrintOemPS2*, DEVOBJ* oldDevObj, DEVOBJ* newDevObj) {
    return resetPdev(oldDevObj, newDevObj);
}

HRESULT TVZX_STDCALL pluginPublishDriverInterface(IPrintOemPS2* self, IUnknown* unknown) {
    IOemPS* object = objectOf(self);
    // The core helper is optional: without it only the settings procedure
    // is left out.
    if (object->coreHelper == nullptr && unknown != nullptr)
        object->coreHelper = askFor<IPrintCorePS2>(unknown, IID_IPrintCorePS2);
    if (object->driverHelper != nullptr) return S_OK;
    if (unknown != nullptr) object->driverHelper = askFor<IPrintOemDriverPS>(unknown, IID_IPrintOemDriverPS);
    return object->driverHelper != nullptr ? S_OK : E_FAIL;
}

HRESULT TVZX_STDCALL pluginCommand(IPrintOemPS2* self, DEVOBJ* devObj, DWORD index, void*, DWORD, DWORD* result) {
    IOemPS* object = objectOf(self);
    // The call always succeeds; only a text the spool stream did not take
    // shows, in the result.
    return guarded(S_OK, [&] {
        std::optional<DriverHelperSink> sink;
        if (object->driverHelper != nullptr) sink.emplace(object->driverHelper, devObj);
        std::optional<CoreHelperAdapter> core;
        if (object->coreHelper != nullptr) core.emplace(object->coreHelper);
        const HRESULT dispatched = postscript::dispatch(devObj, index, sink ? &*sink : nullptr,
                                                        core ? &*core : nullptr, result, environment().injection());
        // The driver learns that its spool stream lost the plug-in's text.
        if (sink && sink->failed() && result != nullptr) *result = ERROR_WRITE_FAULT;
        return dispatched;
    });
}

HRESULT TVZX_STDCALL pluginWritePrinter(IPrintOemPS2*, DEVOBJ*, void*, DWORD, DWORD*) { return E_NOTIMPL; }

HRESULT TVZX_STDCALL pluginGetPDEVAdjustment(IPrintOemPS2*, DEVOBJ* devObj, DWORD adjustType, void* buffer,
                                             DWORD size, BOOL* adjusted) {
    return getPdevAdjustment(devObj, adjustType, buffer, size, adjusted);
}

const IPrintOemPS2Vtbl kPluginTable = {
    pluginQueryInterface,  pluginAddRef,      pluginRelease,     pluginGetInfo,
    pluginDevMode,         pluginEnableDriver, pluginDisableDriver, pluginEnablePDEV,
    pluginDisablePDEV,     pluginResetPDEV,   pluginPublishDriverInterface, pluginCommand,
    pluginWritePrinter,    pluginGetPDEVAdjustment,
};

HRESULT TVZX_STDCALL factoryQueryInterface(IClassFactory* self, const GUID* iid, void** out) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (iid == nullptr) return E_NOINTERFACE;
    if (*iid != IID_IUnknown && *iid != IID_IClassFactory) return E_NOINTERFACE;
    *out = self;
    self->lpVtbl->AddRef(self);
    return S_OK;
}

ULONG TVZX_STDCALL factoryAddRef(IClassFactory* self) { return factoryOf(self)->references.fetch_add(1) + 1; }

ULONG TVZX_STDCALL factoryRelease(IClassFactory* self) {
    IOemCF* factory = factoryOf(self);
    const ULONG count = factory->references.fetch_sub(1) - 1;
    if (count == 0) delete factory;
    return count;
}

HRESULT TVZX_STDCALL factoryCreateInstance(IClassFactory*, IUnknown* outer, const GUID* iid, void** out) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    IPrintOemPS2* object = createPluginObject();
    if (object == nullptr) return E_OUTOFMEMORY;
    // The caller's reference comes from QueryInterface; the creation one goes.
    const HRESULT result = object->lpVtbl->QueryInterface(object, iid, out);
    object->lpVtbl->Release(object);
    return result;
}

HRESULT TVZX_STDCALL factoryLockServer(IClassFactory*, BOOL lock) {
    device::lockServer(lock != 0);
    return S_OK;
}

const IClassFactoryVtbl kFactoryTable = {
    factoryQueryInterface, factoryAddRef, factoryRelease, factoryCreateInstance, factoryLockServer,
};

}  // namespace

IClassFactory* createClassFactory() {
    auto* factory = new (std::nothrow) IOemCF;
    if (factory == nullptr) return nullptr;
    factory->com.lpVtbl = &kFactoryTable;
    return &factory->com;
}

IPrintOemPS2* createPluginObject() {
    auto* object = new (std::nothrow) IOemPS;
    if (object == nullptr) return nullptr;
    object->com.lpVtbl = &kPluginTable;
    return &object->com;
}

HRESULT getClassObject(const GUID* clsid, const GUID* iid, void** out) {
    if (out == nullptr) return E_OUTOFMEMORY;
    *out = nullptr;
    if (clsid == nullptr || *clsid != CLSID_OEMRENDER) return CLASS_E_CLASSNOTAVAILABLE;
    IClassFactory* factory = createClassFactory();
    if (factory == nullptr) return E_OUTOFMEMORY;
    const HRESULT result = factory->lpVtbl->QueryInterface(factory, iid, out);
    factory->lpVtbl->Release(factory);
    return result;
}

}  // namespace tvzx::frame
