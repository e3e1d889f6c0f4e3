// The page exception list codec, against blocks written out byte by byte.
#include <gtest/gtest.h>

#include "rules/page_exceptions.h"

namespace tvzx::rules {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes join(std::initializer_list<Bytes> pieces) {
    Bytes out;
    for (const Bytes& piece : pieces) out.insert(out.end(), piece.begin(), piece.end());
    return out;
}

Bytes text(std::string_view value) { return join({Bytes(value.begin(), value.end()), {0}}); }

// A tab record with every value at the top of its range and numbers whose
// bytes differ, so that a swapped byte order shows.
const Bytes kTabRecord = join({
    {0x06, 0x07, 0x07, 0x01, 0x02, 0x01, 0x02, 0x06, 0x0E, 0x0F}, text("heavy"), {0x02, 0x08, 0x03, 0x04}, text("Tab"),
    {0x19, 0x23, 0xC3, 0x46, 0x00, 0x01, 0x02, 0x03, 0x04, 0x00, 0x01, 0x01, 0x09}, text("Ch 1"),
    {0x01, 0x07, 0x07, 0x01, 0x00, 0x64, 0x01, 0x00, 0x00, 0x00}, text("1a"),
    {0x00, 0x02, 0x00, 0x01, 0x01, 0x00, 0x00, 0x05, 0x00, 0x03},
});
PageException tabRecord() {
    return {.kind = 6, .finishing1 = 7, .finishing2 = 7, .finishing3 = 1, .finishing4 = 2, .number1 = 0x0102,
            .attribute1 = 6, .attribute2 = 14, .attribute3 = 15, .attributeText = "heavy", .attribute4 = 2,
            .tray = 8, .number2 = 0x0304, .paperName = "Tab", .paperSize = 25, .customWidth = 600000000,
            .customHeight = 0x01020304, .tabInfo = {0, 1, 1, 9, "Ch 1"},
            .subEntries = {{7, 7, 1, 100, {1, 0, 0, 0, "1a"}}}, .pageRanges = {{1, 256}, {5, 3}}};
}

// Every value one past its range: each is clipped, none refused.
const Bytes kWildRecord = join({
    {0x09, 0x08, 0xFF, 0x02, 0x03, 0xFF, 0xFE, 0x07, 0x0F, 0x10}, text(std::string(128, 'x')),
    {0x03, 0x09, 0x00, 0x00}, text(""),
    {0x1A, 0x23, 0xC3, 0x46, 0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0x02, 0x04, 0x02, 0x00}, text(""),
    {0x01, 0x08, 0x09, 0x03, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00}, text(""), {0x00, 0x01, 0x00, 0x08, 0x00, 0x06},
});
PageException wildRecord() {
    return {.kind = 7, .finishing1 = 7, .finishing2 = 7, .finishing3 = 1, .finishing4 = 2, .number1 = 0xFFFE,
            .attribute1 = 6, .attribute2 = 14, .attribute3 = 15, .attributeText = std::string(127, 'x'),
            .attribute4 = 2, .tray = 8, .paperName = "", .paperSize = 25, .customWidth = 600000000,
            .customHeight = 600000000, .tabInfo = {2, 4, 2, 0, ""}, .subEntries = {{7, 7, 1, 100, {}}},
            .pageRanges = {{8, 6}}};
}

// A paper record of zeros but for one backwards range.
const Bytes kPaperRecord = join({Bytes(31, 0), {0x00, 0x01, 0x00, 0x09, 0x00, 0x07}});
PageException paperRecord() {
    PageException record;
    record.pageRanges = {{9, 7}};
    return record;
}

Bytes currentBlock(std::uint8_t count, std::initializer_list<Bytes> records) {
    Bytes block = join({{0xFF, 0xFF, 0x06, 0x00, count}, join(records)});
    block.resize(kPageExceptionBlockSize);
    return block;
}

TEST(PageExceptionCodec, EmptyListAndEmptyBlock) {
    const EncodedPageExceptions empty = encodePageExceptions({});
    EXPECT_TRUE(empty.fits && Bytes(empty.block.begin(), empty.block.end()) == currentBlock(0, {}));
    const DecodedPageExceptions zeros = decodePageExceptions(Bytes(kPageExceptionBlockSize, 0), false);
    EXPECT_TRUE(zeros.records.empty() && zeros.complete);
    // A job holds tab records once its block lists one.
    settings::CoreData settings = settings::defaultRecord();
    EXPECT_FALSE(holdsTabRecords(settings));
    const Bytes block = currentBlock(1, {kTabRecord});
    std::copy(block.begin(), block.end(), settings.field(settings::FieldId::PageSpecificTrays).begin());
    EXPECT_TRUE(holdsTabRecords(settings));
}

TEST(PageExceptionCodec, ReadsEachFieldInOrderClipsToItsRangeAndShiftsTabImages) {
    const Bytes block = currentBlock(3, {kTabRecord, kWildRecord, kPaperRecord});
    const DecodedPageExceptions decoded = decodePageExceptions(block, false);
    EXPECT_TRUE(decoded.complete);
    ASSERT_EQ(decoded.records, (std::vector<PageException>{tabRecord(), wildRecord(), paperRecord()}));
    EXPECT_EQ(std::pair(decoded.records[0].coversPage(256), decoded.records[0].coversPage(257)), std::pair(true, false));

    // The writer lays a record out byte for byte the same way.
    const EncodedPageExceptions encoded = encodePageExceptions(std::vector<PageException>{tabRecord(), paperRecord()});
    EXPECT_TRUE(encoded.fits);
    EXPECT_EQ(Bytes(encoded.block.begin(), encoded.block.end()), currentBlock(2, {kTabRecord, kPaperRecord}));
    // With tab image shift, tab records take the tab form.
    const auto records = decodePageExceptions(block, true).records;
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].pageRanges, (std::vector<PageRange>{{1, 256}, {3, 5}}));
    EXPECT_EQ(records[1].tabInfo, (TabInfo{1, 1, 1, 0, ""}));
    EXPECT_EQ(records[1].pageRanges, (std::vector<PageRange>{{6, 8}}));
    // Only tab records take the tab form.
    EXPECT_EQ(records[2], paperRecord());
}

