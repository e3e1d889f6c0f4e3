#include "config/bin_names.h"

#include <algorithm>

#include "common/byte_order.h"
#include "l10n/text_lookup.h"
#include "settings/feature_tables.h"

namespace tvzx::config {
namespace {

constexpr std::size_t kWideCharSize = 2;

char16_t foldedCase(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; }

bool isBlank(char16_t c) { return c == u' ' || c == u'\t'; }

// Returns the text without blanks and with ASCII letters in lower case.
std::u16string comparable(std::u16string_view text) {
    std::u16string out;
    for (char16_t c : text)
        if (!isBlank(c)) out.push_back(foldedCase(c));
    return out;
}

std::u16string comparable(std::string_view text) {
    std::u16string wide(text.begin(), text.end());
    return comparable(std::u16string_view(wide));
}

std::u16string wideTextAt(const std::uint8_t* p, std::size_t characters) {
    std::u16string text;
    for (std::size_t i = 0; i < characters; ++i) {
        const auto c = static_cast<char16_t>(readLittleEndian(p + i * kWideCharSize, kWideCharSize));
        if (c == u'\0') break;
        text.push_back(c);
    }
    return text;
}

// Returns the number of whole elements an answer holds.
std::size_t elementsOf(const CapabilityAnswer& answer, std::size_t elementSize) {
    if (answer.count <= 0) return 0;
    return std::min(static_cast<std::size_t>(answer.count), answer.output.size() / elementSize);
}

}  // namespace

PrinterBins binsOfAnswers(const CapabilityAnswer& numbers, const CapabilityAnswer& names) {
    PrinterBins bins;
    for (std::size_t i = 0; i < elementsOf(numbers, kBinNumberSize); ++i)
        bins.numbers.push_back(static_cast<std::uint16_t>(readLittleEndian(&numbers.output[i * kBinNumberSize], kBinNumberSize)));
    constexpr std::size_t kNameSize = kBinNameCharacters * kWideCharSize;
    for (std::size_t i = 0; i < elementsOf(names, kNameSize); ++i)
        bins.names.push_back(wideTextAt(&names.output[i * kNameSize], kBinNameCharacters));
    return bins;
}

PrinterBins readPrinterBins(const PrinterAccess& printer) {
    // The driver's own list describes exactly the printer's trays.
    CapabilityAnswer numbers = printer.deviceCapability(kCapabilityDriverBins);
    CapabilityAnswer names = printer.deviceCapability(kCapabilityDriverBinNames);
    if (numbers.count != kDriverBinCount || names.count != kDriverBinCount) {
        numbers = printer.deviceCapability(kCapabilityBins);
        names = printer.deviceCapability(kCapabilityBinNames);
    }
    return binsOfAnswers(numbers, names);
}

std::vector<std::u16string> textListOf(std::span<const std::uint8_t> value) {
    std::vector<std::u16string> texts;
    std::u16string text;
    for (std::size_t i = 0; i + 1 < value.size(); i += kWideCharSize) {
        const auto c = static_cast<char16_t>(readLittleEndian(&value[i], kWideCharSize));
        if (c != u'\0') {
            text.push_back(c);
            continue;
        }
        // An empty text ends the list.
        if (text.empty()) return texts;
        texts.push_back(std::move(text));
        text.clear();
    }
    if (!text.empty()) texts.push_back(std::move(text));
    return texts;
}

std::vector<std::u16string> readPublishedBinNames(const PrinterAccess& printer) {
    const auto value = printer.extendedValue(kPublishedDriverKey, kPublishedBinNamesValue);
    return value ? textListOf(value->data) : std::vector<std::u16string>{};
}

std::optional<std::uint32_t> inputSlotNamed(std::u16string_view binName, int languageIndex) {
    const std::u16string wanted = comparable(binName);
    if (wanted.empty()) return std::nullopt;
    const settings::OptionTable& table = *settings::fieldDef(settings::FieldId::InputSlot).options;
    for (std::uint32_t i = 0; i < table.count(); ++i) {
        const settings::OptionEntry& entry = table.entries[i];
        const bool named = wanted == comparable(l10n::getText(languageIndex, static_cast<std::uint32_t>(entry.displayId))) ||
                           wanted == comparable(entry.ppdOption) || wanted == comparable(entry.name);
        if (named) return i;
    }
    return std::nullopt;
}

std::optional<std::uint32_t> inputSlotForBin(std::uint16_t bin, const PrinterBins& bins,
                                             std::span<const std::u16string> publishedNames, int languageIndex) {
    const auto found = std::find(bins.numbers.begin(), bins.numbers.end(), bin);
    if (found == bins.numbers.end()) return std::nullopt;
    const auto position = static_cast<std::size_t>(found - bins.numbers.begin());
    if (position < bins.names.size())
        if (const auto slot = inputSlotNamed(bins.names[position], languageIndex)) return slot;
    if (position < publishedNames.size()) return inputSlotNamed(publishedNames[position], languageIndex);
    return std::nullopt;
}

}  // namespace tvzx::config
