// tvzx ticket, settings show --changes and tvzx inspect around one job,
// rendered as a user renders it on the shipped example printer.
#include <gtest/gtest.h>

#include "tool_runner.h"

namespace {

using namespace tvzx::testing;

constexpr std::string_view kEnterPostScript = "@PJL ENTER LANGUAGE = POSTSCRIPT\r\n";
constexpr std::string_view kJobIdentityLine = "@PJL SET DRIVERJOBID=\"";

class JobTool : public tvzx::testing::ToolTest {
protected:
    std::string file(const std::string& name) const { return (dir_ / name).string(); }

    ToolRun tvzx(std::vector<std::string> args) const { return ::tvzx::testing::runTvzx(args, dir_ / "stderr"); }

    // Returns the ticket of a rendered stream: the lines between the opening and the switch to PostScript.
    static std::string ticketOf(const std::string& stream) {
        EXPECT_TRUE(stream.starts_with(kJobStart));
        const std::size_t end = stream.find(kEnterPostScript);
        return end == std::string::npos ? std::string() : stream.substr(kJobStart.size(), end - kJobStart.size());
    }

    // Returns the job identity the module gave the job.
    static std::string identityOf(const std::string& ticket) {
        const std::size_t at = ticket.find(kJobIdentityLine);
        const std::size_t start = at + kJobIdentityLine.size();
        return at == std::string::npos ? std::string() : ticket.substr(start, ticket.find('"', start) - start);
    }
};

TEST_F(JobTool, BookletEditsFollowTheRulesAndTheJobReadsBack) {
    // A saved record that prints one-sided and stapled; the user then asks for a booklet.
    writeAll(file("saved.txt"), "Duplex=False\nStaple=2StaplesWide\n");
    const std::string printer = std::string(TVZX_SOURCE_DIR) + "/data/printer_data.reg";
    const std::vector<std::string> job = {"--printer-data", printer, "--settings", file("saved.txt"), "--set",
                                          "Layout=Booklet", "--document", "Q3 Report"};

    const auto with = [](std::vector<std::string> command, auto first, auto last) {
        return command.insert(command.end(), first, last), command;
    };
    ASSERT_EQ(tvzx(with({"render", "--sample", "plain", "-o", file("job.prn")}, job.begin(), job.end())).status, 0);
    const std::string stream = tvzx::testing::readAll(file("job.prn"));
    const std::string ticket = ticketOf(stream);
    for (const char* line : {"@PJL SET LAYOUT=BOOKLET4IN1\r\n", "@PJL SET DUPLEX=ON\r\n", "@PJL SET FINISH=NONE\r\n"})
        EXPECT_NE(ticket.find(line), std::string::npos) << line;

    // The ticket command gives the same bytes for the same job.
    const ToolRun alone = tvzx(with({"ticket", "--job-identity", identityOf(ticket)}, job.begin(), job.end()));
    EXPECT_EQ(std::pair(alone.status, alone.out), std::pair(0, ticket));

    // Besides the named layout the rules turned two-sided printing on and the stapling off.
    EXPECT_EQ(tvzx(with({"settings", "show", "--changes"}, job.begin(), job.end() - 2)).out,
              "Duplex=False -> True\nStaple=2StaplesWide -> None\n");

    // The stream reads back: its settings render again to the same ticket.
    const ToolRun inspected = tvzx({"inspect", file("job.prn"), "--settings-out", file("recovered.txt")});
    EXPECT_EQ(inspected.status, 0) << inspected.err;
    for (const std::string& part : {"[ticket]\nDRIVERJOBID=\"" + identityOf(ticket) + "\"\n", std::string("[settings]\nLayout=Booklet\n")})
        EXPECT_NE(inspected.out.find(part), std::string::npos) << part;
    ASSERT_EQ(tvzx({"render", "--sample", "plain", "-o", file("again.prn"), "--printer-data", printer, "--settings", file("recovered.txt"), "--document",
                    "Q3 Report"}).status, 0);
    const std::string again = ticketOf(tvzx::testing::readAll(file("again.prn")));
    std::string expected = ticket;
    expected.replace(expected.find(identityOf(ticket)), identityOf(ticket).size(), identityOf(again));
    EXPECT_EQ(again, expected);

    // A ticket line changed by hand is caught and named.
    std::string edited = stream;
    edited.replace(edited.find("DUPLEX=ON"), 9, "DUPLEX=OFF");
    writeAll(file("edited.prn"), edited);
    const ToolRun caught = tvzx({"inspect", file("edited.prn")});
    EXPECT_EQ(caught.status, 1);
    EXPECT_NE(caught.err.find(": DUPLEX is OFF in the stream, the settings give ON\n"), std::string::npos) << caught.err;

    // What is not such a job, or a job whose settings are cut short, is refused with one line.
    writeAll(file("plain.ps"), "%!PS-Adobe-3.0\n%%EndComments\n%%EOF\n");
    const std::size_t record = stream.find("%%TARVO-JobSettings: ") + 21;
    // 400 bytes of comment lines: 388 Base64 digits, 291 bytes of the record.
    writeAll(file("cut.prn"), stream.substr(0, record + 400) + "\r\n%%EndComments\r\n");
    for (const auto& [input, line] : {std::pair{file("plain.ps"), "no job-settings comment (%%TARVO-JobSettings)"},
                                      std::pair{file("cut.prn"), "the job-settings record is cut short (291 of 26871 bytes)"}}) {
        const ToolRun refused = tvzx({"inspect", input});
        EXPECT_EQ(refused.status, 2);
        EXPECT_EQ(refused.err, "tvzx: " + input + ": " + line + "\n");
    }
}

}  // namespace
