// tvzx version and tvzx settings: the job settings record on the command line.
#include <string>
#include <string_view>
#include <vector>

#include "commands.h"
#include "files.h"
#include "host/sample_jobs.h"
#include "job_settings.h"
#include "settings/private_block.h"
#include "settings/schema_hash.h"
#include "settings/settings_lines.h"
#include "settings/text_form.h"

namespace tvzx::cli {
namespace {

using settings::CoreData;

// The settings show and write work on and where they came from.
struct SettingsSource {
    std::string blockPath;
    std::string descriptionPath;
    std::string sample;  // a built-in sample job whose settings start the record
    JobSettingsOptions job;
};

// Reads the options shared by show and write; returns false for an option
// it does not know, leaving it to the caller.
bool takeSettingsOption(const std::string& option, Arguments& arguments, SettingsSource& source) {
    if (takeJobSettingsOption(option, arguments, source.job)) return true;
    // Edits have gone through the setters by default since --raw came; the old switch still reads.
    return option == "--rules";
}

// Returns the settings as a job on the printer starts from them: the block
// as the driver hands it over, or the driver's defaults; then the saved
// records and the edits.
EditedSettings loadSettings(const SettingsSource& source) {
    const CommandPrinter printer(source.job.printerData);
    CoreData start = printer.defaults();
    if (!source.blockPath.empty()) {
        const std::string description = source.descriptionPath.empty() ? std::string() : readFileText(source.descriptionPath);
        start = printer.fromBlock(readFileBytes(source.blockPath), description, source.blockPath);
    }
    if (!source.sample.empty()) {
        const auto sample = host::sampleJob(source.sample);
        if (!sample) throw UsageError("--sample " + source.sample + ": no such sample job (" + std::string(host::kSampleJobNames) + ")");
        if (sample->settings) start = *sample->settings;
    }
    return editSettings(std::move(start), source.job, printer);
}

std::string describe(Arguments arguments) {
    bool wrapped = false;
    while (arguments.more()) {
        const std::string option = arguments.take();
        if (option == "--wrapped") wrapped = true;
        else Arguments::unknown(option);
    }
    return (wrapped ? settings::writeDescription() : settings::plainDescription()) + "\n";
}

std::string show(Arguments arguments) {
    SettingsSource source;
    bool changes = false;
    while (arguments.more()) {
        const std::string option = arguments.take();
        if (takeSettingsOption(option, arguments, source)) continue;
        if (option == "--changes") changes = true;
        else if (option == "--block") source.blockPath = arguments.value(option);
        else if (option == "--description") source.descriptionPath = arguments.value(option);
        else if (option == "--sample") source.sample = arguments.value(option);
        else Arguments::unknown(option);
    }
    if (!source.descriptionPath.empty() && source.blockPath.empty())
        throw UsageError("--description goes with --block");
    const EditedSettings edited = loadSettings(source);
    return changes ? rules::formatRuleChanges(edited.ruleChanges) : settings::formatSettingsLines(edited.record);
}

std::string write(Arguments arguments) {
    SettingsSource source;
    std::string target;
    while (arguments.more()) {
        const std::string option = arguments.take();
        if (takeSettingsOption(option, arguments, source)) continue;
        if (option == "--block") target = arguments.value(option);
        else Arguments::unknown(option);
    }
    if (target.empty()) throw UsageError("settings write needs --block FILE");
    const CoreData record = loadSettings(source).record;
    std::vector<std::uint8_t> block(settings::kPrivateBlockSize);
    const std::span<std::uint8_t, settings::kPrivateBlockSize> view(block.data(), block.size());
    settings::initialiseBlock(view);
    settings::blockRecord(view) = record;
    writeFileAtomically(target, std::string_view(reinterpret_cast<const char*>(block.data()), block.size()));
    return {};
}

}  // namespace

std::string versionCommand(Arguments arguments) {
    if (arguments.more()) Arguments::unknown(arguments.take());
    return settings::settingsVersionText() + "\n";
}

std::string settingsCommand(std::vector<std::string> words) {
    if (words.empty()) throw UsageError("settings needs describe, show or write");
    const std::string action = words.front();
    Arguments arguments(std::vector<std::string>(words.begin() + 1, words.end()));
    if (action == "describe") return describe(std::move(arguments));
    if (action == "show") return show(std::move(arguments));
    if (action == "write") return write(std::move(arguments));
    throw UsageError("unknown settings action '" + action + "'");
}

}  // namespace tvzx::cli
