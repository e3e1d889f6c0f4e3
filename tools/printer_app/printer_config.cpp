#include "printer_config.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "common/byte_order.h"
#include "config/printer_values.h"
#include "net/mac_address.h"
#include "platform/com_abi.h"
#include "platform/registry_file.h"
#include "platform/registry_printer.h"
#include "ppd/marked_choices.h"
#include "settings/devmode.h"

namespace tvzx::printer_app {
namespace {

constexpr char kAssign = '=';
constexpr char kLineEnd = '\n';
constexpr std::string_view kTrue = "True";
constexpr std::string_view kFalse = "False";
constexpr std::string_view kPrintersPath = "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\";

const ppd::InstallableOption* findInstallable(std::string_view keyword) {
    for (const ppd::InstallableOption& option : ppd::installableOptions())
        if (option.keyword == keyword) return &option;
    return nullptr;
}

}  // namespace

bool isInstallableChoice(std::string_view keyword, std::string_view choice) {
    const ppd::InstallableOption* option = findInstallable(keyword);
    if (option == nullptr) return false;
    // A unit is installed or not; the paper-feed unit names its code's choice.
    if (option->unit) return choice == kTrue || choice == kFalse;
    const auto choices = ppd::paperFeedUnitChoices();
    return std::find(choices.begin(), choices.end(), choice) != choices.end();
}

std::string installableChoice(const PrinterConfig& config, std::string_view keyword) {
    if (const auto found = config.installable.find(keyword); found != config.installable.end()) return found->second;
    const ppd::InstallableOption* option = findInstallable(keyword);
    if (option != nullptr && !option->unit) return std::string(ppd::paperFeedUnitChoices().back());
    return std::string(kTrue);
}

std::string formatPrinterConfig(const PrinterConfig& config) {
    std::string text;
    for (const ppd::InstallableOption& option : ppd::installableOptions())
        text += std::string(option.keyword) + kAssign + installableChoice(config, option.keyword) + kLineEnd;
    text += std::string(kMacAddressLine) + kAssign + config.macAddress + kLineEnd;
    text += std::string(kDefaultDuplexLine) + kAssign + std::string(config.duplexDefault ? kTrue : kFalse) + kLineEnd;
    return text;
}

std::optional<PrinterConfig> parsePrinterConfig(std::string_view text, std::string& error) {
    PrinterConfig config;
    while (!text.empty()) {
        const std::size_t end = text.find(kLineEnd);
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty()) continue;
        const std::size_t at = line.find(kAssign);
        if (at == std::string_view::npos) {
            error = "not a Name=Value line: " + std::string(line);
            return std::nullopt;
        }
        const std::string_view name = line.substr(0, at);
        const std::string_view value = line.substr(at + 1);
        if (name == kMacAddressLine) {
            net::MacAddress parsed{};
            if (!value.empty() && !net::parseMacAddress(value, parsed)) {
                error = "not a network (MAC) address: " + std::string(value);
                return std::nullopt;
            }
            config.macAddress = value;
        } else if (name == kDefaultDuplexLine) {
            if (value != kTrue && value != kFalse) {
                error = "DefaultDuplex is True or False, not " + std::string(value);
                return std::nullopt;
            }
            config.duplexDefault = value == kTrue;
        } else if (isInstallableChoice(name, value)) {
            config.installable.insert_or_assign(std::string(name), std::string(value));
        } else {
            error = "no installable option or choice: " + std::string(line);
            return std::nullopt;
        }
    }
    return config;
}

rules::InstalledOptions installedOptions(const PrinterConfig& config) {
    return ppd::installedOptionsFromChoices([&config](std::string_view keyword) -> std::optional<std::string> {
        if (findInstallable(keyword) == nullptr) return std::nullopt;
        return installableChoice(config, keyword);
    });
}

std::string printerDataFile(std::string_view printer, const PrinterConfig& config) {
    const rules::InstalledOptions installed = installedOptions(config);
    platform::RegistryKey key{std::string(kPrintersPath) + std::string(printer) + "\\" + std::string(platform::kDriverDataKey), {}};
    key.values.push_back({std::string(config::kInstallableOptionsValue), win::REG_BINARY, {installed.begin(), installed.end()}});
    std::vector<std::uint8_t> duplex(sizeof(std::uint32_t));
    writeLe32(duplex.data(), config.duplexDefault ? 1 : 0);
    key.values.push_back({std::string(settings::kDefaultDuplexValue), win::REG_DWORD, duplex});
    if (!config.macAddress.empty())
        key.values.push_back({std::string(net::kMacAddressValue), win::REG_SZ, *platform::registryTextValue(config.macAddress)});
    platform::RegistryFile file;
    file.keys.push_back(std::move(key));
    return platform::formatRegistryFile(file);
}

}  // namespace tvzx::printer_app
