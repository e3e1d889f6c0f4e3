#include "config/public_devmode.h"

#include <algorithm>

#include "common/byte_order.h"
#include "common/rescale.h"
#include "config/windows_forms.h"
#include "common/wide_text.h"
#include "l10n/display_language.h"
#include "l10n/text_lookup.h"

namespace tvzx::config {
namespace {

using settings::FieldId;
using settings::OptionTable;

// DEVMODE sizes are tenths of a millimetre; forms and papers micrometres.
constexpr std::uint32_t kTenthsPerMillimetre = 10;
constexpr std::uint32_t kMicronsPerMillimetre = 1000;
constexpr std::uint64_t kMicronsPerTenth = 100;
constexpr std::uint32_t kCopiesScale = 1;

constexpr std::string_view kPortrait = "Port";
constexpr std::string_view kLandscape = "Land";
constexpr std::string_view kNotFromEngine = "NotFromEngine";
constexpr std::string_view kFromEngine = "FromEngine";
constexpr std::string_view kBuiltInCustomSize = "BuiltInCustomSize";

// The printer's two resolutions, by horizontal and vertical dots per inch.
struct ResolutionRow {
    std::int16_t x;
    std::int16_t y;
    std::string_view option;
};
constexpr ResolutionRow kResolutions[] = {{600, 600, "600dpi"}, {1200, 1200, "1200dpi"}};

// A paper size in tenths of a millimetre.
struct Size {
    std::uint32_t width;
    std::uint32_t height;
};

const OptionTable& tableOf(FieldId id) { return *settings::fieldDef(id).options; }

std::uint32_t optionNamed(FieldId id, std::string_view name) { return tableOf(id).find(name).value_or(0); }

// Rounds micrometres to tenths of a millimetre, half away from zero.
std::uint32_t tenthsOf(std::uint32_t microns) {
    return static_cast<std::uint32_t>((microns + kMicronsPerTenth / 2) / kMicronsPerTenth);
}

std::uint32_t customScale(FieldId id) { return settings::fieldDef(id).numeric->scale; }

// Returns whether a paper-table row has this size at the custom size fields' scale.
bool rowHasSize(const settings::PaperRow& row, Size size) {
    const std::uint32_t widthScale = customScale(FieldId::CustomPageSizeWidth);
    const std::uint32_t heightScale = customScale(FieldId::CustomPageSizeHeight);
    return rescale(size.width, kTenthsPerMillimetre, widthScale) == rescale(row.widthMicrons, kMicronsPerMillimetre, widthScale) &&
           rescale(size.height, kTenthsPerMillimetre, heightScale) ==
               rescale(row.heightMicrons, kMicronsPerMillimetre, heightScale);
}

std::optional<Size> sizeOf(std::uint32_t widthMicrons, std::uint32_t heightMicrons) {
    if (widthMicrons == 0 || heightMicrons == 0) return std::nullopt;
    return Size{tenthsOf(widthMicrons), tenthsOf(heightMicrons)};
}

const Form* formNamed(const std::vector<Form>& forms, std::u16string_view name) {
    const auto it = std::find_if(forms.begin(), forms.end(), [name](const Form& form) { return form.name == name; });
    return it == forms.end() ? nullptr : &*it;
}

// Returns the size and name of the form the DEVMODE names, from the
// spooler's list or, without one, from the Windows papers.
std::optional<Size> formSize(const PrinterPaperFacts& facts, std::int16_t code, std::u16string& formName) {
    if (!facts.forms.empty()) {
        const Form* form = formNamed(facts.forms, formName);
        if (form == nullptr && code >= 1 && static_cast<std::size_t>(code) <= facts.forms.size())
            form = &facts.forms[static_cast<std::size_t>(code) - 1];
        if (form == nullptr) return std::nullopt;
        if (formName.empty()) formName = form->name;
        return sizeOf(form->width, form->height);
    }
    const auto papers = windowsPapers();
    const auto named = std::find_if(papers.begin(), papers.end(),
                                    [&formName](const WindowsPaper& paper) { return paper.name == formName; });
    const WindowsPaper* paper = named != papers.end() ? &*named : windowsPaper(code);
    if (paper == nullptr) return std::nullopt;
    if (formName.empty()) formName = paper->name;
    return sizeOf(paper->width, paper->height);
}

// Returns the custom size the core driver keeps at the end of a long DEVMODE.
std::optional<Size> coreCustomSize(const win::DEVMODEW& devmode) {
    if (static_cast<std::size_t>(devmode.dmSize) + devmode.dmDriverExtra < kCustomSizeDevmodeBytes) return std::nullopt;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&devmode);
    return sizeOf(readLe32(bytes + kCustomWidthOffset), readLe32(bytes + kCustomHeightOffset));
}

std::optional<Size> givenSize(const win::DEVMODEW& devmode, const PrinterPaperFacts& facts, bool dimensionsGiven,
                              std::int16_t code, std::u16string& formName) {
    if (dimensionsGiven) {
        if (devmode.dmPaperWidth <= 0 || devmode.dmPaperLength <= 0) return std::nullopt;
        return Size{static_cast<std::uint32_t>(devmode.dmPaperWidth), static_cast<std::uint32_t>(devmode.dmPaperLength)};
    }
    if (code == kPostScriptCustomPaper)
        if (const auto size = coreCustomSize(devmode)) return size;
    return formSize(facts, code, formName);
}

std::optional<std::uint32_t> pageSizeOfCode(std::int16_t code) {
    if (code == 0) return std::nullopt;
    for (const settings::PaperRow& row : settings::paperTable())
        if (row.windowsPaperCode == code) return row.pageSizeIndex;
    return std::nullopt;
}

std::optional<std::uint32_t> pageSizeNamed(std::u16string_view name, Size size, int languageIndex) {
    const OptionTable& table = tableOf(FieldId::PageSize);
    for (std::uint32_t i = 0; i < table.count(); ++i) {
        const settings::PaperRow* row = settings::lookupPaper(i);
        if (row == nullptr || !rowHasSize(*row, size)) continue;
        if (l10n::getText(languageIndex, static_cast<std::uint32_t>(table.entries[i].displayId)) == name) return i;
    }
    return std::nullopt;
}

std::optional<std::uint32_t> pageSizeOfDimensions(Size size) {
    const OptionTable& table = tableOf(FieldId::PageSize);
    for (std::uint32_t i = 0; i < table.count(); ++i) {
        const settings::PaperRow* row = settings::lookupPaper(i);
        if (row != nullptr && rowHasSize(*row, size)) return i;
    }
    return std::nullopt;
}

// Returns where a custom paper of this name came from.
std::uint32_t customPaperSource(const PrinterPaperFacts& facts, std::u16string_view name, std::int16_t code) {
    const auto known = std::find_if(facts.customPapers.begin(), facts.customPapers.end(),
                                    [name](const CustomPaper& paper) { return paper.name == name; });
    if (known == facts.customPapers.end()) return optionNamed(FieldId::PageSizeType, kNotFromEngine);
    if (known->kind == kEngineCustomPaper) return optionNamed(FieldId::PageSizeType, kFromEngine);
    if (code == kPostScriptCustomPaper) return optionNamed(FieldId::PageSizeType, kBuiltInCustomSize);
    return optionNamed(FieldId::PageSizeType, kNotFromEngine);
}

void takePaper(const win::DEVMODEW& devmode, const PrinterPaperFacts& facts, rules::PublicSettings& values) {
    const bool codeGiven = (devmode.dmFields & win::DM_PAPERSIZE) != 0;
    const bool dimensionsGiven = (devmode.dmFields & win::DM_PAPERLENGTH) != 0 && (devmode.dmFields & win::DM_PAPERWIDTH) != 0;
    if (!codeGiven && !dimensionsGiven) return;
    const std::int16_t code = codeGiven ? devmode.dmPaperSize : 0;
    std::u16string formName;
    if ((devmode.dmFields & win::DM_FORMNAME) != 0) formName = untilNul(devmode.dmFormName, win::kFormNameLength);
    const std::optional<Size> size = givenSize(devmode, facts, dimensionsGiven, code, formName);

    // A paper Windows numbers as one of the printer's papers is that paper.
    std::optional<std::uint32_t> option = pageSizeOfCode(code);
    // A form of the printer's own paper name is that paper, if the size agrees.
    if (!option && !formName.empty() && size) option = pageSizeNamed(formName, *size, facts.languageIndex);
    // Otherwise the size decides; a Windows paper code stands for its own size.
    if (!option) {
        const WindowsPaper* paper = windowsPaper(code);
        const std::optional<Size> compared = paper != nullptr ? sizeOf(paper->width, paper->height) : size;
        if (compared) option = pageSizeOfDimensions(*compared);
    }
    if (option) {
        values.pageSize = *option;
        return;
    }
    // A paper the printer does not name is a custom size; without a size
    // there is nothing to set.
    if (!size) return;
    values.pageSize = settings::kCustomPageSize;
    values.customWidth = static_cast<std::uint32_t>(
        rescale(size->width, kTenthsPerMillimetre, customScale(FieldId::CustomPageSizeWidth)));
    values.customHeight = static_cast<std::uint32_t>(
        rescale(size->height, kTenthsPerMillimetre, customScale(FieldId::CustomPageSizeHeight)));
    values.pageSizeName = utf8FromUtf16(formName);
    values.pageSizeType = customPaperSource(facts, formName, code);
}

void takeResolution(const win::DEVMODEW& devmode, rules::PublicSettings& values) {
    if ((devmode.dmFields & win::DM_PRINTQUALITY) == 0) return;
    const std::int16_t x = devmode.dmPrintQuality;
    const std::int16_t y = (devmode.dmFields & win::DM_YRESOLUTION) != 0 ? devmode.dmYResolution : x;
    for (const ResolutionRow& row : kResolutions)
        if (row.x == x && row.y == y) values.resolution = tableOf(FieldId::Resolution).find(row.option);
}

void takeCopies(const win::DEVMODEW& devmode, rules::PublicSettings& values) {
    if ((devmode.dmFields & win::DM_COPIES) == 0) return;
    const settings::NumericDescriptor& copies = *settings::fieldDef(FieldId::NumCopies).numeric;
    const std::int64_t count = rescale(devmode.dmCopies, kCopiesScale, copies.scale);
    // A count the record cannot hold is left out rather than stored wrapped.
    if (count < copies.minimum || count > copies.maximum) return;
    values.numCopies = static_cast<std::uint32_t>(count);
}

}  // namespace

