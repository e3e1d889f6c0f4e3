// The page exception list decoder on arbitrary blocks, and the ticket
// commands that read the list.
#include <cstddef>
#include <cstdint>
#include <span>

#include "pjl/page_commands.h"
#include "rules/page_exceptions.h"
#include "rules/page_forms.h"
#include "settings/core_data.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tvzx;
    if (size == 0) return 0;
    const bool tabImageShift = (data[0] & 1) != 0;
    const std::span<const std::uint8_t> block(data + 1, size - 1);
    const auto decoded = rules::decodePageExceptions(block, tabImageShift);

    // What decodes must encode again and read back to the same records.
    const auto encoded = rules::encodePageExceptions(decoded.records);
    if (encoded.fits) {
        const auto again = rules::decodePageExceptions(encoded.block, false);
        if (!tabImageShift && again.records != decoded.records) __builtin_trap();
    }
    settings::CoreData settings = settings::defaultRecord();
    std::copy(encoded.block.begin(), encoded.block.end(), settings.field(settings::FieldId::PageSpecificTrays).begin());
    (void)pjl::indexInformation(settings, decoded.records);
    (void)rules::decodePageForms(block);
    return 0;
}
