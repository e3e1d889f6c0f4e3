// The settings description reader with a foreign record: the first two bytes
// give the length of the description text, the rest is the foreign record.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "settings/core_data.h"
#include "settings/text_form.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tvzx::settings;
    if (size < 2) return 0;
    const std::size_t textLength = std::min<std::size_t>((data[0] << 8) | data[1], size - 2);
    const std::string_view wrapped(reinterpret_cast<const char*>(data + 2), textLength);
    const std::span<const std::uint8_t> foreign(data + 2 + textLength, size - 2 - textLength);

    CoreData destination = defaultRecord();
    if (readAndConvert(destination, foreign, wrapped)) validateRecord(destination);

    // The plain text itself, given directly, goes through the item parser.
    (void)parseDescription(std::string_view(reinterpret_cast<const char*>(data), size), foreign);
    return 0;
}
