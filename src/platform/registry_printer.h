// A printer as a registry export file describes it: the printer's key
// (...\Printers\<name>) with its driver data key "PrinterDriverData", whose
// values are the printer data, and further keys such as "DsDriver" that the
// keyed reads reach. This is where the printer data comes from on a system
// without a Windows spooler: the file a printer handle of the spooler's
// stand-in carries.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/registry_file.h"
#include "platform/printer_data.h"

namespace tvzx::platform {

// The key of a printer that holds its printer data.
inline constexpr std::string_view kDriverDataKey = "PrinterDriverData";
// The key that holds one key per printer.
inline constexpr std::string_view kPrintersKey = "Printers";

class RegistryPrinter {
public:
    RegistryPrinter(RegistryFile file, std::string printerPath, std::u16string name)
        : file_(std::move(file)), printerPath_(std::move(printerPath)), name_(std::move(name)) {}

    // Returns the printer's name: the name of its key.
    const std::u16string& name() const { return name_; }
    // Returns the value of this name in the key of this name below the
    // printer's key; null when either is missing.
    const RegistryValue* value(std::string_view key, std::string_view name) const;
    // Returns the printer data value of this name; null when it is missing.
    const RegistryValue* driverData(std::string_view name) const { return value(kDriverDataKey, name); }

private:
    RegistryFile file_;
    std::string printerPath_;
    std::u16string name_;
};

struct RegistryPrinterLoad {
    std::shared_ptr<const RegistryPrinter> printer;  // null after an error
    std::string error;  // names the file, and the line for a syntax error
};

// Returns the one printer of a parsed file: the printer whose key holds a
// "PrinterDriverData" key. A file with no such key, or with the keys of
// more than one printer, is refused.
RegistryPrinterLoad findRegistryPrinter(RegistryFile file);

// Returns the printer of the registry export file at this path.
RegistryPrinterLoad loadRegistryPrinter(const std::string& path);

// Printer data read from a printer's driver data key.
class RegistryPrinterData final : public PrinterData {
public:
    explicit RegistryPrinterData(std::shared_ptr<const RegistryPrinter> printer) : printer_(std::move(printer)) {}
    std::optional<PrinterDataValue> read(std::string_view name) const override;

private:
    std::shared_ptr<const RegistryPrinter> printer_;
};

}  // namespace tvzx::platform
