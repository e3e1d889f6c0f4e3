// A printer opened by name with OpenPrinterW for reading its data, closed
// with ClosePrinter when the store goes.
#include "platform/printer_by_name.h"

#include <windows.h>
#include <winspool.h>

#include <string>

namespace tvzx::platform {
namespace {

std::wstring wide(std::string_view text) { return std::wstring(text.begin(), text.end()); }

class OpenedPrinterData final : public PrinterData {
public:
    explicit OpenedPrinterData(HANDLE printer) : printer_(printer) {}
    ~OpenedPrinterData() override { ClosePrinter(printer_); }
    OpenedPrinterData(const OpenedPrinterData&) = delete;
    OpenedPrinterData& operator=(const OpenedPrinterData&) = delete;

    std::optional<PrinterDataValue> read(std::string_view name) const override {
        const std::wstring wideName = wide(name);
        DWORD type = 0;
        DWORD needed = 0;
        // First ask for the size, then read into a buffer of that size.
        const DWORD probe = GetPrinterDataW(printer_, const_cast<LPWSTR>(wideName.c_str()), &type, nullptr, 0, &needed);
        if (probe != ERROR_MORE_DATA && probe != ERROR_SUCCESS) return std::nullopt;
        PrinterDataValue value;
        value.data.resize(needed);
        if (GetPrinterDataW(printer_, const_cast<LPWSTR>(wideName.c_str()), &type, value.data.data(), needed,
                            &needed) != ERROR_SUCCESS)
            return std::nullopt;
        value.data.resize(needed);
        value.type = type;
        return value;
    }

private:
    HANDLE printer_;
};

}  // namespace

std::unique_ptr<PrinterData> openPrinterData(std::u16string_view printerName) {
    if (printerName.empty()) return nullptr;
    std::wstring name(printerName.begin(), printerName.end());
    HANDLE printer = nullptr;
    if (!OpenPrinterW(name.data(), &printer, nullptr) || printer == nullptr) return nullptr;
    return std::make_unique<OpenedPrinterData>(printer);
}

}  // namespace tvzx::platform
