// Settings as "Name=Value" lines: formatting, reading back and refusals.
#include <gtest/gtest.h>

#include "settings/settings_lines.h"

namespace tvzx::settings {
namespace {

std::string lineOf(const std::string& all, std::string_view name) {
    const std::string prefix = std::string(name) + "=";
    std::size_t at = all.rfind("\n" + prefix);
    at = all.rfind(prefix, 0) == 0 ? 0 : at + 1;
    return all.substr(at, all.find('\n', at) - at);
}

TEST(SettingsLines, FormatsEveryKindOfField) {
    CoreData record = defaultRecord();
    record.setOption(FieldId::PageSize, kCustomPageSize);
    record.setNumber(FieldId::Gutter, -5000);
    record.setText(FieldId::PIComment, "say \"hi\"\\\n\xC3\xA9");
    record.field(FieldId::ChapterPages)[0] = 0x1F;
    record.field(FieldId::ChapterPages)[2] = 0xA0;
    const std::string all = formatSettingsLines(record);
    std::string shown;
    for (const char* name : {"PageSize", "Staple", "Gutter", "PIComment", "ChapterPages", "PageSpecificTrays", "FeedDirTray1"})
        shown += lineOf(all, name) + "\n";
    EXPECT_EQ(shown, "PageSize=25\nStaple=None\nGutter=-5000\nPIComment=\"say \\\"hi\\\"\\\\\\n\\303\\251\"\n"
                     "ChapterPages=1F00A0\nPageSpecificTrays=\nFeedDirTray1=3\n");
    EXPECT_EQ(std::count(all.begin(), all.end(), '\n'), static_cast<long>(kFieldCount));
}

TEST(SettingsLines, WhatIsWrittenReadsBackToTheIdenticalRecordAndCommentsAreIgnored) {
    CoreData record = defaultRecord();
    record.setOption(FieldId::Layout, 2);
    record.setOption(FieldId::Staple, 9);  // past the list: kept as a number
    record.setNumber(FieldId::SlitMargin, -10000);
    record.setText(FieldId::UserAuthenticationUserName, "\x01\xFF\t\"");
    record.field(FieldId::RelayServerSettings)[883] = 0x7F;
    CoreData readBack = defaultRecord();
    ASSERT_EQ(applySettingsText(readBack, formatSettingsLines(record)), std::nullopt);
    EXPECT_EQ(readBack, record);
    // Comments and blank lines are ignored.
    CoreData commented = defaultRecord();
    ASSERT_EQ(applySettingsText(commented, "# a job\n\n  Duplex = False  # one-sided\nPIComment=\"#1 \\\"draft\\\"\"\r\n"),
              std::nullopt);
    EXPECT_EQ(commented.option(FieldId::Duplex), 0u);
    EXPECT_EQ(commented.text(FieldId::PIComment), "#1 \"draft\"");
}

TEST(SettingsLines, RefusalsNameTheFieldAndLeaveTheRecord) {
    const CoreData before = defaultRecord();
    CoreData record = before;
    const std::pair<const char*, const char*> refusals[] = {
        {"Stapel=None", "unknown field 'Stapel'"}, {"Staple=Three", "unknown option for Staple: 'Three'"},
        {"Zoom=1001", "number outside 1 to 1000 for Zoom: '1001'"}, {"Zoom=ten", "not a whole number for Zoom: 'ten'"},
        {"Gutter=-2500001", "number outside -2500000 to 2500000 for Gutter: '-2500001'"},
        {"AccountTrackPassword=\"123456789\"", "text longer than 8 bytes for AccountTrackPassword"},
        {"PIComment=\"open", "malformed quoted text for PIComment: '\"open'"},
        {"ChapterPages=ABC", "odd number of hex digits for ChapterPages: 'ABC'"},
        {"Staple=256", "option index too large for Staple: '256'"}, {"Duplex", "expected Name=Value: 'Duplex'"}};
    for (const auto& [line, refusal] : refusals) EXPECT_EQ(applySetting(record, line), refusal);
    EXPECT_EQ(record, before);
    // A file's line is named by its number and never repeated: the file may
    // be one its reader must not disclose.
    for (const auto& [text, refusal] : {std::pair{"Duplex=True\nZoom=0\n", "line 2: number outside 1 to 1000 for Zoom"},
                                        std::pair{"root:*:19000:0:99999:7:::\n", "line 1: expected Name=Value"},
                                        std::pair{"\n\nroot=x:0:0\n", "line 3: unknown field"},
                                        std::pair{"Staple=x:0:0", "line 1: unknown option for Staple"}})
        EXPECT_EQ(applySettingsText(record, text), refusal);
}

}  // namespace
}  // namespace tvzx::settings
