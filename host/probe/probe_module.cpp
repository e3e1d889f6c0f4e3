// A stand-in plug-in module for testing the host on its own. It answers the
// driver's calls as the plug-in's interfaces require and reports each one:
// calls made while the job streams are written into the stream as
// PostScript comment lines ("%probe: ..."), and every call is appended to the
// file named by TVZX_PROBE_LOG, so that tests see the whole sequence from
// DllGetClassObject to DllCanUnloadNow.
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/com_abi.h"
#include "settings/private_block.h"
#include "settings/schema_hash.h"
#include "settings/settings_lines.h"

namespace {

using namespace tvzx;

constexpr const char* kLogVariable = "TVZX_PROBE_LOG";
constexpr win::DWORD kInvocationProbeSize = 4;

struct ProbeObject;

struct Probe {
    std::atomic<std::int32_t> locks{0};
    ProbeObject* object = nullptr;
    win::IPrintOemDriverPS* driverHelper = nullptr;
    win::IPrintCorePS2* coreHelper = nullptr;
    win::DEVOBJ* devObj = nullptr;
    win::PFN_DrvStartDoc startDoc = nullptr;
    win::PFN_DrvStartPage startPage = nullptr;
    win::PFN_DrvEndDoc endDoc = nullptr;
    int deviceState = 0;
};
Probe probe;

void log(const std::string& line) {
    const char* path = std::getenv(kLogVariable);
    if (path == nullptr) return;
    if (std::FILE* file = std::fopen(path, "a")) {
        std::fputs((line + "\n").c_str(), file);
        std::fclose(file);
    }
}

// Writes a report line into the stream (and the log).
void report(const std::string& line) {
    log(line);
    if (probe.driverHelper == nullptr) return;
    std::string text = "%probe: " + line + "\r\n";
    win::DWORD written = 0;
    probe.driverHelper->lpVtbl->DrvWriteSpoolBuf(probe.driverHelper, probe.devObj, text.data(),
                                                 static_cast<win::DWORD>(text.size()), &written);
}

std::string narrow(const char16_t* text) {
    std::string result;
    for (; text != nullptr && *text != 0; ++text) result += static_cast<char>(*text);
    return result;
}

std::string hex(win::HRESULT value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(value));
    return text;
}

template <typename Interface>
void releaseHelper(Interface*& helper) {
    if (helper != nullptr) helper->lpVtbl->Release(helper);
    helper = nullptr;
}

// The hooks: each reports and then calls the driver's own function.
win::BOOL TVZX_STDCALL hookStartDoc(win::SURFOBJ* surface, win::WCHAR* name, win::DWORD job) {
    report("DrvStartDoc " + narrow(name) + " job " + std::to_string(job) + " bitmap " +
           std::to_string(surface->sizlBitmap.cx) + "x" + std::to_string(surface->sizlBitmap.cy));
    return probe.startDoc(surface, name, job);
}
win::BOOL TVZX_STDCALL hookStartPage(win::SURFOBJ* surface) {
    report("DrvStartPage");
    return probe.startPage(surface);
}
win::BOOL TVZX_STDCALL hookEndDoc(win::SURFOBJ* surface, win::FLONG flags) {
    report("DrvEndDoc flags " + std::to_string(flags));
    return probe.endDoc(surface, flags);
}

win::DRVFN kHooks[] = {
    {win::INDEX_DrvStartDoc, reinterpret_cast<win::PFN>(&hookStartDoc)},
    {win::INDEX_DrvStartPage, reinterpret_cast<win::PFN>(&hookStartPage)},
    {win::INDEX_DrvEndDoc, reinterpret_cast<win::PFN>(&hookEndDoc)},
};

struct ProbeObject {
    const win::IPrintOemPS2Vtbl* vtable;
    std::atomic<win::ULONG> references{1};
};

ProbeObject* objectOf(win::IPrintOemPS2* self) { return reinterpret_cast<ProbeObject*>(self); }

