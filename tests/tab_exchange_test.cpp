// The record the plug-in and the tab worker share: every field sits
// little-endian where the worker reads it and is read back from there, and a
// record whose texts run out of their fields is refused.
#include <gtest/gtest.h>

#include <algorithm>

#include "settings/field_id.h"
#include "tabs/exchange_record.h"

namespace tvzx::tabs {
namespace {

using Record = std::vector<std::uint8_t>;

TabExchange sampleExchange() {
    TabExchange e{.module = 0x1122334455667788, .printer = 0x0102030405060708, .printerName = u"Press \u00C4 1",
                  .temporaryPath = u"C:\\Temp\\TP1A2.tmp", .documentName = u"Printed Tab on 3", .orientation = 2,
                  .printQuality = 0xFFFD, .yResolution = 1200, .scale = 95, .settings = settings::defaultRecord(),
                  .jobId = 0xA1B2C3D4, .tabInformation = {0, 1, 1, 7}, .label = "Chapter \xC3\xA9", .status = kWorkerRunning};
    e.settings.setOption(settings::FieldId::Orientation, 1);
    return e;
}

Record written(const TabExchange& exchange, std::uint8_t fill = 0) {
    Record record(kExchangeRecordSize, fill);
    EXPECT_TRUE(writeExchange(exchange, record));
    return record;
}

Record bytesAt(const Record& record, std::size_t offset, std::size_t count) {
    return Record(record.begin() + static_cast<std::ptrdiff_t>(offset), record.begin() + static_cast<std::ptrdiff_t>(offset + count));
}

TEST(TabExchange, FieldsSitLittleEndianWhereTheWorkerReadsThemAndBadTextsOrSizesAreRefused) {
    const TabExchange exchange = sampleExchange();
    // Reserved bytes keep what the record held; text fields are cleared past
    // their text so that nothing of an older record remains.
    const Record record = written(exchange, 0xEE);
    EXPECT_EQ(bytesAt(record, 0, 8), (Record{0x88, 0x77, 0x66, 0x55, 0x44, 0x33, 0x22, 0x11}));
    EXPECT_EQ(bytesAt(record, 8, 8), (Record{0x08, 0x07, 0x06, 0x05, 0x04, 0x03, 0x02, 0x01}));
    // "Press Ä" as UTF-16LE.
    EXPECT_EQ(bytesAt(record, 16, 14), (Record{'P', 0, 'r', 0, 'e', 0, 's', 0, 's', 0, ' ', 0, 0xC4, 0x00}));
    EXPECT_EQ(bytesAt(record, 8210 - 2, 6), (Record{0, 0, 'C', 0, ':', 0}));
    EXPECT_EQ(bytesAt(record, 139284, 4), (Record{'P', 0, 'r', 0}));
    EXPECT_EQ(bytesAt(record, 147478, 8), (Record{0x02, 0x00, 0xFD, 0xFF, 0xB0, 0x04, 95, 0x00}));
    EXPECT_EQ(bytesAt(record, 147486, settings::kRecordSize),
              Record(exchange.settings.bytes.begin(), exchange.settings.bytes.end()));
    EXPECT_EQ(bytesAt(record, 174357, 11), (Record{0xEE, 0xEE, 0xEE, 0xD4, 0xC3, 0xB2, 0xA1, 0, 1, 1, 7}));
    EXPECT_EQ(bytesAt(record, 174368, 11), (Record{'C', 'h', 'a', 'p', 't', 'e', 'r', ' ', 0xC3, 0xA9, 0}));
    EXPECT_EQ(bytesAt(record, 193818, 6), (Record{0, 0xEE, 1, 0, 0, 0}));
    // The reader takes every field from the same place.
    EXPECT_EQ(written(readExchange(written(exchange)).value_or(TabExchange{})), written(exchange));

    // Overlong texts are cut; unterminated ones and wrong sizes are refused.
    TabExchange longTexts = sampleExchange();
    longTexts.printerName = std::u16string(5000, u'n');
    longTexts.temporaryPath = std::u16string(70000, u'p');
    longTexts.documentName = std::u16string(kNameCharacters, u'd');
    longTexts.label = std::string(20000, 'l');
    const Record cutTexts = written(longTexts);
    EXPECT_EQ(bytesAt(cutTexts, 8210 - 4, 6), (Record{'n', 0, 0, 0, 'p', 0}));
    EXPECT_EQ(bytesAt(cutTexts, 139284 - 4, 6), (Record{'p', 0, 0, 0, 'd', 0}));
    EXPECT_EQ(bytesAt(cutTexts, 147478 - 4, 6), (Record{'d', 0, 0, 0, 2, 0}));
    EXPECT_EQ(bytesAt(cutTexts, 193819 - 2, 2), (Record{'l', 0}));
    const std::optional<TabExchange> back = readExchange(cutTexts);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(std::tuple(back->printerName, back->temporaryPath.size(), back->label.size()),
              std::tuple(std::u16string(kNameCharacters - 1, u'n'), kPathCharacters - 1, kLabelBytes - 1));
    // A record whose text runs out of its field is refused.
    const Record good = written(sampleExchange());
    for (const ExchangeField field : {exchange::kPrinterName, exchange::kTemporaryPath, exchange::kDocumentName, exchange::kLabel}) {
        Record cut = good;
        std::fill_n(cut.begin() + static_cast<std::ptrdiff_t>(field.offset), field.size, 'A');
        EXPECT_FALSE(readExchange(cut).has_value()) << "field at " << field.offset << " without NUL";
        // A NUL in the field's last unit is enough.
        cut[field.offset + field.size - 1] = 0;
        if (field.size % 2 == 0) cut[field.offset + field.size - 2] = 0;
        EXPECT_TRUE(readExchange(cut).has_value()) << "field at " << field.offset << " ending in NUL";
    }
    // A wide text needs a whole NUL unit: a zero high byte alone is a letter.
    Record halfNul = good;
    for (std::size_t i = 0; i < exchange::kPrinterName.size; ++i) halfNul[exchange::kPrinterName.offset + i] = i % 2 == 0 ? 'A' : 0;
    EXPECT_FALSE(readExchange(halfNul).has_value());
    Record shortRecord(kExchangeRecordSize - 1, 0), longRecord(kExchangeRecordSize + 1, 0);
    EXPECT_FALSE(writeExchange(sampleExchange(), shortRecord) || writeExchange(sampleExchange(), longRecord));
    EXPECT_EQ(shortRecord, Record(kExchangeRecordSize - 1, 0)) << "nothing written into a short record";
    EXPECT_FALSE(readExchange(shortRecord) || readExchange(longRecord));
}

}  // namespace
}  // namespace tvzx::tabs
