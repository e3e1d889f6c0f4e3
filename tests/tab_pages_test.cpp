// The tab sheets of a job in stream order: which sheet goes where, when the
// page device comes back, and which page-setup callback each page gets.
#include <gtest/gtest.h>

#include "frame_fixtures.h"
#include "postscript/tab_texts.h"
#include "rules/page_exceptions.h"
#include "tabs/tab_pages.h"

namespace tvzx::tabs {
namespace {

using namespace settings;

rules::PageException tab(std::uint16_t first, std::uint16_t last, std::uint8_t position, std::string label,
                         std::uint8_t paper = 0) {
    rules::PageException record;
    record.kind = 6;
    record.pageRanges = {{first, last}};
    record.tabInfo = {.paper = paper, .position = position, .passOn = 2, .label = std::move(label)};
    return record;
}

// Replaces the fixed texts by short marks so that a stream reads as its order.
std::string marked(std::string text) {
    const std::pair<std::string, std::string> marks[] = {
        {postscript::pageDeviceRestore(), "[restore]"}, {postscript::pageSetupCallback(true), "[callback shifted]"},
        {postscript::pageSetupCallback(false), "[callback]"}, {postscript::qxpFixCall(), "[fix]"}};
    for (const auto& [from, to] : marks)
        for (std::size_t at; (at = text.find(from)) != std::string::npos;) text.replace(at, from.size(), to);
    return text;
}

class TabPagesTest : public ::testing::Test {
protected:
    TabPagesTest() {
        devObj.hPrinter = &printerToken;
        devObj.pPublicDM = &publicDevMode;
        publicDevMode.dmFields = win::DM_ORIENTATION;
        publicDevMode.dmOrientation = 2;
        state.jobId = 77;
    }

    void setTabs(const std::vector<rules::PageException>& records) {
        const auto encoded = rules::encodePageExceptions(records);
        std::copy(encoded.block.begin(), encoded.block.end(), settings.field(FieldId::PageSpecificTrays).begin());
    }

    PlugInTabSheets sheets() {
        return PlugInTabSheets(
            spooler,
            [this](const TabSheetRequest& request, OutputSink& sink) {
                requests.push_back(request);
                const std::string name(request.exchange.documentName.begin(), request.exchange.documentName.end());
                sink.write("[sheet " + name + (request.noEject ? " no-eject]" : "]"));
                return true;
            },
            [](void*) { return std::optional<std::u16string>(u"/spool/"); });
    }

    // Runs a job of `pages` pages through the page setups, page trailers and
    // the trailer, in the order the dispatcher calls them.
    std::string runJob(std::uint32_t pages) {
        PlugInTabSheets tabs = sheets();
        StringSink sink;
        postscript::InjectionContext context{&devObj, &state, settings, sink};
        for (std::uint32_t page = 1; page <= pages; ++page) {
            state.pageCounter = page;
            sink.write("|" + std::to_string(page) + ":");
            tabs.beginPage(context);
            sink.write("/");
            tabs.endPage(context);
        }
        sink.write("|trailer:");
        tabs.afterDocument(context);
        return marked(sink.text);
    }

