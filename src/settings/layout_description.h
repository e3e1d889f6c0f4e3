// The description of the record's layout that travels with a job's settings
// and with stored records: the form version, the schema hash, the record
// size, then every field with its sizes, offset, kind and option names or
// scale. A reader of another schema converts the record by it.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "common/hex_text.h"
#include "settings/feature_tables.h"

namespace tvzx::settings {

inline constexpr std::string_view kFormVersion = "1";
// Items (the header's three, then one per field) are separated by a blank,
// the parts of an item by a colon.
inline constexpr char kItemSeparator = ' ';
inline constexpr char kPartSeparator = ':';

namespace layout_description_detail {

constexpr void appendNumber(std::string& out, std::uint64_t n) {
    char digits[20] = {};
    std::size_t count = 0;
    do {
        digits[count++] = static_cast<char>('0' + n % 10);
        n /= 10;
    } while (n != 0);
    while (count > 0) out += digits[--count];
}

}  // namespace layout_description_detail

// Returns the plain description of a field table whose schema hash is
// `hash`; usable while compiling.
constexpr std::string describeLayout(std::span<const FieldDef> fields, std::uint32_t hash) {
    using layout_description_detail::appendNumber;
    std::string out;
    out += kFormVersion;
    out += kItemSeparator;
    out += hexBytesText(hash);
    out += kItemSeparator;
    appendNumber(out, kRecordSize);
    out += kItemSeparator;
    for (const FieldDef& field : fields) {
        out += field.name;
        for (std::uint32_t n : {std::uint32_t{field.elementSize}, field.count, field.offset, std::uint32_t{field.flag}}) {
            out += kPartSeparator;
            appendNumber(out, n);
        }
        out += kPartSeparator;
        out += static_cast<char>(field.kind);
        if (field.kind == Kind::Option) {
            for (const OptionEntry& entry : field.options->entries) {
                out += kPartSeparator;
                out += entry.name;
            }
        } else if (field.kind == Kind::Range) {
            out += kPartSeparator;
            appendNumber(out, field.numeric->scale);
        }
        out += kItemSeparator;
    }
    return out;
}

// Returns the plain description of the module's own layout (a constant
// worked out while compiling).
std::string_view plainLayoutDescription();

// Returns the description as it travels: Base64 of the plain text with its
// terminating NUL (a constant worked out while compiling).
std::string_view wrappedLayoutDescription();

}  // namespace tvzx::settings
