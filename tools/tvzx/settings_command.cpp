// tvzx version and tvzx settings: the job settings record on the command line.
#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "commands.h"
#include "common/byte_order.h"
#include "common/hex_text.h"
#include "files.h"
#include "host/sample_jobs.h"
#include "platform/printer_data.h"
#include "rules/rule_engine.h"
#include "settings/devmode.h"
#include "settings/private_block.h"
#include "settings/schema_hash.h"
#include "settings/settings_lines.h"
#include "settings/text_form.h"

namespace tvzx::cli {
namespace {

using settings::CoreData;

// The settings a command works on and where they came from.
struct SettingsSource {
    std::string blockPath;
    std::string descriptionPath;
    std::vector<std::string> settingsFiles;
    std::vector<std::string> assignments;
    bool rules = false;  // --set assignments go through the rules engine
    std::string sample;  // a built-in sample job whose settings start the record
};

// Reads a private block through the driver's conversion request, as the
// driver would hand it over: a current block is validated, any other block
// is converted through the description given for its schema.
CoreData recordFromBlock(const SettingsSource& source) {
    std::vector<std::uint8_t> input = readFileBytes(source.blockPath);
    if (input.size() < settings::kBaseHeaderSize)
        throw UsageError(source.blockPath + ": too short for a private block (" + std::to_string(input.size()) + " bytes)");
    const std::uint32_t stated = readLe32(input.data());
    if (stated > input.size())
        throw UsageError(source.blockPath + ": block states " + std::to_string(stated) + " bytes but the file holds " +
                         std::to_string(input.size()));

    platform::MemoryPrinterData printerData;
    if (!source.descriptionPath.empty()) {
        const std::string wrapped = readFileText(source.descriptionPath);
        const std::uint32_t foreignHash = readLe32(input.data() + settings::kHashOffset);
        printerData.set(std::string(settings::kDescriptionValuePrefix) + hexBytesText(foreignHash),
                        {win::REG_BINARY, std::vector<std::uint8_t>(wrapped.begin(), wrapped.end())});
    }
    settings::BasicDevModeServices services(&printerData);

    std::vector<std::uint8_t> output(settings::kPrivateBlockSize);
    win::OEMDMPARAM param{};
    param.cbSize = sizeof param;
    param.pOEMDMOut = output.data();
    param.cbBufSize = settings::kPrivateBlockSize;
    settings::devModeCallback(win::OEMDM_DEFAULT, &param, services);
    param.pOEMDMIn = input.data();
    if (!settings::devModeCallback(win::OEMDM_CONVERT, &param, services))
        throw UsageError(source.blockPath + ": the block could not be read");
    return settings::blockRecord(std::span<std::uint8_t, settings::kPrivateBlockSize>(output.data(), output.size()));
}

// Sets one assignment through the field's setter, so that the settings that
// depend on it follow.
void applyThroughRules(CoreData& record, const std::string& assignment) {
    CoreData parsed = record;
    if (auto error = settings::applySetting(parsed, assignment)) throw UsageError("--set: " + *error);
    std::string_view name = std::string_view(assignment).substr(0, assignment.find('='));
    name.remove_prefix(std::min(name.find_first_not_of(" \t"), name.size()));
    name = name.substr(0, name.find_last_not_of(" \t") + 1);
    const auto field = settings::findField(name);
    if (!field) throw UsageError("--set: unknown field '" + std::string(name) + "'");
    rules::setSettingBytes(record, *field, parsed.field(*field));
}

CoreData loadSettings(const SettingsSource& source) {
    CoreData record = source.blockPath.empty() ? settings::defaultRecord() : recordFromBlock(source);
    if (!source.sample.empty()) {
        const auto sample = host::sampleJob(source.sample);
        if (!sample) throw UsageError("--sample " + source.sample + ": no such sample job (" + std::string(host::kSampleJobNames) + ")");
        if (sample->settings) record = *sample->settings;
    }
    for (const std::string& path : source.settingsFiles)
        if (auto error = settings::applySettingsText(record, readFileText(path))) throw UsageError(path + ": " + *error);
    for (const std::string& assignment : source.assignments) {
        if (source.rules) applyThroughRules(record, assignment);
        else if (auto error = settings::applySetting(record, assignment)) throw UsageError("--set: " + *error);
    }
    return record;
}

// Reads the options shared by show and write; returns false for an option
// it does not know, leaving it to the caller.
bool takeSettingsOption(const std::string& option, Arguments& arguments, SettingsSource& source) {
    if (option == "--set") source.assignments.push_back(arguments.value(option));
    else if (option == "--settings") source.settingsFiles.push_back(arguments.value(option));
    else if (option == "--rules") source.rules = true;
    else if (option == "--sample") source.sample = arguments.value(option);
    else return false;
    return true;
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
    while (arguments.more()) {
        const std::string option = arguments.take();
        if (takeSettingsOption(option, arguments, source)) continue;
        if (option == "--block") source.blockPath = arguments.value(option);
        else if (option == "--description") source.descriptionPath = arguments.value(option);
        else Arguments::unknown(option);
    }
    if (!source.descriptionPath.empty() && source.blockPath.empty())
        throw UsageError("--description goes with --block");
    return settings::formatSettingsLines(loadSettings(source));
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
    const CoreData record = loadSettings(source);
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
