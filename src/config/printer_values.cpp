#include "config/printer_values.h"

#include <algorithm>

#include "common/byte_order.h"
#include "settings/feature_tables.h"

namespace tvzx::config {

rules::InstalledOptions readInstalledOptions(const PrinterAccess& printer) {
    rules::InstalledOptions installed{};
    std::uint64_t needed = 0;
    std::uint32_t type = 0;
    // A shorter value leaves the rest zero; a larger one is not read at all.
    if (printer.readValue(kInstallableOptionsValue, &type, installed.data(), installed.size(), &needed) != kErrorSuccess)
        installed.fill(0);
    return installed;
}

std::vector<CustomPaper> parseCustomPapers(std::span<const std::uint8_t> value) {
    std::vector<CustomPaper> papers;
    if (value.size() % kCustomPaperRecordSize != 0) return papers;
    for (std::size_t at = 0; at < value.size(); at += kCustomPaperRecordSize) {
        const std::uint8_t* record = value.data() + at;
        CustomPaper paper;
        paper.kind = readLe32(record);
        // Whatever size the record names, it is a custom size here.
        paper.pageSizeIndex = settings::kCustomPageSize;
        std::copy_n(record + 8, paper.reserved.size(), paper.reserved.begin());
        for (std::size_t i = kCustomPaperNameOffset; i + 1 < kCustomPaperRecordSize; i += 2) {
            const auto c = static_cast<char16_t>(readLittleEndian(record + i, 2));
            if (c == u'\0') break;
            paper.name.push_back(c);
        }
        papers.push_back(std::move(paper));
    }
    return papers;
}

std::vector<CustomPaper> readCustomPapers(const PrinterAccess& printer) {
    const auto value = printer.value(kLastCustomPapersValue);
    return value ? parseCustomPapers(value->data) : std::vector<CustomPaper>{};
}

}  // namespace tvzx::config
