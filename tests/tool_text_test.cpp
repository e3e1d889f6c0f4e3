// The tvzx text and lng commands, run as a maintainer runs them, and the
// display language the tool takes from its environment.
#include <gtest/gtest.h>

#include "tool_runner.h"

#include <algorithm>

namespace {

namespace fs = std::filesystem;

using namespace tvzx::testing;

// A language table for Portuguese (Portugal) and Russian.
constexpr std::string_view kTable =
    "L10N_LBL_LANGUAGECODE\t0x0816\t0x0419\nL10N_LBL_INPUTSLOT\tBandeja de papel\tЛоток для бумаги\n"
    "L10N_OPT_LANGUAGE_KEYS\tChave\n";

class ToolText : public tvzx::testing::ToolTest {
protected:
    // Runs tvzx with the arguments (each quoted for the shell) in an
    // environment whose only language setting is `language` (LANGUAGE).
    ToolRun tvzx(const std::vector<std::string>& args, const std::string& language = "") const {
        std::string command = "env -u LANGUAGE -u LC_ALL -u LC_MESSAGES -u LANG";
        if (!language.empty()) command += " LANGUAGE='" + language + "'";
        return ::tvzx::testing::runTvzx(args, file("stderr"), command);
    }

    // Expects a refusal: status 2, one line on standard error, nothing on
    // standard output.
    void expectRefused(const ToolRun& run, const std::string& context) const {
        EXPECT_EQ(std::pair(run.status, run.out), std::pair(2, std::string())) << context;
        EXPECT_TRUE(run.err.starts_with("tvzx: ")) << context << ": " << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << context << ": " << run.err;
    }
};

TEST_F(ToolText, PrintsOneTextInTheDisplayLanguageOrAChosenOne) {
    const ToolRun german = tvzx({"text", "12"}, "de_DE");
    EXPECT_EQ(std::pair(german.status, german.out), std::pair(0, std::string("Papierfach\n"))) << german.err;
    EXPECT_EQ(tvzx({"text", "12"}, "pt_BR:zh_TW").out, "紙匣\n");
    EXPECT_EQ(tvzx({"text", "12", "--lang", "8"}, "de").out, "給紙トレイ\n");
    EXPECT_EQ(tvzx({"text", "L10N_OPTIONS_PNL_SNMP", "--lang", "1"}).out, "Configuration SNMP\n");
    // The terminating row prints an empty line; what names no text is refused.
    EXPECT_EQ(tvzx({"text", "1973"}).out, "\n");
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"text"}, {"text", "1974"}, {"text", "-1"}, {"text", "L10N_NO_SUCH_KEY"}, {"text", "12", "--lang", "9"},
             {"text", "12", "--lang", "x"}, {"text", "12", "13"}})
        expectRefused(tvzx(args), args.back());
}

TEST_F(ToolText, PackedFileReadsBackWithItsLanguagesAndWhatWouldNotReadBackIsRefused) {
    writeAll(file("table.tsv"), kTable);
    const std::string lng = file("tvzx.lng").string();
    const ToolRun pack = tvzx({"lng", "pack", file("table.tsv").string(), lng});
    EXPECT_EQ(std::pair(pack.status, pack.out), std::pair(0, lng + ": 2 languages, 2 keys\n")) << pack.err;
    const ToolRun unpack = tvzx({"lng", "unpack", lng});
    EXPECT_EQ(std::pair(unpack.status, unpack.out), std::pair(0, std::string(kTable))) << unpack.err;
    EXPECT_EQ(tvzx({"text", "12", "--lng", lng, "--lang", "10"}).out, "Лоток для бумаги\n");
    EXPECT_EQ(tvzx({"text", "1972", "--lng", lng, "--lang", "9"}).out, "Chave\n");
    EXPECT_EQ(tvzx({"text", "1972", "--lng", lng, "--lang", "10"}).out, "Key\n");
    expectRefused(tvzx({"text", "12", "--lng", lng, "--lang", "11"}), "two file languages only");
    // The same table with CR LF line ends packs too, and its texts read without the CR.
    std::string crlf;
    for (const char c : kTable) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    writeAll(file("crlf.tsv"), crlf);
    EXPECT_EQ(tvzx({"lng", "pack", file("crlf.tsv").string(), file("crlf.lng").string()}).status, 0);
    EXPECT_EQ(tvzx({"text", "12", "--lng", file("crlf.lng").string(), "--lang", "10"}).out, "Лоток для бумаги\n");

    // Pack and unpack refuse what would not read back.
    static constexpr char kNulTable[] = "L10N_LBL_LANGUAGECODE\t0x0816\nK\ta\0b\n";
    const std::vector<std::pair<std::string, std::string>> tables = {
        {"no header", "L10N_LBL_INPUTSLOT\tx\n"}, {"built-in language", "L10N_LBL_LANGUAGECODE\t0x0816\t0x0409\n"},
        {"unknown locale", "L10N_LBL_LANGUAGECODE\t0x0C0A\n"}, {"no language", "L10N_LBL_LANGUAGECODE\n"},
        {"too many texts", "L10N_LBL_LANGUAGECODE\t0x0816\nL10N_LBL_INPUTSLOT\ta\tb\n"},
        {"key twice", "L10N_LBL_LANGUAGECODE\t0x0816\nK\ta\nK\tb\n"},
        {"texts without key", "L10N_LBL_LANGUAGECODE\t0x0816\n\ta\n"},
        {"not UTF-8", "L10N_LBL_LANGUAGECODE\t0x0816\nK\t\xC3(\n"},
        {"overlong UTF-8", "L10N_LBL_LANGUAGECODE\t0x0816\nK\t\xC0\xAF\n"},
        {"NUL", std::string(kNulTable, sizeof kNulTable - 1)},
    };
    for (const auto& [what, table] : tables) {
        writeAll(file("table.tsv"), table);
        expectRefused(tvzx({"lng", "pack", file("table.tsv").string(), file("out.lng").string()}), what);
        EXPECT_FALSE(fs::exists(file("out.lng"))) << what;
    }
    writeAll(file("short.lng"), std::string(17, 'x'));
    writeAll(file("noise.lng"), std::string(64, 'x'));
    const std::string noise = file("noise.lng").string();
    const std::pair<std::vector<std::string>, const char*> refused[] = {
        {{"lng", "pack", file("missing.tsv").string(), file("out.lng").string()}, "missing table"},
        {{"lng", "pack", file("table.tsv").string()}, "no output"}, {{"lng", "repack"}, "unknown action"},
        {{"lng", "unpack", file("short.lng").string()}, "cut block"}, {{"lng", "unpack", noise}, "noise"},
        {{"text", "12", "--lng", noise}, "noise as a text source"}};
    for (const auto& [args, what] : refused) expectRefused(tvzx(args), what);
}

}  // namespace
