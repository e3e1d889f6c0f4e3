// The page exception list codec.
#include <gtest/gtest.h>

#include <vector>

#include "rules/page_exceptions.h"

namespace tvzx::rules {
namespace {

PageException tabRecord() {
    PageException r;
    r.kind = 6;
    r.finishing1 = 5;
    r.finishing3 = 1;
    r.number1 = 300;
    r.attributeText = "heavy";
    r.tray = 3;
    r.number2 = 2;
    r.paperName = "Tab stock";
    r.paperSize = 25;
    r.customWidth = 2227000;
    r.customHeight = 2970000;
    r.tabInfo = {0, 1, 1, 9, "Chapter 1"};
    r.subEntries = {{1, 2, 1, 40, {0, 0, 0, 0, "1a"}}, {7, 7, 0, 100, {1, 1, 0, 0, ""}}};
    r.pageRanges = {{3, 3}, {10, 12}};
    return r;
}

TEST(PageExceptionCodec, EmptyListAndEmptyBlock) {
    const EncodedPageExceptions empty = encodePageExceptions({});
    EXPECT_TRUE(empty.fits);
    const std::vector<std::uint8_t> head(empty.block.begin(), empty.block.begin() + 6);
    EXPECT_EQ(head, (std::vector<std::uint8_t>{0xFF, 0xFF, 0x06, 0x00, 0x00, 0x00}));
    EXPECT_TRUE(decodePageExceptions(empty.block, false).records.empty());

    const std::vector<std::uint8_t> zeros(kPageExceptionBlockSize, 0);
    const DecodedPageExceptions decoded = decodePageExceptions(zeros, false);
    EXPECT_TRUE(decoded.records.empty());
    EXPECT_TRUE(decoded.complete);
}

TEST(PageExceptionCodec, RecordsRoundTrip) {
    PageException paper;
    paper.kind = 0;
    paper.tray = 2;
    paper.paperSize = 15;
    paper.pageRanges = {{1, 1}, {5, 9}};
    const std::vector<PageException> records = {paper, tabRecord()};
    const EncodedPageExceptions encoded = encodePageExceptions(records);
    ASSERT_TRUE(encoded.fits);
    const DecodedPageExceptions decoded = decodePageExceptions(encoded.block, false);
    EXPECT_TRUE(decoded.complete);
    EXPECT_EQ(decoded.records, records);
    EXPECT_TRUE(decoded.records[0].coversPage(7));
    EXPECT_FALSE(decoded.records[0].coversPage(4));
}

TEST(PageExceptionCodec, OutOfRangeValuesAreClipped) {
    PageException wild = tabRecord();
    wild.kind = 9;
    wild.paperSize = 30;
    wild.finishing3 = 4;
    wild.tray = 200;
    wild.customWidth = 0xFFFFFFFF;
    wild.attributeText = std::string(200, 'x');
    wild.subEntries[0].number = 500;
    wild.subEntries[0].flag = 3;
    const DecodedPageExceptions decoded = decodePageExceptions(encodePageExceptions({&wild, 1}).block, false);
    ASSERT_EQ(decoded.records.size(), 1u);
    const PageException& r = decoded.records[0];
    EXPECT_EQ(r.kind, 7);
    EXPECT_EQ(r.paperSize, 25);
    EXPECT_EQ(r.finishing3, 1);
    EXPECT_EQ(r.tray, 8);
    EXPECT_EQ(r.customWidth, 600000000u);
    EXPECT_EQ(r.attributeText.size(), 127u);
    EXPECT_EQ(r.subEntries[0].number, 100);
    EXPECT_EQ(r.subEntries[0].flag, 1);
}

TEST(PageExceptionCodec, OlderFormAndUnknownFormat) {
    // The older form has no marker: the count stands at offset 0.
    std::vector<std::uint8_t> older(kPageExceptionBlockSize, 0);
    older[1] = 1;  // one record of zeros: kind 0, no ranges
    const DecodedPageExceptions decoded = decodePageExceptions(older, false);
    ASSERT_EQ(decoded.records.size(), 1u);
    EXPECT_EQ(decoded.records[0].kind, 0);

    EncodedPageExceptions encoded = encodePageExceptions(std::vector<PageException>{tabRecord()});
    encoded.block[2] = 5;
    EXPECT_TRUE(decodePageExceptions(encoded.block, false).records.empty());
}

TEST(PageExceptionCodec, TruncatedBlockYieldsWhatCouldBeRead) {
    const std::vector<PageException> records = {tabRecord(), tabRecord()};
    const EncodedPageExceptions encoded = encodePageExceptions(records);
    // Cut inside the second record.
    const std::span<const std::uint8_t> cut(encoded.block.data(), 100);
    const DecodedPageExceptions decoded = decodePageExceptions(cut, false);
    EXPECT_FALSE(decoded.complete);
    ASSERT_EQ(decoded.records.size(), 1u);
    EXPECT_EQ(decoded.records[0], records[0]);
    EXPECT_TRUE(decodePageExceptions(std::span(encoded.block.data(), 1), false).records.empty());
}

TEST(PageExceptionCodec, ListTooLongIsCutAndReported) {
    PageException big;
    big.paperName = std::string(1000, 'p');
    const std::vector<PageException> records(25, big);
    const EncodedPageExceptions encoded = encodePageExceptions(records);
    EXPECT_FALSE(encoded.fits);
    EXPECT_EQ(encoded.block.size(), kPageExceptionBlockSize);
    const DecodedPageExceptions decoded = decodePageExceptions(encoded.block, false);
    EXPECT_FALSE(decoded.complete);
    EXPECT_EQ(decoded.records.size(), (kPageExceptionBlockSize - 5) / 1033);
}

TEST(PageExceptionCodec, TabImageShiftNormalisesTabRecords) {
    PageException tab = tabRecord();
    tab.tabInfo.paper = 4;
    tab.tabInfo.position = 2;
    tab.pageRanges = {{12, 10}};
    PageException paper;
    paper.pageRanges = {{8, 6}};
    const EncodedPageExceptions encoded = encodePageExceptions(std::vector<PageException>{tab, paper});
    const auto plain = decodePageExceptions(encoded.block, false).records;
    EXPECT_EQ(plain[0].tabInfo.paper, 4);
    const auto shifted = decodePageExceptions(encoded.block, true).records;
    EXPECT_EQ(shifted[0].tabInfo.paper, 1);
    EXPECT_EQ(shifted[0].tabInfo.position, 1);
    EXPECT_EQ(shifted[0].pageRanges[0], (PageRange{10, 12}));
    // Only tab records take the tab form.
    EXPECT_EQ(shifted[1].pageRanges[0], (PageRange{8, 6}));
}

TEST(PageExceptionCodec, TabRecordsOfAJob) {
    settings::CoreData settings = settings::defaultRecord();
    EXPECT_FALSE(holdsTabRecords(settings));
    const auto encoded = encodePageExceptions(std::vector<PageException>{tabRecord()});
    std::copy(encoded.block.begin(), encoded.block.end(), settings.field(settings::FieldId::PageSpecificTrays).begin());
    EXPECT_TRUE(holdsTabRecords(settings));
}

}  // namespace
}  // namespace tvzx::rules
