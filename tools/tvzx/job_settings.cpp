#include "job_settings.h"

#include <algorithm>
#include <charconv>

#include "common/byte_order.h"
#include "common/hex_text.h"
#include "config/printer_values.h"
#include "files.h"
#include "host/host_error.h"
#include "platform/windows_types.h"
#include "settings/devmode.h"
#include "settings/private_block.h"

namespace tvzx::cli {
namespace {

using settings::CoreData;

// The DevMode requests of the plug-in for the printer: its data, and the
// default duplex set through the rules as the module sets it.
class CommandDevModeServices final : public settings::DevModeServices {
public:
    explicit CommandDevModeServices(const platform::PrinterData* data) : data_(data) {}
    const platform::PrinterData* printerData() override { return data_; }
    void setDuplex(CoreData& record, bool duplex) override { rules::setDuplexThroughRules(record, duplex); }

private:
    const platform::PrinterData* data_;
};

// Printer data with a description of a foreign schema laid over the printer's own values.
class DescribedPrinterData final : public platform::PrinterData {
public:
    DescribedPrinterData(const platform::PrinterData* printer, std::string name, const std::string& wrapped)
        : printer_(printer), name_(std::move(name)), value_{win::REG_BINARY, {wrapped.begin(), wrapped.end()}} {}
    std::optional<platform::PrinterDataValue> read(std::string_view name) const override {
        if (name == name_) return value_;
        return printer_ != nullptr ? printer_->read(name) : std::nullopt;
    }

private:
    const platform::PrinterData* printer_;
    std::string name_;
    platform::PrinterDataValue value_;
};

using BlockView = std::span<std::uint8_t, settings::kPrivateBlockSize>;

BlockView viewOf(std::vector<std::uint8_t>& block) { return BlockView(block.data(), settings::kPrivateBlockSize); }

// Returns the block of the driver's default request.
std::vector<std::uint8_t> defaultBlock(settings::DevModeServices& services) {
    std::vector<std::uint8_t> block(settings::kPrivateBlockSize);
    win::OEMDMPARAM param{};
    param.cbSize = sizeof param;
    param.pOEMDMOut = block.data();
    param.cbBufSize = settings::kPrivateBlockSize;
    settings::devModeCallback(win::OEMDM_DEFAULT, &param, services);
    return block;
}

// Returns the record of the driver's conversion request for the block;
// nothing when the request fails.
std::optional<CoreData> convertedRecord(const std::vector<std::uint8_t>& input, settings::DevModeServices& services) {
    std::vector<std::uint8_t> output = defaultBlock(services);
    win::OEMDMPARAM param{};
    param.cbSize = sizeof param;
    param.pOEMDMIn = const_cast<std::uint8_t*>(input.data());
    param.pOEMDMOut = output.data();
    param.cbBufSize = settings::kPrivateBlockSize;
    if (!settings::devModeCallback(win::OEMDM_CONVERT, &param, services)) return std::nullopt;
    return settings::blockRecord(viewOf(output));
}

}  // namespace

std::uint32_t jobIdOf(const std::string& text) {
    std::uint32_t id = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), id);
    if (error != std::errc() || end != text.data() + text.size()) throw UsageError("--job-id: '" + text + "' is not a job id");
    return id;
}

bool takeJobSettingsOption(const std::string& option, Arguments& arguments, JobSettingsOptions& options) {
    if (option == "--set") options.assignments.push_back(arguments.value(option));
    else if (option == "--settings") options.settingsFiles.push_back(arguments.value(option));
    else if (option == "--raw") options.raw = true;
    else if (option == "--printer-data") options.printerData = arguments.value(option);
    else return false;
    return true;
}

std::vector<host::SettingsEdit> settingsEdits(const JobSettingsOptions& options) {
    std::vector<host::SettingsEdit> edits;
    for (const std::string& path : options.settingsFiles) edits.push_back({path, readFileText(path), false});
    for (const std::string& assignment : options.assignments) edits.push_back({"--set", assignment, true});
    return edits;
}

CommandPrinter::CommandPrinter(const std::string& printerDataPath) {
    if (printerDataPath.empty()) return;
    auto load = platform::loadRegistryPrinter(printerDataPath);
    if (!load.printer) throw UsageError(load.error);
    printer_ = std::move(load.printer);
    data_ = std::make_unique<platform::RegistryPrinterData>(printer_);
}

std::optional<rules::InstalledOptions> CommandPrinter::installed() const {
    if (!data_) return std::nullopt;
    // As the module reads it: a shorter value leaves the rest zero, a larger one is not read.
    rules::InstalledOptions installed{};
    const auto value = data_->read(config::kInstallableOptionsValue);
    if (value && value->data.size() <= installed.size()) std::copy(value->data.begin(), value->data.end(), installed.begin());
    return installed;
}

CoreData CommandPrinter::defaults() const {
    CommandDevModeServices services(data_.get());
    std::vector<std::uint8_t> block = defaultBlock(services);
    return settings::blockRecord(viewOf(block));
}

CoreData CommandPrinter::fromBlock(const std::vector<std::uint8_t>& block, const std::string& wrappedDescription,
                                   const std::string& origin) const {
    if (block.size() < settings::kBaseHeaderSize)
        throw UsageError(origin + ": too short for a private block (" + std::to_string(block.size()) + " bytes)");
    const std::uint32_t stated = readLe32(block.data());
    if (stated > block.size())
        throw UsageError(origin + ": block states " + std::to_string(stated) + " bytes but the file holds " +
                         std::to_string(block.size()));
    std::optional<CoreData> record;
    if (wrappedDescription.empty()) {
        CommandDevModeServices services(data_.get());
        record = convertedRecord(block, services);
    } else {
        const std::uint32_t foreignHash = readLe32(block.data() + settings::kHashOffset);
        DescribedPrinterData described(data_.get(), std::string(settings::kDescriptionValuePrefix) + hexBytesText(foreignHash),
                                       wrappedDescription);
        CommandDevModeServices services(&described);
        record = convertedRecord(block, services);
    }
    if (!record) throw UsageError(origin + ": the block could not be read");
    return *record;
}

CoreData CommandPrinter::jobRecord(const CoreData& edited) const {
    CommandDevModeServices services(data_.get());
    std::vector<std::uint8_t> block = defaultBlock(services);
    settings::blockRecord(viewOf(block)) = edited;
    CoreData record = convertedRecord(block, services).value_or(edited);
    // What the device's output code does with the job's record.
    settings::validateRecord(record);
    if (const auto options = installed()) rules::applyInstalledOptions(record, *options);
    return record;
}

EditedSettings editSettings(CoreData start, const JobSettingsOptions& options, const CommandPrinter& printer) {
    host::EditOptions editOptions;
    editOptions.mode = options.raw ? rules::EditMode::AsItStands : rules::EditMode::ThroughSetters;
    editOptions.installed = printer.installed();
    EditedSettings edited{std::move(start), {}};
    try {
        edited.ruleChanges = host::applySettingsEdits(edited.record, settingsEdits(options), editOptions);
    } catch (const host::HostError& error) {
        throw UsageError(error.what());
    }
    return edited;
}

}  // namespace tvzx::cli
