// tvzx ticket, settings show --changes and tvzx inspect around one job,
// rendered as a user renders it on the shipped example printer.
#include <gtest/gtest.h>

#include "common/base64.h"
#include "common/hex_text.h"
#include "postscript/dsc_comments.h"
#include "settings/schema_hash.h"
#include "settings/text_form.h"
#include "stream_text.h"
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

TEST_F(JobTool, TheTicketCheckNamesWhereAndHowAHandMadeTicketDiffers) {
    const std::vector<std::string> job = {"render", "--sample", "plain", "--user", "alice", "--document", "Q3 Report", "--set", "OutputMethod=Secure",
                                          "--set", "WaitModeSecurePrintId=\"job 42\"", "--set", "WaitModePassword=\"12345678\"",
                                          "-o", file("job.prn")};
    ASSERT_EQ(tvzx(job).status, 0);
    const std::string stream = tvzx::testing::readAll(file("job.prn"));
    const std::string ticket = ticketOf(stream);
    // The number of the ticket line that starts with the text.
    const auto lineOf = [&](std::string_view start) {
        const std::size_t at = ticket.find("@PJL SET " + std::string(start));
        return std::to_string(std::count(ticket.begin(), ticket.begin() + static_cast<std::ptrdiff_t>(at), '\n') + 1);
    };
    const std::string lines = std::to_string(std::count(ticket.begin(), ticket.end(), '\n'));
    const std::string identity = identityOf(ticket);
    const std::size_t keyAt = ticket.find("HOLDKEY2=\"") + 10;
    const std::string secret = ticket.substr(keyAt, 32);
    const std::string lastLine = ticket.substr(ticket.rfind("@PJL SET ", ticket.size() - 3));
    const struct {
        const char* name;
        std::string stream, line;
    } cases[] = {
        {"a value", replaced(stream, "DUPLEX=ON", "DUPLEX=OFF"), "ticket line " + lineOf("DUPLEX") + ": DUPLEX is OFF in the stream, the settings give ON"},
        {"a line added", replaced(stream, "@PJL SET DUPLEX=", "@PJL SET STAPLE=ON\r\n@PJL SET DUPLEX="),
         "ticket line " + lineOf("DUPLEX") + ": the stream has STAPLE=ON, which the settings do not give"},
        {"a line removed", replaced(stream, "@PJL SET DUPLEX=ON\r\n", ""),
         "ticket line " + lineOf("DUPLEX") + ": the stream lacks DUPLEX=ON, which the settings give"},
        {"two lines swapped", replaced(stream, "LAYOUT=NORMAL\r\n@PJL SET DUPLEX=ON", "DUPLEX=ON\r\n@PJL SET LAYOUT=NORMAL"),
         "ticket line " + lineOf("LAYOUT") + ": the stream has DUPLEX=ON where the settings give LAYOUT=NORMAL"},
        {"a line moved", replaced(replaced(stream, "@PJL SET LAYOUT=NORMAL\r\n", ""), "@PJL SET BINDING", "@PJL SET LAYOUT=NORMAL\r\n@PJL SET BINDING"),
         "ticket line " + lineOf("LAYOUT") + ": the stream has DUPLEX=ON where the settings give LAYOUT=NORMAL"},
        {"a key of the stream alone, first", replaced(stream, "@PJL\r\n", "@PJL\r\n@PJL SET FIRST=1\r\n"),
         "ticket line 1: the stream has FIRST=1, which the settings do not give"},
        {"a key of the stream alone, last", replaced(stream, "@PJL ENTER", "@PJL SET LAST=1\r\n@PJL ENTER"),
         "ticket line " + std::to_string(std::stoi(lines) + 1) + ": the stream has LAST=1, which the settings do not give"},
        {"a key of the settings alone, last", replaced(stream, lastLine, ""),
         "ticket line " + lines + ": the stream lacks " + lastLine.substr(9, lastLine.size() - 11) + ", which the settings give"},
        {"a key of the settings alone, first", replaced(stream, "@PJL SET DRIVERJOBID=\"" + identity + "\"\r\n", ""),
         "ticket line 1: the stream lacks DRIVERJOBID, the job identity the plug-in writes first"},
        {"an enciphered value made clear", replaced(stream, secret, "12345678"),
         "ticket line " + lineOf("HOLDKEY2") + ": HOLDKEY2 is not enciphered in the stream, the settings give an enciphered value"},
        {"a clear value enciphered", replaced(stream, "ZXJOBID=\"job 42\"", "ZXJOBID=\"" + secret + "\""),
         "ticket line " + lineOf("ZXJOBID") + ": ZXJOBID is \"" + secret + "\" in the stream, the settings give \"job 42\""},
        {"another user", replaced(stream, "USERNAME=\"alice\"", "USERNAME=\"bob\""),
         "ticket line " + lineOf("USERNAME") + ": USERNAME is \"bob\" in the stream, the settings give \"alice\""},
        {"another document", replaced(stream, "JOBNAME=\"Q3 Report\"", "JOBNAME=\"Q4 Report\""),
         "ticket line " + lineOf("JOBNAME") + ": JOBNAME is \"Q4 Report\" in the stream, the settings give \"Q3 Report\""},
        {"another job identity", replaced(stream, identity, identity.substr(0, 12) + "1231240000" + identity.substr(22)),
         "DRIVERJOBID is " + identity.substr(0, 12) + "1231240000" + identity.substr(22) + " in the stream, not a job identity"},
        {"a job identity of another form", replaced(stream, identity, "ACDE48" + identity.substr(6, 6) + "X" + identity.substr(13)),
         "DRIVERJOBID is ACDE48" + identity.substr(6, 6) + "X" + identity.substr(13) + " in the stream, not a job identity"},
    };
    for (const auto& c : cases) {
        writeAll(file("edited.prn"), c.stream);
        const ToolRun caught = tvzx({"inspect", file("edited.prn")});
        EXPECT_EQ(std::pair(caught.status, caught.err), std::pair(1, "tvzx: " + file("edited.prn") + ": " + c.line + "\n")) << c.name;
    }
}