TEST(PageExceptionCodec, OlderFormUnknownFormatCutBlockAndListTooLong) {
    // The older form has no marker: the count stands at offset 0.
    const auto older = decodePageExceptions(join({{0x00, 0x01}, kTabRecord}), false);
    EXPECT_TRUE(older.complete && older.records == std::vector<PageException>{tabRecord()});
    EXPECT_TRUE(decodePageExceptions(join({{0xFF, 0xFF, 0x05, 0x00, 0x01}, kTabRecord}), false).records.empty());
    // A cut block yields what could be read.
    const Bytes block = currentBlock(2, {kTabRecord, kWildRecord});
    const DecodedPageExceptions decoded = decodePageExceptions(std::span(block).first(5 + kTabRecord.size() + 20), false);
    EXPECT_FALSE(decoded.complete);
    EXPECT_EQ(decoded.records, std::vector<PageException>{tabRecord()});
    EXPECT_TRUE(decodePageExceptions(std::span(block).first(1), false).records.empty());
    // A list too long is cut and reported.
    PageException big;
    big.paperName = std::string(1000, 'p');
    const EncodedPageExceptions encoded = encodePageExceptions(std::vector<PageException>(25, big));
    EXPECT_FALSE(encoded.fits);
    const DecodedPageExceptions tooLong = decodePageExceptions(encoded.block, false);
    EXPECT_FALSE(tooLong.complete);
    EXPECT_EQ(tooLong.records.size(), (kPageExceptionBlockSize - 5) / 1033);
}

}  // namespace
}  // namespace tvzx::rules
