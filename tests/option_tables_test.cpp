// Option tables, value lookup and the paper table.
#include <gtest/gtest.h>

#include "settings/feature_tables.h"

namespace tvzx::settings {
namespace {

const OptionTable& tableOf(FieldId id) { return *fieldDef(id).options; }

TEST(ValueLookup, ExactOptionAndColumns) {
    const LookupResult pjl = lookupValue(tableOf(FieldId::Orientation), 1, Column::PjlValue);
    EXPECT_EQ(pjl.text, "LANDSCAPE");
    EXPECT_TRUE(pjl.exact);
    EXPECT_TRUE(lookupValue(tableOf(FieldId::Orientation), 1, Column::PpdOption).text.empty());
    EXPECT_EQ(lookupValue(tableOf(FieldId::PageSize), 3, Column::PpdOption).text, "ZXB4");
    EXPECT_EQ(lookupValue(tableOf(FieldId::PageSize), 3, Column::PjlValue).text, "JISB4");
    EXPECT_EQ(lookupValue(tableOf(FieldId::InputSlot), 6, Column::PjlValue).text, "MANUALFEED");
}

TEST(ValueLookup, IndexPastTheListGivesTheDefaultNotExact) {
    const OptionTable& duplex = tableOf(FieldId::Duplex);
    const LookupResult result = lookupValue(duplex, duplex.count(), Column::PjlValue);
    EXPECT_FALSE(result.exact);
    EXPECT_EQ(result.text, lookupValue(duplex, duplex.defaultIndex, Column::PjlValue).text);
    EXPECT_EQ(result.text, "ON");
}

TEST(ValueLookup, UnknownColumnReadsThePpdOption) {
    EXPECT_EQ(lookupValue(tableOf(FieldId::Binding), 1, static_cast<Column>(9)).text, "RightBinding");
}

TEST(PaperTable, LooksUpByOptionIndexNotRow) {
    const PaperRow* letter = lookupPaper(15);
    ASSERT_NE(letter, nullptr);
    EXPECT_EQ(letter->family, UnitFamily::Inch);
    EXPECT_EQ(letter->widthMicrons, 215900u);
    EXPECT_EQ(letter->heightMicrons, 279400u);
    EXPECT_EQ(letter->widthPoints, 612);
    EXPECT_EQ(letter->heightPoints, 792);
    EXPECT_EQ(letter->windowsPaperCode, 1);
    EXPECT_EQ(lookupPaper(kCustomPageSize), nullptr);
    EXPECT_EQ(lookupPaper(200), nullptr);
}

}  // namespace
}  // namespace tvzx::settings