TEST_F(JobTool, ReadsBackJobsOfAnyLineEndsAndBothDescriptionForms) {
    const std::string document = "%!PS-Adobe-3.0\n%%Title: x\n%%EndComments\n%%Page: 1 1\nshowpage\n%%EOF\n";
    const auto render = [&](const std::string& text) {
        writeAll(file("doc.ps"), text);
        EXPECT_EQ(tvzx({"render", file("doc.ps"), "-o", file("job.prn"), "--set", "Staple=2StaplesWide"}).status, 0);
        return tvzx::testing::readAll(file("job.prn"));
    };
    const std::string stream = render(document);
    const ToolRun plain = tvzx({"inspect", file("job.prn")});
    ASSERT_EQ(plain.status, 0) << plain.err;
    EXPECT_NE(plain.out.find("[settings]\nStaple=2StaplesWide\n"), std::string::npos) << plain.out;

    // A record of another schema, whose layout description comes plain or in
    // Base64 (the record's own comment is cut off by the description's).
    const std::size_t settingsAt = stream.find("%%TARVO-JobSettings: ");
    const std::size_t descriptionAt = stream.find("%%TARVO-JobSettingsDescription: ");
    const std::size_t settingsEnd = stream.find("%%TARVO-TitleEx");
    std::vector<std::uint8_t> bytes = tvzx::base64Decode(
        replaceAll(stream.substr(settingsAt + 21, descriptionAt - settingsAt - 21), "%%+ ", ""));
    bytes[0] = 0x12, bytes[1] = 0x34, bytes[2] = 0x56, bytes[3] = 0x78;
    const std::string description = replaced(tvzx::settings::plainDescription(),
                                             tvzx::hexBytesText(tvzx::settings::schemaHash()), "12345678");
    std::vector<std::uint8_t> wrapped(description.begin(), description.end());
    wrapped.push_back(0);
    const auto withDescription = [&](const std::string& value) {
        return stream.substr(0, settingsAt) + tvzx::postscript::longComment("TARVO-JobSettings", tvzx::base64Encode(bytes)) +
               tvzx::postscript::longComment("TARVO-JobSettingsDescription", value) + stream.substr(settingsEnd);
    };
    std::vector<std::pair<std::string, std::string>> streams = {
        {"plain description", withDescription(description)}, {"Base64 description", withDescription(tvzx::base64Encode(wrapped))}};
    const std::string converted = "[settings]\n# converted from schema 12345678\nStaple=2StaplesWide\n";
    // A document of CR lines rendered (the plug-in's lines end in CR LF), and
    // whole streams of one line end.
    streams.emplace_back("document of CR lines", render(replaceAll(document, "\n", "\r")));
    for (const std::string_view lineEnd : {"\n", "\r"})
        streams.emplace_back("all lines " + std::to_string(lineEnd[0]), replaceAll(streams[0].second, "\r\n", lineEnd));
    for (const auto& [name, text] : streams) {
        writeAll(file("again.prn"), text);
        const ToolRun read = tvzx({"inspect", file("again.prn")});
        EXPECT_EQ(read.status, 0) << name << ": " << read.err;
        const bool foreignRecord = text.find(tvzx::base64Encode(bytes).substr(0, 100)) != std::string::npos;
        EXPECT_NE(read.out.find(foreignRecord ? converted : "[settings]\nStaple=2StaplesWide\n"), std::string::npos) << name << read.out;
    }
}

}  // namespace