win::HRESULT TVZX_STDCALL objectQuery(win::IPrintOemPS2* self, const win::GUID* iid, void** out) {
    *out = nullptr;
    if (*iid != win::IID_IUnknown && *iid != win::IID_IPrintOemPS && *iid != win::IID_IPrintOemPS2) return win::E_NOINTERFACE;
    ++objectOf(self)->references;
    *out = self;
    return win::S_OK;
}
win::ULONG TVZX_STDCALL objectAddRef(win::IPrintOemPS2* self) { return ++objectOf(self)->references; }
win::ULONG TVZX_STDCALL objectRelease(win::IPrintOemPS2* self) {
    const win::ULONG left = --objectOf(self)->references;
    log("Release " + std::to_string(left));
    if (left == 0) {
        releaseHelper(probe.driverHelper);
        releaseHelper(probe.coreHelper);
        delete objectOf(self);
        probe.object = nullptr;
    }
    return left;
}

win::HRESULT TVZX_STDCALL getInfo(win::IPrintOemPS2*, win::DWORD mode, void* buffer, win::DWORD size, win::DWORD* needed) {
    log("GetInfo " + std::to_string(mode));
    *needed = sizeof(std::uint32_t);
    if (size < sizeof(std::uint32_t) || buffer == nullptr) return win::E_FAIL;
    std::uint32_t value = 0;
    switch (mode) {
        case win::OEMGI_GETSIGNATURE: value = settings::kSignature; break;
        case win::OEMGI_GETVERSION: value = settings::schemaHash(); break;
        case win::OEMGI_GETREQUESTEDHELPERINTERFACES: value = win::OEMPUBLISH_IPRINTCOREHELPER; break;
        default: return win::E_FAIL;
    }
    std::memcpy(buffer, &value, sizeof value);
    return win::S_OK;
}

std::string publicFields(const win::DEVMODEW& devmode) {
    std::string form;
    for (char16_t c : devmode.dmFormName) {
        if (c == 0) break;
        form += static_cast<char>(c);
    }
    return "fields " + std::to_string(devmode.dmFields) + " orientation " + std::to_string(devmode.dmOrientation) +
           " paper " + std::to_string(devmode.dmPaperSize) + " " + std::to_string(devmode.dmPaperWidth) + "x" +
           std::to_string(devmode.dmPaperLength) + " form " + form + " source " + std::to_string(devmode.dmDefaultSource) +
           " quality " + std::to_string(devmode.dmPrintQuality) + "/" + std::to_string(devmode.dmYResolution) +
           " copies " + std::to_string(devmode.dmCopies) + " extra " + std::to_string(devmode.dmDriverExtra);
}

win::HRESULT TVZX_STDCALL devMode(win::IPrintOemPS2*, win::DWORD mode, win::OEMDMPARAM* param) {
    log("DevMode " + std::to_string(mode) + (param != nullptr && param->pdriverobj != nullptr ? " device" : ""));
    using Block = std::span<std::uint8_t, settings::kPrivateBlockSize>;
    switch (mode) {
        case win::OEMDM_SIZE: param->cbBufSize = settings::kPrivateBlockSize; return win::S_OK;
        case win::OEMDM_DEFAULT:
            settings::initialiseBlock(Block(static_cast<std::uint8_t*>(param->pOEMDMOut), settings::kPrivateBlockSize));
            return win::S_OK;
        case win::OEMDM_CONVERT:
            log("public " + publicFields(*param->pPublicDMOut));
            std::memmove(param->pOEMDMOut, param->pOEMDMIn, settings::kPrivateBlockSize);
            return win::S_OK;
        case win::OEMDM_MERGE:
            std::memmove(param->pOEMDMOut, param->pOEMDMIn, settings::kPrivateBlockSize);
            return win::S_OK;
        default: return win::E_FAIL;
    }
}

win::HRESULT TVZX_STDCALL enableDriver(win::IPrintOemPS2*, win::DWORD, win::DWORD, win::DRVENABLEDATA* data) {
    log("EnableDriver");
    data->iDriverVersion = win::PRINTER_OEMINTF_VERSION;
    data->c = std::size(kHooks);
    data->pdrvfn = kHooks;
    return win::S_OK;
}

win::HRESULT TVZX_STDCALL disableDriver(win::IPrintOemPS2*) {
    log("DisableDriver");
    releaseHelper(probe.driverHelper);
    releaseHelper(probe.coreHelper);
    return win::S_OK;
}

