// The job ticket's header commands and job name.
#include <gtest/gtest.h>

#include "pjl/ticket.h"

namespace tvzx::pjl {
namespace {

using settings::CoreData;
using settings::FieldId;

std::string header(const CoreData& settings, const TicketInputs& inputs) {
    const std::string ticket = buildJobTicket(settings, inputs);
    // The header ends where the feature commands begin.
    std::size_t end = 0;
    for (int line = 0; line < 5 && end != std::string::npos; ++line) {
        const std::size_t next = ticket.find("\r\n", end);
        if (next == std::string::npos) break;
        const std::string_view text(ticket.data() + end, next - end);
        if (!(text.starts_with("@PJL SET DRIVERJOBID=") || text.starts_with("@PJL SET STRINGCODESET=") ||
              text.starts_with("@PJL SET ZXCOETYPE=") || text.starts_with("@PJL SET USERNAME=") ||
              text.starts_with("@PJL SET JOBNAME=")))
            break;
        end = next + 2;
    }
    return ticket.substr(0, end);
}

TEST(TicketHeader, PlainJob) {
    EXPECT_EQ(header(settings::defaultRecord(), {"Quarterly report", "alice", std::nullopt}),
              "@PJL SET STRINGCODESET=UTF8\r\n"
              "@PJL SET ZXCOETYPE=2\r\n"
              "@PJL SET USERNAME=\"alice\"\r\n"
              "@PJL SET JOBNAME=\"Quarterly report\"\r\n");
}

TEST(TicketHeader, JobIdentityComesFirstAndAbsentNamesAreLeftOut) {
    EXPECT_EQ(header(settings::defaultRecord(), {std::nullopt, std::nullopt, "20261206224501-0007"}),
              "@PJL SET DRIVERJOBID=\"20261206224501-0007\"\r\n"
              "@PJL SET STRINGCODESET=UTF8\r\n"
              "@PJL SET ZXCOETYPE=2\r\n");
    EXPECT_EQ(header(settings::defaultRecord(), {std::nullopt, std::nullopt, ""}),
              "@PJL SET STRINGCODESET=UTF8\r\n@PJL SET ZXCOETYPE=2\r\n");
}

TEST(TicketHeader, FileNameWinsOverTheDocumentName) {
    CoreData settings = settings::defaultRecord();
    settings.setText(FieldId::FileName, "invoice.pdf");
    EXPECT_NE(buildJobTicket(settings, {"Document 1", std::nullopt, std::nullopt}).find("@PJL SET JOBNAME=\"invoice.pdf\"\r\n"),
              std::string::npos);
}

TEST(TicketHeader, JobNameIsCutAtACharacterBoundary) {
    const std::string ascii(300, 'x');
    EXPECT_NE(buildJobTicket(settings::defaultRecord(), {ascii, std::nullopt, std::nullopt})
                  .find("@PJL SET JOBNAME=\"" + std::string(240, 'x') + "\"\r\n"),
              std::string::npos);
    // The 240th byte falls inside a three-byte character: it is left out whole.
    const std::string name = std::string(238, 'y') + "\xE3\x82\xB4" + "z";
    EXPECT_NE(buildJobTicket(settings::defaultRecord(), {name, std::nullopt, std::nullopt})
                  .find("@PJL SET JOBNAME=\"" + std::string(238, 'y') + "\"\r\n"),
              std::string::npos);
}

TEST(TicketHeader, ControlCharactersLeaveNamesBeforeTheCut) {
    // Removed, not replaced: the cut counts the kept bytes only, so the
    // closing two-byte character just fits into the 240 bytes.
    const std::string name = "Gr\xC3\xB6\xC3\x9F" "e\x1B[2J\t\x7F" + std::string(228, 'y') + "\xCE\xA9";
    EXPECT_EQ(header(settings::defaultRecord(), {name, "m\x01\xC3\xBCller\r\n", std::nullopt}),
              "@PJL SET STRINGCODESET=UTF8\r\n"
              "@PJL SET ZXCOETYPE=2\r\n"
              "@PJL SET USERNAME=\"m\xC3\xBCller\"\r\n"
              "@PJL SET JOBNAME=\"Gr\xC3\xB6\xC3\x9F" "e[2J" + std::string(228, 'y') + "\xCE\xA9\"\r\n");
}

TEST(TicketHeader, UserNameOfAnotherCodePageGetsQuestionMarks) {
    EXPECT_NE(buildJobTicket(settings::defaultRecord(), {std::nullopt, "J\xF6rg", std::nullopt})
                  .find("@PJL SET USERNAME=\"J?rg\"\r\n"),
              std::string::npos);
}

}  // namespace
}  // namespace tvzx::pjl
