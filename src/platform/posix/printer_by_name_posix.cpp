// Without a Windows spooler a printer opens by name through the spooler's
// stand-in, whose handle carries the file of the printer's data.
#include "platform/printer_by_name.h"

#include "platform/registry_printer.h"
#include "platform/path_text.h"
#include "platform/posix/standin/print_spooler.h"

namespace tvzx::platform {

std::unique_ptr<PrinterData> openPrinterData(std::u16string_view printerName) {
    void* handle = standin::openPrinter(utf8Path(printerName));
    const auto record = standin::printerOf(handle);
    standin::closePrinter(handle);
    if (!record || record->dataPath.empty()) return nullptr;
    auto printer = platform::loadRegistryPrinter(record->dataPath).printer;
    if (printer == nullptr || printer->name() != printerName) return nullptr;
    return std::make_unique<platform::RegistryPrinterData>(std::move(printer));
}

}  // namespace tvzx::platform
