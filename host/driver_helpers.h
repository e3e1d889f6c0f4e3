// The helper interfaces the host hands to the plug-in: the driver helper,
// whose DrvWriteSpoolBuf appends to the job's output, and the core helper,
// whose GetOptionAttribute answers the "Invocation" of a PPD option from the
// PPD file. Both live as long as the host; they count the references the
// plug-in holds so that the host can see them all given back.
#pragma once

#include <cstdint>
#include <exception>

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
    // Returns the references the plug-in holds on the two helpers.
    std::uint32_t outstandingReferences() const { return driver_.references + core_.references; }

    // Answers GetOptionAttribute as the core helper does; exposed for tests.
    win::HRESULT optionAttribute(const char* feature, const char* option, const char* attribute, win::DWORD* dataType,
                                 win::BYTE* data, win::DWORD size, win::DWORD* needed) const;
    // Appends to the output as DrvWriteSpoolBuf does. An output that fails
    // is reported to the plug-in as E_FAIL; the failure itself waits for
    // the host (takeFailure), since it must not travel through the plug-in.
    win::HRESULT writeSpool(const void* buffer, win::DWORD size, win::DWORD* written);
    // Returns the first failure of the output since the last call, if any.
    std::exception_ptr takeFailure() { return std::exchange(failure_, nullptr); }

private:
    struct DriverObject {
        const win::IPrintOemDriverPSVtbl* vtable;
        DriverHelpers* owner;
        std::uint32_t references;
    };
    struct CoreObject {
        const win::IPrintCorePS2Vtbl* vtable;
        DriverHelpers* owner;
        std::uint32_t references;
    };
    friend struct HelperCalls;

    OutputSink& output_;
    const PpdFile& ppd_;
    DriverObject driver_;
    CoreObject core_;
    std::exception_ptr failure_;
};

}  // namespace tvzx::host
