// The settings record: its layout, defaults, validation and field copies.
#include <gtest/gtest.h>

#include "settings/schema_hash.h"
#include "settings/text_form.h"

namespace tvzx::settings {
namespace {

TEST(FieldTable, LayoutIsPinnedByTheDescriptionLengthAndHash) {
    // The description names every field with its size, offset, kind and
    // options, so its length and the hash pin the whole stored layout.
    EXPECT_EQ(plainDescription().size(), 19226u);
    EXPECT_EQ(settingsVersionText(), "7.0.410:0xB9F98581");
}

TEST(DefaultRecord, HeaderNumbersAndLocaleDefaults) {
    const CoreData& record = defaultRecord();
    // The hash high byte first, a zero, four 0xFF bytes; numbers high byte first.
    const std::vector<std::uint8_t> header = {0xB9, 0xF9, 0x85, 0x81, 0x00, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(std::vector<std::uint8_t>(record.bytes.begin(), record.bytes.begin() + 9), header);
    EXPECT_EQ(std::tuple(record.field(FieldId::NumCopies)[0], record.field(FieldId::NumCopies)[1],
                         record.text(FieldId::ToneCurveImage), record.text(FieldId::ToneCurveTextGraphics)),
              std::tuple(0, 1, "OFF", "_SAMEASIMAGE"));

    // The locale decides paper and tab defaults, the display language the tab font.
    const auto optionName = [](const CoreData& of, FieldId id) {
        return std::string(fieldDef(id).options->entries[of.option(id)].name);
    };
    const CoreData letter = buildDefaultRecord({'1', 0});
    EXPECT_EQ(optionName(letter, FieldId::PageSize) + " " + optionName(letter, FieldId::Tab1PageSize), "Letter ZXLetterTab");
    const CoreData a4 = buildDefaultRecord({'9', 0});
    EXPECT_EQ(optionName(a4, FieldId::PageSize), "A4");
    EXPECT_EQ((std::vector{letter.number(FieldId::Tab1Height), letter.number(FieldId::PerfectBindCustomPageSizeWidth),
                           a4.number(FieldId::Tab2Height), a4.number(FieldId::PerfectBindCustomPageSizeHeight)}),
              (std::vector<std::int64_t>{343000, 2159000, 403000, 2970000}));
    EXPECT_EQ(pageSizeForLocale('\0'), 1);  // A4 where the locale names no paper
    // A Japanese display language chooses the Gothic tab font.
    EXPECT_EQ(a4.text(FieldId::Tab1FontName), "Arial");
    EXPECT_EQ(buildDefaultRecord({'9', 8}).text(FieldId::Tab2FontName),
              "\xEF\xBC\xAD\xEF\xBC\xB3 \xEF\xBC\xB0\xE3\x82\xB4\xE3\x82\xB7\xE3\x83\x83\xE3\x82\xAF");
}

// A custom paper, as the job's paper or as the target paper, needs both
// dimensions; without them the default paper stands in.
TEST(Validation, CustomPapersRangesOptionIndicesForeignHashesAndTextsWithoutTheirNul) {
    CoreData record = defaultRecord();
    const auto chooseCustomPapers = [&] {
        record.setOption(FieldId::PageSize, kCustomPageSize);
        record.setOption(FieldId::TargetPaperSize, 27);
    };
    chooseCustomPapers();
    record.setNumber(FieldId::CustomPageSizeHeight, 2000000);
    record.setNumber(FieldId::CustomTargetPaperSizeWidth, 2000000);
    EXPECT_FALSE(validateRecord(record));
    EXPECT_EQ(std::tuple(record.option(FieldId::PageSize), record.option(FieldId::TargetPaperSize)),
              std::tuple(localeDefaultPageSize(), 0u));
    chooseCustomPapers();
    record.setNumber(FieldId::CustomPageSizeWidth, 1000000);
    record.setNumber(FieldId::CustomTargetPaperSizeHeight, 3000000);
    EXPECT_TRUE(validateRecord(record));
    EXPECT_EQ(std::tuple(record.option(FieldId::PageSize), record.option(FieldId::TargetPaperSize)), std::tuple(kCustomPageSize, 27u));
    record.setOption(FieldId::PageSize, 26);
    EXPECT_FALSE(validateRecord(record));
    EXPECT_EQ(record.option(FieldId::PageSize), localeDefaultPageSize());
    // Each value alone in a default record: what validation leaves of it.
    // Signed ranges compare as signed; a feed direction is an open list;
    // paper profiles are chosen on the device.
    const std::tuple<FieldId, std::int64_t, std::int64_t> rows[] = {
        {FieldId::Gutter, -2500000, -2500000}, {FieldId::Gutter, -2500001, 0}, {FieldId::Zoom, 1000, 1000},
        {FieldId::Gutter, 2500000, 2500000}, {FieldId::Gutter, 2500001, 0},
        {FieldId::Zoom, 1001, 100}, {FieldId::Staple, 7, 0}, {FieldId::MainPaperProfileFeedDir, 200, 200},
        {FieldId::MainPaperProfileIndex, 12, 12}, {FieldId::PerfectBindPaperProfileIndex, 300, 300}};
    for (const auto& [id, stored, after] : rows) {
        CoreData record = defaultRecord();
        record.setNumber(id, stored);
        EXPECT_EQ(validateRecord(record), stored == after) << fieldDef(id).name << " " << stored;
        EXPECT_EQ(record.number(id), after) << fieldDef(id).name << " " << stored;
    }

    // The default record is valid; a foreign hash replaces the record; a text must end in NUL.
    CoreData whole = defaultRecord();
    EXPECT_TRUE(validateRecord(whole));
    EXPECT_EQ(whole, defaultRecord());
    whole.bytes[0] ^= 1;
    whole.setNumber(FieldId::Zoom, 50);
    EXPECT_FALSE(validateRecord(whole));
    EXPECT_EQ(whole, defaultRecord());
    // A text needs a NUL in its last byte even when an earlier one ends it.
    auto name = whole.field(FieldId::AccountTrackDepartmentName);
    name[0] = 'A';
    name[1] = 0;
    name[name.size() - 1] = 'Z';
    EXPECT_FALSE(validateRecord(whole));
    EXPECT_EQ(whole.text(FieldId::AccountTrackDepartmentName), "NoName");
}

TEST(FieldCopies, SetTextTruncatesAndZeroFillsAndOnlyChosenFieldsAreCopied) {
    CoreData record = defaultRecord();
    EXPECT_FALSE(record.setText(FieldId::AccountTrackDepartmentName, "0123456789"));
    EXPECT_EQ(record.text(FieldId::AccountTrackDepartmentName), "01234567");
    EXPECT_TRUE(record.setText(FieldId::AccountTrackDepartmentName, "ab"));
    const auto bytes = record.field(FieldId::AccountTrackDepartmentName);
    for (std::size_t i = 2; i < bytes.size(); ++i) EXPECT_EQ(bytes[i], 0) << "byte " << i;

    record.setOption(FieldId::OutputMethod, 5);
    record.setText(FieldId::WaitModePassword, "secret");
    CoreData destination = defaultRecord();
    FieldSet chosen;
    chosen.set(static_cast<std::size_t>(FieldId::WaitModePassword));
    copySelectedFields(destination, record, chosen);
    EXPECT_EQ(destination.option(FieldId::OutputMethod), 0u);
    EXPECT_EQ(destination.text(FieldId::WaitModePassword), "secret");
}

}  // namespace
}  // namespace tvzx::settings
