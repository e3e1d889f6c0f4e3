#include "frame/helper_adapters.h"

namespace tvzx::frame {

void DriverHelperSink::write(std::string_view bytes) {
    if (bytes.empty() || failed_) return;
    win::DWORD written = 0;
    // The driver does not change what it is given to write.
    const win::HRESULT result = helper_->lpVtbl->DrvWriteSpoolBuf(helper_, devObj_, const_cast<char*>(bytes.data()),
                                                                  static_cast<win::DWORD>(bytes.size()), &written);
    if (!win::succeeded(result) || written != bytes.size()) failed_ = true;
}

win::HRESULT CoreHelperAdapter::getOptionAttribute(win::DEVOBJ* devObj, const char* feature, const char* option,
                                                   const char* attribute, win::DWORD* dataType,
                                                   std::uint8_t* buffer, win::DWORD size, win::DWORD* needed) {
    return helper_->lpVtbl->GetOptionAttribute(helper_, devObj, 0, feature, option, attribute, dataType, buffer,
                                               size, needed);
}

}  // namespace tvzx::frame