win::HRESULT TVZX_STDCALL enablePdev(win::IPrintOemPS2*, win::DEVOBJ* devObj, win::WCHAR* printer, win::ULONG, win::HSURF*,
                                     win::ULONG gdiSize, win::GDIINFO* gdi, win::ULONG, win::DEVINFO*,
                                     win::DRVENABLEDATA* driver, void** state) {
    log("EnablePDEV " + narrow(printer) + " gdi " + std::to_string(gdiSize) + " " + std::to_string(gdi->ulLogPixelsX) +
        "dpi phys " + std::to_string(gdi->szlPhysSize.cx) + "x" + std::to_string(gdi->szlPhysSize.cy) + " res " +
        std::to_string(gdi->ulHorzRes) + "x" + std::to_string(gdi->ulVertRes));
    for (win::ULONG i = 0; i < driver->c; ++i) {
        const win::DRVFN& entry = driver->pdrvfn[i];
        if (entry.iFunc == win::INDEX_DrvStartDoc) probe.startDoc = reinterpret_cast<win::PFN_DrvStartDoc>(entry.pfn);
        if (entry.iFunc == win::INDEX_DrvStartPage) probe.startPage = reinterpret_cast<win::PFN_DrvStartPage>(entry.pfn);
        if (entry.iFunc == win::INDEX_DrvEndDoc) probe.endDoc = reinterpret_cast<win::PFN_DrvEndDoc>(entry.pfn);
    }
    probe.devObj = devObj;
    *state = &probe.deviceState;
    return win::S_OK;
}

win::HRESULT TVZX_STDCALL disablePdev(win::IPrintOemPS2*, win::DEVOBJ*) {
    log("DisablePDEV");
    return win::S_OK;
}

win::HRESULT TVZX_STDCALL resetPdev(win::IPrintOemPS2*, win::DEVOBJ*, win::DEVOBJ*) { return win::S_OK; }

win::HRESULT TVZX_STDCALL publish(win::IPrintOemPS2*, win::IUnknown* unknown) {
    void* core = nullptr;
    if (probe.coreHelper == nullptr && unknown->lpVtbl->QueryInterface(unknown, &win::IID_IPrintCorePS2, &core) == win::S_OK)
        probe.coreHelper = static_cast<win::IPrintCorePS2*>(core);
    if (probe.driverHelper != nullptr) {
        log("PublishDriverInterface core " + std::to_string(probe.coreHelper != nullptr));
        return win::S_OK;
    }
    void* driver = nullptr;
    const win::HRESULT result = unknown->lpVtbl->QueryInterface(unknown, &win::IID_IPrintOemDriverPS, &driver);
    probe.driverHelper = static_cast<win::IPrintOemDriverPS*>(driver);
    log("PublishDriverInterface driver " + std::to_string(probe.driverHelper != nullptr));
    return result == win::S_OK ? win::S_OK : win::E_FAIL;
}

// Asks the core helper for an option's code the way the plug-in does:
// first for the size, then with room for it.
void reportInvocation(win::DEVOBJ* devObj, const char* feature, const char* option) {
    win::IPrintCorePS2* core = probe.coreHelper;
    win::DWORD type = 0;
    win::DWORD needed = 0;
    const win::HRESULT sizing = core->lpVtbl->GetOptionAttribute(core, devObj, 0, feature, option, "Invocation", &type,
                                                                 nullptr, 0, &needed);
    std::string line = "Invocation " + std::string(feature) + " " + option + " " + hex(sizing) + " type " +
                       std::to_string(type) + " needed " + std::to_string(needed);
    if (sizing == win::E_OUTOFMEMORY) {
        std::string small(kInvocationProbeSize, '\0');
        const win::HRESULT shortAnswer = core->lpVtbl->GetOptionAttribute(
            core, devObj, 0, feature, option, "Invocation", &type, reinterpret_cast<win::BYTE*>(small.data()),
            kInvocationProbeSize, &needed);
        std::string code(needed + 1, '\0');
        const win::HRESULT full = core->lpVtbl->GetOptionAttribute(core, devObj, 0, feature, option, "Invocation", &type,
                                                                   reinterpret_cast<win::BYTE*>(code.data()),
                                                                   needed + 1, &needed);
        line += " short " + hex(shortAnswer) + " full " + hex(full) + " code " + code.c_str();
    }
    report(line);
}

