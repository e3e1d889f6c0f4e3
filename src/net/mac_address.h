// The printer's hardware (MAC) address, as its data stores it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

#include "platform/printer_data.h"

namespace tvzx::net {

// Six bytes, first byte first; all zero means none.
using MacAddress = std::array<std::uint8_t, 6>;

// The printer data value holding the address as wide text.
inline constexpr std::string_view kMacAddressValue = "MacAddress";
// The most the value may take, terminator included: 17 characters.
inline constexpr std::size_t kMacAddressValueLimit = 36;

// Returns whether the address is all zero.
bool isNone(const MacAddress& address);

// Reads six hexadecimal groups separated by ":" or "-" (each below 256,
// exactly six, the last ending the text) or one run of hexadecimal digits
// worth less than 2 to the 48th. Returns whether the text was valid; the
// address is all zero otherwise.
bool parseMacAddress(std::string_view text, MacAddress& address);

// Opens the data of a printer by its name; null when it cannot.
using PrinterDataOpener = std::function<std::unique_ptr<platform::PrinterData>(std::u16string_view)>;

// Returns whether the printer's "MacAddress" value could be read (whether
// or not it parsed): false for an empty name, a printer that cannot be
// opened, a missing value or one above the size limit. The address is all
// zero unless the text parsed.
bool readPrinterMacAddress(std::u16string_view printerName, MacAddress& address, const PrinterDataOpener& open);

}  // namespace tvzx::net
