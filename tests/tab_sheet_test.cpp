// One tab sheet from worker to stream: the exchange record handed to the
// worker process (or the thread), the wait for its file, and the splice
// between the state save and restore.
#include <gtest/gtest.h>

#include "postscript/tab_texts.h"
#include "settings/core_data.h"
#include "tab_fakes.h"
#include "tabs/exchange_record.h"
#include "tabs/tab_sheet.h"

namespace tvzx::tabs {
namespace {

using testing::MapSharedMemory;
using testing::MemoryTemporaryFiles;
using testing::ScriptedLauncher;

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
        // The worker, wherever it runs, prints the tab document into the
        // record's file and reports success.
        launcher.process = [this](std::u16string_view commandLine) {
            const std::u16string name(commandLine.substr(commandLine.rfind(u' ') + 1));
            std::vector<std::uint8_t>& block = memory.blocks.at(name);
            worker(block);
            writeNumber(block, exchange::kStatus, kWorkerSucceeded);
        };
    }

    std::uint32_t worker(std::span<std::uint8_t> record) {
        const auto exchange = readExchange(record);
        if (!exchange) return kWorkerFailed;
        seen = *exchange;
        files.contents[exchange->temporaryPath] = std::string(document);
        return kWorkerSucceeded;
    }

    TabSheetServices services() {
        return TabSheetServices{files, memory, launcher, [this](std::span<std::uint8_t> r) { return worker(r); },
                                testing::countingRandom()};
    }

    std::string spliced(bool noEject) const {
        return postscript::stateSave() + (noEject ? postscript::noEjectText() : std::string()) + std::string(kBody) +
               postscript::stateRestore();
    }

    int moduleToken = 0;
    MemoryTemporaryFiles files;
    MapSharedMemory memory;
    ScriptedLauncher launcher;
    TabSheetRequest request;
    std::string_view document = kTabDocument;
    TabExchange seen;
    StringSink sink;
};

TEST_F(TabSheetTest, WorkerProcessGetsTheRecordThroughTheExportRunner) {
    TabSheetServices tabServices = services();
    request.noEject = true;
    ASSERT_TRUE(createTabSheet(request, tabServices, sink));

    // Twenty letters from the random sequence name the block.
    ASSERT_EQ(launcher.commandLines.size(), 1u);
    EXPECT_EQ(launcher.commandLines[0],
              u"\"C:\\Windows\\system32\\rundll32.exe\" C:\\DRIVERS\\TVZX_PS.DLL,CreateTabFileEx ABCDEFGHIJKLMNOPQRST");
    EXPECT_EQ(launcher.applications[0], u"C:\\Windows\\system32\\rundll32.exe");
    EXPECT_EQ(launcher.threads, 0);
    EXPECT_EQ(seen.temporaryPath, u"/spool/TP11.tmp");
    EXPECT_EQ(seen.module, reinterpret_cast<std::uintptr_t>(&moduleToken));
    EXPECT_EQ(seen.label, "Part B");
    EXPECT_EQ(seen.jobId, 42u);
    EXPECT_EQ(sink.text, spliced(true));
    // Each text is one write: save, no-eject, body, restore.
    EXPECT_EQ(sink.writes, 4u);
    EXPECT_EQ(files.removed, std::vector<std::u16string>{u"/spool/TP11.tmp"});
    EXPECT_TRUE(files.sleeps.empty());
}

TEST_F(TabSheetTest, FileThatNeverAppearsIsGivenUpWithinFiveSeconds) {
    launcher.process = nullptr;  // the worker ends without printing
    TabSheetServices tabServices = services();
    EXPECT_FALSE(createTabSheet(request, tabServices, sink));
    EXPECT_EQ(sink.text, "");
    std::uint32_t waited = 0;
    for (const std::uint32_t pause : files.sleeps) {
        EXPECT_GE(pause, kFileWaitPauseMs);
        EXPECT_LT(pause, kFileWaitPauseMs + kFileWaitJitterMs);
        waited += pause;
    }
    EXPECT_EQ(files.sleeps.size(), 2u);
    EXPECT_LT(waited, kFileWaitLimitMs);
    EXPECT_EQ(files.removed.size(), 1u);
}

TEST_F(TabSheetTest, WorkerThatReportsFailureIsNotWaitedFor) {
    launcher.process = [this](std::u16string_view commandLine) {
        const std::u16string name(commandLine.substr(commandLine.rfind(u' ') + 1));
        writeNumber(memory.blocks.at(name), exchange::kStatus, kWorkerFailed);
    };
    TabSheetServices tabServices = services();
    EXPECT_FALSE(createTabSheet(request, tabServices, sink));
    EXPECT_EQ(sink.text, "");
    EXPECT_TRUE(files.sleeps.empty());
    EXPECT_EQ(files.removed.size(), 1u);
}

TEST_F(TabSheetTest, UnusableTabDocumentWritesNothing) {
    const std::string cut(kTabDocument.substr(0, kTabDocument.find("1 setlinecap")));
    for (const std::string_view bad : {std::string_view("%!PS-Adobe-3.0\r\nno setup at all\r\n"), std::string_view(cut)}) {
        document = bad;
        sink = StringSink();
        TabSheetServices tabServices = services();
        EXPECT_FALSE(createTabSheet(request, tabServices, sink));
        EXPECT_EQ(sink.text, "");
    }
    EXPECT_EQ(files.contents.size(), 0u) << "every temporary file is removed";
}

TEST(TabSheetNames, BlockNameIsTwentyCapitalLetters) {
    const std::u16string name = blockName(testing::countingRandom(24));
    EXPECT_EQ(name, u"YZABCDEFGHIJKLMNOPQR");
}

}  // namespace
}  // namespace tvzx::tabs
