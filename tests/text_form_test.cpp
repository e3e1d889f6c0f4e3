// The settings text form: writing the layout description and converting a
// record of another layout through it, field by field by name.
#include <gtest/gtest.h>

#include "common/base64.h"
#include "common/byte_order.h"
#include "common/hex_text.h"
#include "common/rescale.h"
#include "settings/core_data.h"
#include "settings/schema_hash.h"
#include "settings/settings_lines.h"
#include "settings/text_form.h"

namespace tvzx::settings {
namespace {

constexpr std::uint32_t kForeignHash = 0x00C0FFEE;

// A record of an invented older layout and the description that goes with it.
class ForeignSchema {
public:
    explicit ForeignSchema(std::size_t size) : record(size) { writeBe32(record.data(), kForeignHash); }
    // Describes a field and stores its bytes big-endian at its offset.
    void number(std::string item, std::size_t offset, std::size_t size, std::uint64_t value) {
        writeBigEndian(record.data() + offset, size, value);
        items.push_back(std::move(item));
    }
    void bytes(std::string item, std::size_t offset, std::string_view value) {
        std::copy(value.begin(), value.end(), record.begin() + static_cast<std::ptrdiff_t>(offset));
        items.push_back(std::move(item));
    }
    std::string plain(std::string_view version = "1") const {
        std::string text = std::string(version) + " " + hexBytesText(kForeignHash) + " " + std::to_string(record.size()) + " ";
        for (const auto& item : items) text += item + " ";
        return text;
    }
    std::string wrapped(std::string_view version = "1") const {
        const std::string text = plain(version);
        return base64Encode(std::vector<std::uint8_t>(text.c_str(), text.c_str() + text.size() + 1));  // with its NUL
    }
    std::vector<std::uint8_t> record;
    std::vector<std::string> items;
};

// The fields' values as "Name=value" words: option names (or the index past
// the list), stored numbers, texts.
std::string values(const CoreData& record, std::initializer_list<FieldId> ids) {
    std::string out;
    for (FieldId id : ids) out += std::string(fieldDef(id).name) + "=" + formatFieldValue(record, id) + " ";
    return out;
}

TEST(Description, FormOfTheTextAndItsWrappedFormWithItsNul) {
    const std::string plain = plainDescription();
    EXPECT_TRUE(plain.starts_with("1 B9F98581 26871 PageSize:1:1:9:0:S:A3:A4:")) << plain.substr(0, 60);
    for (const char* item : {" PageSizeType:1:1:18:0:S:NotFromEngine:FromEngine:BuiltInCustomSize ", " Gutter:4:1:297:1:R:10000 ",
                             " PageSizeName:1:128:19:1:A ", " MainPaperProfileFeedDir:1:1:151:0:S "})
        EXPECT_NE(plain.find(item), std::string::npos) << item;
    EXPECT_TRUE(plain.ends_with(" CoreDataLoadedFromPdUi:1:1:26870:0:S:False:True "));
    const auto decoded = base64Decode(writeDescription());
    EXPECT_EQ(std::string(decoded.begin(), decoded.end()), plainDescription() + '\0');
}

TEST(Conversion, ARecordOfTheCurrentLayoutComesThroughWhole) {
    CoreData source = defaultRecord();
    source.setOption(FieldId::Staple, 5);
    source.setNumber(FieldId::Gutter, -120000);
    source.setText(FieldId::PIComment, "comment");
    source.field(FieldId::PageSpecificTrays)[100] = 0x5A;
    CoreData destination = defaultRecord();
    EXPECT_FALSE(readAndConvert(destination, source.bytes, writeDescription()));
    EXPECT_EQ(destination, source);
}

TEST(Conversion, ForeignLayoutShowsExactlyWhatSurvivesWithTheSignednessOfNumbersGuarded) {
    ForeignSchema schema(400);
    // Moved, and stored with the same scale.
    schema.number("Zoom:2:1:4:0:R:1", 4, 2, 250);
    // Rescaled from thousandths and tenths-of-thousandths of a millimetre.
    schema.number("Gutter:4:1:6:1:R:1000", 6, 4, static_cast<std::uint32_t>(-12345));
    schema.number("Creep:4:1:10:1:R:100000", 10, 4, 12345);
    // Options reordered, one renamed away, one index past the foreign list.
    schema.number("Staple:1:1:14:0:S:None:2StaplesNarrow:1StapleLeft", 14, 1, 1);
    schema.number("Punch:1:1:15:0:S:None:OldHoles", 15, 1, 1);
    schema.number("Layout:1:1:16:0:S:None:Booklet", 16, 1, 2);
    // Retyped: a number where the current layout has an option, and an
    // option with a wider element than the current one.
    schema.number("Duplex:1:1:17:0:R:1", 17, 1, 0);
    schema.number("Binding:2:1:18:0:S:Left:Right:Top", 18, 2, 1);
    // Texts: one fits, one longer than the current field, one of the wrong kind.
    schema.bytes("SendEMailAddress:1:20:20:1:A", 20, "ops@example.test");
    schema.bytes("AccountTrackDepartmentName:1:12:40:1:A", 40, "Finance");
    schema.bytes("PageSizeName:1:8:52:0:A", 52, "Custom1");
    // A field reaching past the foreign record, and one the current layout dropped.
    schema.number("NumCopies:2:1:399:0:R:1", 398, 2, 7);
    schema.number("RetiredSetting:1:1:60:0:S:Off:On", 60, 1, 1);

    CoreData destination = defaultRecord();
    ASSERT_TRUE(readAndConvert(destination, schema.record, schema.wrapped()));
    EXPECT_EQ(destination.storedHash(), schemaHash());
    EXPECT_EQ(values(destination, {FieldId::Zoom, FieldId::Gutter, FieldId::Creep, FieldId::Staple, FieldId::Punch,
                                    FieldId::Duplex, FieldId::Binding, FieldId::NumCopies}),
              "Zoom=250 Gutter=-123450 Creep=1235 Staple=2StaplesNarrow Punch=GBCDoubleStreampunch Duplex=True "
              "Binding=Left NumCopies=1 ");
    EXPECT_EQ(destination.option(FieldId::Layout), fieldDef(FieldId::Layout).options->count());
    EXPECT_EQ(values(destination, {FieldId::SendEMailAddress, FieldId::AccountTrackDepartmentName, FieldId::PageSizeName}),
              "SendEMailAddress=\"ops@example.test\" AccountTrackDepartmentName=\"NoName\" PageSizeName=\"\" ");
    // Validation afterwards repairs the index that landed past the list.
    EXPECT_FALSE(validateRecord(destination));
    EXPECT_EQ(values(destination, {FieldId::Layout, FieldId::Zoom}), "Layout=None Zoom=250 ");
}

TEST(Conversion, RescalingRoundsHalfUpAndHalfAwayFromZero) {
    const std::int64_t rows[][4] = {{12345, 1000, 10000, 123450}, {12345, 10000, 1000, 1235}, {-12345, 10000, 1000, -1235},
                                    {123456, 10000, 10, 123}, {-123455, 10000, 10, -123}, {7, 0, 1, 7}};
    for (const auto& row : rows)
        EXPECT_EQ(rescale(row[0], static_cast<std::uint32_t>(row[1]), static_cast<std::uint32_t>(row[2])), row[3]) << row[0];

    // The signedness of numbers is guarded.
    ForeignSchema guarded(40);
    // Signed foreign values of 1024 or more never land in unsigned 4-byte fields.
    guarded.number("HorizontalOverlap:4:1:4:1:R:10000", 4, 4, 5000);
    guarded.number("VerticalOverlap:4:1:8:1:R:10000", 8, 4, 1000);
    // Unsigned foreign values that rescale below zero cannot; positive ones can.
    guarded.number("Gutter:4:1:12:0:R:10000", 12, 4, 30000);
    CoreData overlaps = defaultRecord();
    readAndConvert(overlaps, guarded.record, guarded.wrapped());
    EXPECT_EQ(values(overlaps, {FieldId::HorizontalOverlap, FieldId::VerticalOverlap, FieldId::Gutter}),
              "HorizontalOverlap=0 VerticalOverlap=1000 Gutter=30000 ");
}

TEST(Reader, RejectedHeadersGiveTheDefaultRecordNothingToReadLeavesItAndMalformedItemsDrop) {
    ForeignSchema schema(40);
    schema.number("Zoom:2:1:4:0:R:1", 4, 2, 250);
    CoreData changed = defaultRecord();
    changed.setNumber(FieldId::Zoom, 77);

    auto otherHash = schema.record;
    otherHash[0] ^= 0x80;
    // An unknown version, a stated record size beyond the bytes given, and a
    // record whose first bytes do not carry the described hash.
    const std::pair<std::span<const std::uint8_t>, std::string> rejected[] = {
        {schema.record, schema.wrapped("2")}, {std::span(schema.record).first(30), schema.wrapped()}, {otherHash, schema.wrapped()}};
    for (const auto& [record, description] : rejected) {
        CoreData destination = changed;
        EXPECT_TRUE(readAndConvert(destination, record, description));
        EXPECT_EQ(destination, defaultRecord()) << record.size();
    }
    // Nothing to read leaves the destination as it was.
    CoreData destination = changed;
    EXPECT_TRUE(readAndConvert(destination, {}, writeDescription()));
    EXPECT_TRUE(readAndConvert(destination, changed.bytes, ""));
    EXPECT_TRUE(readAndConvert(destination, changed.bytes, "AA=="));  // decodes to a lone NUL
    EXPECT_EQ(destination, changed);

    // Malformed items are dropped one by one.
    schema = ForeignSchema(40);
    schema.number("Zoom:2:1:4:0:R:0", 4, 2, 250);                    // scale 0
    schema.bytes("PageSizeName:1:8:6:1:A:extra", 6, "Name");          // seven parts for an array
    schema.number("Creep:4:1:20", 20, 4, 5);                          // too few parts
    schema.number("NumCopies:x:1:14:0:R:1", 14, 2, 9);                // size not a number
    schema.number("Collate:1:1:16:0:S:Sort:Group", 16, 1, 1);         // good
    schema.number("Collate:1:1:17:0:S:Sort:Group", 17, 1, 0);         // duplicate: ignored
    schema.number("OffsetCopies:1:1:\t18:+0:S:False:True", 18, 1, 1);  // white space and sign accepted
    schema.number("Staple:1:1:24:0:S", 24, 1, 0);                     // no names: from the end of the list
    destination = defaultRecord();
    readAndConvert(destination, schema.record, schema.wrapped());
    EXPECT_EQ(values(destination, {FieldId::Zoom, FieldId::Creep, FieldId::NumCopies, FieldId::Collate, FieldId::OffsetCopies,
                                    FieldId::Staple}),
              "Zoom=100 Creep=0 NumCopies=1 Collate=Group OffsetCopies=True Staple=" +
                  std::to_string(fieldDef(FieldId::Staple).options->count()) + " ");
    EXPECT_EQ(destination.text(FieldId::PageSizeName), "");
}

}  // namespace
}  // namespace tvzx::settings
