// Explicit byte order for stored data: the settings record is big-endian, the
// DEVMODE and private block headers little-endian, whatever the processor.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tvzx {

// Returns the unsigned big-endian number of `size` bytes (1, 2, 4 or 8) at p.
constexpr std::uint64_t readBigEndian(const std::uint8_t* p, std::size_t size) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < size; ++i) value = (value << 8) | p[i];
    return value;
}

// Stores the low `size` bytes of value big-endian at p.
constexpr void writeBigEndian(std::uint8_t* p, std::size_t size, std::uint64_t value) {
    for (std::size_t i = size; i-- > 0;) {
        p[i] = static_cast<std::uint8_t>(value & 0xFF);
        value >>= 8;
    }
}

// Returns the unsigned little-endian number of `size` bytes at p.
constexpr std::uint64_t readLittleEndian(const std::uint8_t* p, std::size_t size) {
    std::uint64_t value = 0;
    for (std::size_t i = size; i-- > 0;) value = (value << 8) | p[i];
    return value;
}

// Stores the low `size` bytes of value little-endian at p.
constexpr void writeLittleEndian(std::uint8_t* p, std::size_t size, std::uint64_t value) {
    for (std::size_t i = 0; i < size; ++i) {
        p[i] = static_cast<std::uint8_t>(value & 0xFF);
        value >>= 8;
    }
}

constexpr std::uint32_t readLe32(const std::uint8_t* p) { return static_cast<std::uint32_t>(readLittleEndian(p, 4)); }
constexpr void writeLe32(std::uint8_t* p, std::uint32_t v) { writeLittleEndian(p, 4, v); }
constexpr std::uint32_t readBe32(const std::uint8_t* p) { return static_cast<std::uint32_t>(readBigEndian(p, 4)); }
constexpr void writeBe32(std::uint8_t* p, std::uint32_t v) { writeBigEndian(p, 4, v); }

}  // namespace tvzx