    CoreData settings = tvzx::settings::defaultRecord();
    testing::FakeSpooler spooler;
    int printerToken = 0;
    win::DEVMODEW publicDevMode{};
    win::DEVOBJ devObj{};
    device::DeviceState state;
    std::vector<TabSheetRequest> requests;
};

TEST_F(TabPagesTest, SheetsOfAFivePageJobComeAtTheirPagesAndAfterTheDocument) {
    setTabs({tab(1, 1, 0, "first"), tab(1, 1, 0, "second"), tab(3, 3, 0, "printed"), tab(2, 2, 1, "inserted"),
             tab(9, 9, 0, "after"), tab(4, 4, 2, "position 2"), tab(4, 5, 0, "two pages")});
    // Two sheets printed on one page restore the page device between them.
    EXPECT_EQ(runJob(5),
              "|1:[sheet Printed Tab on 1 no-eject][restore][sheet Printed Tab on 1 no-eject][callback]/[fix][restore]"
              "|2:[sheet Inserted Tab before 2][restore][callback]/[fix]"
              "|3:[sheet Printed Tab on 3 no-eject][callback]/[fix][restore]|4:[callback]/[fix]|5:[callback]/[fix]"
              "|trailer:[sheet Tab after Document 9][restore]");
    EXPECT_EQ(state.restorePending, 0);
}

TEST_F(TabPagesTest, RequestCarriesTheJobAndTheTabSheet) {
    setTabs({tab(1, 1, 0, "Chapter 1")});
    runJob(1);
    ASSERT_EQ(requests.size(), 1u);
    const TabExchange& exchange = requests[0].exchange;
    EXPECT_EQ(exchange.printer, reinterpret_cast<std::uintptr_t>(&printerToken));
    using Sheet = std::tuple<std::u16string, std::string, std::array<std::uint8_t, 4>, std::uint32_t>;
    EXPECT_EQ(Sheet(exchange.documentName, exchange.label, exchange.tabInformation, exchange.jobId),
              Sheet(u"Printed Tab on 1", "Chapter 1", {0, 0, 0, 2}, 77));
    // Only the orientation is set in the public DEVMODE.
    EXPECT_EQ(std::tuple(exchange.orientation, exchange.printQuality, exchange.scale), std::tuple(2, 0, kDefaultScale));
    EXPECT_EQ(exchange.settings, settings);
    EXPECT_TRUE(requests[0].noEject);
}

TEST_F(TabPagesTest, PrintedSheetOnShortTabPaperMovesThePage) {
    settings.setOption(FieldId::Tab2PageSize, 5);  // ZXLetterSTab
    setTabs({tab(1, 1, 0, "short", 1), tab(2, 2, 1, "inserted short", 1)});
    EXPECT_EQ(runJob(2), "|1:[sheet Printed Tab on 1 no-eject][callback shifted]/[fix][restore]"
                         "|2:[sheet Inserted Tab before 2][restore][callback]/[fix]|trailer:");
    // A turned page keeps the plain callback.
    settings.setOption(FieldId::Orientation, 1);
    EXPECT_EQ(runJob(1), "|1:[sheet Printed Tab on 1 no-eject][callback]/[fix][restore]"
                         "|trailer:[sheet Tab after Document 2][restore]");
}

TEST_F(TabPagesTest, NothingWithTheTabImageShiftedWithoutTabRecordsOrPrinterAndThePreparationNamesPageOne) {
    setTabs({tab(1, 1, 0, "printed"), tab(3, 3, 0, "after")});
    settings.setOption(FieldId::TabImageShift, 1);
    EXPECT_EQ(runJob(2), "|1:/|2:/|trailer:");
    EXPECT_EQ(sheets().setupPreparation(settings), "");
    EXPECT_EQ(sheets().pageSaveCapture(settings), "");
    // Without a printer only the callbacks are written.
    settings.setOption(FieldId::TabImageShift, 0);
    devObj.hPrinter = nullptr;
    EXPECT_EQ(runJob(1), "|1:[callback]/[fix]|trailer:");
    settings = settings::defaultRecord();
    EXPECT_EQ(runJob(1), "|1:/|trailer:");
    EXPECT_TRUE(requests.empty());
    // The setup preparation names a first printed sheet on page one.
    setTabs({tab(1, 1, 1, "inserted"), tab(2, 2, 0, "printed")});
    EXPECT_NE(sheets().setupPreparation(settings).find("TVZXFeatures /QXP1Tab false put\r\n"), std::string::npos);
    setTabs({tab(1, 1, 0, "printed")});
    EXPECT_NE(sheets().setupPreparation(settings).find("TVZXFeatures /QXP1Tab true put\r\n"), std::string::npos);
    EXPECT_EQ(sheets().pageSaveCapture(settings), postscript::pageSaveCapture());
}

TEST(TabDocumentName, PrefixBlankAndPageWithinTheLimit) {
    EXPECT_EQ(tabDocumentName(std::string(300, 'x'), 1).size(), kTabDocumentNameLimit);
}

}  // namespace
}  // namespace tvzx::tabs
