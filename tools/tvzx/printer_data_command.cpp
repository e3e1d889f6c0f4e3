// tvzx printer-data: sets and shows the printer data values the plug-in
// reads (installed options, default duplex, the network address for the
// wake-up, bin names, custom papers), which the driver's user interface
// would otherwise write. On Windows the values go through the spooler to the
// printer's key; with --printer-data into the registry export file that
// stands for the printer. Every value is checked before anything is written.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "commands.h"
#include "common/byte_order.h"
#include "common/hex_text.h"
#include "common/wide_text.h"
#include "config/bin_names.h"
#include "config/printer_values.h"
#include "files.h"
#include "net/mac_address.h"
#include "platform/registry_file.h"
#include "platform/registry_printer.h"
#include "platform/windows_types.h"
#include "ppd/installed_option_names.h"
#include "printer_data_store.h"
#include "settings/devmode.h"

namespace tvzx::cli {
namespace {

using platform::PrinterDataValue;

constexpr std::string_view kDriverDataKey = platform::kDriverDataKey;
constexpr std::string_view kBinNamesSetting = "BinNames";
constexpr std::string_view kCustomPaperSetting = "CustomPaper";
constexpr std::string_view kTrue = "True";
constexpr std::string_view kFalse = "False";
constexpr char kAssign = '=';
constexpr char kListSeparator = ',';
constexpr char kMacSeparator = ':';

// The values this command knows: where each lives, its registry type, and
// the size it must have (0: any).
struct KnownValue {
    std::string_view key;
    std::string_view name;
    std::uint32_t type;
    std::size_t size;
};

constexpr KnownValue kInstalledOptions{kDriverDataKey, config::kInstallableOptionsValue, win::REG_BINARY,
                                       rules::kInstalledOptionsSize};
constexpr KnownValue kDefaultDuplex{kDriverDataKey, settings::kDefaultDuplexValue, win::REG_DWORD, sizeof(std::uint32_t)};
constexpr KnownValue kMacAddress{kDriverDataKey, net::kMacAddressValue, win::REG_SZ, 0};
constexpr KnownValue kBinNames{config::kPublishedDriverKey, config::kPublishedBinNamesValue, win::REG_MULTI_SZ, 0};
constexpr KnownValue kCustomPapers{kDriverDataKey, config::kLastCustomPapersValue, win::REG_BINARY, 0};
constexpr KnownValue kKnownValues[] = {kInstalledOptions, kDefaultDuplex, kMacAddress, kBinNames, kCustomPapers};

struct Write {
    std::string key;
    std::string name;
    PrinterDataValue value;
};

struct PrinterDataOptions {
    std::string printer;
    std::string printerData;  // empty: the system's spooler
    std::vector<std::string> imports;
    std::vector<std::string> assignments;
    bool show = false;
};

PrinterDataOptions readOptions(Arguments arguments) {
    PrinterDataOptions options;
    while (arguments.more()) {
        const std::string word = arguments.take();
        if (word == "--printer") options.printer = arguments.value(word);
        else if (word == "--printer-data") options.printerData = arguments.value(word);
        else if (word == "--import") options.imports.push_back(arguments.value(word));
        else if (word == "--set") options.assignments.push_back(arguments.value(word));
        else if (word == "--show") options.show = true;
        else Arguments::unknown(word);
    }
    if (options.printer.empty()) throw UsageError("printer-data needs --printer NAME");
    if (options.imports.empty() && options.assignments.empty() && !options.show)
        throw UsageError("printer-data needs --import FILE.reg, --set Value=Data or --show");
    return options;
}

// Returns a text as the registry keeps a text value: UTF-16LE with its NUL.
std::vector<std::uint8_t> textValue(std::string_view text, std::string_view setting) {
    const auto bytes = platform::registryTextValue(text);
    if (!bytes) throw UsageError(std::string(setting) + ": '" + std::string(text) + "' is not UTF-8 text");
    return *bytes;
}

// Returns the UTF-16LE text of a value up to its first NUL, as UTF-8.
std::string textOfValue(std::span<const std::uint8_t> data) {
    std::u16string text;
    for (std::size_t at = 0; at + 1 < data.size(); at += 2) {
        const auto unit = static_cast<char16_t>(data[at] | (data[at + 1] << 8));
        if (unit == u'\0') break;
        text.push_back(unit);
    }
    return utf8FromUtf16(text);
}

// Returns the address as the printer data keeps it: six upper-case groups
// joined by colons. Refuses what the plug-in would not read as an address.
std::string macAddressText(std::string_view text) {
    net::MacAddress address{};
    if (!net::parseMacAddress(text, address) || net::isNone(address))
        throw UsageError(std::string(kMacAddress.name) + ": '" + std::string(text) + "' is not a hardware address");
    std::string out;
    for (std::uint8_t byte : address) {
        if (!out.empty()) out += kMacSeparator;
        out += hexBytesText(byte);
    }
    return out;
}

// Returns the bin names as a text list: each name with its NUL, the list
// ending in an empty name.
std::vector<std::uint8_t> binNamesValue(std::string_view list) {
    std::vector<std::uint8_t> value;
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t end = std::min(list.find(kListSeparator, start), list.size());
        const std::string_view name = list.substr(start, end - start);
        if (name.empty()) throw UsageError(std::string(kBinNamesSetting) + ": an empty bin name in '" + std::string(list) + "'");
        const auto text = textValue(name, kBinNamesSetting);
        value.insert(value.end(), text.begin(), text.end());
        start = end + 1;
    }
    value.push_back(0);
    value.push_back(0);
    return value;
}

std::vector<std::uint8_t> dwordValue(std::uint32_t number) {
    std::vector<std::uint8_t> bytes(sizeof number);
    writeLe32(bytes.data(), number);
    return bytes;
}

Write writeOf(const KnownValue& known, std::vector<std::uint8_t> data) {
    return {std::string(known.key), std::string(known.name), {known.type, std::move(data)}};
}

// Returns the installed options of a value; zeros (nothing known, so every
// unit counts) when there is none of the right size.
rules::InstalledOptions installedOptionsOf(const std::optional<PrinterDataValue>& value) {
    rules::InstalledOptions block{};
    if (value && value->data.size() == block.size()) std::copy(value->data.begin(), value->data.end(), block.begin());
    return block;
}

// Returns the writes of the --set assignments, the installed options edited
// together on top of the block the printer has.
std::vector<Write> assignmentWrites(const std::vector<std::string>& assignments, const rules::InstalledOptions& installed) {
    std::vector<Write> writes;
    std::vector<std::pair<std::string, std::string>> optionEdits;
    for (const std::string& assignment : assignments) {
        const std::size_t assign = assignment.find(kAssign);
        if (assign == std::string::npos) throw UsageError("--set: '" + assignment + "' is not Value=Data");
        const std::string name = assignment.substr(0, assign);
        const std::string data = assignment.substr(assign + 1);
        if (name.starts_with(ppd::kInstalledOptionPrefix)) {
            optionEdits.emplace_back(name.substr(ppd::kInstalledOptionPrefix.size()), data);
        } else if (name == kDefaultDuplex.name) {
            if (data != kTrue && data != kFalse) throw UsageError("--set: " + name + " is True or False, not '" + data + "'");
            writes.push_back(writeOf(kDefaultDuplex, dwordValue(data == kTrue ? 1 : 0)));
        } else if (name == kMacAddress.name) {
            writes.push_back(writeOf(kMacAddress, textValue(macAddressText(data), name)));
        } else if (name == kBinNamesSetting) {
            writes.push_back(writeOf(kBinNames, binNamesValue(data)));
        } else {
            throw UsageError("--set: no printer data value is named '" + name + "' (InstalledOption.<Name>, " +
                             std::string(kDefaultDuplex.name) + ", " + std::string(kMacAddress.name) + ", " +
                             std::string(kBinNamesSetting) + ")");
        }
    }
    if (!optionEdits.empty()) {
        const ppd::InstalledOptionsEdit edit = ppd::editInstalledOptions(installed, optionEdits);
        if (edit.refused)
            throw UsageError("--set: " + std::string(ppd::kInstalledOptionPrefix) + *edit.refused +
                             " names no installable option or no choice of it");
        writes.push_back(writeOf(kInstalledOptions, {edit.block.begin(), edit.block.end()}));
    }
    return writes;
}

// Refuses an imported value of a known name that the plug-in could not read.
void checkImported(const KnownValue& known, const platform::RegistryValue& value, const std::string& origin) {
    const std::string where = origin + ": " + value.name + ": ";
    if (value.type != known.type) throw UsageError(where + "has registry type " + std::to_string(value.type) +
                                                   ", not " + std::to_string(known.type));
    if (known.size != 0 && value.data.size() != known.size)
        throw UsageError(where + std::to_string(value.data.size()) + " bytes, not " + std::to_string(known.size));
    if (known.name == kMacAddress.name) {
        // The plug-in reads no longer value; a shorter one must be an address.
        if (value.data.size() > net::kMacAddressValueLimit) throw UsageError(where + "longer than a hardware address");
        macAddressText(textOfValue(value.data));
    }
    if (known.name == kCustomPapers.name && (value.data.empty() || value.data.size() % config::kCustomPaperRecordSize != 0))
        throw UsageError(where + "not a whole number of " + std::to_string(config::kCustomPaperRecordSize) + "-byte records");
}

// Returns the writes of an exported printer's data: every value of its
// printer data and published keys, the known ones checked.
std::vector<Write> importWrites(const std::string& path) {
    const platform::RegistryPrinterLoad load = platform::loadRegistryPrinter(path);
    if (!load.printer) throw UsageError(load.error);
    const platform::RegistryParse parsed = platform::parseRegistryFile(readFileBytes(path));
    std::vector<Write> writes;
    for (const platform::RegistryKey& key : parsed.file.keys) {
        for (const std::string_view keyName : {kDriverDataKey, config::kPublishedDriverKey}) {
            const std::string suffix = "\\" + std::string(keyName);
            if (key.path.size() <= suffix.size() ||
                !platform::sameRegistryName(std::string_view(key.path).substr(key.path.size() - suffix.size()), suffix))
                continue;
            for (const platform::RegistryValue& value : key.values) {
                for (const KnownValue& known : kKnownValues)
                    if (platform::sameRegistryName(known.key, keyName) && platform::sameRegistryName(known.name, value.name))
                        checkImported(known, value, path);
                writes.push_back({std::string(keyName), value.name, {value.type, value.data}});
            }
        }
    }
    if (writes.empty()) throw UsageError(path + ": holds no printer data values");
    return writes;
}

// Returns the values the plug-in reads, one "Name=Data" line each, as the
// store holds them now; values it lacks are left out.
std::string shownValues(const PrinterDataStore& store) {
    std::string out;
    const auto line = [&out](std::string_view name, std::string_view data) {
        out += std::string(name) + kAssign + std::string(data) + "\n";
    };
    if (const auto value = store.read(kInstalledOptions.key, kInstalledOptions.name); value && value->data.size() == kInstalledOptions.size)
        for (const std::string& option : ppd::installedOptionLines(installedOptionsOf(value))) out += option + "\n";
    if (const auto value = store.read(kDefaultDuplex.key, kDefaultDuplex.name); value && value->data.size() == kDefaultDuplex.size)
        line(kDefaultDuplex.name, readLe32(value->data.data()) != 0 ? kTrue : kFalse);
    if (const auto value = store.read(kMacAddress.key, kMacAddress.name)) line(kMacAddress.name, textOfValue(value->data));
    if (const auto value = store.read(kBinNames.key, kBinNames.name)) {
        std::string names;
        for (const std::u16string& name : config::textListOf(value->data))
            names += (names.empty() ? "" : std::string(1, kListSeparator)) + utf8FromUtf16(name);
        line(kBinNamesSetting, names);
    }
    if (const auto value = store.read(kCustomPapers.key, kCustomPapers.name))
        for (const config::CustomPaper& paper : config::parseCustomPapers(value->data))
            line(kCustomPaperSetting, utf8FromUtf16(paper.name));
    return out;
}

}  // namespace

