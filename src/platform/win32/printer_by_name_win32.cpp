// A printer opened by name with OpenPrinterW for reading its data, closed
// with ClosePrinter when the store goes.
#include "platform/printer_by_name.h"

#include <windows.h>
#include <winspool.h>

#include <string>

#include "platform/win32/spooler_reads.h"
#include "platform/win32/wide_text.h"

namespace tvzx::platform {
namespace {

class OpenedPrinterData final : public PrinterData {
public:
    explicit OpenedPrinterData(HANDLE printer) : printer_(printer) {}
    ~OpenedPrinterData() override { ClosePrinter(printer_); }
    OpenedPrinterData(const OpenedPrinterData&) = delete;
    OpenedPrinterData& operator=(const OpenedPrinterData&) = delete;

    std::optional<PrinterDataValue> read(std::string_view name) const override {
        return win32::readPrinterValue(printer_, name);
    }

private:
    HANDLE printer_;
};

}  // namespace

std::unique_ptr<PrinterData> openPrinterData(std::u16string_view printerName) {
    if (printerName.empty() || win32::holdsNul(printerName)) return nullptr;
    std::wstring name = win32::wideOf(printerName);
    HANDLE printer = nullptr;
    if (!OpenPrinterW(name.data(), &printer, nullptr) || printer == nullptr) return nullptr;
    return std::make_unique<OpenedPrinterData>(printer);
}

}  // namespace tvzx::platform
