#include "pjl/ticket.h"

#include <algorithm>

#include "pjl/authentication.h"
#include "pjl/pjl_format.h"
#include "pjl/secure_print.h"
#include "pjl/ticket_writers.h"

namespace tvzx::pjl {
namespace {

constexpr std::string_view kDriverJobIdKey = "DRIVERJOBID";
constexpr std::string_view kStringCodeSetKey = "STRINGCODESET";
constexpr std::string_view kStringCodeSet = "UTF8";
constexpr std::string_view kCoeTypeKey = "ZXCOETYPE";
constexpr std::string_view kCoeType = "2";
constexpr std::string_view kUserNameKey = "USERNAME";
constexpr std::string_view kJobNameKey = "JOBNAME";
// The controller keeps job names of at most this many bytes.
constexpr std::size_t kJobNameLimit = 240;

}  // namespace

bool carriesEncipheredValue(std::string_view key) {
    return key == kSectionPasswordKey || key == kSecurePasswordKey || key == kBoxFolderPasswordKey ||
           key == kUserPasswordKey || isRelayValueKey(key);
}

std::string buildJobTicket(const settings::CoreData& settings, const TicketInputs& inputs) {
    std::string ticket;
    // The job identity lets the controller match the job with its notification.
    if (inputs.driverJobId && !inputs.driverJobId->empty()) ticket += formatPjlSet(kDriverJobIdKey, *inputs.driverJobId, true);
    // Every text that follows is UTF-8, and the ticket says so first.
    ticket += formatPjlSet(kStringCodeSetKey, kStringCodeSet);
    ticket += formatPjlSet(kCoeTypeKey, kCoeType);
    // Names come from users and applications: control characters go, and a
    // cut never splits a character.
    if (inputs.userName) {
        const std::string user = withoutControls(*inputs.userName);
        ticket += formatPjlSet(kUserNameKey, boundedUtf8Copy(user, user.size() + 1), true);
    }
    // The file name set for the job wins over the document name.
    const std::string_view fileName = settings.text(settings::FieldId::FileName);
    std::optional<std::string_view> jobName;
    if (!fileName.empty()) jobName = fileName;
    else if (inputs.documentName) jobName = *inputs.documentName;
    if (jobName) {
        const std::string name = withoutControls(*jobName);
        const std::size_t n = std::min(name.size(), kJobNameLimit) + 1;
        ticket += formatPjlSet(kJobNameKey, boundedUtf8Copy(name, n), true);
    }
    for (TicketWriter writer : ticketWriters()) writer(ticket, settings, inputs);
    return ticket;
}

}  // namespace tvzx::pjl
