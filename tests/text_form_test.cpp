// The settings text form: writing the layout description and converting a
// record of another layout through it, field by field by name.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/base64.h"
#include "common/byte_order.h"
#include "common/hex_text.h"
#include "common/rescale.h"
#include "settings/core_data.h"
#include "settings/schema_hash.h"
#include "settings/text_form.h"

namespace tvzx::settings {
namespace {

constexpr std::uint32_t kForeignHash = 0x00C0FFEE;

// A record of an invented older layout and the description that goes with it.
class ForeignSchema {
public:
    explicit ForeignSchema(std::size_t size, std::uint32_t hash = kForeignHash) : record(size), hash_(hash) {
        writeBe32(record.data(), hash);
    }
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
        std::string text = std::string(version) + " " + hexBytesText(hash_) + " " + std::to_string(record.size()) + " ";
        for (const auto& item : items) text += item + " ";
        return text;
    }
    std::string wrapped(std::string_view version = "1") const {
        const std::string text = plain(version);
        std::vector<std::uint8_t> data(text.begin(), text.end());
        data.push_back(0);
        return base64Encode(data);
    }
    std::vector<std::uint8_t> record;
    std::vector<std::string> items;

private:
    std::uint32_t hash_;
};

std::string optionName(const CoreData& record, FieldId id) {
    return std::string(fieldDef(id).options->entries[record.option(id)].name);
}

TEST(Description, FormOfTheText) {
    const std::string plain = plainDescription();
    EXPECT_EQ(plain.rfind("1 B9F98581 26871 PageSize:1:1:9:0:S:A3:A4:", 0), 0u);
    EXPECT_NE(plain.find(" PageSizeType:1:1:18:0:S:NotFromEngine:FromEngine:BuiltInCustomSize "), std::string::npos);
    EXPECT_NE(plain.find(" Gutter:4:1:297:1:R:10000 "), std::string::npos);
    EXPECT_NE(plain.find(" PageSizeName:1:128:19:1:A "), std::string::npos);
    EXPECT_NE(plain.find(" MainPaperProfileFeedDir:1:1:151:0:S "), std::string::npos);
    const std::string tail = "CoreDataLoadedFromPdUi:1:1:26870:0:S:False:True ";
    EXPECT_EQ(plain.substr(plain.size() - tail.size()), tail);
}

TEST(Description, WrappedFormDecodesToThePlainTextAndItsNul) {
    const auto decoded = base64Decode(writeDescription());
    ASSERT_FALSE(decoded.empty());
    EXPECT_EQ(decoded.back(), 0);
    EXPECT_EQ(std::string(decoded.begin(), decoded.end() - 1), plainDescription());
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

TEST(Conversion, ForeignLayoutShowsExactlyWhatSurvives) {
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
    EXPECT_EQ(destination.number(FieldId::Zoom), 250);
    EXPECT_EQ(destination.number(FieldId::Gutter), -123450);
    EXPECT_EQ(destination.number(FieldId::Creep), 1235);
    EXPECT_EQ(optionName(destination, FieldId::Staple), "2StaplesNarrow");
    EXPECT_EQ(optionName(destination, FieldId::Punch), "GBCDoubleStreampunch");
    EXPECT_EQ(destination.option(FieldId::Layout), fieldDef(FieldId::Layout).options->count());
    EXPECT_EQ(optionName(destination, FieldId::Duplex), "True");
    EXPECT_EQ(optionName(destination, FieldId::Binding), "Left");
    EXPECT_EQ(destination.text(FieldId::SendEMailAddress), "ops@example.test");
    EXPECT_EQ(destination.text(FieldId::AccountTrackDepartmentName), "NoName");
    EXPECT_EQ(destination.text(FieldId::PageSizeName), "");
    EXPECT_EQ(destination.number(FieldId::NumCopies), 1);

    // Validation afterwards repairs the index that landed past the list.
    EXPECT_FALSE(validateRecord(destination));
    EXPECT_EQ(optionName(destination, FieldId::Layout), "None");
    EXPECT_EQ(destination.number(FieldId::Zoom), 250);
}

TEST(Conversion, RescalingRoundsHalfUpAndHalfAwayFromZero) {
    EXPECT_EQ(rescale(12345, 1000, 10000), 123450);
    EXPECT_EQ(rescale(12345, 10000, 1000), 1235);
    EXPECT_EQ(rescale(-12345, 10000, 1000), -1235);
    EXPECT_EQ(rescale(123456, 10000, 10), 123);
    EXPECT_EQ(rescale(-123455, 10000, 10), -123);
    EXPECT_EQ(rescale(7, 0, 1), 7);
}

TEST(Conversion, SignednessGuardsOfNumbers) {
    ForeignSchema schema(40);
    // Signed foreign values of 1024 or more never land in unsigned 4-byte fields.
    schema.number("HorizontalOverlap:4:1:4:1:R:10000", 4, 4, 5000);
    schema.number("VerticalOverlap:4:1:8:1:R:10000", 8, 4, 1000);
    // Unsigned foreign values that rescale below zero cannot; positive ones can.
    schema.number("Gutter:4:1:12:0:R:10000", 12, 4, 30000);
    CoreData destination = defaultRecord();
    readAndConvert(destination, schema.record, schema.wrapped());
    EXPECT_EQ(destination.number(FieldId::HorizontalOverlap), 0);
    EXPECT_EQ(destination.number(FieldId::VerticalOverlap), 1000);
    EXPECT_EQ(destination.number(FieldId::Gutter), 30000);
}

TEST(Reader, RejectedHeadersGiveTheDefaultRecordAndNothingToReadLeavesIt) {
    ForeignSchema schema(40);
    schema.number("Zoom:2:1:4:0:R:1", 4, 2, 250);
    CoreData changed = defaultRecord();
    changed.setNumber(FieldId::Zoom, 77);

    CoreData destination = changed;
    EXPECT_TRUE(readAndConvert(destination, schema.record, schema.wrapped("2")));
    EXPECT_EQ(destination, defaultRecord());

    // A stated record size beyond the bytes given.
    destination = changed;
    EXPECT_TRUE(readAndConvert(destination, std::span(schema.record).first(30), schema.wrapped()));
    EXPECT_EQ(destination, defaultRecord());

    // A record whose first bytes do not carry the described hash.
    destination = changed;
    auto other = schema.record;
    other[0] ^= 0x80;
    EXPECT_TRUE(readAndConvert(destination, other, schema.wrapped()));
    EXPECT_EQ(destination, defaultRecord());

    // Nothing to read leaves the destination as it was.
    destination = changed;
    const CoreData before = destination;
    EXPECT_TRUE(readAndConvert(destination, {}, writeDescription()));
    EXPECT_TRUE(readAndConvert(destination, before.bytes, ""));
    EXPECT_TRUE(readAndConvert(destination, before.bytes, "AA=="));  // decodes to a lone NUL
    EXPECT_EQ(destination, before);
}

TEST(Reader, MalformedItemsAreDroppedOneByOne) {
    ForeignSchema schema(40);
    schema.number("Zoom:2:1:4:0:R:0", 4, 2, 250);                    // scale 0
    schema.bytes("PageSizeName:1:8:6:1:A:extra", 6, "Name");          // seven parts for an array
    schema.number("Creep:4:1:20", 20, 4, 5);                          // too few parts
    schema.number("NumCopies:x:1:14:0:R:1", 14, 2, 9);                // size not a number
    schema.number("Collate:1:1:16:0:S:Sort:Group", 16, 1, 1);         // good
    schema.number("Collate:1:1:17:0:S:Sort:Group", 17, 1, 0);         // duplicate: ignored
    schema.number("OffsetCopies:1:1:\t18:+0:S:False:True", 18, 1, 1);  // white space and sign accepted
    schema.number("Staple:1:1:24:0:S", 24, 1, 0);                     // no names: from the end of the list
    CoreData destination = defaultRecord();
    readAndConvert(destination, schema.record, schema.wrapped());
    EXPECT_EQ(destination.number(FieldId::Zoom), 100);
    EXPECT_EQ(destination.text(FieldId::PageSizeName), "");
    EXPECT_EQ(destination.number(FieldId::Creep), 0);
    EXPECT_EQ(destination.number(FieldId::NumCopies), 1);
    EXPECT_EQ(optionName(destination, FieldId::Collate), "Group");
    EXPECT_EQ(optionName(destination, FieldId::OffsetCopies), "True");
    EXPECT_EQ(destination.option(FieldId::Staple), fieldDef(FieldId::Staple).options->count());
}

}  // namespace
}  // namespace tvzx::settings
