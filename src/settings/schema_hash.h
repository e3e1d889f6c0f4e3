// The schema hash: a fingerprint of the record's field table that marks the
// private block, the record and every stored description of the layout.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "common/byte_order.h"
#include "common/crc32.h"
#include "settings/feature_tables.h"

namespace tvzx::settings {

namespace schema_hash_detail {

// Numbers fed after the last field: the text form version and a layout mark.
inline constexpr std::uint32_t kTrailerNumbers[] = {1, 121};

// A running CRC-32 whose start value is 0xFFFFFFFF, fed with numbers (big
// endian, in 2, 4 or 8 bytes by size) and NUL-terminated names.
class HashFeeder {
public:
    constexpr void number(std::uint64_t n) {
        std::array<std::uint8_t, 8> buffer{};
        const std::size_t size = n <= 0xFFFF ? 2 : n <= 0xFFFFFFFFu ? 4 : 8;
        writeBigEndian(buffer.data(), size, n);
        crc_ = crc32Update(crc_, std::span<const std::uint8_t>(buffer.data(), size));
    }
    constexpr void name(std::string_view text) {
        crc_ = crc32Update(crc_, text);
        const std::uint8_t nul[1] = {0};
        crc_ = crc32Update(crc_, nul);
    }
    constexpr void table(const OptionTable& options) {
        number(options.count());
        for (const OptionEntry& entry : options.entries)
            if (!entry.name.empty()) name(entry.name);
    }
    constexpr std::uint32_t value() const { return crc_; }

private:
    std::uint32_t crc_ = 0xFFFFFFFFu;
};

}  // namespace schema_hash_detail

// Returns the hash of a field table with the option tables it points to;
// the module's own is worked out while compiling (see schemaHash).
constexpr std::uint32_t schemaHashOf(std::span<const FieldDef> fields) {
    schema_hash_detail::HashFeeder hash;
    hash.number(kRecordSize);
    for (const FieldDef& field : fields) {
        hash.name(field.name);
        switch (field.kind) {
            case Kind::Option:
                hash.table(*field.options);
                hash.number(field.elementSize);
                break;
            case Kind::Range:
                hash.number(field.numeric->scale);
                hash.number(field.elementSize);
                break;
            case Kind::Array:
                if (field.options != nullptr) hash.table(*field.options);
                hash.number(field.elementSize);
                hash.number(field.count);
                break;
        }
    }
    for (std::uint32_t n : schema_hash_detail::kTrailerNumbers) hash.number(n);
    return hash.value();
}

// Returns the hash of the module's own field table (a constant).
std::uint32_t schemaHash();

// Returns the settings version text, "7.0.410:0x" and the hash in hexadecimal.
std::string settingsVersionText();

}  // namespace tvzx::settings
