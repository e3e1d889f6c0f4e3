// The spooler reads that both the printer handed over by the driver and a
// printer opened by name go through: printer data values, keyed values and
// the printer's level-2 information.
#pragma once

#include <windows.h>
#include <winspool.h>

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/printer_data.h"

namespace tvzx::platform::win32 {

// Returns the printer data value of this name (GetPrinterDataW); nothing
// when it is missing or cannot be read.
std::optional<PrinterDataValue> readPrinterValue(HANDLE printer, std::string_view name);

// Returns the value of this name under the printer's key of this name
// (GetPrinterDataExW); nothing when either is missing or cannot be read.
std::optional<PrinterDataValue> readPrinterKeyValue(HANDLE printer, std::string_view key, std::string_view name);

// The printer's level-2 information in the buffer the spooler filled; the
// strings and the DEVMODE it points to live in the same buffer.
class PrinterInfo2 {
public:
    // Returns the information of the printer; nothing when it cannot be read.
    static std::optional<PrinterInfo2> of(HANDLE printer);

    // Returns the structure at the start of the buffer.
    const PRINTER_INFO_2W& info() const { return *reinterpret_cast<const PRINTER_INFO_2W*>(buffer_.data()); }
    // Returns the whole DEVMODE (public part and driver part), copied out;
    // nothing when the printer has none or it does not fit its buffer.
    std::optional<std::vector<std::uint8_t>> devMode() const;

private:
    // Blocks of 8 bytes keep the structure's pointers aligned.
    std::vector<std::uint64_t> buffer_;
    std::size_t size_ = 0;
};

}  // namespace tvzx::platform::win32
