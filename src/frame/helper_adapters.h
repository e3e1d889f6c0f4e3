// The driver's helper interfaces seen as the plug-in's own narrow ones: the
// spool writer as an output sink, the core helper as the dispatcher's
// attribute source.
#pragma once

#include "common/output_sink.h"
#include "platform/com_abi.h"
#include "postscript/injection.h"

namespace tvzx::frame {

// Writes every piece with one DrvWriteSpoolBuf call of the driver helper.
class DriverHelperSink final : public OutputSink {
public:
    DriverHelperSink(win::IPrintOemDriverPS* helper, win::DEVOBJ* devObj) : helper_(helper), devObj_(devObj) {}
    void write(std::string_view bytes) override;

private:
    win::IPrintOemDriverPS* helper_;
    win::DEVOBJ* devObj_;
};

// Asks the core helper's GetOptionAttribute.
class CoreHelperAdapter final : public postscript::CoreHelper {
public:
    explicit CoreHelperAdapter(win::IPrintCorePS2* helper) : helper_(helper) {}
    win::HRESULT getOptionAttribute(win::DEVOBJ* devObj, const char* feature, const char* option,
                                    const char* attribute, win::DWORD* dataType, std::uint8_t* buffer,
                                    win::DWORD size, win::DWORD* needed) override;

private:
    win::IPrintCorePS2* helper_;
};

}  // namespace tvzx::frame
