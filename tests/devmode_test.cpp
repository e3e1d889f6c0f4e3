// The driver's DevMode requests on the private block: size, defaults,
// conversion and merging, and the core driver's layout flag.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "common/base64.h"
#include "common/byte_order.h"
#include "common/hex_text.h"
#include "settings/devmode.h"
#include "settings/private_block.h"
#include "settings/schema_hash.h"
#include "settings/text_form.h"

namespace tvzx::settings {
namespace {

using Block = std::vector<std::uint8_t>;

CoreData& recordOf(Block& block) {
    return blockRecord(std::span<std::uint8_t, kPrivateBlockSize>(block.data(), kPrivateBlockSize));
}

Block currentBlock() {
    Block block(kPrivateBlockSize);
    initialiseBlock(std::span<std::uint8_t, kPrivateBlockSize>(block.data(), kPrivateBlockSize));
    return block;
}

// A public DEVMODE followed by the core driver's own private area.
struct PublicDevmode {
    explicit PublicDevmode(std::uint16_t driverExtra = 200) : bytes(sizeof(win::DEVMODEW) + driverExtra) {
        devmode()->dmSize = sizeof(win::DEVMODEW);
        devmode()->dmDriverExtra = driverExtra;
        if (driverExtra >= 4) std::memcpy(area(), "PRIV", 4);
    }
    win::DEVMODEW* devmode() { return reinterpret_cast<win::DEVMODEW*>(bytes.data()); }
    std::uint8_t* area() { return bytes.data() + sizeof(win::DEVMODEW); }
    std::vector<std::uint8_t> bytes;
};

struct Request {
    Block in = currentBlock();
    Block out = currentBlock();
    PublicDevmode publicIn;
    PublicDevmode publicOut;
    platform::MemoryPrinterData printerData;
    win::OEMDMPARAM param{};

