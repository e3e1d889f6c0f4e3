// The plug-in's private block at the end of the driver's DEVMODE: a 29-byte
// header with the signature and schema hash, then one settings record.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "settings/core_data.h"

namespace tvzx::settings {

inline constexpr std::uint32_t kPrivateBlockSize = 26900;
inline constexpr std::uint32_t kSignature = 0x54565A58;  // 'TVZX'
inline constexpr std::uint32_t kExtensionMarker = 0xFFFFFFFFu;
inline constexpr std::uint32_t kExtensionLength = 17;
inline constexpr std::uint32_t kSizeOffset = 0;
inline constexpr std::uint32_t kSignatureOffset = 4;
inline constexpr std::uint32_t kHashOffset = 8;
inline constexpr std::uint32_t kMarkerOffset = 12;
inline constexpr std::uint32_t kExtensionLengthOffset = 16;
inline constexpr std::uint32_t kSuppressionOffset = 20;
inline constexpr std::uint32_t kBaseHeaderSize = 12;
inline constexpr std::uint32_t kRecordOffset = kBaseHeaderSize + kExtensionLength;
// A foreign block must at least hold its header and one record byte.
inline constexpr std::uint32_t kMinimumForeignBlockSize = 30;
static_assert(kRecordOffset + kRecordSize == kPrivateBlockSize);

// Writes the header and the default record into a block of 26900 bytes.
void initialiseBlock(std::span<std::uint8_t, kPrivateBlockSize> block);

// Returns whether the bytes form a current block: size at least 26900, the
// signature, the current schema hash, the extension marker and length 17.
// `available` is how many bytes may be read.
bool isCurrentBlock(std::span<const std::uint8_t> available);

// Returns the record of a block (at offset 29).
CoreData& blockRecord(std::span<std::uint8_t, kPrivateBlockSize> block);

// Returns whether the block asks to leave out the plug-in settings procedure.
bool suppressesSettingsProcedure(std::span<const std::uint8_t, kPrivateBlockSize> block);

// Where the record of an old or foreign block lies.
struct ForeignRecord {
    std::uint32_t hash = 0;
    std::span<const std::uint8_t> record;
};

// Returns the record of a block with a matching signature and a size of at
// least 30 bytes whose record starts inside it; nothing otherwise. The block's
// own size field bounds what is read, and never beyond `available`.
std::optional<ForeignRecord> locateForeignRecord(std::span<const std::uint8_t> available);

}  // namespace tvzx::settings
