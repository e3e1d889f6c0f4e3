// CRC-32 with the reflected polynomial 0xEDB88320.
#pragma once

#include <cstdint>
#include <span>

namespace tvzx {

// Returns the standard CRC-32 of the bytes continued from `previous` (0 for a
// fresh start): the usual zlib-compatible update.
std::uint32_t crc32Update(std::uint32_t previous, std::span<const std::uint8_t> bytes);

}  // namespace tvzx
