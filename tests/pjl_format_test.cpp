// One ticket command: quoting, numbers and the bounded UTF-8 copy; and whole
// tickets read back with a PJL reader of the test's own.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <regex>
#include <set>

#include "pjl/pjl_format.h"
#include "pjl/ticket.h"

namespace tvzx::pjl {
namespace {

using settings::CoreData;
using settings::FieldId;

TEST(FormatPjlSet, BareQuotedAndNumberValuesCopiedWithinTheirBoundAsWholeCharacters) {
    // Each row: key, value, whether always quoted, the command.
    const std::tuple<std::string_view, std::string_view, bool, std::string_view> cases[] = {
        {"COPIES", "3", false, "@PJL SET COPIES=3\r\n"}, {"SHIFT", "-12", false, "@PJL SET SHIFT=-12\r\n"},
        {"SHIFT", "-", false, "@PJL SET SHIFT=-\r\n"}, {"SHIFT", "-A", false, "@PJL SET SHIFT=\"-A\"\r\n"},
        {"SCALE", "1.5", false, "@PJL SET SCALE=\"1.5\"\r\n"}, {"EMPTY", "", false, "@PJL SET EMPTY=\r\n"},
        {"NAME", "two words", false, "@PJL SET NAME=\"two words\"\r\n"},
        {"NAME", "caf\xC3\xA9", false, "@PJL SET NAME=\"caf\xC3\xA9\"\r\n"},
        // A quote inside a value would end the string: it becomes an apostrophe.
        {"NAME", "a\"b", false, "@PJL SET NAME=\"a'b\"\r\n"}, {"NAME", "\"", true, "@PJL SET NAME=\"'\"\r\n"},
        // Line breaks cannot start a command of their own.
        {"ZXSECTIONNAME", "Sales\r\n@PJL SET HOLD=OFF", true, "@PJL SET ZXSECTIONNAME=\"Sales  @PJL SET HOLD=OFF\"\r\n"},
        {"JOBNAME", "a\nb", false, "@PJL SET JOBNAME=\"a b\"\r\n"}, {"USERNAME", "", true, "@PJL SET USERNAME=\"\"\r\n"},
        {"USERNAME", "alice", true, "@PJL SET USERNAME=\"alice\"\r\n"}, {"", "value", false, ""}};
    for (const auto& [key, value, quoted, expected] : cases)
        EXPECT_EQ(formatPjlSet(key, value, quoted), expected) << key << "=" << value;
    EXPECT_EQ(formatNumber(-25), "-25");
    EXPECT_EQ(formatNumber(4294967295), "4294967295");

    // The bounded copy keeps whole characters and replaces high bytes of other encodings.
    // "é" is two bytes: with room for three bytes only "aé" fits, not "aéé".
    // A Latin-1 name is not UTF-8: its high bytes become "?".
    const std::tuple<std::string_view, std::size_t, std::string_view> copies[] = {
        {"a\xC3\xA9\xC3\xA9", 4, "a\xC3\xA9"}, {"a\xC3\xA9\xC3\xA9", 5, "a\xC3\xA9"}, {"abc", 1, ""},
        {"a\xC3\xA9\xC3\xA9", 6, "a\xC3\xA9\xC3\xA9"}, {"M\xFCller", 7, "M?ller"}, {"M\xFCller", 3, "M?"}};
    for (const auto& [source, n, expected] : copies) EXPECT_EQ(boundedUtf8Copy(source, n), expected) << source << " " << n;
    EXPECT_FALSE(isWellFormedUtf8("\xC0\x80") || isWellFormedUtf8("\xE3\x82"));
    EXPECT_TRUE(isWellFormedUtf8("\xE3\x82\xB4"));
}

// The PJL grammar of one "SET" command, as a printer's PJL reader takes it:
//   command = "@PJL" ws "SET" ws key [ws] "=" [ws] value [ws] CR LF
//   key     = letter *(letter / digit)
//   value   = number / word / string
//   number  = ["-" / "+"] 1*digit ["." 1*digit]
//   word    = letter *(letter / digit)
//   string  = DQUOTE *(HTAB / %x20-21 / %x23-7E / %x80-FF) DQUOTE
struct PjlSet {
    std::string key;
    std::string value;
};

// Returns the key and the value (a string without its quotes); nothing when
// the line breaks the grammar.
std::optional<PjlSet> readPjlSet(const std::string& line) {
    static const std::regex command(
        "@PJL[ \t]+SET[ \t]+([A-Za-z][A-Za-z0-9]*)[ \t]*=[ \t]*"
        "(?:\"([^\"\\x01-\\x08\\x0A-\\x1F\\x7F]*)\"|([A-Za-z][A-Za-z0-9]*|[-+]?[0-9]+(?:\\.[0-9]+)?))[ \t]*\r\n");
    std::smatch match;
    if (!std::regex_match(line, match, command) || line.find('\0') != std::string::npos) return std::nullopt;
    return PjlSet{match.str(1), match[2].matched ? match.str(2) : match.str(3)};
}

// Returns every command of the ticket read by the grammar; a line that breaks
// it fails the test.
std::vector<PjlSet> readTicket(const std::string& ticket) {
    std::vector<PjlSet> commands;
    for (std::size_t at = 0; at < ticket.size();) {
        const std::size_t end = ticket.find('\n', at);
        const std::string_view line(ticket.data() + at, (end == std::string::npos ? ticket.size() : end + 1) - at);
        if (const std::optional<PjlSet> set = readPjlSet(std::string(line))) commands.push_back(*set);
        else ADD_FAILURE() << "not one PJL command: " << line;
        at += line.size();
    }
    return commands;
}

TEST(TicketGrammar, EveryLineOfFeatureRichTicketsIsOnePjlCommand) {
    // Every text of the record holds quotes and line breaks; each job below
    // sends a different set of them.
    constexpr std::string_view kTroublesome = "a\"b\r\n\"c\t\xC3\xA9";
    // How each text begins in the ticket, where the shortest fields cut it.
    constexpr std::string_view kAsSent = "a'b  'c";
    const std::vector<std::vector<std::pair<FieldId, std::string_view>>> jobs = {
        {{FieldId::InputSlot, "Tray2"}, {FieldId::MediaColorTray2, "Custom"}, {FieldId::Staple, "2StaplesNarrow"},
         {FieldId::Punch, "3Holes"}, {FieldId::Fold, "ZFold"}, {FieldId::DateStamp, "All"},
         {FieldId::JobInfo, "Top"}, {FieldId::PIJobName, "True"}, {FieldId::AccountTrack, "True"},
         {FieldId::PrintMode, "ProofMode"}, {FieldId::OutputMethod, "Secure"},
         {FieldId::UserAuthentication, "MainBody"}, {FieldId::SendEMail, "Always"}},
        {{FieldId::OutputMethod, "SaveInUBAndP"}, {FieldId::UserAuthentication, "ExternalServer"},
         {FieldId::Layout, "Booklet"}},
        {{FieldId::OutputMethod, "SaveInUB"}, {FieldId::UserAuthentication, "RelayServer"}},
    };
    const std::string relayFields = "1\tlogin\tva\"l\r\n2\tpin\t-42\n3\tsave\tON\n";
    std::set<std::string> keysWithText;
    for (const auto& options : jobs) {
        CoreData s = settings::defaultRecord();
        for (const settings::FieldDef& field : settings::fieldTable())
            if (field.isText()) s.setText(*settings::findField(field.name), kTroublesome);
        for (const auto& [field, name] : options) s.setOption(field, settings::fieldDef(field).options->find(name).value());
        // Without a file name of its own the job is named after the document.
        s.setText(FieldId::FileName, "");
        auto relay = s.field(FieldId::RelayServerSettings);
        std::fill(relay.begin(), relay.end(), 0);
        std::copy(relayFields.begin(), relayFields.end(), relay.begin());
        const std::string ticket = buildJobTicket(s, {"Q3 \"final\" report", "o\"brien", "20261207-\"1\""});
        for (const PjlSet& set : readTicket(ticket)) {
            if (set.value.starts_with(kAsSent)) keysWithText.insert(set.key);
            const std::map<std::string, std::string> names = {
                {"JOBNAME", "Q3 'final' report"}, {"USERNAME", "o'brien"}, {"DRIVERJOBID", "20261207-'1'"}};
            if (names.count(set.key)) {
                EXPECT_EQ(set.value, names.at(set.key));
            }
        }
    }
    // The texts did reach the tickets, each through its own command.
    const std::set<std::string> expected = {"ZXSECTIONNAME", "ZXUSERNAME", "MEDIACOLORNAME", "BOXFOLDERNAME",
                                            "BOXIDNAME", "ZXCERTFLEXSCREENID", "ZXJOBID", "SENDEMAILADDRESS",
                                            "JOBCOMMENT1"};
    for (const std::string& key : expected) EXPECT_TRUE(keysWithText.count(key)) << key;
}

}  // namespace
}  // namespace tvzx::pjl