win::HRESULT TVZX_STDCALL command(win::IPrintOemPS2*, win::DEVOBJ* devObj, win::DWORD index, void*, win::DWORD,
                                  win::DWORD* result) {
    report("Command " + std::to_string(index));
    if (index == win::PSINJECT_BEGINSETUP) {
        const auto* block = static_cast<std::uint8_t*>(devObj->pOEMDM);
        const auto& record = settings::blockRecord(std::span<std::uint8_t, settings::kPrivateBlockSize>(
            const_cast<std::uint8_t*>(block), settings::kPrivateBlockSize));
        report("settings Staple=" + settings::formatFieldValue(record, settings::FieldId::Staple) +
               " NumCopies=" + settings::formatFieldValue(record, settings::FieldId::NumCopies));
        reportInvocation(devObj, "ZVStaple", "2StapleWide");
        reportInvocation(devObj, "ZVStaple", "NoSuchOption");
    }
    if (result != nullptr) *result = 0;
    return win::S_OK;
}

win::HRESULT TVZX_STDCALL writePrinter(win::IPrintOemPS2*, win::DEVOBJ*, void*, win::DWORD, win::DWORD*) {
    return win::E_NOTIMPL;
}
win::HRESULT TVZX_STDCALL pdevAdjustment(win::IPrintOemPS2*, win::DEVOBJ*, win::DWORD, void*, win::DWORD, win::BOOL*) {
    return win::S_FALSE;
}

constexpr win::IPrintOemPS2Vtbl kObjectVtable{objectQuery, objectAddRef, objectRelease, getInfo,     devMode,
                                              enableDriver, disableDriver, enablePdev,   disablePdev, resetPdev,
                                              publish,      command,      writePrinter,  pdevAdjustment};

// The class factory: one static object.
win::HRESULT TVZX_STDCALL factoryQuery(win::IClassFactory* self, const win::GUID* iid, void** out) {
    *out = nullptr;
    if (*iid != win::IID_IUnknown && *iid != win::IID_IClassFactory) return win::E_NOINTERFACE;
    *out = self;
    return win::S_OK;
}
win::ULONG TVZX_STDCALL factoryAddRef(win::IClassFactory*) { return 1; }
win::ULONG TVZX_STDCALL factoryRelease(win::IClassFactory*) {
    log("ClassFactory Release");
    return 1;
}
win::HRESULT TVZX_STDCALL createInstance(win::IClassFactory*, win::IUnknown* outer, const win::GUID* iid, void** out) {
    log("CreateInstance");
    *out = nullptr;
    if (outer != nullptr) return win::CLASS_E_NOAGGREGATION;
    auto* object = new ProbeObject{&kObjectVtable};
    probe.object = object;
    auto* interface = reinterpret_cast<win::IPrintOemPS2*>(object);
    const win::HRESULT result = objectQuery(interface, iid, out);
    objectRelease(interface);
    return result;
}
win::HRESULT TVZX_STDCALL lockServer(win::IClassFactory*, win::BOOL lock) {
    probe.locks += lock ? 1 : -1;
    return win::S_OK;
}

constexpr win::IClassFactoryVtbl kFactoryVtable{factoryQuery, factoryAddRef, factoryRelease, createInstance, lockServer};
win::IClassFactory factory{&kFactoryVtable};

}  // namespace

extern "C" __attribute__((visibility("default"))) win::HRESULT TVZX_STDCALL DllGetClassObject(const win::GUID* clsid,
                                                                                              const win::GUID* iid,
                                                                                              void** out) {
    log("DllGetClassObject");
    if (out == nullptr) return win::E_OUTOFMEMORY;
    *out = nullptr;
    if (*clsid != win::CLSID_OEMRENDER) return win::CLASS_E_CLASSNOTAVAILABLE;
    return factoryQuery(&factory, iid, out);
}

extern "C" __attribute__((visibility("default"))) win::HRESULT TVZX_STDCALL DllCanUnloadNow() {
    log("DllCanUnloadNow objects " + std::to_string(probe.object != nullptr));
    return probe.locks == 0 ? win::S_OK : win::S_FALSE;
}
