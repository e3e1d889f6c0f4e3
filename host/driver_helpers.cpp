#include "driver_helpers.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "ppd_keywords.h"

namespace tvzx::host {

// The functions behind the helpers' vtables. Each object starts with its
// vtable pointer, so the interface pointer is the object itself.
struct HelperCalls {
    using Driver = DriverHelpers::DriverObject;
    using Core = DriverHelpers::CoreObject;
    using Helper = DriverHelpers::HelperObject;

    template <typename Object>
    static Object* self(void* interface) { return reinterpret_cast<Object*>(interface); }

    template <typename Object>
    static win::HRESULT query(Object* object, const win::GUID* iid, void** out, const win::GUID& own) {
        if (out == nullptr) return win::E_POINTER;
        *out = nullptr;
        if (iid == nullptr || (*iid != win::IID_IUnknown && *iid != own)) return win::E_NOINTERFACE;
        ++object->references;
        *out = object;
        return win::S_OK;
    }

    template <typename Object>
    static win::ULONG addRef(Object* object) { return ++object->references; }

    // The host owns the objects: a release only counts, and a release
    // without a reference is noted against the plug-in.
    template <typename Object>
    static win::ULONG release(Object* object) {
        if (object->references == 0) {
            ++object->overReleases;
            return 0;
        }
        return --object->references;
    }

    // Returns whether a call names one of the job's device objects.
    template <typename Object>
    static bool forJob(Object* object, const win::DEVOBJ* device) { return object->owner->knowsDevice(device); }

    static win::HRESULT TVZX_STDCALL driverQuery(win::IPrintOemDriverPS* s, const win::GUID* iid, void** out) {
        return query(self<Driver>(s), iid, out, win::IID_IPrintOemDriverPS);
    }
    static win::ULONG TVZX_STDCALL driverAddRef(win::IPrintOemDriverPS* s) { return addRef(self<Driver>(s)); }
    static win::ULONG TVZX_STDCALL driverRelease(win::IPrintOemDriverPS* s) { return release(self<Driver>(s)); }
    static win::HRESULT TVZX_STDCALL driverSetting(win::IPrintOemDriverPS*, void*, const char*, void*, win::DWORD,
                                                   win::DWORD*, win::DWORD*) {
        return win::E_NOTIMPL;
    }
    static win::HRESULT TVZX_STDCALL driverWrite(win::IPrintOemDriverPS* s, win::DEVOBJ* device, void* buffer,
                                                 win::DWORD size, win::DWORD* written) {
        if (!forJob(self<Driver>(s), device)) return win::E_FAIL;
        return self<Driver>(s)->owner->writeSpool(buffer, size, written);
    }

    static win::HRESULT TVZX_STDCALL coreQuery(win::IPrintCorePS2* s, const win::GUID* iid, void** out) {
        return query(self<Core>(s), iid, out, win::IID_IPrintCorePS2);
    }
    static win::ULONG TVZX_STDCALL coreAddRef(win::IPrintCorePS2* s) { return addRef(self<Core>(s)); }
    static win::ULONG TVZX_STDCALL coreRelease(win::IPrintCorePS2* s) { return release(self<Core>(s)); }
    static win::HRESULT TVZX_STDCALL coreWrite(win::IPrintCorePS2* s, win::DEVOBJ* device, void* buffer,
                                               win::DWORD size, win::DWORD* written) {
        if (!forJob(self<Core>(s), device)) return E_INVALIDARG;
        return self<Core>(s)->owner->writeSpool(buffer, size, written);
    }
    static win::HRESULT TVZX_STDCALL coreOptions(win::IPrintCorePS2*, win::DEVOBJ*, win::DWORD, const char*, win::DWORD,
                                                 char*, win::DWORD, win::DWORD*) {
        return win::E_NOTIMPL;
    }
    static win::HRESULT TVZX_STDCALL coreGlobal(win::IPrintCorePS2*, win::DEVOBJ*, win::DWORD, const char*, win::DWORD*,
                                                win::BYTE*, win::DWORD, win::DWORD*) {
        return win::E_NOTIMPL;
    }
    static win::HRESULT TVZX_STDCALL coreFeature(win::IPrintCorePS2*, win::DEVOBJ*, win::DWORD, const char*, const char*,
                                                 win::DWORD*, win::BYTE*, win::DWORD, win::DWORD*) {
        return win::E_NOTIMPL;
    }
    static win::HRESULT TVZX_STDCALL coreOption(win::IPrintCorePS2* s, win::DEVOBJ* device, win::DWORD,
                                                const char* feature, const char* option, const char* attribute,
                                                win::DWORD* dataType, win::BYTE* data, win::DWORD size,
                                                win::DWORD* needed) {
        if (!forJob(self<Core>(s), device)) return E_INVALIDARG;
        return self<Core>(s)->owner->optionAttribute(feature, option, attribute, dataType, data, size, needed);
    }
    static win::HRESULT TVZX_STDCALL coreEnumFeatures(win::IPrintCorePS2*, win::DEVOBJ*, win::DWORD, char*, win::DWORD,
                                                      win::DWORD*) {
        return win::E_NOTIMPL;
    }
    static win::HRESULT TVZX_STDCALL coreEnumOptions(win::IPrintCorePS2*, win::DEVOBJ*, win::DWORD, const char*, char*,
                                                     win::DWORD, win::DWORD*) {
        return win::E_NOTIMPL;
    }

