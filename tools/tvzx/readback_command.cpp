// tvzx inspect: a printed job read back. Prints its ticket, the settings its
// comments carry where they differ from the defaults, and checks that those
// settings give the ticket the stream holds.
#include <optional>
#include <string>
#include <variant>

#include "commands.h"
#include "common/hex_text.h"
#include "files.h"
#include "host/byte_source.h"
#include "host/host_error.h"
#include "host/spooled_job.h"
#include "pjl/ticket.h"
#include "settings/schema_hash.h"
#include "settings/settings_lines.h"

namespace tvzx::cli {
namespace {

constexpr std::string_view kStandardInput = "-";
constexpr std::string_view kTicketSection = "[ticket]\n";
constexpr std::string_view kSettingsSection = "[settings]\n";
constexpr int kExitDiffers = 1;
// The ticket keys that name the job rather than follow from its settings.
constexpr std::string_view kUserNameKey = "USERNAME";
constexpr std::string_view kJobNameKey = "JOBNAME";
constexpr std::string_view kDriverJobIdKey = "DRIVERJOBID";

// Returns the unquoted value of the ticket's first line with this key.
std::optional<std::string> ticketValue(const host::SpooledJob& job, std::string_view key) {
    for (const host::TicketEntry& entry : job.ticket)
        if (entry.key == key) return std::string(host::unquoted(entry.value));
    return std::nullopt;
}

std::string entryText(const host::TicketEntry& entry) {
    return entry.key.empty() ? "no line" : entry.key + "=" + entry.value;
}

// Returns the line that names where the tickets part.
std::string differenceLine(const host::TicketDifference& difference) {
    const std::string where = "ticket line " + std::to_string(difference.line) + ": ";
    if (difference.expected.key == difference.found.key)
        return where + difference.found.key + " is " + difference.found.value + " in the stream, the settings give " +
               difference.expected.value;
    return where + "the stream has " + entryText(difference.found) + ", the settings give " + entryText(difference.expected);
}

}  // namespace

std::string inspectCommand(Arguments arguments) {
    std::string input(kStandardInput);
    std::string settingsOut;
    bool named = false;
    while (arguments.more()) {
        const std::string word = arguments.take();
        if (word == "--settings-out") settingsOut = arguments.value(word);
        else if ((word.starts_with("-") && word != kStandardInput) || named) Arguments::unknown(word);
        else {
            input = word;
            named = true;
        }
    }
    host::SpooledJob job;
    try {
        if (input == kStandardInput) {
            host::StandardInputSource source;
            job = host::readSpooledJob(source);
        } else {
            host::FileSource source(input);
            job = host::readSpooledJob(source);
        }
    } catch (const host::HostError& error) {
        throw UsageError(error.what());
    }
    const auto recovered = host::recoverSettings(job);
    if (const auto* fault = std::get_if<std::string>(&recovered)) throw UsageError(input + ": " + *fault);
    const host::RecoveredSettings& settings = std::get<host::RecoveredSettings>(recovered);

    std::string out(kTicketSection);
    for (const host::TicketEntry& entry : job.ticket) out += entry.key + "=" + entry.value + "\n";
    out += kSettingsSection;
    if (settings.converted)
        out += "# converted from schema " + hexBytesText(settings.schema) + "\n";
    const settings::CoreData& defaults = settings::defaultRecord();
    for (std::size_t i = 0; i < settings::kFieldCount; ++i) {
        const auto id = static_cast<settings::FieldId>(i);
        const std::string value = settings::formatFieldValue(settings.record, id);
        if (value != settings::formatFieldValue(defaults, id))
            out += std::string(settings::fieldDef(id).name) + "=" + value + "\n";
    }
    if (!settingsOut.empty()) writeFileAtomically(settingsOut, settings::formatSettingsLines(settings.record));

    // The ticket these settings give for the job the stream names, against the stream's own.
    if (job.ticket.empty()) return out;
    pjl::TicketInputs inputs;
    inputs.userName = job.user ? job.user : ticketValue(job, kUserNameKey);
    inputs.documentName = job.title ? job.title : ticketValue(job, kJobNameKey);
    inputs.driverJobId = ticketValue(job, kDriverJobIdKey);
    const auto difference = host::compareTickets(host::ticketEntries(pjl::buildJobTicket(settings.record, inputs)), job.ticket);
    if (difference) throw CommandFailed(kExitDiffers, out, input + ": " + differenceLine(*difference));
    return out;
}

}  // namespace tvzx::cli
