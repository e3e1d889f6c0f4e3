// The registry export parser on arbitrary files: what it reads must write
// back to a file that reads to the same keys and values, and the printer
// search must cope with whatever keys it finds.
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/registry_file.h"
#include "platform/registry_printer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tvzx::platform;
    const RegistryParse parse = parseRegistryFile(std::span<const std::uint8_t>(data, size));
    if (parse.error) {
        // A refused file yields nothing, and the error names a line.
        if (!parse.file.keys.empty() || parse.error->line == 0 || parse.error->message.empty()) __builtin_trap();
        return 0;
    }
    const std::string text = formatRegistryFile(parse.file);
    const RegistryParse again =
        parseRegistryFile(std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    if (again.error || again.file != parse.file) __builtin_trap();
    const RegistryPrinterLoad load = findRegistryPrinter(parse.file);
    if (load.printer != nullptr) {
        (void)load.printer->driverData("DefaultDuplex");
        (void)load.printer->value("DsDriver", "printBinNames");
    } else if (load.error.empty()) {
        __builtin_trap();
    }
    return 0;
}