    static win::HRESULT TVZX_STDCALL helperQuery(void* s, const win::GUID* iid, void** out) {
        return query(self<Helper>(s), iid, out, win::IID_IPrintCoreHelperPS);
    }
    static win::ULONG TVZX_STDCALL helperAddRef(void* s) { return addRef(self<Helper>(s)); }
    static win::ULONG TVZX_STDCALL helperRelease(void* s) { return release(self<Helper>(s)); }

    static constexpr win::IPrintOemDriverPSVtbl kDriverVtable{driverQuery, driverAddRef, driverRelease, driverSetting,
                                                              driverWrite};
    static constexpr win::IPrintCorePS2Vtbl kCoreVtable{coreQuery,   coreAddRef,  coreRelease,    coreWrite,
                                                        coreOptions, coreGlobal,  coreFeature,    coreOption,
                                                        coreEnumFeatures, coreEnumOptions};
    static constexpr DriverHelpers::CoreHelperObjectVtbl kHelperVtable{helperQuery, helperAddRef, helperRelease, {}};
};

DriverHelpers::DriverHelpers(OutputSink& output, const PpdFile& ppd)
    : output_(output),
      ppd_(ppd),
      driver_{&HelperCalls::kDriverVtable, this, 0, 0},
      core_{&HelperCalls::kCoreVtable, this, 0, 0},
      helperObject_{&HelperCalls::kHelperVtable, this, 0, 0} {}

win::IUnknown* DriverHelpers::driverHelper() { return reinterpret_cast<win::IUnknown*>(&driver_); }

win::IUnknown* DriverHelpers::coreHelper() { return reinterpret_cast<win::IUnknown*>(&core_); }

win::IUnknown* DriverHelpers::coreHelperObject() { return reinterpret_cast<win::IUnknown*>(&helperObject_); }

bool DriverHelpers::knowsDevice(const win::DEVOBJ* device) const {
    return device != nullptr && std::find(devices_.begin(), devices_.end(), device) != devices_.end();
}

std::string DriverHelpers::referenceFault() const {
    const std::uint32_t overReleases = driver_.overReleases + core_.overReleases + helperObject_.overReleases;
    if (overReleases > 0)
        return "the plug-in released the driver's helpers " + std::to_string(overReleases) +
               " time(s) more than it took them";
    if (outstandingReferences() > 0)
        return "the plug-in kept " + std::to_string(outstandingReferences()) + " reference(s) to the driver's helpers";
    return {};
}

win::HRESULT DriverHelpers::writeSpool(const void* buffer, win::DWORD size, win::DWORD* written) {
    if (buffer == nullptr && size > 0) return E_INVALIDARG;
    if (failure_) return win::E_FAIL;
    try {
        if (size > 0) output_.write(std::string_view(static_cast<const char*>(buffer), size));
    } catch (...) {
        failure_ = std::current_exception();
        return win::E_FAIL;
    }
    if (written != nullptr) *written = size;
    return win::S_OK;
}

win::HRESULT DriverHelpers::optionAttribute(const char* feature, const char* option, const char* attribute,
                                            win::DWORD* dataType, win::BYTE* data, win::DWORD size,
                                            win::DWORD* needed) const {
    if (feature == nullptr || option == nullptr || attribute == nullptr || needed == nullptr) return E_INVALIDARG;
    // The host's PPD knows one option attribute: the option's code.
    if (std::string_view(attribute) != ppd::kInvocation) return E_INVALIDARG;
    const auto code = ppd_.invocation(feature, option);
    if (!code) return E_INVALIDARG;
    // The code goes over as binary data without a terminating NUL; a caller
    // that has no room yet learns the size it needs.
    if (dataType != nullptr) *dataType = win::kADT_BINARY;
    *needed = static_cast<win::DWORD>(code->size());
    if (code->empty()) return win::S_OK;
    if (data == nullptr || size < code->size()) return win::E_OUTOFMEMORY;
    std::memcpy(data, code->data(), code->size());
    return win::S_OK;
}

}  // namespace tvzx::host
