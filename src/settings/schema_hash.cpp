#include "settings/schema_hash.h"

#include <array>

#include "common/byte_order.h"
#include "common/crc32.h"
#include "common/hex_text.h"
#include "settings/feature_tables.h"

namespace tvzx::settings {
namespace {

constexpr std::string_view kVersionPrefix = "7.0.410:0x";
// Numbers fed after the last field: the text form version and a layout mark.
constexpr std::uint32_t kTrailerNumbers[] = {1, 121};

// A running CRC-32 whose start value is 0xFFFFFFFF, fed with numbers and names.
class HashFeeder {
public:
    void number(std::uint64_t n) {
        std::array<std::uint8_t, 8> buffer{};
        const std::size_t size = n <= 0xFFFF ? 2 : n <= 0xFFFFFFFFu ? 4 : 8;
        writeBigEndian(buffer.data(), size, n);
        feed(std::span<const std::uint8_t>(buffer.data(), size));
    }
    void name(std::string_view text) {
        feed(std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
        static constexpr std::uint8_t kNul = 0;
        feed(std::span<const std::uint8_t>(&kNul, 1));
    }
    void table(const OptionTable& options) {
        number(options.count());
        for (const OptionEntry& entry : options.entries)
            if (!entry.name.empty()) name(entry.name);
    }
    std::uint32_t value() const { return crc_; }

private:
    void feed(std::span<const std::uint8_t> bytes) { crc_ = crc32Update(crc_, bytes); }
    std::uint32_t crc_ = 0xFFFFFFFFu;
};

}  // namespace

std::uint32_t computeSchemaHash() {
    HashFeeder hash;
    hash.number(kRecordSize);
    for (const FieldDef& field : fieldTable()) {
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
    for (std::uint32_t n : kTrailerNumbers) hash.number(n);
    return hash.value();
}

std::uint32_t schemaHash() {
    static const std::uint32_t hash = computeSchemaHash();
    return hash;
}

std::string settingsVersionText() { return std::string(kVersionPrefix) + hexBytesText(schemaHash()); }

}  // namespace tvzx::settings
