// The helper interfaces the host hands to the plug-in: the driver helper,
// whose DrvWriteSpoolBuf appends to the job's output, the core helper,
// whose GetOptionAttribute answers the "Invocation" of a PPD option from the
// PPD file, and the core helper object the plug-in may ask for. All live as
// long as the host; they count the references the plug-in takes and gives
// back, so that the host can see each given back exactly once. A call
// for a device object that is not the job's fails, as the driver's does.
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <vector>

#include <utility>

#include "common/output_sink.h"
#include "platform/com_abi.h"
#include "ppd_file.h"

namespace tvzx::host {

// COM result of a call with a bad argument (not used by the plug-in side).
inline constexpr win::HRESULT E_INVALIDARG = static_cast<win::HRESULT>(0x80070057u);

class DriverHelpers {
public:
    DriverHelpers(OutputSink& output, const PpdFile& ppd);
    DriverHelpers(const DriverHelpers&) = delete;
    DriverHelpers& operator=(const DriverHelpers&) = delete;

    // Returns the driver helper's IUnknown (IPrintOemDriverPS).
    win::IUnknown* driverHelper();
    // Returns the core helper's IUnknown (IPrintCorePS2).
    win::IUnknown* coreHelper();
    // Returns the IUnknown of the core helper object (IPrintCoreHelperPS).
    win::IUnknown* coreHelperObject();
    // Returns the references the plug-in holds on the helpers.
    std::uint32_t outstandingReferences() const {
        return driver_.references + core_.references + helperObject_.references;
    }
    // Returns what the plug-in did wrong with the references: a release of
    // a helper it held no reference on, or references it kept. Empty when
    // each reference taken was given back exactly once.
    std::string referenceFault() const;

    // The device objects of the job, for which the helpers answer; a call
    // naming another fails.
    void acceptDevice(const win::DEVOBJ* device) { devices_.push_back(device); }
    void forgetDevice(const win::DEVOBJ* device) { std::erase(devices_, device); }
    // Returns whether the device object is one of the job's.
    bool knowsDevice(const win::DEVOBJ* device) const;

    // Answers GetOptionAttribute as the core helper does; exposed for tests.
    win::HRESULT optionAttribute(const char* feature, const char* option, const char* attribute, win::DWORD* dataType,
                                 win::BYTE* data, win::DWORD size, win::DWORD* needed) const;
    // Appends to the output as DrvWriteSpoolBuf does. An output that fails
    // is reported to the plug-in as E_FAIL; the failure itself waits for
    // the host (takeFailure), since it must not travel through the plug-in.
    win::HRESULT writeSpool(const void* buffer, win::DWORD size, win::DWORD* written);
    // Returns the first failure of the output since the last call, if any.
    std::exception_ptr takeFailure() { return std::exchange(failure_, nullptr); }
    // Returns whether the output failed since the last takeFailure.
    bool failed() const noexcept { return failure_ != nullptr; }

private:
    template <typename Vtable>
    struct Object {
        const Vtable* vtable;
        DriverHelpers* owner;
        std::uint32_t references;
        // Releases of this helper while the plug-in held no reference.
        std::uint32_t overReleases;
    };
    // The core helper object's table: IUnknown, then methods the plug-in
    // never calls (nine of IPrintCoreHelper, three of its PostScript part).
    struct CoreHelperObjectVtbl {
        win::HRESULT(TVZX_STDCALL* QueryInterface)(void* self, const win::GUID* iid, void** out);
        win::ULONG(TVZX_STDCALL* AddRef)(void* self);
        win::ULONG(TVZX_STDCALL* Release)(void* self);
        void* unused[12];
    };
    using DriverObject = Object<win::IPrintOemDriverPSVtbl>;
    using CoreObject = Object<win::IPrintCorePS2Vtbl>;
    using HelperObject = Object<CoreHelperObjectVtbl>;
    friend struct HelperCalls;

    OutputSink& output_;
    const PpdFile& ppd_;
    DriverObject driver_;
    CoreObject core_;
    HelperObject helperObject_;
    std::vector<const win::DEVOBJ*> devices_;
    std::exception_ptr failure_;
};

}  // namespace tvzx::host
