// Where tvzx printer-data writes a printer's data: the system's spooler
// (Windows), or a registry export file that stands for the printer on a
// system without one.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/printer_data.h"

namespace tvzx::cli {

// The registry path below which every printer has its key.
inline constexpr std::string_view kPrintersPath = "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\";

class PrinterDataStore {
public:
    virtual ~PrinterDataStore() = default;
    // Returns the value of this name under the printer's key of this name
    // ("PrinterDriverData" holds the printer data); nothing when missing.
    virtual std::optional<platform::PrinterDataValue> read(std::string_view key, std::string_view name) const = 0;
    // Sets the value. Throws UsageError when it is refused.
    virtual void write(std::string_view key, std::string_view name, const platform::PrinterDataValue& value) = 0;
    // Makes the writes last. Throws UsageError when they cannot.
    virtual void commit() = 0;
};

// Returns the store of a registry export file holding the printer's keys;
// the file is made when it does not exist. Throws UsageError for a file
// that cannot be read or holds another printer's data.
std::unique_ptr<PrinterDataStore> openFileStore(const std::string& path, const std::string& printerName);

// Returns the store of the spooler's printer of this name, opened for
// administration. Throws UsageError when the system has no spooler, the
// printer is unknown, or the user lacks the rights.
std::unique_ptr<PrinterDataStore> openSpoolerStore(const std::string& printerName);

}  // namespace tvzx::cli
