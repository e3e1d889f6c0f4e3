// tvzx ppd: the PPD feature selections that job settings stand for, one
// "Keyword=Option" line each in record order, as the driver is told them;
// and the example printer data that data/printer_data.reg ships.
#include <algorithm>
#include <string>
#include <vector>

#include "commands.h"
#include "common/byte_order.h"
#include "common/hex_text.h"
#include "config/bin_names.h"
#include "config/keyword_table.h"
#include "config/printer_values.h"
#include "platform/registry_file.h"
#include "platform/registry_printer.h"
#include "files.h"
#include "job_settings.h"
#include "l10n/text_lookup.h"
#include "platform/windows_types.h"
#include "ppd/feature_selections.h"
#include "settings/devmode.h"
#include "settings/schema_hash.h"
#include "settings/text_form.h"

namespace tvzx::cli {
namespace {

using settings::FieldId;

// The example printer: its key, and what the driver's user interface would
// have stored for a printer with a three-tray deck, the bypass tray and most
// finishing units.
constexpr std::string_view kExamplePrinterKey =
    "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\Tarvo TVZX Production Printer";
constexpr std::string_view kMacAddressValue = "MacAddress";
constexpr std::string_view kExampleMacAddress = "00:00:5E:00:53:01";  // an address for documentation
constexpr std::string_view kDefaultDuplexValue = settings::kDefaultDuplexValue;
constexpr std::uint32_t kExampleDuplex = 1;
// Installed options: described (byte 0), stapler to perfect binder (byte 1),
// post-inserter and offset tray (byte 2), every punch pattern (byte 3),
// duplex unit and job storage (byte 4), three-tray deck and bypass (byte 7).
constexpr std::pair<std::size_t, std::uint8_t> kExampleInstalled[] = {{0, 0x01}, {1, 0x3F}, {2, 0x81}, {4, 0x03}, {7, 0x06}};
// The core driver's option bytes of the example start here in its private
// area, one per feature in record order: clear of the area's signature, the
// plug-in offset at byte 114 and the layout flag at byte 124.
constexpr std::uint16_t kFirstOptionByte = 16;
constexpr std::uint16_t kOptionBytesEnd = 114;
constexpr std::u16string_view kExampleCustomPaper = u"Banner 330x1200";
constexpr std::uint32_t kExampleCustomPaperKind = config::kEngineCustomPaper;

constexpr std::string_view kExampleComment =
    "; The printer data of an example printer, for tvzx render --printer-data;\r\n"
    "; an export of a real printer's key serves as well.\r\n"
    "; Made by: tvzx ppd --printer-data-example\r\n";

std::vector<std::uint8_t> wideText(std::u16string_view text) {
    std::vector<std::uint8_t> bytes;
    for (char16_t c : text) {
        bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    bytes.push_back(0);
    bytes.push_back(0);
    return bytes;
}

std::vector<std::uint8_t> wideText(std::string_view ascii) { return wideText(std::u16string(ascii.begin(), ascii.end())); }

// Every selection the mapping can make, in the order first met: each option
// of each mapped setting, the other settings at their defaults.
std::vector<ppd::FeatureSelection> everySelection() {
    std::vector<ppd::FeatureSelection> all;
    for (const ppd::MappedSetting& setting : ppd::mappedSettings()) {
        const settings::OptionTable& table = *settings::fieldDef(setting.field).options;
        for (std::uint32_t option = 0; option < table.count(); ++option) {
            settings::CoreData record = settings::defaultRecord();
            record.setOption(setting.field, option);
            ppd::FeatureSelections selections;
            ppd::mapSetting(setting, record, selections, nullptr);
            for (const auto& selection : selections)
                if (std::find(all.begin(), all.end(), selection) == all.end()) all.push_back(selection);
        }
    }
    return all;
}

// The core driver's tables for the example: one option byte per feature,
// each option numbered in its feature from 0.
std::pair<config::KeywordTable, config::KeywordTable> exampleCoreTables() {
    config::KeywordTable offsets;
    config::KeywordTable values;
    std::vector<std::string> order;
    for (const ppd::FeatureSelection& selection : everySelection()) {
        if (std::find(order.begin(), order.end(), selection.keyword) == order.end()) order.push_back(selection.keyword);
        const auto feature = static_cast<std::uint16_t>(std::find(order.begin(), order.end(), selection.keyword) - order.begin());
        if (kFirstOptionByte + feature >= kOptionBytesEnd) throw UsageError("too many features for the example's option bytes");
        offsets[selection.keyword] = static_cast<std::uint16_t>(kFirstOptionByte + feature);
        const std::uint16_t ordinal = static_cast<std::uint16_t>(std::count_if(
            values.begin(), values.end(), [&selection](const auto& entry) {
                return entry.first.starts_with(selection.keyword + config::kValueKeySeparator);
            }));
        values.emplace(selection.keyword + config::kValueKeySeparator + selection.option, ordinal);
    }
    return {offsets, values};
}

std::vector<std::uint8_t> exampleCustomPapers() {
    std::vector<std::uint8_t> record(config::kCustomPaperRecordSize, 0);
    writeLe32(record.data(), kExampleCustomPaperKind);
    writeLe32(record.data() + 4, settings::kCustomPageSize);
    const auto name = wideText(kExampleCustomPaper);
    std::copy(name.begin(), name.end(), record.begin() + config::kCustomPaperNameOffset);
    return record;
}

std::vector<std::uint8_t> exampleBinNames() {
    // The tray names as the driver lists them, in the display texts of English.
    std::vector<std::uint8_t> list;
    for (const settings::OptionEntry& entry : settings::fieldDef(FieldId::InputSlot).options->entries) {
        const auto text = wideText(l10n::getText(0, static_cast<std::uint32_t>(entry.displayId)));
        list.insert(list.end(), text.begin(), text.end());
    }
    list.push_back(0);
    list.push_back(0);
    return list;
}

std::string examplePrinterData() {
    const std::uint32_t hash = settings::schemaHash();
    const auto [offsets, values] = exampleCoreTables();
    rules::InstalledOptions installed{};
    for (const auto& [byte, value] : kExampleInstalled) installed[byte] = value;
    std::vector<std::uint8_t> duplex(4);
    writeLe32(duplex.data(), kExampleDuplex);
    const std::string description = settings::writeDescription();

    platform::RegistryFile file;
    const std::string printerKey(kExamplePrinterKey);
    file.keys.push_back({printerKey + "\\" + std::string(platform::kDriverDataKey),
                         {{std::string(kMacAddressValue), win::REG_SZ, wideText(kExampleMacAddress)},
                          {std::string(kDefaultDuplexValue), win::REG_DWORD, duplex},
                          {std::string(config::kInstallableOptionsValue), win::REG_BINARY, {installed.begin(), installed.end()}},
                          {std::string(config::kOffsetsValue), win::REG_BINARY, config::formatKeywordTable(offsets, hash)},
                          {std::string(config::kValuesValue), win::REG_BINARY, config::formatKeywordTable(values, hash)},
                          {std::string(config::kLastCustomPapersValue), win::REG_BINARY, exampleCustomPapers()},
                          {std::string(settings::kDescriptionValuePrefix) + hexBytesText(hash), win::REG_BINARY,
                           {description.begin(), description.end()}}}});
    file.keys.push_back({printerKey + "\\" + std::string(config::kPublishedDriverKey),
                         {{std::string(config::kPublishedBinNamesValue), win::REG_MULTI_SZ, exampleBinNames()}}});

    // The comment goes right under the header line.
    std::string text = platform::formatRegistryFile(file);
    const std::size_t afterHeader = platform::kRegistryHeader.size() + 2;
    return text.insert(afterHeader, kExampleComment);
}

std::string selectionLines(const settings::CoreData& record, const settings::FieldSet* changed) {
    std::string out;
    for (const ppd::FeatureSelection& selection : ppd::featureSelections(record, changed))
        out += selection.keyword + "=" + selection.option + "\n";
    return out;
}

}  // namespace

std::string ppdCommand(Arguments arguments) {
    JobSettingsOptions options;
    settings::FieldSet changed;
    bool restricted = false;
    bool example = false;
    while (arguments.more()) {
        const std::string option = arguments.take();
        if (takeJobSettingsOption(option, arguments, options)) continue;
        if (option == "--changed") {
            const std::string name = arguments.value(option);
            const auto field = settings::findField(name);
            if (!field) throw UsageError("--changed: no setting is named '" + name + "'");
            changed.set(static_cast<std::size_t>(*field));
            restricted = true;
        } else if (option == "--printer-data-example") {
            example = true;
        } else {
            Arguments::unknown(option);
        }
    }
    if (example) {
        if (restricted || !options.settingsFiles.empty() || !options.assignments.empty() || !options.printerData.empty())
            throw UsageError("--printer-data-example takes no settings");
        return examplePrinterData();
    }
    // The selections the driver is told for a job with these settings.
    const CommandPrinter printer(options.printerData);
    const settings::CoreData record = printer.jobRecord(editSettings(printer.defaults(), options, printer).record);
    return selectionLines(record, restricted ? &changed : nullptr);
}

}  // namespace tvzx::cli
