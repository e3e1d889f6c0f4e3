// The data store of a printer known only by its name.
#pragma once

#include <memory>
#include <string_view>

#include "platform/printer_data.h"

namespace tvzx::platform {

// Returns the data store of the printer of this name, which holds the
// printer open until it is destroyed; null when the name is empty or the
// printer cannot be opened.
std::unique_ptr<PrinterData> openPrinterData(std::u16string_view printerName);

}  // namespace tvzx::platform
