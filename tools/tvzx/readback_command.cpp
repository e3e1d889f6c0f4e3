// tvzx inspect: a printed job read back. Prints its ticket, the settings its
// comments carry where they differ from the defaults, and checks that those
// settings give the ticket the stream holds.
#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <variant>

#include "commands.h"
#include "common/hex_text.h"
#include "config/job_identity.h"
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

std::string entryText(const host::TicketEntry& entry) { return entry.key + "=" + entry.value; }

// Returns the line that names where the tickets part, and the key.
std::string differenceLine(const host::TicketDifference& difference) {
    const std::string where = "ticket line " + std::to_string(difference.line) + ": ";
    const host::TicketEntry& found = difference.found;
    const host::TicketEntry& expected = difference.expected;
    switch (difference.change) {
        case host::TicketChange::Added: return where + "the stream has " + entryText(found) + ", which the settings do not give";
        case host::TicketChange::Missing: return where + "the stream lacks " + entryText(expected) + ", which the settings give";
        case host::TicketChange::Moved:
            return where + "the stream has " + entryText(found) + " where the settings give " + entryText(expected);
        case host::TicketChange::Value: break;
    }
    // A secret is never shown: only whether it is enciphered.
    if (pjl::carriesEncipheredValue(found.key))
        return where + found.key + " is not enciphered in the stream, the settings give an enciphered value";
    return where + found.key + " is " + found.value + " in the stream, the settings give " + expected.value;
}

// Returns whether the text is a job identity: twelve upper-case hexadecimal
// digits that start with the identity's mark, then the job's time in
// fourteen decimal digits.
bool isJobIdentity(std::string_view text) {
    constexpr std::size_t kHexDigits = config::kJobIdentityLength - config::kJobIdentityTimeDigits;
    const auto& mark = config::kJobIdentityMark;
    const std::string markDigits = hexBytesText(static_cast<std::uint32_t>(mark[0] << 16 | mark[1] << 8 | mark[2]));
    if (text.size() != config::kJobIdentityLength || !text.starts_with(markDigits)) return false;
    const auto isUpperHex = [](char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); };
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    if (!std::all_of(text.begin(), text.begin() + kHexDigits, isUpperHex) ||
        !std::all_of(text.begin() + kHexDigits, text.end(), isDigit))
        return false;
    // Month, day, hour, minute and second, two digits each, within their ranges.
    constexpr std::array<std::pair<int, int>, 5> kTimeRanges = {{{1, 12}, {1, 31}, {0, 23}, {0, 59}, {0, 59}}};
    for (std::size_t i = 0; i < kTimeRanges.size(); ++i) {
        const int value = (text[kHexDigits + 2 * i] - '0') * 10 + (text[kHexDigits + 2 * i + 1] - '0');
        if (value < kTimeRanges[i].first || value > kTimeRanges[i].second) return false;
    }
    return true;
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
    // The plug-in opens every job's ticket with the job's identity; nothing
    // else in the stream repeats it, so its form is what can be checked.
    inputs.driverJobId = ticketValue(job, kDriverJobIdKey);
    if (!inputs.driverJobId)
        throw CommandFailed(kExitDiffers, out, input + ": ticket line 1: the stream lacks " + std::string(kDriverJobIdKey) +
                                                   ", the job identity the plug-in writes first");
    if (!isJobIdentity(*inputs.driverJobId))
        throw CommandFailed(kExitDiffers, out, input + ": " + std::string(kDriverJobIdKey) + " is " + *inputs.driverJobId +
                                                   " in the stream, not a job identity");
    const auto difference = host::compareTickets(host::ticketEntries(pjl::buildJobTicket(settings.record, inputs)), job.ticket);
    if (difference) throw CommandFailed(kExitDiffers, out, input + ": " + differenceLine(*difference));
    return out;
}

}  // namespace tvzx::cli
