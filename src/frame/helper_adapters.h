// The driver's helper interfaces seen as the plug-in's own narrow ones: the
// spool writer as an output sink, the core helper as the dispatcher's
// attribute source.
#pragma once

#include "common/output_sink.h"
#include "platform/com_abi.h"
#include "postscript/injection.h"

namespace tvzx::frame {

// Writes every piece with one DrvWriteSpoolBuf call of the driver helper.
// Once the driver takes a piece only in part or not at all, the later ones
// are dropped.
class DriverHelperSink final : public OutputSink {
public:
    DriverHelperSink(win::IPrintOemDriverPS* helper, win::DEVOBJ* devObj) : helper_(helper), devObj_(devObj) {}
    void write(std::string_view bytes) override;
    bool failed() const override { return failed_; }

private:
    win::IPrintOemDriverPS* helper_;
    win::DEVOBJ* devObj_;
    bool failed_ = false;
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
