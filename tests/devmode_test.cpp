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
    bool inPublicIn = false;  // the block lies in the public input DEVMODE's driver extra, as the driver keeps it

    bool run(std::uint32_t mode) {
        BasicDevModeServices services(&printerData);
        param.cbSize = sizeof param;
        param.pOEMDMIn = in.data();
        if (inPublicIn) {
            // The memory holds the whole block, whatever the DEVMODE's own size says.
            publicIn.bytes.resize(std::max(publicIn.bytes.size(), sizeof(win::DEVMODEW) + in.size()));
            std::copy(in.begin(), in.end(), publicIn.area());
            param.pOEMDMIn = publicIn.area();
        }
        param.pOEMDMOut = out.data();
        param.pPublicDMIn = publicIn.devmode();
        param.pPublicDMOut = publicOut.devmode();
        if (param.cbBufSize == 0) param.cbBufSize = kPrivateBlockSize;
        return devModeCallback(mode, &param, services);
    }
};

TEST(PrivateBlock, HeaderOfAFreshBlock) {
    Block block = currentBlock();
    // Size 26900, "TVZX" as a little-endian number, the hash, the extension
    // marker and length 17, then nine zero bytes.
    const Block header = {0x14, 0x69, 0x00, 0x00, 'X', 'Z', 'V', 'T', 0x81, 0x85, 0xF9, 0xB9, 0xFF, 0xFF, 0xFF,
                          0xFF, 0x11, 0x00, 0x00, 0x00, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(Block(block.begin(), block.begin() + kRecordOffset), header);
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
    // Settings from the user interface keep their duplex, and a value of the
    // wrong length is no default duplex.
    for (const bool fromUserInterface : {true, false}) {
        Request convert;
        recordOf(convert.in).setOption(FieldId::CoreDataLoadedFromPdUi, fromUserInterface ? 1 : 0);
        const std::vector<std::uint8_t> value(fromUserInterface ? 4 : 2, 0);
        convert.printerData.set("DefaultDuplex", {win::REG_DWORD, value});
        ASSERT_TRUE(convert.run(win::OEMDM_CONVERT));
        EXPECT_EQ(recordOf(convert.out).option(FieldId::Duplex), 1u) << fromUserInterface;
    }
}

TEST(DevModeRequest, ConvertCopiesAndRepairsACurrentBlock) {
    Request request;
    recordOf(request.in).setOption(FieldId::Staple, 4);
    recordOf(request.in).setNumber(FieldId::Zoom, 5000);  // out of range
    ASSERT_TRUE(request.run(win::OEMDM_CONVERT));
    EXPECT_EQ(recordOf(request.out).option(FieldId::Staple), 4u);
    EXPECT_EQ(recordOf(request.out).number(FieldId::Zoom), 100);
}

TEST(DevModeRequest, ConvertRefusesAnOutputSmallerThanABlock) {
    Request request;
    request.param.cbBufSize = 1000;
    recordOf(request.in).setOption(FieldId::Staple, 4);
    std::fill(request.out.begin(), request.out.end(), 0xCD);
    EXPECT_FALSE(request.run(win::OEMDM_CONVERT));
    EXPECT_EQ(request.out[1000], 0xCD);
    // A foreign block also needs an output block whose own size is a block's.
    Request foreign;
    writeLe32(foreign.in.data() + 8, 0x1234);
    writeLe32(foreign.out.data(), 100);
    EXPECT_FALSE(foreign.run(win::OEMDM_CONVERT));
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

// An older layout: no extension, the record (its hash big-endian first)
// right after the 12-byte header. Fields signed in the foreign layout land in
// unsigned ones below 1024 (4 bytes) or 256 (2 bytes) only; an option flagged
// 1 is skipped; a field may end exactly at the record's end.
const Block kOldBlock = {
    0x1E, 0x00, 0x00, 0x00, 'X',  'Z',  'V',  'T',  0xEF, 0xCD, 0xAB, 0x00,  // 30 bytes, signature, hash
    0x00, 0xAB, 0xCD, 0xEF,                                                  // the record: its hash
    0x00, 0x00, 0x03, 0xFF,                                                  // VerticalOverlap 1023
    0x00, 0xFF,                                                              // Zoom 255
    0x01, 0x01, 0x00, 0x00, 0x00, 0x00,                                      // Staple, Collate
    0x00, 0x07,                                                              // NumCopies 7
};
constexpr std::string_view kOldDescription =
    "1 ABCDEF 17 VerticalOverlap:4:1:4:1:R:10000 Zoom:2:1:8:1:R:1 Staple:1:1:10:1:S:None:1StapleLeft "
    "Collate:1:1:11:0:S:Sort:Group NumCopies:2:1:16:0:R:1 ";

TEST(DevModeRequest, ForeignBlockIsConvertedAtTheEdgesOfItsLayout) {
    Block limits = kOldBlock;
    limits[18] = 0x04;  // VerticalOverlap 1024
    limits[19] = 0x00;
    limits[20] = 0x01;  // Zoom 256
    limits[21] = 0x00;
    Block cut = kOldBlock;
    cut.pop_back();
    cut[0] = 29;
    struct Row {
        Block block;
        win::DWORD type;
        std::int64_t overlap, zoom, numCopies;
        std::uint32_t staple, collate;
    };
    for (const Row& row : {Row{kOldBlock, win::REG_BINARY, 1023, 255, 7, 0, 1},
                           Row{limits, win::REG_BINARY, 0, 100, 7, 0, 1},
                           Row{cut, win::REG_BINARY, 0, 100, 1, 0, 0},          // shorter than any block
                           Row{kOldBlock, win::REG_SZ, 0, 100, 1, 0, 0}}) {  // not stored as binary
        Request request;
        request.in = row.block;
        std::vector<std::uint8_t> text(kOldDescription.begin(), kOldDescription.end());
        text.push_back(0);
        const std::string wrapped = base64Encode(text);
        request.printerData.set("CoreDataDescription.ABCDEF", {row.type, {wrapped.begin(), wrapped.end()}});
        ASSERT_TRUE(request.run(win::OEMDM_CONVERT));
        const CoreData& record = recordOf(request.out);
        const std::string rowName = std::to_string(row.block.size()) + " bytes, type " + std::to_string(row.type);
        EXPECT_EQ(record.number(FieldId::VerticalOverlap), row.overlap) << rowName;
        EXPECT_EQ(record.number(FieldId::Zoom), row.zoom) << rowName;
        EXPECT_EQ(record.number(FieldId::NumCopies), row.numCopies) << rowName;
        EXPECT_EQ(record.option(FieldId::Staple), row.staple) << rowName;
        EXPECT_EQ(record.option(FieldId::Collate), row.collate) << rowName;
    }
}

// A block whose size field claims more than the DEVMODE holding it holds is
// read no further than the DEVMODE's end: it is no longer a whole block, and
// with nothing to convert it through the output gets the defaults.
TEST(DevModeRequest, ABlockIsReadNoFurtherThanTheDevmodeHoldingIt) {
    for (const std::uint32_t mode : {win::OEMDM_CONVERT, win::OEMDM_MERGE}) {
        Request request;
        recordOf(request.in).setOption(FieldId::Staple, 4);
        request.inPublicIn = true;
        request.publicIn = PublicDevmode(static_cast<std::uint16_t>(kPrivateBlockSize));
        ASSERT_TRUE(request.run(mode));
        EXPECT_EQ(recordOf(request.out).option(FieldId::Staple), 4u);
        request.publicIn.devmode()->dmDriverExtra = kPrivateBlockSize - 1;
        ASSERT_TRUE(request.run(mode));
        EXPECT_EQ(recordOf(request.out), defaultRecord()) << mode;
    }
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

// The flag is byte 124 of the core driver's area: 1 for an imposed layout,
// 0 otherwise; never written into an area of 124 bytes or one without the
// core driver's signature.
TEST(LayoutFlag, FollowsImpositionInsideTheCoreDriversAreaOnly) {
    struct Row {
        std::uint16_t area;
        const char* signature;
        std::uint32_t nUp;
        std::uint8_t flag;
    };
    for (const Row& row : {Row{200, "PRIV", 3, 1}, Row{200, "PRIV", 0, 0}, Row{124, "PRIV", 3, 0xEE},
                           Row{200, "XXXX", 3, 0xEE}}) {
        Request request;
        request.publicOut = PublicDevmode(row.area);
        std::memcpy(request.publicOut.area(), row.signature, 4);
        request.publicOut.bytes.resize(sizeof(win::DEVMODEW) + std::max<std::size_t>(row.area, 125));
        request.publicOut.area()[124] = 0xEE;
        recordOf(request.in).setOption(FieldId::NUpCount, row.nUp);
        ASSERT_TRUE(request.run(win::OEMDM_CONVERT));
        EXPECT_EQ(request.publicOut.area()[124], row.flag) << row.area << row.signature << row.nUp;
    }
}

}  // namespace
}  // namespace tvzx::settings
