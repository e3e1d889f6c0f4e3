// The printer application's readers of outside bytes: a printer's
// configuration (its file, and the web page's form turned into its lines)
// and a job's IPP attribute values as clients send them.
//   byte 0 even: the rest is a configuration text
//   byte 0 odd:  the rest is attribute lines "name=value,value"
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "job_attributes.h"
#include "printer_config.h"

using namespace tvzx::printer_app;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    if ((data[0] & 1) == 0) {
        std::string error;
        if (const auto config = parsePrinterConfig(text, error)) {
            // What is read writes back the same.
            std::string again;
            if (formatPrinterConfig(*parsePrinterConfig(formatPrinterConfig(*config), again)) != formatPrinterConfig(*config))
                __builtin_trap();
            printerDataFile("fuzz", *config);
        }
        return 0;
    }
    std::vector<JobAttribute> attributes;
    std::string_view rest = text;
    while (!rest.empty() && attributes.size() < 16) {
        const std::size_t end = rest.find('\n');
        const std::string_view line = rest.substr(0, end);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        const std::size_t at = line.find('=');
        JobAttribute attribute{std::string(line.substr(0, at)), {}};
        std::string_view values = at == std::string_view::npos ? std::string_view() : line.substr(at + 1);
        while (!values.empty()) {
            const std::size_t comma = values.find(',');
            attribute.values.emplace_back(values.substr(0, comma));
            values.remove_prefix(comma == std::string_view::npos ? values.size() : comma + 1);
        }
        attributes.push_back(std::move(attribute));
    }
    JobContext context{"fuzz", [](std::string_view) { return std::optional<std::string>("Layout=Booklet\n"); }, {}};
    mapJobAttributes(attributes, context);
    refusalFor(attributes, context, installedOptions(PrinterConfig{}));
    return 0;
}
