// Without a Windows spooler the one printer there is, is the printer that
// the printer data file named by TVZX_PRINTER_DATA describes; a printer of
// another name cannot be opened.
#include "platform/printer_by_name.h"

#include <cstdlib>
#include <string>

#include "config/registry_printer.h"

namespace tvzx::platform {

std::unique_ptr<PrinterData> openPrinterData(std::u16string_view printerName) {
    const char* path = std::getenv(std::string(config::kPrinterDataVariable).c_str());
    if (path == nullptr || *path == '\0') return nullptr;
    auto printer = config::loadRegistryPrinter(path).printer;
    if (printer == nullptr || printer->name() != printerName) return nullptr;
    return std::make_unique<config::RegistryPrinterData>(std::move(printer));
}

}  // namespace tvzx::platform
