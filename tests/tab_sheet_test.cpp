// One tab sheet from worker to stream: the exchange record handed to the
// worker process, the wait for its file, and the splice between the state
// save and restore.
#include <gtest/gtest.h>

#include "postscript/tab_texts.h"
#include "settings/core_data.h"
#include "tab_fakes.h"
#include "tabs/exchange_record.h"
#include "tabs/tab_sheet.h"

namespace tvzx::tabs {
namespace {

constexpr std::string_view kTabDocument =
    "\x1b%-12345X@PJL\r\n@PJL SET X=1\r\n@PJL ENTER LANGUAGE = POSTSCRIPT\r\n"
    "%!PS-Adobe-3.0\r\n%%Title: Printed Tab on 3\r\n%%EndComments\r\n%%BeginSetup\r\n"
    "userdict /TVZXFeatures known not {userdict /TVZXFeatures 100 dict put} if\r\n"
    "featurebegin{\r\n%%BeginFeature: *ZVOpCreator PSDriver\r\nC\r\n%%EndFeature\r\n} featurecleanup\r\n"
    "featurebegin{\r\n%%BeginFeature: *ZVOpPPDVersion 7.0.410\r\nV\r\n%%EndFeature\r\n} featurecleanup\r\n"
    "featurebegin{\r\n%%BeginFeature: *PageSize ZXA4Tab1\r\nP\r\n%%EndFeature\r\n} featurecleanup\r\n"
    "featurebegin{\r\n%%BeginFeature: *ZVLayout None\r\nL\r\n%%EndFeature\r\n} featurecleanup\r\n"
    "%%EndSetup\r\n%%Page: 1 1\r\n%%EndPageSetup\r\n1 setlinecap 1 setlinejoin\r\n(Part B) show\r\nshowpage\r\n"
    "%%Trailer\r\n%%EOF\r\n\x1b%-12345X";

constexpr std::string_view kBody =
    "%!PS-Adobe-3.0\r\n%%Title: Printed Tab on 3\r\n%%EndComments\r\n"
    "userdict /TVZXFeatures known not {userdict /TVZXFeatures 100 dict put} if\r\n"
    "featurebegin{\r\n%%BeginFeature: *ZVOpCreator PSDriver\r\nC\r\n%%EndFeature\r\n} featurecleanup\r\n"
    "featurebegin{\r\n%%BeginFeature: *ZVOpPPDVersion 7.0.410\r\nV\r\n%%EndFeature\r\n} featurecleanup\r\n"
    "featurebegin{\r\n%%BeginFeature: *PageSize ZXA4Tab1\r\nP\r\n%%EndFeature\r\n} featurecleanup\r\n"
    "1 setlinecap 1 setlinejoin\r\n(Part B) show\r\nshowpage\r\n%%Trailer\r\n";

class TabSheetTest : public ::testing::Test {
protected:
    TabSheetTest() {
        request.workingDirectory = u"/spool/";
        request.module = &moduleToken;
        request.moduleFile = u"/drivers/tvzx_ps.dll";
        request.exchange.printerName = u"Production 1";
        request.exchange.documentName = u"Printed Tab on 3";
        request.exchange.settings = settings::defaultRecord();
        request.exchange.jobId = 42;
        request.exchange.tabInformation = {0, 0, 0, 1};
        request.exchange.label = "Part B";
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
    TabSheetRequest request;
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
                                                                 u"C:\\DRIVERS\\TVZX_PS.DLL,CreateTabFileEx "
                                                                 u"YZABCDEFGHIJKLMNOPQR"});
    EXPECT_EQ(seen.temporaryPath, u"/spool/TP11.tmp");
    EXPECT_EQ(seen.module, reinterpret_cast<std::uintptr_t>(&moduleToken));
    EXPECT_EQ(seen.label, "Part B");
    EXPECT_EQ(sink.text, postscript::stateSave() + postscript::noEjectText() + std::string(kBody) +
                             postscript::stateRestore());
    EXPECT_EQ(files.removed, std::vector<std::u16string>{u"/spool/TP11.tmp"});
    EXPECT_TRUE(files.sleeps.empty());
}

TEST_F(TabSheetTest, FileThatNeverAppearsIsGivenUpWithinFiveSeconds) {
    launcher.process = nullptr;  // the worker ends without printing
    EXPECT_FALSE(create());
    EXPECT_EQ(sink.text, "");
    // Two pauses of 2 s and a random part below 100 ms; a third would pass 5 s.
    EXPECT_EQ(files.sleeps, (std::vector<std::uint32_t>{2044, 2045}));
    EXPECT_EQ(files.removed.size(), 1u);
}

TEST_F(TabSheetTest, FailedWorkerOrUnusableDocumentWritesNothing) {
    // A worker that reports failure is not waited for.
    status = kWorkerFailed;
    EXPECT_FALSE(create());
    EXPECT_TRUE(files.sleeps.empty());
    status = kWorkerSucceeded;
    document = "%!PS-Adobe-3.0\r\nno setup at all\r\n";
    EXPECT_FALSE(create());
    EXPECT_EQ(sink.text, "");
    EXPECT_EQ(files.contents.size(), 0u) << "every temporary file is removed";
}

}  // namespace
}  // namespace tvzx::tabs
