// The public DEVMODE and the printer's paper and tray data on arbitrary
// bytes: the DEVMODE fields, the bin capability answers, the published bin
// names and the remembered custom papers all come from the input, and the
// values taken must be ones the record can hold.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

#include "config/bin_names.h"
#include "config/public_devmode.h"
#include "config/printer_values.h"
#include "settings/feature_tables.h"

namespace {

// Takes the next n bytes of the input, fewer at its end.
std::span<const std::uint8_t> take(std::span<const std::uint8_t>& input, std::size_t n) {
    const auto piece = input.first(std::min(n, input.size()));
    input = input.subspan(piece.size());
    return piece;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tvzx;
    std::span<const std::uint8_t> input(data, size);

    // A DEVMODE with the core driver's custom size area behind it.
    std::vector<std::uint8_t> devmodeBytes(config::kCustomSizeDevmodeBytes);
    const auto fields = take(input, devmodeBytes.size());
    std::copy(fields.begin(), fields.end(), devmodeBytes.begin());
    auto& devmode = *reinterpret_cast<win::DEVMODEW*>(devmodeBytes.data());
    devmode.dmSize = sizeof(win::DEVMODEW);
    devmode.dmDriverExtra = static_cast<win::WORD>(devmode.dmDriverExtra % (devmodeBytes.size() - sizeof(win::DEVMODEW) + 1));

    config::PrinterPaperFacts facts;
    const auto counts = take(input, 2);
    const auto numbers = take(input, 64);
    const auto names = take(input, 400);
    facts.bins = config::binsOfAnswers({counts.empty() ? -1 : counts[0], {numbers.begin(), numbers.end()}},
                                       {counts.size() < 2 ? -1 : counts[1], {names.begin(), names.end()}});
    facts.publishedBinNames = config::textListOf(take(input, 200));
    const auto formCount = take(input, 1);
    for (std::size_t i = 0; !formCount.empty() && i < formCount[0] % 8; ++i) {
        const auto form = take(input, 8);
        if (form.size() < 8) break;
        std::uint32_t width = 0;
        std::uint32_t height = 0;
        std::memcpy(&width, form.data(), 4);
        std::memcpy(&height, form.data() + 4, 4);
        facts.forms.push_back({u"Form", width, height});
    }
    facts.customPapers = config::parseCustomPapers(input);

    const rules::PublicSettings values = config::publicSettingsOf(devmode, facts);
    const auto within = [](settings::FieldId id, const std::optional<std::uint32_t>& value) {
        return !value || *value < settings::fieldDef(id).options->count();
    };
    if (!within(settings::FieldId::Orientation, values.orientation) ||
        !within(settings::FieldId::InputSlot, values.inputSlot) ||
        !within(settings::FieldId::Resolution, values.resolution) ||
        !within(settings::FieldId::PageSizeType, values.pageSizeType) ||
        (values.pageSize && *values.pageSize > settings::kCustomPageSize))
        __builtin_trap();
    return 0;
}
