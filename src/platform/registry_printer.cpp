#include "platform/registry_printer.h"

#include <fstream>
#include <iterator>
#include <vector>

namespace tvzx::platform {
namespace {

constexpr char kSeparator = '\\';

std::vector<std::string_view> segmentsOf(std::string_view path) {
    std::vector<std::string_view> segments;
    for (std::size_t start = 0;;) {
        const std::size_t end = path.find(kSeparator, start);
        segments.push_back(path.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos) return segments;
        start = end + 1;
    }
}

RegistryPrinterLoad refused(std::string error) { return {nullptr, std::move(error)}; }

}  // namespace

const RegistryValue* RegistryPrinter::value(std::string_view key, std::string_view name) const {
    const RegistryKey* found = file_.findKey(printerPath_ + kSeparator + std::string(key));
    return found == nullptr ? nullptr : found->find(name);
}

RegistryPrinterLoad findRegistryPrinter(RegistryFile file) {
    std::optional<std::string> printerPath;
    std::string_view printerName;
    for (const RegistryKey& key : file.keys) {
        // A printer's data key is ...\Printers\<name>\PrinterDriverData.
        const auto segments = segmentsOf(key.path);
        const std::size_t n = segments.size();
        if (n < 3 || !sameRegistryName(segments[n - 1], kDriverDataKey) || !sameRegistryName(segments[n - 3], kPrintersKey))
            continue;
        const std::string path = key.path.substr(0, key.path.size() - kDriverDataKey.size() - 1);
        if (printerPath && !sameRegistryName(*printerPath, path))
            return refused("the file holds the data of the printers \"" + std::string(printerName) + "\" and \"" +
                           std::string(segments[n - 2]) + "\"; export the key of one printer");
        printerPath = path;
        printerName = segments[n - 2];
    }
    if (!printerPath)
        return refused("the file holds no key ...\\" + std::string(kPrintersKey) + "\\<printer>\\" + std::string(kDriverDataKey));
    // The path was checked to be UTF-8 when the file was read.
    std::u16string name = utf16FromUtf8(printerName).value_or(std::u16string());
    std::string path = *printerPath;
    return {std::make_shared<const RegistryPrinter>(std::move(file), std::move(path), std::move(name)), {}};
}

RegistryPrinterLoad loadRegistryPrinter(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return refused(path + ": cannot be read");
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return refused(path + ": cannot be read");
    RegistryParse parsed = parseRegistryFile(bytes);
    if (parsed.error) return refused(path + ":" + std::to_string(parsed.error->line) + ": " + parsed.error->message);
    RegistryPrinterLoad load = findRegistryPrinter(std::move(parsed.file));
    if (!load.printer) load.error = path + ": " + load.error;
    return load;
}

std::optional<PrinterDataValue> RegistryPrinterData::read(std::string_view name) const {
    const RegistryValue* value = printer_->driverData(name);
    if (value == nullptr) return std::nullopt;
    return PrinterDataValue{value->type, value->data};
}

}  // namespace tvzx::platform
