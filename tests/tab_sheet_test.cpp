// One tab sheet from worker to stream: the exchange record handed to the
// worker process, the wait for its file, and the splice between the state
// save and restore.
#include <gtest/gtest.h>

#include "postscript/tab_texts.h"
#include "tab_fakes.h"
#include "tabs/tab_sheet.h"

namespace tvzx::tabs {
namespace {

// The same prolog, features and page in the worker's document and in the
// body taken from it.
#define TVZX_TAB_HEADER "%!PS-Adobe-3.0\r\n%%Title: Printed Tab on 3\r\n%%EndComments\r\n"
#define TVZX_TAB_FEATURES                                                                               \
    "userdict /TVZXFeatures known not {userdict /TVZXFeatures 100 dict put} if\r\n"                    \
    "featurebegin{\r\n%%BeginFeature: *ZVOpCreator PSDriver\r\nC\r\n%%EndFeature\r\n} featurecleanup\r\n"    \
    "featurebegin{\r\n%%BeginFeature: *ZVOpPPDVersion 7.0.410\r\nV\r\n%%EndFeature\r\n} featurecleanup\r\n" \
    "featurebegin{\r\n%%BeginFeature: *PageSize ZXA4Tab1\r\nP\r\n%%EndFeature\r\n} featurecleanup\r\n"
#define TVZX_TAB_PAGE "1 setlinecap 1 setlinejoin\r\n(Part B) show\r\nshowpage\r\n%%Trailer\r\n"

constexpr std::string_view kTabDocument =
    "\x1b%-12345X@PJL\r\n@PJL SET X=1\r\n@PJL ENTER LANGUAGE = POSTSCRIPT\r\n" TVZX_TAB_HEADER "%%BeginSetup\r\n" TVZX_TAB_FEATURES
    "featurebegin{\r\n%%BeginFeature: *ZVLayout None\r\nL\r\n%%EndFeature\r\n} featurecleanup\r\n"
    "%%EndSetup\r\n%%Page: 1 1\r\n%%EndPageSetup\r\n" TVZX_TAB_PAGE "%%EOF\r\n\x1b%-12345X";
constexpr std::string_view kBody = TVZX_TAB_HEADER TVZX_TAB_FEATURES TVZX_TAB_PAGE;

class TabSheetTest : public ::testing::Test {
protected:
    TabSheetTest() {
        // The worker process prints the tab document into the record's file
        // and reports success.
        launcher.process = [this](std::u16string_view commandLine) {
            auto& block = memory.blocks.at(std::u16string(commandLine.substr(commandLine.rfind(u' ') + 1)));
            if (const auto exchange = readExchange(block)) {
                seen = *exchange;
                files.contents[exchange->temporaryPath] = std::string(document);
            }
            writeNumber(block, exchange::kStatus, status);
        };
    }

    bool create() {
        TabSheetServices services{files, memory, launcher, nullptr, testing::countingRandom(24)};
        return createTabSheet(request, services, sink);
    }

    int moduleToken = 0;
    testing::MemoryTemporaryFiles files;
    testing::MapSharedMemory memory;
    testing::ScriptedLauncher launcher;
    TabSheetRequest request{.exchange = {.printerName = u"Production 1", .temporaryPath = {}, .documentName = u"Printed Tab on 3",
                                         .settings = settings::defaultRecord(), .jobId = 42, .tabInformation = {0, 0, 0, 1},
                                         .label = "Part B"},
                            .workingDirectory = u"/spool/", .module = &moduleToken, .moduleFile = u"/drivers/tvzx_ps.dll"};
    std::string_view document = kTabDocument;
    std::uint32_t status = kWorkerSucceeded;
    TabExchange seen;
    StringSink sink;
};

TEST_F(TabSheetTest, WorkerProcessGetsTheRecordThroughTheExportRunner) {
    request.noEject = true;
    ASSERT_TRUE(create());
    // Twenty letters from the random sequence, wrapping after Z, name the block.
    EXPECT_EQ(launcher.commandLines, std::vector<std::u16string>{u"\"C:\\Windows\\system32\\rundll32.exe\" "
                                                                 u"C:\\DRIVERS\\TVZX_PS.DLL,CreateTabFileEx YZABCDEFGHIJKLMNOPQR"});
    EXPECT_EQ(seen.temporaryPath, u"/spool/TP11.tmp");
    EXPECT_EQ(seen.module, reinterpret_cast<std::uintptr_t>(&moduleToken));
    EXPECT_EQ(seen.label, "Part B");
    // The tab document stands between the brackets of an included document.
    EXPECT_EQ(sink.text, postscript::stateSave() + postscript::noEjectText() + "%%BeginDocument: (Printed Tab on 3)\r\n" +
                             std::string(kBody) + "%%EndDocument\r\n" + postscript::stateRestore());
    EXPECT_EQ(files.removed, std::vector<std::u16string>{u"/spool/TP11.tmp"});
    EXPECT_TRUE(files.sleeps.empty());
}

TEST_F(TabSheetTest, BracketsGetLinesOfTheirOwnAndNameTheTabAsOneText) {
    // A name that would break the parenthesised text; a document whose end
    // comment follows the page on the same line, or after a lone CR.
    request.exchange.documentName = u"Tab (a)\\b \u00E9";
    for (const auto& [ending, expected] : {std::pair("showpage %%EOF", "showpage \r\n%%EndDocument\r\n"),
                                           std::pair("showpage\r%%EOF", "showpage\r%%EndDocument\r\n")}) {
        const std::string text = "%!PS-Adobe-3.0\n%%BeginSetup\nuserdict featurebegin{ %%BeginFeature: *ZVOpCreator x "
                                 "featurebegin{ %%BeginFeature: *ZVOpPPDVersion 1 featurebegin{ %%BeginFeature: "
                                 "*PageRegion A4 featurebegin{ 1 setlinecap 1 setlinejoin " + std::string(ending);
        document = text;
        sink.text.clear();
        ASSERT_TRUE(create());
        const std::string written = sink.text.substr(postscript::stateSave().size());
        EXPECT_TRUE(written.starts_with("%%BeginDocument: (Tab \\(a\\)\\\\b ?)\r\n%!PS-Adobe-3.0\n")) << written;
        EXPECT_TRUE(written.ends_with(expected + postscript::stateRestore())) << written;
    }
}

TEST_F(TabSheetTest, FailedWorkerMissingFileOrUnusableDocumentWritesNothing) {
    // A worker that reports failure is not waited for.
    status = kWorkerFailed;
    EXPECT_FALSE(create() || !files.sleeps.empty());
    status = kWorkerSucceeded;
    document = "%!PS-Adobe-3.0\r\nno setup at all\r\n";
    EXPECT_FALSE(create());
    EXPECT_EQ(files.contents.size(), 0u) << "every temporary file is removed";
    // A file that never appears is given up within five seconds: two pauses of
    // 2 s and a random part below 100 ms; a third would pass 5 s.
    launcher.process = nullptr;  // the worker ends without printing
    const std::size_t removed = files.removed.size();
    EXPECT_FALSE(create());
    EXPECT_EQ(files.sleeps, (std::vector<std::uint32_t>{2044, 2045}));
    EXPECT_EQ(files.removed.size(), removed + 1);
    EXPECT_EQ(sink.text, "");
}

}  // namespace
}  // namespace tvzx::tabs
