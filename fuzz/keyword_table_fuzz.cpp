// The core driver's keyword tables on arbitrary values. The hash text the
// value begins with is taken as the schema's, so that the records behind it
// are read; what reads must format and read back to the same table, and the
// option bytes written through it stay inside the core driver's area.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/hex_text.h"
#include "config/core_options.h"
#include "config/keyword_table.h"
#include "ppd/feature_selections.h"
#include "settings/schema_hash.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tvzx;
    const std::span<const std::uint8_t> value(data, size);
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto hash = parseHex32(text.substr(0, text.find('\0')));
    const std::uint32_t schema = hash.value_or(settings::schemaHash());
    auto table = config::parseKeywordTable(value, schema);
    if (!table) return 0;
    // Records without a key are not written back.
    config::KeywordTable keyed = *table;
    keyed.erase(std::string());
    const auto again = config::parseKeywordTable(config::formatKeywordTable(*table, schema), schema);
    if (!again || *again != keyed) __builtin_trap();

    static const ppd::FeatureSelections selections = ppd::featureSelections(settings::defaultRecord());
    std::vector<std::uint8_t> area(size % 256);
    const std::size_t written = config::writeCoreOptionBytes(area, *table, *table, selections);
    if (written > area.size()) __builtin_trap();
    return 0;
}
