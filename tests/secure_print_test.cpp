// Account track, hold, secure print and user box commands of the job ticket.
#include <gtest/gtest.h>

#include "pjl/secure_print.h"
#include "pjl/ticket_cipher.h"

namespace tvzx::pjl {
namespace {

using namespace settings;

// Selects an option by name; a name the table lacks throws.
void select(CoreData& settings, FieldId id, std::string_view option) {
    settings.setOption(id, settings::fieldDef(id).options->find(option).value());
}

// Returns what one of the ticket writers adds to an empty ticket.
template <void (*write)(std::string&, const CoreData&, const TicketInputs&)>
std::string written(const CoreData& settings) {
    std::string ticket;
    write(ticket, settings, {});
    return ticket;
}
constexpr auto holdAndBox = written<writeHoldAndBox>;
constexpr auto accountTrack = written<writeAccountTrack>;
const std::string kNoSaveNoSpool = "@PJL SET TARVOFORMSAVE=OFF\r\n@PJL SET SPOOL=OFF\r\n";

std::string enciphered(std::string_view key, std::string_view password) {
    return "@PJL SET " + std::string(key) + "=\"" + encipherForTicket(password) + "\"\r\n";
}

// Returns the value of the HOLD line, or "-" when there is none.
std::string holdValue(const std::string& ticket) {
    const std::string key = "@PJL SET HOLD=";
    const std::size_t at = ticket.find(key);
    if (at == std::string::npos) return "-";
    return ticket.substr(at + key.size(), ticket.find("\r\n", at) - at - key.size());
}

TEST(SecurePrintAccountTrack, OnlyWhenAccountTrackIsOn) {
    CoreData settings = settings::defaultRecord();
    settings.setText(FieldId::AccountTrackDepartmentName, "Sales 2");
    settings.setText(FieldId::AccountTrackPassword, "4711");
    select(settings, FieldId::AccountTrack, "False");
    EXPECT_EQ(accountTrack(settings), "");
    // An index past the option list reads as the default, False.
    settings.setOption(FieldId::AccountTrack, 7);
    EXPECT_EQ(accountTrack(settings), "");

    select(settings, FieldId::AccountTrack, "True");
    EXPECT_EQ(accountTrack(settings), "@PJL SET ZXSECTIONNAME=\"Sales 2\"\r\n" + enciphered("ZXSECTIONKEY2", "4711"));
    // An empty password is still sent, as one enciphered block.
    settings.setText(FieldId::AccountTrackPassword, "");
    EXPECT_EQ(accountTrack(settings),
              "@PJL SET ZXSECTIONNAME=\"Sales 2\"\r\n@PJL SET ZXSECTIONKEY2=\"A046E4164E9E85B6C2C6D6878D02FE19\"\r\n");
}

TEST(SecurePrintHold, SecureJobHasIdAndPasswordButNoHoldFormsAreSavedAndIndicesPastTheListsReadAsDefaults) {
    CoreData settings = settings::defaultRecord();
    select(settings, FieldId::OutputMethod, "Secure");
    settings.setText(FieldId::WaitModeSecurePrintId, "job 42");
    settings.setText(FieldId::WaitModePassword, "12345678");
    const std::string secure = "@PJL SET ZXJOBID=\"job 42\"\r\n" + enciphered("HOLDKEY2", "12345678");
    EXPECT_EQ(holdAndBox(settings), secure + kNoSaveNoSpool);
    // A job kept as a form is saved; indices past the option lists read as
    // the defaults, Print and Print.
    select(settings, FieldId::OutputMethod, "Form");
    EXPECT_EQ(holdAndBox(settings), "@PJL SET TARVOFORMSAVE=ON\r\n@PJL SET SPOOL=OFF\r\n");
    settings.setOption(FieldId::OutputMethod, 200);
    settings.setOption(FieldId::PrintMode, 200);
    EXPECT_EQ(holdAndBox(settings), kNoSaveNoSpool);
}

TEST(SecurePrintHold, HoldModeByPrintModeAndOutputMethod) {
    struct Row {
        std::string_view printMode, holdPrint, hold, others;
    };
    const Row rows[] = {
        {"Print", "ZXHOLDANDPRINT", "ZXHOLD", "-"}, {"Spool", "-", "-", "-"},
        {"ProofMode", "ZXWAITPROOFANDHOLDPRINT", "ZXWAITPROOF", "ZXWAITPROOF"},
        {"ProofMode1st", "ZXWAITPROOF1STSHEETANDHOLDPRINT", "ZXWAITPROOF1STSHEET", "ZXWAITPROOF1STSHEET"},
        {"Wait", "ZXWAITSTOREANDHOLDPRINT", "ZXWAITSTORE", "ZXWAITSTORE"},
    };
    for (const Row& row : rows) {
        for (std::string_view method : {"Print", "HoldPrint", "Hold", "SaveInUBAndP", "SaveInUB", "Secure", "Form"}) {
            CoreData settings = settings::defaultRecord();
            select(settings, FieldId::PrintMode, row.printMode);
            select(settings, FieldId::OutputMethod, method);
            const std::string_view expected = method == "HoldPrint" ? row.holdPrint : method == "Hold" ? row.hold : row.others;
            const std::string ticket = holdAndBox(settings);
            EXPECT_EQ(holdValue(ticket), expected) << row.printMode << " with " << method;
            EXPECT_NE(ticket.find(row.printMode == "Spool" ? "@PJL SET SPOOL=ON\r\n" : "@PJL SET SPOOL=OFF\r\n"), std::string::npos)
                << row.printMode << " with " << method;
        }
    }
}

TEST(SecurePrintUserBox, StoreWithFolderPasswordAndBoxNameEvenWhenEmpty) {
    CoreData settings = settings::defaultRecord();
    select(settings, FieldId::OutputMethod, "SaveInUB");
    settings.setText(FieldId::OutputMethodFolderName, "Reports/2026");
    settings.setText(FieldId::OutputMethodFolderNamePassword, "0123456789ABCDEF");
    settings.setText(FieldId::OutputMethodUserBoxName, "Box 7");
    std::string ticket = "@PJL SET COPIES=1\r\n";
    writeHoldAndBox(ticket, settings, {});
    EXPECT_EQ(ticket, "@PJL SET COPIES=1\r\n" + kNoSaveNoSpool +
                          "@PJL SET BOXHOLD=STORE\r\n@PJL SET BOXFOLDERNAME=\"Reports/2026\"\r\n"
                          "@PJL SET BOXFOLDERPASSWORD=\"4F69D5AB7D6D3288898E8E2553E38AE5A4C2D20FF0F3E3289B1F160C0EEE681E\"\r\n"
                          "@PJL SET BOXIDNAME=\"Box 7\"\r\n");

    select(settings, FieldId::OutputMethod, "SaveInUBAndP");
    for (FieldId id : {FieldId::OutputMethodFolderName, FieldId::OutputMethodFolderNamePassword, FieldId::OutputMethodUserBoxName})
        settings.setText(id, "");
    EXPECT_EQ(holdAndBox(settings), kNoSaveNoSpool + "@PJL SET BOXHOLD=STOREANDPRINT\r\n@PJL SET BOXFOLDERNAME=\"\"\r\n" +
                                        enciphered("BOXFOLDERPASSWORD", ""));
}

}  // namespace
}  // namespace tvzx::pjl