std::string printerDataCommand(Arguments arguments) {
    const PrinterDataOptions options = readOptions(std::move(arguments));
    std::unique_ptr<PrinterDataStore> store = options.printerData.empty()
                                                  ? openSpoolerStore(options.printer)
                                                  : openFileStore(options.printerData, options.printer);
    // Everything is read and checked before the first value is written;
    // the assignments come after the imports, so they win.
    std::vector<Write> writes;
    for (const std::string& path : options.imports) {
        std::vector<Write> imported = importWrites(path);
        writes.insert(writes.end(), imported.begin(), imported.end());
    }
    // Named installed options change the block an import brings, else the stored one.
    std::optional<PrinterDataValue> installed = store->read(kInstalledOptions.key, kInstalledOptions.name);
    for (const Write& write : writes)
        if (platform::sameRegistryName(write.key, kInstalledOptions.key) && platform::sameRegistryName(write.name, kInstalledOptions.name))
            installed = write.value;
    std::vector<Write> assigned = assignmentWrites(options.assignments, installedOptionsOf(installed));
    writes.insert(writes.end(), assigned.begin(), assigned.end());
    for (const Write& write : writes) store->write(write.key, write.name, write.value);
    if (!writes.empty()) store->commit();
    if (options.show) return shownValues(*store);
    return std::to_string(writes.size()) + (writes.size() == 1 ? " value" : " values") + " set for printer \"" +
           options.printer + "\"\n";
}

}  // namespace tvzx::cli
