// Without a Windows spooler the spooler's stand-in (standin/print_spooler.h)
// gives the printers: a printer handle carries the registry export file
// that holds the printer's data (see platform/registry_printer.h). The file
// is read at every request, as the spooler reads the registry, so an edited
// file takes effect at the next request. A handle without a file, or with a
// file that cannot be read, has no printer data. Job parameters, device
// capabilities and forms are never known here; the form list is left to the
// built-in Windows papers.
#include <memory>
#include <string>

#include "platform/spooler_queries.h"
#include "platform/registry_printer.h"
#include "platform/path_text.h"
#include "platform/posix/standin/print_spooler.h"
#include "platform/spooler.h"

namespace tvzx::platform {
namespace {

class StandInSpooler final : public Spooler, public SpoolerQueries {
public:
    std::unique_ptr<PrinterData> printerData(void* printer) override {
        auto configured = configuredPrinter(printer);
        if (configured == nullptr) return nullptr;
        return std::make_unique<platform::RegistryPrinterData>(std::move(configured));
    }

    std::optional<std::u16string> printerName(void* printer) override {
        const auto configured = configuredPrinter(printer);
        if (configured == nullptr) return std::nullopt;
        return configured->name();
    }

    std::optional<std::u16string> jobParameters(void*, std::uint32_t) override { return std::nullopt; }

    void* openPrinter(std::u16string_view name) override { return standin::openPrinter(utf8Path(name)); }

    void* openPrinterFile(std::u16string_view name, const std::string& dataPath) override {
        // A printer with data is listed, so that a worker process reaches it
        // by its name as the job's own process does.
        if (!dataPath.empty()) standin::addPrinter(utf8Path(name), dataPath);
        return standin::openPrinter(standin::PrinterRecord{utf8Path(name), dataPath});
    }

    void closePrinter(void* printer) override { standin::closePrinter(printer); }

    std::optional<PrinterDataValue> readKeyValue(void* printer, std::string_view key, std::string_view name) override {
        const auto configured = configuredPrinter(printer);
        const platform::RegistryValue* value = configured != nullptr ? configured->value(key, name) : nullptr;
        if (value == nullptr) return std::nullopt;
        return PrinterDataValue{value->type, value->data};
    }

    CapabilityAnswer deviceCapability(void*, std::uint16_t) override { return {}; }

    std::optional<std::vector<Form>> forms(void*) override { return std::nullopt; }

private:
    // Returns the printer the handle's data file describes; null for a
    // handle without one, or a file that cannot be read.
    static std::shared_ptr<const platform::RegistryPrinter> configuredPrinter(const void* printer) {
        const auto record = standin::printerOf(printer);
        if (!record || record->dataPath.empty()) return nullptr;
        return platform::loadRegistryPrinter(record->dataPath).printer;
    }
};

}  // namespace

Spooler& systemSpooler() {
    static StandInSpooler spooler;
    return spooler;
}

}  // namespace tvzx::platform
