// The base module's tab document: where the label goes on each tab paper,
// and a label that cannot break out of its PostScript string.
#include <gtest/gtest.h>

#include "base/tab_document.h"
#include "rules/page_exceptions.h"
#include "settings/field_id.h"

namespace tvzx::base {
namespace {

using settings::FieldId;

TEST(TabLabelPlacement, FullTabsStandOutRightShortTabsOnTop) {
    settings::CoreData job = settings::defaultRecord();
    job.setOption(FieldId::Tab1PageSize, 0);  // ZXA4Tab1, 631 x 841 pt
    job.setNumber(FieldId::Tab1NumOfTabs, 5);
    job.setNumber(FieldId::Tab1SpaceAbove, 254000);  // 25.4 mm, 72 pt
    job.setNumber(FieldId::Tab1Height, 127000);      // 12.7 mm, 36 pt
    const TabPaperSettings full = tabPaperSettings(job, 0);
    EXPECT_DOUBLE_EQ(full.widthPoints, 631);
    const LabelPlacement second = placeLabel(full, 1);
    EXPECT_FALSE(second.alongTop);
    EXPECT_DOUBLE_EQ(second.left, 595);
    EXPECT_DOUBLE_EQ(second.right, 631);
    EXPECT_NEAR(second.top, 841 - 72 - 36, 1e-9);
    EXPECT_NEAR(second.bottom, 841 - 72 - 72, 1e-9);
    // The tab index wraps around the bank.
    EXPECT_DOUBLE_EQ(placeLabel(full, 6).top, second.top);

    job.setOption(FieldId::Tab2PageSize, 5);  // ZXLetterSTab, 612 x 828 pt
    job.setNumber(FieldId::Tab2SpaceAbove, 254000);
    job.setNumber(FieldId::Tab2Height, 127000);
    const LabelPlacement top = placeLabel(tabPaperSettings(job, 1), 0);
    EXPECT_TRUE(top.alongTop);
    EXPECT_DOUBLE_EQ(top.bottom, 792);
    EXPECT_DOUBLE_EQ(top.top, 828);
    EXPECT_NEAR(top.left, 72, 1e-9);
    EXPECT_NEAR(top.right, 108, 1e-9);
}

TEST(TabDocumentSettings, TabPaperUprightWithoutPageExceptions) {
    settings::CoreData job = settings::defaultRecord();
    job.setOption(FieldId::Orientation, 1);
    job.setOption(FieldId::Layout, 2);
    job.field(FieldId::PageSpecificTrays)[0] = 0xFF;
    job.setOption(FieldId::Tab1PageSize, 4);  // ZXLetterTab
    const settings::CoreData tabJob = tabDocumentSettings(job, tabPaperSettings(job, 0));
    EXPECT_EQ(std::tuple(tabJob.option(FieldId::PageSize), tabJob.option(FieldId::Orientation), tabJob.option(FieldId::Layout)),
              std::tuple(21u, 0u, 0u));
    EXPECT_TRUE(rules::pageExceptionsOf(tabJob).empty());
}

TEST(TabLabelText, HostileLabelStaysInsideItsStringAndAnOddFontFallsBackToHelvetica) {
    EXPECT_EQ(postScriptString("Part A"), "(Part A)");
    EXPECT_EQ(postScriptString(") showpage (\\"), "(\\) showpage \\(\\\\)");
    EXPECT_EQ(postScriptString("a\nb\xE4"), "(a\\012b\\344)");
    // A font that is not a plain name falls back to Helvetica.
    TabPaperSettings paper;
    paper.widthPoints = 631;
    paper.heightPoints = 841;
    paper.fontName = "Arial (bad)";
    const std::string document = tabDocument(paper, LabelPlacement{595, 700, 631, 736, false}, "L", "Tab after Document 4");
    EXPECT_NE(document.find("/Helvetica dup FontDirectory"), std::string::npos) << document;
    EXPECT_EQ(document.find("Arial"), std::string::npos) << document;
}

}  // namespace
}  // namespace tvzx::base
