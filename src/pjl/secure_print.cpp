#include "pjl/secure_print.h"

#include <array>
#include <string_view>

#include "pjl/pjl_format.h"
#include "pjl/table_commands.h"
#include "pjl/ticket_cipher.h"

namespace tvzx::pjl {
namespace {


constexpr std::string_view kSectionNameKey = "ZXSECTIONNAME";
constexpr std::string_view kSecureJobIdKey = "ZXJOBID";
constexpr std::string_view kFormSaveKey = "TARVOFORMSAVE";
constexpr std::string_view kHoldKey = "HOLD";
constexpr std::string_view kSpoolKey = "SPOOL";
constexpr std::string_view kBoxHoldKey = "BOXHOLD";
constexpr std::string_view kBoxFolderNameKey = "BOXFOLDERNAME";
constexpr std::string_view kBoxNameKey = "BOXIDNAME";

constexpr std::string_view kBoxStore = "STORE";
constexpr std::string_view kBoxStoreAndPrint = "STOREANDPRINT";

// Option names of the settings that steer these commands.
constexpr std::string_view kTrue = "True";
constexpr std::string_view kHoldPrint = "HoldPrint";
constexpr std::string_view kHold = "Hold";
constexpr std::string_view kSaveInBoxAndPrint = "SaveInUBAndP";
constexpr std::string_view kSaveInBox = "SaveInUB";
constexpr std::string_view kSecure = "Secure";

// The HOLD mode of each PrintMode, by what OutputMethod asks for. An empty
// mode writes no HOLD line. Spool has no row: a spooled job is never held.
struct HoldModes {
    std::string_view printMode;
    std::string_view withHoldPrint;  // OutputMethod HoldPrint
    std::string_view withHold;       // OutputMethod Hold
    std::string_view otherwise;      // any other OutputMethod
};
constexpr std::array<HoldModes, 4> kHoldModes{{
    {"Print", "ZXHOLDANDPRINT", "ZXHOLD", {}},
    {"ProofMode", "ZXWAITPROOFANDHOLDPRINT", "ZXWAITPROOF", "ZXWAITPROOF"},
    {"ProofMode1st", "ZXWAITPROOF1STSHEETANDHOLDPRINT", "ZXWAITPROOF1STSHEET", "ZXWAITPROOF1STSHEET"},
    {"Wait", "ZXWAITSTOREANDHOLDPRINT", "ZXWAITSTORE", "ZXWAITSTORE"},
}};

// Returns the HOLD mode, empty when the job is not held.
std::string_view holdMode(std::string_view printMode, std::string_view outputMethod) {
    for (const HoldModes& modes : kHoldModes) {
        if (modes.printMode != printMode) continue;
        if (outputMethod == kHoldPrint) return modes.withHoldPrint;
        if (outputMethod == kHold) return modes.withHold;
        return modes.otherwise;
    }
    return {};
}

}  // namespace

void writeAccountTrack(std::string& ticket, const CoreData& settings, const TicketInputs&) {
    // Both keys are always present with PJL mode 1 here, so account track
    // alone decides whether the department is sent.
    if (optionName(settings, FieldId::AccountTrack) != kTrue) return;
    ticket += formatPjlSet(kSectionNameKey, settings.text(FieldId::AccountTrackDepartmentName), true);
    ticket += formatPjlSet(kSectionPasswordKey, encipherForTicket(settings.text(FieldId::AccountTrackPassword)), true);
}

void writeHoldAndBox(std::string& ticket, const CoreData& settings, const TicketInputs&) {
    const std::string_view outputMethod = optionName(settings, FieldId::OutputMethod);
    const std::string_view printMode = optionName(settings, FieldId::PrintMode);

    // A secure print job waits at the printer until its id and password are
    // entered there.
    if (outputMethod == kSecure) {
        ticket += formatPjlSet(kSecureJobIdKey, settings.text(FieldId::WaitModeSecurePrintId), true);
        ticket += formatPjlSet(kSecurePasswordKey, encipherForTicket(settings.text(FieldId::WaitModePassword)), true);
    }

    // The controller keeps the job as a form only for the Form output method;
    // the option table gives ON for it and OFF for every other method.
    ticket += formatPjlSet(kFormSaveKey, optionPjlValue(settings, FieldId::OutputMethod));

    if (const std::string_view hold = holdMode(printMode, outputMethod); !hold.empty())
        ticket += formatPjlSet(kHoldKey, hold);

    // The option table gives ON for Spool and OFF for every other print mode.
    ticket += formatPjlSet(kSpoolKey, optionPjlValue(settings, FieldId::PrintMode));

    // Storage in a user box: the folder name and its password always come as
    // a pair, the name even when it is empty.
    const bool storeAndPrint = outputMethod == kSaveInBoxAndPrint;
    if (!storeAndPrint && outputMethod != kSaveInBox) return;
    ticket += formatPjlSet(kBoxHoldKey, storeAndPrint ? kBoxStoreAndPrint : kBoxStore);
    ticket += formatPjlSet(kBoxFolderNameKey, settings.text(FieldId::OutputMethodFolderName), true);
    ticket += formatPjlSet(kBoxFolderPasswordKey, encipherForTicket(settings.text(FieldId::OutputMethodFolderNamePassword)), true);
    if (const std::string_view boxName = settings.text(FieldId::OutputMethodUserBoxName); !boxName.empty())
        ticket += formatPjlSet(kBoxNameKey, boxName, true);
}

}  // namespace tvzx::pjl
