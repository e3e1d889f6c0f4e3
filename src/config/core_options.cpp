#include "config/core_options.h"

namespace tvzx::config {

std::size_t writeCoreOptionBytes(std::span<std::uint8_t> coreArea, const KeywordTable& offsets,
                                 const KeywordTable& values, const ppd::FeatureSelections& selections) {
    std::size_t changed = 0;
    std::string valueKey;
    for (const ppd::FeatureSelection& selection : selections) {
        const auto offset = offsets.find(selection.keyword);
        valueKey = selection.keyword + kValueKeySeparator + selection.option;
        const auto value = values.find(valueKey);
        if (offset == offsets.end() || value == values.end() || offset->second >= coreArea.size()) continue;
        // The core driver keeps the option in one byte: the value's low byte.
        const auto byte = static_cast<std::uint8_t>(value->second & 0xFF);
        if (coreArea[offset->second] == byte) continue;
        coreArea[offset->second] = byte;
        ++changed;
    }
    return changed;
}

std::span<std::uint8_t> coreDriverArea(win::DEVMODEW* publicDevmode) {
    if (publicDevmode == nullptr) return {};
    return {reinterpret_cast<std::uint8_t*>(publicDevmode) + publicDevmode->dmSize, publicDevmode->dmDriverExtra};
}

std::size_t syncCoreDriverOptions(const PrinterAccess& printer, win::DEVMODEW* publicDevmode,
                                  const settings::CoreData& record) {
    const std::span<std::uint8_t> area = coreDriverArea(publicDevmode);
    if (area.empty()) return 0;
    const auto offsets = loadKeywordTable(printer, kOffsetsValue);
    if (!offsets || offsets->empty()) return 0;
    const auto values = loadKeywordTable(printer, kValuesValue);
    if (!values || values->empty()) return 0;
    return writeCoreOptionBytes(area, *offsets, *values, ppd::featureSelections(record));
}

}  // namespace tvzx::config
