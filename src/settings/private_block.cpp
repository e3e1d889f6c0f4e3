#include "settings/private_block.h"

#include <algorithm>
#include <cstring>

#include "common/byte_order.h"
#include "settings/schema_hash.h"

namespace tvzx::settings {

void initialiseBlock(std::span<std::uint8_t, kPrivateBlockSize> block) {
    std::fill(block.begin(), block.begin() + kRecordOffset, 0);
    writeLe32(block.data() + kSizeOffset, kPrivateBlockSize);
    writeLe32(block.data() + kSignatureOffset, kSignature);
    writeLe32(block.data() + kHashOffset, schemaHash());
    writeLe32(block.data() + kMarkerOffset, kExtensionMarker);
    writeLe32(block.data() + kExtensionLengthOffset, kExtensionLength);
    const CoreData& defaults = defaultRecord();
    std::copy(defaults.bytes.begin(), defaults.bytes.end(), block.begin() + kRecordOffset);
}

bool isCurrentBlock(std::span<const std::uint8_t> available) {
    if (available.size() < kPrivateBlockSize) return false;
    const std::uint8_t* p = available.data();
    return readLe32(p + kSizeOffset) >= kPrivateBlockSize && readLe32(p + kSignatureOffset) == kSignature &&
           readLe32(p + kHashOffset) == schemaHash() && readLe32(p + kMarkerOffset) == kExtensionMarker &&
           readLe32(p + kExtensionLengthOffset) == kExtensionLength;
}

CoreData& blockRecord(std::span<std::uint8_t, kPrivateBlockSize> block) {
    // CoreData is a plain byte array, so the record can be addressed in place.
    static_assert(sizeof(CoreData) == kRecordSize && alignof(CoreData) == 1);
    return *reinterpret_cast<CoreData*>(block.data() + kRecordOffset);
}

bool suppressesSettingsProcedure(std::span<const std::uint8_t, kPrivateBlockSize> block) {
    return block[kSuppressionOffset] != 0;
}

std::optional<ForeignRecord> locateForeignRecord(std::span<const std::uint8_t> available) {
    if (available.size() < kMinimumForeignBlockSize) return std::nullopt;
    const std::uint8_t* p = available.data();
    const std::uint32_t size = readLe32(p + kSizeOffset);
    if (size < kMinimumForeignBlockSize || readLe32(p + kSignatureOffset) != kSignature) return std::nullopt;
    const std::size_t extent = std::min<std::size_t>(size, available.size());
    // Older layouts have no extension: their record follows the base header.
    std::uint64_t start = kBaseHeaderSize;
    if (readLe32(p + kMarkerOffset) == kExtensionMarker) start += readLe32(p + kExtensionLengthOffset);
    if (start >= extent) return std::nullopt;
    ForeignRecord result;
    result.hash = readLe32(p + kHashOffset);
    result.record = available.subspan(static_cast<std::size_t>(start), extent - static_cast<std::size_t>(start));
    return result;
}

}  // namespace tvzx::settings
