// Which page exception records become tab sheets, and the page facts that
// place a tab sheet: short tab paper and a page turned against the sheet.
#include <gtest/gtest.h>

#include <algorithm>

#include "rules/page_exceptions.h"
#include "settings/field_id.h"
#include "tabs/tab_records.h"

namespace tvzx::tabs {
namespace {

using rules::PageException;
using settings::FieldId;

PageException tabOn(std::uint16_t first, std::uint16_t last, std::uint8_t position, std::string label,
                    rules::ExceptionKind kind = rules::ExceptionKind::TabWithText) {
    PageException r;
    r.kind = static_cast<std::uint8_t>(kind);
    r.tabInfo = {0, 0, position, 0, std::move(label)};
    r.pageRanges = {{first, last}};
    return r;
}

settings::CoreData jobWith(const std::vector<PageException>& records) {
    settings::CoreData job = settings::defaultRecord();
    const rules::EncodedPageExceptions encoded = rules::encodePageExceptions(records);
    EXPECT_TRUE(encoded.fits);
    std::copy(encoded.block.begin(), encoded.block.end(), job.field(FieldId::PageSpecificTrays).begin());
    return job;
}

TEST(UsableTabs, SingleTabPagesInListOrderAndJobsThatPrintTabSheets) {
    PageException skipped = tabOn(2, 2, kPrintedOnPage, "skipped");
    skipped.tabInfo.skip = 1;
    PageException nested = tabOn(2, 2, kPrintedOnPage, "with sub-entry");
    nested.subEntries = {{1, 1, 0, 1, {0, 0, 0, 0, "inner"}}};
    PageException twoRanges = tabOn(6, 6, kPrintedOnPage, "two ranges");
    twoRanges.pageRanges.push_back({8, 8});
    const settings::CoreData job = jobWith(
        {tabOn(5, 5, kInsertedBeforePage, "inserted 5"), tabOn(2, 2, 2, "position 2"), tabOn(3, 4, kPrintedOnPage, "pages 3 to 4"),
         skipped, nested, twoRanges, tabOn(4, 4, kPrintedOnPage, "paper record", rules::ExceptionKind::SheetFinishing),
         tabOn(3, 3, kPrintedOnPage, "printed 3"), tabOn(9, 9, kInsertedBeforePage, "after", rules::ExceptionKind::TabAfterDocument),
         tabOn(1, 1, kPrintedOnPage, "plain", rules::ExceptionKind::Tab)});
    std::vector<std::string> tabs;
    for (const UsableTab& tab : usableTabs(job))
        tabs.push_back(tab.info.label + (tab.printed() ? " on " : " before ") + std::to_string(tab.page));
    EXPECT_EQ(tabs, (std::vector<std::string>{"inserted 5 before 5", "printed 3 on 3", "after before 9", "plain on 1"}));
    // A job prints tab sheets with any tab record and without image shift.
    const PageException paper = tabOn(1, 1, kPrintedOnPage, "paper", rules::ExceptionKind::PagePaper);
    EXPECT_FALSE(!usableTabs(jobWith({paper})).empty() || jobPrintsTabSheets(jobWith({paper})));
    // Any tab record counts, even one that is not usable.
    settings::CoreData anyTab = jobWith({tabOn(3, 4, 2, "not usable")});
    EXPECT_TRUE(jobPrintsTabSheets(anyTab));
    anyTab.setOption(FieldId::TabImageShift, 1);
    EXPECT_FALSE(jobPrintsTabSheets(anyTab));
}

TEST(TabPageFacts, ShortTabPaperAndTurnedPage) {
    for (std::uint32_t option = 0; option < 6; ++option) {
        settings::CoreData job = settings::defaultRecord();
        job.setOption(FieldId::Tab2PageSize, option);
        EXPECT_EQ(selectsShortTabPaper(job, 1), option == 2 || option == 3 || option == 5) << "option " << option;
        // The other tab paper stays at its default, and no other selector names one.
        EXPECT_FALSE(selectsShortTabPaper(job, 0) || selectsShortTabPaper(job, 2)) << "option " << option;
    }
    // Orientation, layout, n-up and the answer. Layouts: 0 None, 2 Booklet, 3 2in1, 4/5 4in1, 6 2Repeat, 11 4Repeat.
    // N-up: 0 one page, 1 two pages, 3 four pages, 5 six pages, 9 nine, 12 sixteen.
    const std::array<std::uint32_t, 4> cases[] = {
        {0, 0, 0, 0}, {1, 0, 0, 1}, {0, 0, 3, 0}, {1, 0, 12, 1}, {0, 0, 9, 0}, {0, 0, 4, 0},  // plain pages, square grids keep it
        {0, 0, 1, 1}, {1, 0, 1, 0}, {0, 0, 5, 1}, {1, 0, 7, 0},    // two, six and eight up turn the page
        {0, 2, 0, 1}, {1, 2, 0, 0}, {0, 2, 1, 0}, {1, 2, 1, 1},    // a booklet turns it once, and two-up turns it back
        {0, 4, 1, 0}, {1, 4, 0, 1}, {0, 5, 5, 0}, {1, 11, 1, 1},   // quarter layouts keep it whatever the n-up
        {0, 3, 0, 1}, {1, 3, 0, 0}, {0, 6, 3, 1}, {1, 12, 0, 0}};  // two-in-one and other layouts turn it, n-up aside
    for (const auto& [orientation, layout, nUp, turned] : cases) {
        settings::CoreData job = settings::defaultRecord();
        job.setOption(FieldId::Orientation, orientation);
        job.setOption(FieldId::Layout, layout);
        job.setOption(FieldId::NUpCount, nUp);
        EXPECT_EQ(turnedPage(job), turned) << "Orientation " << orientation << ", Layout " << layout << ", NUp " << nUp;
    }
}

}  // namespace
}  // namespace tvzx::tabs
