// What the plug-in asks the print spooler about a printer it was handed a
// handle for: its stored data values, its name and the parameters of a job.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/printer_data.h"

namespace tvzx::platform {

class Spooler {
public:
    virtual ~Spooler() = default;
    // Returns the data store of the printer behind the handle; null when the
    // handle is null or the store cannot be reached.
    virtual std::unique_ptr<PrinterData> printerData(void* printer) = 0;
    // Returns the printer's name from its level-2 information; nothing when
    // it cannot be read.
    virtual std::optional<std::u16string> printerName(void* printer) = 0;
    // Returns the parameters text of the job's level-2 information; nothing
    // when the job cannot be read.
    virtual std::optional<std::u16string> jobParameters(void* printer, std::uint32_t jobId) = 0;
    // Returns the DEVMODE of the printer's level-2 information, whole
    // (public part and driver part); nothing when it cannot be read.
    virtual std::optional<std::vector<std::uint8_t>> printerDevMode(void* printer) {
        (void)printer;
        return std::nullopt;
    }
    // Opens the printer of this name. Returns its handle, to be given back
    // to closePrinter; null when there is no such printer.
    virtual void* openPrinter(std::u16string_view name) {
        (void)name;
        return nullptr;
    }
    // Opens a printer the spooler does not list, whose data the registry
    // export file at this path holds (none for an empty path): what a
    // system without a spooler prints through. Returns its handle, to be
    // given back to closePrinter; null where the system's spooler has only
    // its own printers.
    virtual void* openPrinterFile(std::u16string_view name, const std::string& dataPath) {
        (void)name;
        (void)dataPath;
        return nullptr;
    }
    // Closes a handle that openPrinter or openPrinterFile returned; a null
    // handle is ignored.
    virtual void closePrinter(void* printer) { (void)printer; }
};

// A spooler that knows nothing: every question goes unanswered.
class AbsentSpooler : public Spooler {
public:
    std::unique_ptr<PrinterData> printerData(void*) override { return nullptr; }
    std::optional<std::u16string> printerName(void*) override { return std::nullopt; }
    std::optional<std::u16string> jobParameters(void*, std::uint32_t) override { return std::nullopt; }
};

// Returns the spooler of the system the plug-in runs on.
Spooler& systemSpooler();

}  // namespace tvzx::platform
