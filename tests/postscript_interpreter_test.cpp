// The plug-in's PostScript texts run in a real PostScript interpreter
// (Ghostscript): a job made of every text the plug-in writes, in stream
// order, must run to its end without an error, on a printer without the
// layout code (every call is skipped) and on one whose layout code is stood
// in for by procedures that report their calls, which must come in order.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "postscript/feature_dictionary.h"
#include "postscript/feature_texts.h"
#include "postscript/paper_values.h"
#include "postscript/tab_texts.h"
#include "rules/page_exceptions.h"
#include "settings/core_data.h"
#include "required_tool.h"
#include "tool_runner.h"

namespace tvzx::postscript {
namespace {

namespace fs = std::filesystem;
using settings::CoreData;
using settings::FieldId;

struct CommandRun {
    int status = -1;
    std::string output;  // standard output and standard error together
};

std::string quotedPath(const fs::path& path) { return "'" + path.string() + "'"; }

// Runs a command line, collecting what it writes.
CommandRun runCommand(const std::string& command) {
    CommandRun run;
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) return run;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.output.append(buffer, n);
    const int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

class PostScriptInterpreter : public ::testing::Test {
protected:
    void SetUp() override {
        const CommandRun gs = runCommand("command -v gs");
        TVZX_REQUIRE_TOOL(gs.status == 0, "Ghostscript (gs)");
        gs_ = gs.output.substr(0, gs.output.find('\n'));
        dir_ = fs::temp_directory_path() / ("tvzx-gs-" + std::to_string(::getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override {
        if (!dir_.empty()) fs::remove_all(dir_);
    }

    // Runs the document through the interpreter without a display.
    CommandRun interpret(const std::string& document, const std::string& name = "job.ps") const {
        const fs::path file = dir_ / name;
        std::ofstream(file, std::ios::binary) << document;
        return runCommand(quotedPath(gs_) + " -q -dNODISPLAY -dNOSAFER -dBATCH -dNOPAUSE " + quotedPath(file));
    }

    fs::path gs_;
    fs::path dir_;
};

constexpr std::uint32_t kCustomColour = 14;
constexpr std::string_view kEnd = "TVZX-END\n";
constexpr std::string_view kBitmapSize = "%%TARVO-BitmapSize: 4961 7016\r\n";
// Codes as the PPD gives them for the output-method options; the second
// tells that the procedure ran.
const std::vector<std::string> kInvocations = {"<< /Collate true >> setpagedevice", "(TVZXPlugInSettings) ="};

// What the printer's layout code and tab-sheet code would be, reduced to
// reporting each call, with the values it reads from the feature dictionary.
constexpr std::string_view kLayoutStandIns = R"(userdict /TVZXFeatures 100 dict put TVZXFeatures begin
/TVZXPSname /A4 def /Tarvo_V9 [1 0 0 1 0 0] def /Tarvo_dV9 [1 0 0 1 0 0] def
/Tarvo_NupP5 { (Tarvo_NupP5 ) print TVZXFeatures /HiResPageSize get ==only ( ) print
  TVZXFeatures /HiResPageSizePpdPt known ==only ( ) print TVZXFeatures /TVZXPdNup get == } def
/Tarvo_NupP0 { (Tarvo_NupP0 ) print TVZXFeatures /Tarvo_V11 get print ( ) print TVZXFeatures /TPCS get ==only
  ( ) print TVZXFeatures /TrayConfiguration get /Tray2 get dup /TVZXMediaColor get ==only ( ) print
  /TVZXMediaPrepunched get == } def
/Tarvo_P8 { (Tarvo_P8 ) print == } def /Tarvo_P5 { (Tarvo_P5 ) print == } def
/Tarvo_P4 { (Tarvo_P4) = } def /Tarvo_NupP3 { (Tarvo_NupP3) = } def /Tarvo_P6 { (Tarvo_P6) = } def
end true setglobal globaldict /TarvoTABdict 1 dict dup /Tarvo_TP2 { (Tarvo_TP2) = } put put false setglobal
)";

// A tab document's page, as the tab sheet's body brings it.
constexpr std::string_view kTabBody = "newpath 500 700 moveto 560 760 lineto stroke showpage\r\n";

// A job with a custom page, four pages per sheet, a custom target paper, a
// tray of a named custom colour, a page of A3, and tab sheets printed on page
// 1, inserted before page 2 and after the document.
CoreData tellingSettings() {
    CoreData record = settings::buildDefaultRecord({'9', 0});
    for (const auto& [id, option] : std::initializer_list<std::pair<FieldId, std::uint32_t>>{
             {FieldId::PageSize, settings::kCustomPageSize}, {FieldId::NUpCount, 3}, {FieldId::TargetPaperSize, kTargetCustom},
             {FieldId::MediaColorTray2, kCustomColour}, {FieldId::MediaPrepunchedTray2, 1}})
        record.setOption(id, option);
    for (const auto& [id, number] : std::initializer_list<std::pair<FieldId, std::int64_t>>{
             {FieldId::CustomPageSizeWidth, 1000000}, {FieldId::CustomPageSizeHeight, 1500000},
             {FieldId::CustomTargetPaperSizeWidth, 2970000}, {FieldId::CustomTargetPaperSizeHeight, 2100000}})
        record.setNumber(id, number);
    record.setText(FieldId::CustomMediaColorNameTray2, "Sky Blue");
    rules::PageException printed, a3;
    printed.kind = 5;
    printed.tabInfo = {0, 0, 0, 0, "One"};
    printed.pageRanges = {{1, 1}};
    a3.pageRanges = {{3, 3}};
    rules::PageException inserted = printed, after = printed;
    inserted.tabInfo.position = 1;
    inserted.pageRanges = {{2, 2}};
    after.kind = 7;
    after.pageRanges = {{9, 9}};
    const rules::EncodedPageExceptions encoded = rules::encodePageExceptions(std::vector{printed, inserted, a3, after});
    std::copy(encoded.block.begin(), encoded.block.end(), record.field(FieldId::PageSpecificTrays).begin());
    return record;
}

std::string tabSheet(bool printedOnThePage) {
    return stateSave() + (printedOnThePage ? noEjectText() : std::string()) + std::string(kTabBody) + stateRestore();
}

// Returns a three-page job as the driver and the plug-in write it together, in
// stream order: the plug-in's texts at the injection points, the driver's own
// page save, the page-setup code's call of the callback, and page content.
std::string jobDocument(const CoreData& settings, std::string_view standIns) {
    PlugInFeatureTexts texts;
    std::string job = "%!PS-Adobe-3.0\r\n%%Pages: 3\r\n%%EndComments\r\n%%BeginProlog\r\n" + std::string(standIns) +
                      "%%EndProlog\r\n%%BeginSetup\r\n" + tabPreparation(true) + std::string(kBitmapSize) +
                      texts.setupEntries(settings) + texts.plugInSettings(kInvocations) +
                      "TVZXFeatures /TVZXPlugInSettings get exec\r\n" + texts.endOfSetup(settings) + "%%EndSetup\r\n";
    for (int page = 1; page <= 3; ++page) {
        job += "%%Page: " + std::to_string(page) + " " + std::to_string(page) + "\r\n%%BeginPageSetup\r\n";
        job += pageSaveCapture() + std::string(kBitmapSize) + texts.pageHead(settings) + texts.pageText(settings, page);
        if (page == 1) job += tabSheet(true);
        if (page == 2) job += tabSheet(false) + pageDeviceRestore();
        job += pageSetupCallback(page == 1);
        job += "userdict begin /pagesave save def end\r\n"
               "userdict /TVZXPluginEndPageSetupCallBack known { TVZXPluginEndPageSetupCallBack } if\r\n%%EndPageSetup\r\n"
               "newpath 72 72 moveto 144 144 lineto stroke\r\npagesave restore showpage\r\n%%PageTrailer\r\n";
        job += qxpFixCall() + (page == 1 ? pageDeviceRestore() : std::string()) + texts.pageTrailer(settings);
    }
    return job + "%%Trailer\r\n" + texts.trailer(settings) + tabSheet(false) + pageDeviceRestore() + "(" +
           std::string(kEnd.substr(0, kEnd.size() - 1)) + ") =\r\n%%EOF\r\n";
}

TEST_F(PostScriptInterpreter, CallsTheLayoutCodeInStreamOrder) {
    const CommandRun run = interpret(jobDocument(tellingSettings(), kLayoutStandIns));
    EXPECT_EQ(run.status, 0) << run.output;
    const std::string nup = "Tarvo_NupP5 [100000 150000] true /4f\n";
    const std::string expected =
        // Setup: the N-up data, the output method, the end of setup.
        nup + "TVZXPlugInSettings\n" + "Tarvo_NupP0 %%TARVOPAGETRAILER%% [2100 2970] /Sky Blue true\n" +
        // Page 1, with a tab sheet printed on it; its page device comes back
        // at the page trailer.
        "Tarvo_P4\n" + nup + "Tarvo_P8 /None\n" + "Tarvo_TP2\n" + "Tarvo_P5 /A4\n" + "Tarvo_NupP3\n" +
        // Page 2, with a tab sheet inserted before it.
        "Tarvo_P4\n" + nup + "Tarvo_P8 /None\n" + "Tarvo_TP2\n" + "Tarvo_P5 /A4\n" + "Tarvo_NupP3\n" +
        // Page 3 takes A3.
        "Tarvo_P4\n" + nup + "Tarvo_P8 /A3\n" + "Tarvo_NupP3\n" +
        // The trailer, then the tab sheet after the document.
        "Tarvo_P6\n" + "Tarvo_TP2\n" + "Tarvo_P5 /A4\n" + std::string(kEnd);
    EXPECT_EQ(run.output, expected);
}

// Without the layout code every call is skipped; only the sample invocation
// and the end speak, even for extreme settings.
TEST_F(PostScriptInterpreter, RunsEveryTextWithoutTheLayoutCode) {
    CoreData record = tellingSettings();
    // Every number at its largest stored value.
    for (const settings::FieldDef& def : settings::fieldTable())
        if (def.kind == settings::Kind::Range)
            record.setRaw(static_cast<FieldId>(&def - settings::fieldTable().data()), 0xFFFFFFFFu);
    // Colour names that would end a name, open a string or a procedure, or
    // start a comment.
    const std::pair<FieldId, FieldId> trays[] = {
        {FieldId::MediaColorTray1, FieldId::CustomMediaColorNameTray1}, {FieldId::MediaColorTray2, FieldId::CustomMediaColorNameTray2},
        {FieldId::MediaColorTray3, FieldId::CustomMediaColorNameTray3}, {FieldId::MediaColorTray4, FieldId::CustomMediaColorNameTray4},
        {FieldId::MediaColorTray5, FieldId::CustomMediaColorNameTray5}, {FieldId::MediaColorMBT, FieldId::CustomMediaColorNameMBT}};
    const std::string names[] = {"x) pop (y", "} bind def {", "%comment", "Gr\xC3\xBCn", std::string(127, '('), "a/b c"};
    for (std::size_t i = 0; i < std::size(trays); ++i) {
        record.setOption(trays[i].first, kCustomColour);
        record.setText(trays[i].second, names[i]);
    }
    const CommandRun run = interpret(jobDocument(record, {}));
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output, "TVZXPlugInSettings\n" + std::string(kEnd));
}

TEST_F(PostScriptInterpreter, ShiftedTabPageMovesByTheTabOnShortTabPaper) {
    // The shifted callback translates the page on the short tab papers only.
    std::string document = "%!PS-Adobe-3.0\r\n" + std::string(kLayoutStandIns);
    for (const char* paper : {"/ZXA4STab2", "/ZXLetterSTab", "/A4"}) {
        // The page's offset from the device's default, in points up the page.
        document += "TVZXFeatures /TVZXPSname " + std::string(paper) + " put initmatrix\r\n" + pageSetupCallback(true) +
                    "TVZXPluginEndPageSetupCallBack matrix currentmatrix matrix defaultmatrix matrix invertmatrix "
                    "matrix concatmatrix 5 get ==\r\n";
    }
    const CommandRun run = interpret(document);
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output, "42.0\n36.0\n0.0\n");
}

// Returns the PostScript job inside the printer-ready stream: what lies
// between the PJL that opens it and the universal exit that closes it.
std::string withoutPjl(const std::string& stream) {
    constexpr std::string_view kEnterPostScript = "@PJL ENTER LANGUAGE = POSTSCRIPT\r\n";
    constexpr std::string_view kUniversalExit = "\x1b%-12345X";
    const std::size_t start = stream.find(kEnterPostScript);
    const std::size_t end = stream.rfind(kUniversalExit);
    if (start == std::string::npos || end == std::string::npos || end < start) return {};
    return stream.substr(start + kEnterPostScript.size(), end - start - kEnterPostScript.size());
}

// A job of telling settings, the driver's own parts around the plug-in's.
TEST_F(PostScriptInterpreter, RunsARenderedSampleJob) {
    const tvzx::testing::ToolRun render = tvzx::testing::runTvzx(
        {"render", "--sample", "plain", "-o", (dir_ / "job.prn").string(), "--set", "NUpCount=4Reverse", "--set",
         "Orientation=Land", "--set", "PerfectBindMode=2In1", "--set", "Zoom=150", "--set", "MixedSize=True"},
        dir_ / "render.err");
    ASSERT_EQ(render.status, 0) << render.err;
    const std::string job = withoutPjl(tvzx::testing::readAll(dir_ / "job.prn"));
    ASSERT_TRUE(job.starts_with("%!PS-Adobe-3.0")) << job.substr(0, 200);
    // The plug-in's texts are in it, and the interpreter runs it all.
    EXPECT_NE(job.find(ensureFeatureDict() + "TVZXFeatures /PDVersion"), std::string::npos);
    EXPECT_NE(job.find("TVZXFeatures /Tarvo_P4 known"), std::string::npos);
    const CommandRun run = interpret(job, "rendered.ps");
    EXPECT_EQ(std::pair(run.status, run.output), std::pair(0, std::string()));
}

}  // namespace
}  // namespace tvzx::postscript