    bool run(std::uint32_t mode) {
        BasicDevModeServices services(&printerData);
        param.cbSize = sizeof param;
        param.pOEMDMIn = in.data();
        param.pOEMDMOut = out.data();
        param.pPublicDMIn = publicIn.devmode();
        param.pPublicDMOut = publicOut.devmode();
        if (param.cbBufSize == 0) param.cbBufSize = kPrivateBlockSize;
        return devModeCallback(mode, &param, services);
    }
};

TEST(PrivateBlock, HeaderOfAFreshBlock) {
    Block block = currentBlock();
    EXPECT_EQ(readLe32(block.data()), 26900u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(block.data() + 4), 4), "XZVT");
    EXPECT_EQ(readLe32(block.data() + 8), schemaHash());
    EXPECT_EQ(readLe32(block.data() + 12), 0xFFFFFFFFu);
    EXPECT_EQ(readLe32(block.data() + 16), 17u);
    for (int i = 20; i < 29; ++i) EXPECT_EQ(block[i], 0) << "header byte " << i;
    EXPECT_EQ(recordOf(block), defaultRecord());
    EXPECT_TRUE(isCurrentBlock(block));
}

TEST(PrivateBlock, WhatCountsAsCurrent) {
    Block block = currentBlock();
    writeLe32(block.data(), 26899);
    EXPECT_FALSE(isCurrentBlock(block));
    block = currentBlock();
    writeLe32(block.data() + 16, 16);
    EXPECT_FALSE(isCurrentBlock(block));
    block = currentBlock();
    EXPECT_FALSE(isCurrentBlock(std::span(block).first(kPrivateBlockSize - 1)));
}

TEST(DevModeRequest, SizeAndBadRequests) {
    Request request;
    EXPECT_TRUE(request.run(win::OEMDM_SIZE));
    EXPECT_EQ(request.param.cbBufSize, 26900u);
    EXPECT_FALSE(request.run(0));
    EXPECT_FALSE(request.run(5));
    BasicDevModeServices services(nullptr);
    EXPECT_FALSE(devModeCallback(win::OEMDM_SIZE, nullptr, services));
}

TEST(DevModeRequest, DefaultsFollowThePrintersDefaultDuplex) {
    Request request;
    request.printerData.set("DefaultDuplex", {win::REG_DWORD, {0, 0, 0, 0}});
    std::fill(request.out.begin(), request.out.end(), 0xAB);
    ASSERT_TRUE(request.run(win::OEMDM_DEFAULT));
    EXPECT_TRUE(isCurrentBlock(request.out));
    EXPECT_EQ(recordOf(request.out).option(FieldId::Duplex), 0u);

    // A short output buffer is refused and left alone.
    Request shortBuffer;
    shortBuffer.param.cbBufSize = kPrivateBlockSize - 1;
    std::fill(shortBuffer.out.begin(), shortBuffer.out.end(), 0xAB);
    EXPECT_FALSE(shortBuffer.run(win::OEMDM_DEFAULT));
    EXPECT_EQ(shortBuffer.out[0], 0xAB);
}

TEST(DevModeRequest, DefaultDuplexIsIgnoredForSettingsFromTheUserInterface) {
    Request request;
    recordOf(request.in).setOption(FieldId::CoreDataLoadedFromPdUi, 1);
    request.printerData.set("DefaultDuplex", {win::REG_DWORD, {0, 0, 0, 0}});
    ASSERT_TRUE(request.run(win::OEMDM_CONVERT));
    EXPECT_EQ(recordOf(request.out).option(FieldId::Duplex), 1u);

    // A value of the wrong length is not a default duplex either.
    Request odd;
    odd.printerData.set("DefaultDuplex", {win::REG_DWORD, {0, 0}});
    ASSERT_TRUE(odd.run(win::OEMDM_CONVERT));
    EXPECT_EQ(recordOf(odd.out).option(FieldId::Duplex), 1u);
}

TEST(DevModeRequest, ConvertCopiesAndRepairsACurrentBlock) {
    Request request;
    recordOf(request.in).setOption(FieldId::Staple, 4);
    recordOf(request.in).setNumber(FieldId::Zoom, 5000);  // out of range
    ASSERT_TRUE(request.run(win::OEMDM_CONVERT));
    EXPECT_EQ(recordOf(request.out).option(FieldId::Staple), 4u);
    EXPECT_EQ(recordOf(request.out).number(FieldId::Zoom), 100);
}

TEST(DevModeRequest, ConvertRefusesAnOutputBufferSmallerThanABlock) {
    Request request;
    request.param.cbBufSize = 1000;
    recordOf(request.in).setOption(FieldId::Staple, 4);
    std::fill(request.out.begin(), request.out.end(), 0xCD);
    EXPECT_FALSE(request.run(win::OEMDM_CONVERT));
    EXPECT_EQ(request.out[1000], 0xCD);
}

TEST(DevModeRequest, ForeignBlockWithoutDescriptionGivesPureDefaults) {
    Request request;
    writeLe32(request.in.data() + 8, 0x1234);
    recordOf(request.in).setOption(FieldId::Staple, 4);
    recordOf(request.out).setOption(FieldId::Punch, 2);
    ASSERT_TRUE(request.run(win::OEMDM_CONVERT));
    EXPECT_TRUE(isCurrentBlock(request.out));
    EXPECT_EQ(recordOf(request.out), defaultRecord());
}

TEST(DevModeRequest, ForeignBlockIsConvertedThroughItsStoredDescription) {
    // An older layout: no extension, the record right after the base header.
    const std::uint32_t oldHash = 0xABCDEF;
    Block old(12 + 20);
    writeLe32(old.data(), static_cast<std::uint32_t>(old.size()));
    writeLe32(old.data() + 4, kSignature);
    writeLe32(old.data() + 8, oldHash);
    writeBe32(old.data() + 12, oldHash);
    writeBigEndian(old.data() + 12 + 4, 2, 42);  // NumCopies at record offset 4
    const std::string plain = "1 ABCDEF 16 NumCopies:2:1:4:0:R:1 Collate:1:1:6:0:S:Sort:Group ";
    old[12 + 6] = 1;
    std::vector<std::uint8_t> text(plain.begin(), plain.end());
    text.push_back(0);
    const std::string wrapped = base64Encode(text);

    Request request;
    request.in = old;
    request.printerData.set("CoreDataDescription.ABCDEF", {win::REG_BINARY, {wrapped.begin(), wrapped.end()}});
    ASSERT_TRUE(request.run(win::OEMDM_CONVERT));
    EXPECT_EQ(recordOf(request.out).number(FieldId::NumCopies), 42);
    EXPECT_EQ(recordOf(request.out).option(FieldId::Collate), 1u);

    // The description must be stored as binary data.
    Request wrongType;
    wrongType.in = old;
    wrongType.printerData.set("CoreDataDescription.ABCDEF", {win::REG_SZ, {wrapped.begin(), wrapped.end()}});
    ASSERT_TRUE(wrongType.run(win::OEMDM_CONVERT));
    EXPECT_EQ(recordOf(wrongType.out).number(FieldId::NumCopies), 1);
}

TEST(DevModeRequest, ConvertNeedsAnOutputBlockOfFullSize) {
    Request request;
    writeLe32(request.in.data() + 8, 0x1234);
    writeLe32(request.out.data(), 100);
    EXPECT_FALSE(request.run(win::OEMDM_CONVERT));
}

TEST(DevModeRequest, MergeCopiesTheCopyCountEvenWithoutPrivateBlocks) {
    Request request;
    request.publicIn.devmode()->dmFields = win::DM_COPIES;
    request.publicIn.devmode()->dmCopies = 7;
    BasicDevModeServices services(nullptr);
    request.param.pPublicDMIn = request.publicIn.devmode();
    request.param.pPublicDMOut = request.publicOut.devmode();
    EXPECT_FALSE(devModeCallback(win::OEMDM_MERGE, &request.param, services));
    EXPECT_EQ(request.publicOut.devmode()->dmCopies, 7);
    EXPECT_NE(request.publicOut.devmode()->dmFields & win::DM_COPIES, 0u);
}

TEST(DevModeRequest, MergeValidatesACurrentBlock) {
    Request request;
    recordOf(request.in).setOption(FieldId::Fold, 9);
    recordOf(request.in).setOption(FieldId::Layout, 2);
    ASSERT_TRUE(request.run(win::OEMDM_MERGE));
    EXPECT_EQ(recordOf(request.out).option(FieldId::Fold), 0u);
    EXPECT_EQ(recordOf(request.out).option(FieldId::Layout), 2u);
}

TEST(LayoutFlag, SetForImpositionWhenTheCoreDriversAreaIsThere) {
    Request request;
    recordOf(request.in).setOption(FieldId::NUpCount, 3);
    ASSERT_TRUE(request.run(win::OEMDM_CONVERT));
    EXPECT_EQ(request.publicOut.area()[124], 1);

    Request plain;
    plain.publicOut.area()[124] = 1;
    ASSERT_TRUE(plain.run(win::OEMDM_CONVERT));
    EXPECT_EQ(plain.publicOut.area()[124], 0);
}

TEST(LayoutFlag, NeverWrittenOutsideTheCoreDriversArea) {
    // An area of exactly 124 bytes has no byte 124: it stays untouched.
    Request request;
    request.publicOut = PublicDevmode(124);
    request.publicOut.bytes.push_back(0xEE);
    recordOf(request.in).setOption(FieldId::NUpCount, 3);
    ASSERT_TRUE(request.run(win::OEMDM_CONVERT));
    EXPECT_EQ(request.publicOut.bytes.back(), 0xEE);

    // An area without the core driver's signature is not touched either.
    Request unsigned_;
    std::memcpy(unsigned_.publicOut.area(), "XXXX", 4);
    recordOf(unsigned_.in).setOption(FieldId::NUpCount, 3);
    ASSERT_TRUE(unsigned_.run(win::OEMDM_CONVERT));
    EXPECT_EQ(unsigned_.publicOut.area()[124], 0);
}

}  // namespace
}  // namespace tvzx::settings
