// Without a Windows spooler the printer's data comes from a registry export
// file: the environment variable TVZX_PRINTER_DATA names it, and it describes
// the one printer that every printer handle stands for (see
// config/registry_printer.h). The file is read at every request, as the
// spooler reads the registry, so an edited file takes effect at the next
// request. Without the variable, or with a file that cannot be read, there is
// no printer data. Job parameters, device capabilities and forms are never
// known here; the form list is left to the built-in Windows papers.
#include <cstdlib>
#include <memory>
#include <string>

#include "config/printer_access.h"
#include "config/registry_printer.h"
#include "platform/spooler.h"

namespace tvzx::platform {
namespace {

// Returns the printer the printer data file describes; null without one.
std::shared_ptr<const config::RegistryPrinter> configuredPrinter() {
    const char* path = std::getenv(std::string(config::kPrinterDataVariable).c_str());
    if (path == nullptr || *path == '\0') return nullptr;
    return config::loadRegistryPrinter(path).printer;
}

class RegistryFileSpooler final : public Spooler, public config::SpoolerQueries {
public:
    std::unique_ptr<PrinterData> printerData(void* printer) override {
        if (printer == nullptr) return nullptr;
        auto configured = configuredPrinter();
        if (configured == nullptr) return nullptr;
        return std::make_unique<config::RegistryPrinterData>(std::move(configured));
    }

    std::optional<std::u16string> printerName(void* printer) override {
        if (printer == nullptr) return std::nullopt;
        const auto configured = configuredPrinter();
        if (configured == nullptr) return std::nullopt;
        return configured->name();
    }

    std::optional<std::u16string> jobParameters(void*, std::uint32_t) override { return std::nullopt; }

    // The printer the data file describes opens by its name; the handle only
    // needs to be non-null, as every handle stands for that printer.
    void* openPrinter(std::u16string_view name) override {
        const auto configured = configuredPrinter();
        if (configured == nullptr || name.empty() || configured->name() != name) return nullptr;
        return &openedToken_;
    }

    std::optional<PrinterDataValue> readKeyValue(void* printer, std::string_view key, std::string_view name) override {
        if (printer == nullptr) return std::nullopt;
        const auto configured = configuredPrinter();
        const config::RegistryValue* value = configured != nullptr ? configured->value(key, name) : nullptr;
        if (value == nullptr) return std::nullopt;
        return PrinterDataValue{value->type, value->data};
    }

    config::CapabilityAnswer deviceCapability(void*, std::uint16_t) override { return {}; }

    std::optional<std::vector<config::Form>> forms(void*) override { return std::nullopt; }

private:
    char openedToken_ = 0;
};

}  // namespace

Spooler& systemSpooler() {
    static RegistryFileSpooler spooler;
    return spooler;
}

}  // namespace tvzx::platform
