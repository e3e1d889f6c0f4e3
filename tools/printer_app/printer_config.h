// A printer's own configuration in the printer application: the installable
// options of its PPD (which units it has), the network (MAC) address the
// wake-up goes to, and whether jobs print on both sides by default. It is
// kept as "Name=Value" lines beside the application's state, and handed to
// every job as the printer data the Windows driver's user interface would
// keep for it.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "rules/installed_options.h"

namespace tvzx::printer_app {

// The names of the configuration's own lines beside the PPD keywords.
inline constexpr std::string_view kMacAddressLine = "MacAddress";
inline constexpr std::string_view kDefaultDuplexLine = "DefaultDuplex";

struct PrinterConfig {
    // PPD keyword of an installable option -> its choice; an option left
    // out stands at the PPD's default (installed).
    std::map<std::string, std::string, std::less<>> installable;
    std::string macAddress;  // empty: no wake-up
    bool duplexDefault = true;
};

// Returns the configuration as lines, the installable options in PPD order.
std::string formatPrinterConfig(const PrinterConfig& config);

// Returns the configuration the lines describe; nothing when a line names no
// installable option, no choice of it, or holds a bad address, with the
// reason in `error`.
std::optional<PrinterConfig> parsePrinterConfig(std::string_view text, std::string& error);

// Returns whether the option and choice name an installable option of the
// PPD and one of its choices.
bool isInstallableChoice(std::string_view keyword, std::string_view choice);

// Returns the choice the configuration gives the installable option.
std::string installableChoice(const PrinterConfig& config, std::string_view keyword);

// Returns the installed-options block the configuration describes.
rules::InstalledOptions installedOptions(const PrinterConfig& config);

// Returns the printer's data as a registry export of the printer named
// `printer`: installed options, default duplex and network address.
std::string printerDataFile(std::string_view printer, const PrinterConfig& config);

}  // namespace tvzx::printer_app
