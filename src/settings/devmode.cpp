#include "settings/devmode.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "common/byte_order.h"
#include "common/hex_text.h"
#include "settings/private_block.h"
#include "settings/text_form.h"

namespace tvzx::settings {
namespace {

constexpr std::string_view kCoreDriverSignature = "PRIV";
constexpr std::size_t kLayoutFlagOffset = 124;
constexpr std::uint32_t kFirstNUpOption = 0;

// The bytes of the input block as its own size field states them. The
// driver keeps the block inside the driver extra of the public input
// DEVMODE; when it lies there, nothing past that DEVMODE's end is taken,
// whatever the size field claims.
std::span<const std::uint8_t> inputBlock(const win::OEMDMPARAM& param) {
    const auto* p = static_cast<const std::uint8_t*>(param.pOEMDMIn);
    std::size_t room = SIZE_MAX;
    if (const win::DEVMODEW* holder = param.pPublicDMIn) {
        const auto start = reinterpret_cast<std::uintptr_t>(holder);
        const auto end = start + holder->dmSize + holder->dmDriverExtra;
        const auto at = reinterpret_cast<std::uintptr_t>(p);
        if (at >= start && at < end) room = end - at;
    }
    if (room < sizeof(std::uint32_t)) return {};
    return std::span<const std::uint8_t>(p, std::min<std::size_t>(readLe32(p + kSizeOffset), room));
}

std::span<std::uint8_t, kPrivateBlockSize> outputBlock(void* block) {
    return std::span<std::uint8_t, kPrivateBlockSize>(static_cast<std::uint8_t*>(block), kPrivateBlockSize);
}

// Takes the public DEVMODE into the record and keeps the core driver's
// options in step when that changed anything.
void takePublicAndSync(CoreData& record, win::DEVMODEW* publicDevmode, DevModeServices& services) {
    if (services.takePublicDevmode(record, publicDevmode)) services.syncCoreDriverOptions(record, publicDevmode);
}

void applyDuplexAndSync(CoreData& record, win::DEVMODEW* publicDevmode, DevModeServices& services) {
    if (applyDefaultDuplex(record, services)) services.syncCoreDriverOptions(record, publicDevmode);
}

bool defaultBlock(win::OEMDMPARAM& param, DevModeServices& services) {
    if (param.pOEMDMOut == nullptr || param.cbBufSize < kPrivateBlockSize) return false;
    auto block = outputBlock(param.pOEMDMOut);
    initialiseBlock(block);
    applyDuplexAndSync(blockRecord(block), param.pPublicDMIn, services);
    return true;
}

// Fills the output block from a block that is not current: defaults first,
// then whatever the stored description lets us carry over.
bool convertIntoOutput(win::OEMDMPARAM& param, DevModeServices& services) {
    // The output buffer must hold a whole block before anything is written.
    if (param.cbBufSize < kPrivateBlockSize) return false;
    if (readLe32(static_cast<const std::uint8_t*>(param.pOEMDMOut)) < kPrivateBlockSize) return false;
    auto block = outputBlock(param.pOEMDMOut);
    // The input may be the output buffer itself: keep a copy of what it holds.
    const auto input = inputBlock(param);
    const std::vector<std::uint8_t> foreign(input.begin(), input.end());
    initialiseBlock(block);
    CoreData& record = blockRecord(block);
    convertForeignBlock(record, foreign, services);
    takePublicAndSync(record, param.pPublicDMOut, services);
    updateLayoutFlag(record, param.pPublicDMOut, services);
    return true;
}

bool convertBlock(win::OEMDMPARAM& param, DevModeServices& services) {
    if (param.pOEMDMIn == nullptr || param.pOEMDMOut == nullptr) return false;
    if (!isCurrentBlock(inputBlock(param))) return convertIntoOutput(param, services);
    if (param.cbBufSize < kPrivateBlockSize) return false;
    auto block = outputBlock(param.pOEMDMOut);
    std::memmove(block.data(), param.pOEMDMIn, kPrivateBlockSize);
    CoreData& record = blockRecord(block);
    applyDuplexAndSync(record, param.pPublicDMOut, services);
    validateRecord(record);
    takePublicAndSync(record, param.pPublicDMOut, services);
    updateLayoutFlag(record, param.pPublicDMOut, services);
    return true;
}

bool mergeBlock(win::OEMDMPARAM& param, DevModeServices& services) {
    win::DEVMODEW* in = param.pPublicDMIn;
    win::DEVMODEW* out = param.pPublicDMOut;
    if (in != nullptr && out != nullptr && (in->dmFields & win::DM_COPIES) != 0) {
        out->dmCopies = in->dmCopies;
        out->dmFields |= win::DM_COPIES;
    }
    if (param.pOEMDMIn == nullptr || param.pOEMDMOut == nullptr) return false;
    if (!isCurrentBlock(inputBlock(param))) return convertIntoOutput(param, services);
    if (param.cbBufSize < kPrivateBlockSize) return false;
    auto block = outputBlock(param.pOEMDMOut);
    std::memmove(block.data(), param.pOEMDMIn, kPrivateBlockSize);
    CoreData& record = blockRecord(block);
    takePublicAndSync(record, out, services);
    applyDuplexAndSync(record, out, services);
    validateRecord(record);
    updateLayoutFlag(record, out, services);
    return true;
}

}  // namespace

void DevModeServices::setDuplex(CoreData& record, bool duplex) {
    record.setOption(FieldId::Duplex, duplex ? 1 : 0);
}

void DevModeServices::syncCoreDriverOptions(const CoreData&, win::DEVMODEW*) {}

bool DevModeServices::takePublicDevmode(CoreData&, const win::DEVMODEW*) { return false; }

bool DevModeServices::holdsTabSheets(const CoreData&) { return false; }

bool applyDefaultDuplex(CoreData& record, DevModeServices& services) {
    constexpr std::uint32_t kTrue = 1;
    if (record.option(FieldId::CoreDataLoadedFromPdUi) == kTrue) return false;
    const platform::PrinterData* data = services.printerData();
    if (data == nullptr) return false;
    const auto value = data->read(kDefaultDuplexValue);
    if (!value || value->data.size() != 4) return false;
    const bool duplex = readLe32(value->data.data()) != 0;
    if ((record.option(FieldId::Duplex) == kTrue) == duplex) return false;
    services.setDuplex(record, duplex);
    return true;
}

void convertForeignBlock(CoreData& destination, std::span<const std::uint8_t> foreignBlock,
                         DevModeServices& services) {
    const auto foreign = locateForeignRecord(foreignBlock);
    if (!foreign) return;
    const platform::PrinterData* data = services.printerData();
    if (data == nullptr) return;
    const std::string name = std::string(kDescriptionValuePrefix) + hexBytesText(foreign->hash);
    const auto value = data->read(name);
    if (!value || value->type != win::REG_BINARY || value->data.empty()) return;
    // The stored text is read as if one zero byte followed it.
    const std::string_view text(reinterpret_cast<const char*>(value->data.data()),
                                std::find(value->data.begin(), value->data.end(), 0) - value->data.begin());
    if (readAndConvert(destination, foreign->record, text)) validateRecord(destination);
}

std::uint8_t* layoutFlagByte(win::DEVMODEW* publicDevmode) {
    // The flag byte lies inside the core driver's area only when that area
    // holds more than 124 bytes.
    if (publicDevmode == nullptr || publicDevmode->dmDriverExtra <= kLayoutFlagOffset) return nullptr;
    auto* area = reinterpret_cast<std::uint8_t*>(publicDevmode) + publicDevmode->dmSize;
    if (std::memcmp(area, kCoreDriverSignature.data(), kCoreDriverSignature.size()) != 0) return nullptr;
    return area + kLayoutFlagOffset;
}

std::uint8_t layoutFlagOf(const CoreData& record, bool holdsTabSheets) {
    const bool imposed = record.option(FieldId::NUpCount) != kFirstNUpOption;
    constexpr std::uint32_t kFalse = 0;
    const bool tabs = record.option(FieldId::TabImageShift) == kFalse && holdsTabSheets;
    return (imposed || tabs) ? 1 : 0;
}

void updateLayoutFlag(const CoreData& record, win::DEVMODEW* publicDevmode, DevModeServices& services) {
    // A job's pages are laid out as its start decided; a request during the
    // job must not change that under the core driver.
    if (services.jobUnderWay()) return;
    std::uint8_t* flag = layoutFlagByte(publicDevmode);
    if (flag != nullptr) *flag = layoutFlagOf(record, services.holdsTabSheets(record));
}

bool devModeCallback(std::uint32_t mode, win::OEMDMPARAM* param, DevModeServices& services) {
    if (param == nullptr) return false;
    switch (mode) {
        case win::OEMDM_SIZE: param->cbBufSize = kPrivateBlockSize; return true;
        case win::OEMDM_DEFAULT: return defaultBlock(*param, services);
        case win::OEMDM_CONVERT: return convertBlock(*param, services);
        case win::OEMDM_MERGE: return mergeBlock(*param, services);
        default: return false;
    }
}

}  // namespace tvzx::settings
