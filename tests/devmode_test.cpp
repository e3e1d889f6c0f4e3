// The driver's DevMode requests on the private block: size, defaults,
// conversion and merging, and the core driver's layout flag.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "common/base64.h"
#include "common/byte_order.h"
#include "settings/devmode.h"
#include "settings/private_block.h"

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

TEST(PrivateBlock, HeaderOfAFreshBlockAndWhatCountsAsCurrent) {
    Block block = currentBlock();
    // Size 26900, "TVZX" as a little-endian number, the hash, the extension
    // marker and length 17, then nine zero bytes.
    const Block header = {0x14, 0x69, 0x00, 0x00, 'X', 'Z', 'V', 'T', 0x81, 0x85, 0xF9, 0xB9, 0xFF, 0xFF, 0xFF,
                          0xFF, 0x11, 0x00, 0x00, 0x00, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(Block(block.begin(), block.begin() + kRecordOffset), header);
    // A size one short, an extension length one short, a buffer one short.
    for (const auto& [at, value] : {std::pair{0, 26899}, std::pair{16, 16}}) {
        Block changed = currentBlock();
        writeLe32(changed.data() + at, value);
        EXPECT_FALSE(isCurrentBlock(changed)) << at;
    }
    EXPECT_FALSE(isCurrentBlock(std::span(block).first(kPrivateBlockSize - 1)));
}

TEST(DevModeRequest, SizeBadRequestsAndDefaults) {
    Request request;
    EXPECT_TRUE(request.run(win::OEMDM_SIZE));
    EXPECT_EQ(request.param.cbBufSize, 26900u);
    EXPECT_FALSE(request.run(0) || request.run(5));
    BasicDevModeServices services(nullptr);
    EXPECT_FALSE(devModeCallback(win::OEMDM_SIZE, nullptr, services));
    // Defaults follow the printer's default duplex.
    request.printerData.set("DefaultDuplex", {win::REG_DWORD, {0, 0, 0, 0}});
    std::fill(request.out.begin(), request.out.end(), 0xAB);
    ASSERT_TRUE(request.run(win::OEMDM_DEFAULT));
    EXPECT_EQ(std::pair(isCurrentBlock(request.out), recordOf(request.out).option(FieldId::Duplex)), std::pair(true, 0u));
    // A short output buffer is refused and left alone.
    request.param.cbBufSize = kPrivateBlockSize - 1;
    std::fill(request.out.begin(), request.out.end(), 0xAB);
    EXPECT_FALSE(request.run(win::OEMDM_DEFAULT));
    EXPECT_EQ(request.out[0], 0xAB);
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

TEST(DevModeRequest, ConvertAndMergeRepairACurrentBlockAndAForeignOneWithoutDescriptionGivesDefaults) {
    Request request;
    for (const std::uint32_t mode : {win::OEMDM_MERGE, win::OEMDM_CONVERT}) {
        recordOf(request.in).setOption(FieldId::Staple, 4);
        recordOf(request.in).setNumber(FieldId::Zoom, 5000);  // out of range
        recordOf(request.in).setOption(FieldId::Fold, 9);     // no such option
        ASSERT_TRUE(request.run(mode));
        const CoreData& out = recordOf(request.out);
        EXPECT_EQ(std::tuple(out.option(FieldId::Staple), out.number(FieldId::Zoom), out.option(FieldId::Fold)),
                  std::tuple(4u, std::int64_t{100}, 0u)) << mode;
    }
    request.param.cbBufSize = 1000;
    std::fill(request.out.begin(), request.out.end(), 0xCD);
    EXPECT_FALSE(request.run(win::OEMDM_CONVERT));
    EXPECT_EQ(request.out[1000], 0xCD);

    // A foreign block without a description gives pure defaults.
    request = Request();
    writeLe32(request.in.data() + 8, 0x1234);
    recordOf(request.in).setOption(FieldId::Staple, 4);
    recordOf(request.out).setOption(FieldId::Punch, 2);
    ASSERT_TRUE(request.run(win::OEMDM_CONVERT));
    EXPECT_TRUE(isCurrentBlock(request.out));
    EXPECT_EQ(recordOf(request.out), defaultRecord());
    // It also needs an output block whose own size is a block's.
    writeLe32(request.out.data(), 100);
    EXPECT_FALSE(request.run(win::OEMDM_CONVERT));
}

// An older layout: no extension, the record (its hash big-endian first)
// right after the 12-byte header. Fields signed in the foreign layout land in
// unsigned ones below 1024 (4 bytes) or 256 (2 bytes) only; an option flagged
// 1 is skipped; a field may end exactly at the record's end.
const Block kOldBlock = {0x1E, 0x00, 0x00, 0x00, 'X',  'Z',  'V',  'T',  0xEF, 0xCD, 0xAB, 0x00,  // 30 bytes, signature, hash
                         0x00, 0xAB, 0xCD, 0xEF, 0x00, 0x00, 0x03, 0xFF, 0x00, 0xFF,  // record hash, VerticalOverlap 1023, Zoom 255
                         0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x07};             // Staple, Collate, NumCopies 7
constexpr std::string_view kOldDescription =
    "1 ABCDEF 17 VerticalOverlap:4:1:4:1:R:10000 Zoom:2:1:8:1:R:1 Staple:1:1:10:1:S:None:1StapleLeft "
    "Collate:1:1:11:0:S:Sort:Group NumCopies:2:1:16:0:R:1 ";

TEST(DevModeRequest, ForeignBlockIsConvertedAtTheEdgesOfItsLayout) {
    Block limits = kOldBlock;
    std::ranges::copy(Block{0x04, 0x00, 0x01, 0x00}, limits.begin() + 18);  // VerticalOverlap 1024, Zoom 256
    Block cut = kOldBlock;
    cut.pop_back();
    cut[0] = 29;
    using Values = std::tuple<std::int64_t, std::int64_t, std::int64_t, std::uint32_t, std::uint32_t>;
    // Overlap, zoom, copies, staple and collate after the conversion.
    const std::tuple<Block, win::DWORD, Values> rows[] = {{kOldBlock, win::REG_BINARY, {1023, 255, 7, 0, 1}},
                                                          {limits, win::REG_BINARY, {0, 100, 7, 0, 1}},
                                                          {cut, win::REG_BINARY, {0, 100, 1, 0, 0}},  // shorter than any block
                                                          {kOldBlock, win::REG_SZ, {0, 100, 1, 0, 0}}};  // not binary
    std::vector<std::uint8_t> text(kOldDescription.begin(), kOldDescription.end());
    text.push_back(0);
    const std::string wrapped = base64Encode(text);
    for (const auto& [block, type, values] : rows) {
        Request request;
        request.in = block;
        request.printerData.set("CoreDataDescription.ABCDEF", {type, {wrapped.begin(), wrapped.end()}});
        ASSERT_TRUE(request.run(win::OEMDM_CONVERT));
        const CoreData& record = recordOf(request.out);
        EXPECT_EQ(Values(record.number(FieldId::VerticalOverlap), record.number(FieldId::Zoom), record.number(FieldId::NumCopies),
                         record.option(FieldId::Staple), record.option(FieldId::Collate)),
                  values) << block.size() << " bytes, type " << type;
    }
}

// A block whose size field claims more than the DEVMODE holding it holds is
// read no further than the DEVMODE's end: it is no longer a whole block, and
// with nothing to convert it through the output gets the defaults.
TEST(DevModeRequest, ABlockIsReadNoFurtherThanItsDevmodeAndMergeCopiesTheCopyCount) {
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
    // Merging copies the copy count even without private blocks, but only
    // from a DEVMODE that says it carries one.
    for (const win::DWORD fields : {win::DWORD{win::DM_COPIES}, win::DWORD{0}}) {
        PublicDevmode in, out;
        in.devmode()->dmFields = fields;
        in.devmode()->dmCopies = 7;
        BasicDevModeServices services(nullptr);
        win::OEMDMPARAM param{0, nullptr, nullptr, nullptr, in.devmode(), out.devmode(), nullptr, nullptr, 0};
        EXPECT_FALSE(devModeCallback(win::OEMDM_MERGE, &param, services));
        EXPECT_EQ(std::pair(out.devmode()->dmCopies, out.devmode()->dmFields & win::DM_COPIES),
                  (std::pair<std::int16_t, win::DWORD>(fields != 0 ? 7 : 0, fields)));
    }
}

// The flag is byte 124 of the core driver's area: 1 for an imposed layout,
// 0 otherwise; never written into an area of 124 bytes or one without the
// core driver's signature.
TEST(LayoutFlag, FollowsImpositionInsideTheCoreDriversAreaOnly) {
    const std::tuple<std::uint16_t, const char*, std::uint32_t, std::uint8_t> rows[] = {
        {200, "PRIV", 3, 1}, {200, "PRIV", 0, 0}, {124, "PRIV", 3, 0xEE}, {200, "XXXX", 3, 0xEE}};
    for (const auto& [area, signature, nUp, flag] : rows) {
        Request request;
        request.publicOut = PublicDevmode(area);
        std::memcpy(request.publicOut.area(), signature, 4);
        request.publicOut.bytes.resize(sizeof(win::DEVMODEW) + std::max<std::size_t>(area, 125));
        request.publicOut.area()[124] = 0xEE;
        recordOf(request.in).setOption(FieldId::NUpCount, nUp);
        ASSERT_TRUE(request.run(win::OEMDM_CONVERT));
        EXPECT_EQ(request.publicOut.area()[124], flag) << area << signature << nUp;
    }
}

}  // namespace
}  // namespace tvzx::settings
