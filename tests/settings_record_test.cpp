// The settings record: its layout, defaults, validation and field copies.
#include <gtest/gtest.h>

#include "settings/core_data.h"
#include "settings/schema_hash.h"
#include "settings/text_form.h"

namespace tvzx::settings {
namespace {

TEST(FieldTable, LayoutIsPinnedByTheDescriptionLengthAndHash) {
    // The description names every field with its size, offset, kind and
    // options, so its length and the hash pin the whole stored layout.
    EXPECT_EQ(plainDescription().size(), 19226u);
    EXPECT_EQ(writeDescription().size(), 25636u);
    EXPECT_EQ(schemaHash(), 0xB9F98581u);
    EXPECT_EQ(settingsVersionText(), "7.0.410:0xB9F98581");
}

TEST(DefaultRecord, HeaderAndPlainDefaults) {
    const CoreData& record = defaultRecord();
    EXPECT_EQ(record.storedHash(), schemaHash());
    EXPECT_EQ(record.bytes[4], 0);
    for (int i = 5; i < 9; ++i) EXPECT_EQ(record.bytes[i], 0xFF) << "header byte " << i;
    EXPECT_EQ(record.option(FieldId::Duplex), 1u);
    EXPECT_EQ(record.number(FieldId::Zoom), 100);
    EXPECT_EQ(record.text(FieldId::AccountTrackPassword), "kelpmoss");
    EXPECT_EQ(record.text(FieldId::UserAuthenticationUserName), "\xFF");
    EXPECT_EQ(record.text(FieldId::ToneCurveImage), "OFF");
    EXPECT_EQ(record.text(FieldId::ToneCurveTextGraphics), "_SAMEASIMAGE");
    EXPECT_EQ(record.option(FieldId::FeedDirTray1), 3u);
    // Two-byte numbers are stored high byte first.
    EXPECT_EQ(record.field(FieldId::NumCopies)[0], 0);
    EXPECT_EQ(record.field(FieldId::NumCopies)[1], 1);
}

TEST(DefaultRecord, LocaleDecidesPaperAndTabDefaults) {
    const CoreData letter = buildDefaultRecord({'1', 0});
    EXPECT_EQ(fieldDef(FieldId::PageSize).options->entries[letter.option(FieldId::PageSize)].name, "Letter");
    EXPECT_EQ(fieldDef(FieldId::Tab1PageSize).options->entries[letter.option(FieldId::Tab1PageSize)].name, "ZXLetterTab");
    EXPECT_EQ(letter.number(FieldId::Tab1Height), 343000);
    EXPECT_EQ(letter.number(FieldId::PerfectBindCustomPageSizeWidth), 2159000);

    const CoreData a4 = buildDefaultRecord({'9', 0});
    EXPECT_EQ(fieldDef(FieldId::PageSize).options->entries[a4.option(FieldId::PageSize)].name, "A4");
    EXPECT_EQ(a4.number(FieldId::Tab2Height), 403000);
    EXPECT_EQ(a4.number(FieldId::PerfectBindCustomPageSizeHeight), 2970000);

    EXPECT_EQ(pageSizeForLocale('5'), 13);  // Legal
    EXPECT_EQ(pageSizeForLocale('8'), 0);   // A3
    EXPECT_EQ(pageSizeForLocale('\0'), 1);  // A4
}

TEST(DefaultRecord, JapaneseDisplayLanguageChoosesTheGothicTabFont) {
    EXPECT_EQ(buildDefaultRecord({'9', 0}).text(FieldId::Tab1FontName), "Arial");
    EXPECT_EQ(buildDefaultRecord({'9', 8}).text(FieldId::Tab2FontName),
              "\xEF\xBC\xAD\xEF\xBC\xB3 \xEF\xBC\xB0\xE3\x82\xB4\xE3\x82\xB7\xE3\x83\x83\xE3\x82\xAF");
}

TEST(Validation, DefaultRecordIsValid) {
    CoreData record = defaultRecord();
    EXPECT_TRUE(validateRecord(record));
    EXPECT_EQ(record, defaultRecord());
}

TEST(Validation, ForeignHashReplacesTheWholeRecord) {
    CoreData record = defaultRecord();
    record.bytes[0] ^= 1;
    record.setNumber(FieldId::Zoom, 50);
    EXPECT_FALSE(validateRecord(record));
    EXPECT_EQ(record, defaultRecord());
}

TEST(Validation, CustomPageSizeNeedsBothDimensions) {
    CoreData record = defaultRecord();
    record.setOption(FieldId::PageSize, kCustomPageSize);
    record.setNumber(FieldId::CustomPageSizeHeight, 2000000);
    EXPECT_FALSE(validateRecord(record));
    EXPECT_EQ(record.option(FieldId::PageSize), localeDefaultPageSize());

    record.setOption(FieldId::PageSize, kCustomPageSize);
    record.setNumber(FieldId::CustomPageSizeWidth, 1000000);
    EXPECT_TRUE(validateRecord(record));
    EXPECT_EQ(record.option(FieldId::PageSize), kCustomPageSize);

    record.setOption(FieldId::PageSize, 26);
    EXPECT_FALSE(validateRecord(record));
    EXPECT_EQ(record.option(FieldId::PageSize), localeDefaultPageSize());
}

TEST(Validation, CustomTargetPaperNeedsBothDimensions) {
    CoreData record = defaultRecord();
    record.setOption(FieldId::TargetPaperSize, 27);
    EXPECT_FALSE(validateRecord(record));
    EXPECT_EQ(record.option(FieldId::TargetPaperSize), 0u);
    record.setOption(FieldId::TargetPaperSize, 27);
    record.setNumber(FieldId::CustomTargetPaperSizeWidth, 2000000);
    record.setNumber(FieldId::CustomTargetPaperSizeHeight, 3000000);
    EXPECT_TRUE(validateRecord(record));
    EXPECT_EQ(record.option(FieldId::TargetPaperSize), 27u);
}

TEST(Validation, PaperProfilesChosenOnTheDeviceSurvive) {
    CoreData record = defaultRecord();
    record.setOption(FieldId::MainPaperProfileIndex, 12);
    record.setOption(FieldId::PerfectBindPaperProfileIndex, 300);
    EXPECT_TRUE(validateRecord(record));
    EXPECT_EQ(record.option(FieldId::MainPaperProfileIndex), 12u);
    EXPECT_EQ(record.option(FieldId::PerfectBindPaperProfileIndex), 300u);
}

TEST(Validation, SignedRangesCompareAsSignedNumbers) {
    CoreData record = defaultRecord();
    record.setNumber(FieldId::Gutter, -2500000);
    EXPECT_TRUE(validateRecord(record));
    EXPECT_EQ(record.number(FieldId::Gutter), -2500000);
    record.setNumber(FieldId::Gutter, -2500001);
    EXPECT_FALSE(validateRecord(record));
    EXPECT_EQ(record.number(FieldId::Gutter), 0);
}

TEST(Validation, UnsignedRangesAndOptionIndices) {
    CoreData record = defaultRecord();
    record.setNumber(FieldId::Zoom, 1001);
    record.setOption(FieldId::Staple, 7);
    record.setOption(FieldId::MainPaperProfileFeedDir, 200);  // open list: taken as it is
    EXPECT_FALSE(validateRecord(record));
    EXPECT_EQ(record.number(FieldId::Zoom), 100);
    EXPECT_EQ(record.option(FieldId::Staple), 0u);
    EXPECT_EQ(record.option(FieldId::MainPaperProfileFeedDir), 200u);
}

TEST(Validation, TextMustEndInNulEvenWithAnEarlierNul) {
    CoreData record = defaultRecord();
    auto name = record.field(FieldId::AccountTrackDepartmentName);
    name[0] = 'A';
    name[1] = 0;
    name[name.size() - 1] = 'Z';
    EXPECT_FALSE(validateRecord(record));
    EXPECT_EQ(record.text(FieldId::AccountTrackDepartmentName), "NoName");
}

TEST(CopySelectedFields, CopiesOnlyTheChosenFields) {
    CoreData source = defaultRecord();
    source.setOption(FieldId::OutputMethod, 5);
    source.setText(FieldId::WaitModePassword, "secret");
    source.setNumber(FieldId::Zoom, 50);
    CoreData destination = defaultRecord();
    FieldSet chosen;
    chosen.set(static_cast<std::size_t>(FieldId::OutputMethod));
    chosen.set(static_cast<std::size_t>(FieldId::WaitModePassword));
    copySelectedFields(destination, source, chosen);
    EXPECT_EQ(destination.option(FieldId::OutputMethod), 5u);
    EXPECT_EQ(destination.text(FieldId::WaitModePassword), "secret");
    EXPECT_EQ(destination.number(FieldId::Zoom), 100);
}

TEST(TextFields, SetTextTruncatesAndZeroFills) {
    CoreData record = defaultRecord();
    EXPECT_FALSE(record.setText(FieldId::AccountTrackDepartmentName, "0123456789"));
    EXPECT_EQ(record.text(FieldId::AccountTrackDepartmentName), "01234567");
    EXPECT_TRUE(record.setText(FieldId::AccountTrackDepartmentName, "ab"));
    const auto bytes = record.field(FieldId::AccountTrackDepartmentName);
    for (std::size_t i = 2; i < bytes.size(); ++i) EXPECT_EQ(bytes[i], 0) << "byte " << i;
}

}  // namespace
}  // namespace tvzx::settings
