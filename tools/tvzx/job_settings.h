// The job settings of the commands that take settings (render, ticket, ppd,
// settings show and write): the driver's defaults for the printer, saved
// records loaded as they stand, and a user's edits through the setters.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "command_line.h"
#include "platform/registry_printer.h"
#include "host/render_job.h"
#include "rules/rule_engine.h"
#include "rules/user_edits.h"
#include "settings/core_data.h"

namespace tvzx::cli {

struct JobSettingsOptions {
    std::vector<std::string> settingsFiles;
    std::vector<std::string> assignments;
    bool raw = false;         // the assignments are written as they stand
    std::string printerData;  // the printer's registry export; empty: no printer
};

// Takes --settings, --set, --raw or --printer-data with its value. Returns
// false for any other option, leaving it to the caller.
bool takeJobSettingsOption(const std::string& option, Arguments& arguments, JobSettingsOptions& options);

// Returns the spooler's job id the text gives; throws UsageError otherwise.
std::uint32_t jobIdOf(const std::string& text);

// Returns the edits as the host takes them, each settings file read. Throws
// UsageError for a file that cannot be read.
std::vector<host::SettingsEdit> settingsEdits(const JobSettingsOptions& options);

// The printer a command works for, as its printer data file describes it.
class CommandPrinter {
public:
    // Reads the file; without a path there is no printer. Throws UsageError
    // naming a file that cannot be read.
    explicit CommandPrinter(const std::string& printerDataPath);

    // Returns the printer's registry entry; null without a printer.
    const std::shared_ptr<const platform::RegistryPrinter>& printer() const { return printer_; }
    // Returns the printer's installed options; nothing without a printer.
    std::optional<rules::InstalledOptions> installed() const;
    // Returns the record of the driver's default request for the printer.
    settings::CoreData defaults() const;
    // Returns the record of a private block as the driver's conversion
    // request hands it over; a block of another schema is converted through
    // the wrapped description when one is given, else through the
    // printer's stored one. Throws UsageError for a block it cannot read.
    settings::CoreData fromBlock(const std::vector<std::uint8_t>& block, const std::string& wrappedDescription,
                                 const std::string& origin) const;
    // Returns the record a job of the printer runs with when its DEVMODE
    // holds the edited record: converted by the driver's request, validated,
    // the installed options applied.
    settings::CoreData jobRecord(const settings::CoreData& edited) const;

private:
    std::shared_ptr<const platform::RegistryPrinter> printer_;
    std::unique_ptr<platform::PrinterData> data_;
};

struct EditedSettings {
    settings::CoreData record;
    std::vector<rules::RuleChange> ruleChanges;  // what the rules changed besides the named settings
};

// Returns the starting record with the options' files and edits applied as
// a job on the printer applies them. Throws UsageError for a refused edit.
EditedSettings editSettings(settings::CoreData start, const JobSettingsOptions& options, const CommandPrinter& printer);

}  // namespace tvzx::cli
