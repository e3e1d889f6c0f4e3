// tvzx ticket: the "@PJL SET" lines the plug-in writes ahead of a job with
// these settings, the same bytes tvzx render puts ahead of the document.
#include <optional>
#include <string>

#include "commands.h"
#include "host/sample_jobs.h"
#include "job_settings.h"
#include "pjl/ticket.h"
#include "platform/user_account.h"
#include "postscript/injection.h"

namespace tvzx::cli {
namespace {

std::optional<std::string> presentWhenNonEmpty(std::string text) {
    if (text.empty()) return std::nullopt;
    return text;
}

}  // namespace

std::string ticketCommand(Arguments arguments) {
    JobSettingsOptions options;
    std::optional<std::string> user;
    std::optional<std::string> document;
    std::optional<std::string> identity;
    while (arguments.more()) {
        const std::string option = arguments.take();
        if (takeJobSettingsOption(option, arguments, options)) continue;
        if (option == "--user") user = arguments.value(option);
        else if (option == "--document") document = arguments.value(option);
        // The spooler's job id names the job to the spooler; the ticket does not carry it.
        else if (option == "--job-id") jobIdOf(arguments.value(option));
        // The job identity is new for every job the module prints; a ticket for a given job names it.
        else if (option == "--job-identity") identity = arguments.value(option);
        else Arguments::unknown(option);
    }
    // The job tvzx render prints without a document at a terminal or with
    // --sample: the built-in sample.
    if (!document) document = std::string(host::sampleJob("plain")->documentName);
    const CommandPrinter printer(options.printerData);
    const settings::CoreData record = printer.jobRecord(editSettings(printer.defaults(), options, printer).record);

    // The module names the user as the system does, without the domain part.
    pjl::TicketInputs inputs;
    inputs.userName = presentWhenNonEmpty(std::string(postscript::withoutDomain(user.value_or(platform::currentUserName()))));
    inputs.documentName = presentWhenNonEmpty(*document);
    inputs.driverJobId = identity;
    return pjl::buildJobTicket(record, inputs);
}

}  // namespace tvzx::cli