PrinterPaperFacts readPrinterPaperFacts(const PrinterAccess& printer, const win::DEVMODEW& devmode) {
    PrinterPaperFacts facts;
    facts.installed = readInstalledOptions(printer);
    facts.languageIndex = l10n::currentLanguageIndex();
    // The device is asked only for what the flagged fields need.
    if ((devmode.dmFields & win::DM_DEFAULTSOURCE) != 0 && devmode.dmDefaultSource != kAutomaticBin) {
        facts.bins = readPrinterBins(printer);
        facts.publishedBinNames = readPublishedBinNames(printer);
    }
    if ((devmode.dmFields & (win::DM_PAPERSIZE | win::DM_PAPERLENGTH | win::DM_PAPERWIDTH)) != 0) {
        facts.forms = printer.forms().value_or(std::vector<Form>{});
        facts.customPapers = readCustomPapers(printer);
    }
    return facts;
}

rules::PublicSettings publicSettingsOf(const win::DEVMODEW& devmode, const PrinterPaperFacts& facts) {
    rules::PublicSettings values;
    if ((devmode.dmFields & win::DM_ORIENTATION) != 0)
        values.orientation = optionNamed(FieldId::Orientation,
                                         devmode.dmOrientation == kLandscapeOrientation ? kLandscape : kPortrait);
    if ((devmode.dmFields & win::DM_DEFAULTSOURCE) != 0 && devmode.dmDefaultSource != kAutomaticBin)
        values.inputSlot = inputSlotForBin(static_cast<std::uint16_t>(devmode.dmDefaultSource), facts.bins,
                                           facts.publishedBinNames, facts.languageIndex);
    takePaper(devmode, facts, values);
    takeResolution(devmode, values);
    takeCopies(devmode, values);
    return values;
}

bool takePublicDevmode(settings::CoreData& record, const win::DEVMODEW* devmode, const PrinterAccess& printer,
                       settings::FieldSet* changed) {
    if (devmode == nullptr) return false;
    const PrinterPaperFacts facts = readPrinterPaperFacts(printer, *devmode);
    return rules::applyPublicSettings(record, publicSettingsOf(*devmode, facts), facts.installed, changed);
}

}  // namespace tvzx::config
