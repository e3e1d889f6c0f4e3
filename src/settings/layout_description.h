// The description of the record's layout that travels with a job's settings
// and with stored records: the form version, the schema hash, the record
// size, then every field with its sizes, offset, kind and option names or
// scale. A reader of another schema converts the record by it.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "common/hex_text.h"
#include "settings/feature_tables.h"

namespace tvzx::settings {

inline constexpr std::string_view kFormVersion = "1";
// Items (the header's three, then one per field) are separated by a blank,
// the parts of an item by a colon.
inline constexpr char kItemSeparator = ' ';
inline constexpr char kPartSeparator = ':';

// Where a description is written: a sink that only counts its length, and
// one that fills characters in place, so that the text can be worked out
// while compiling without a growing string.
struct LengthSink {
    std::size_t size = 0;
    constexpr void push(char) { ++size; }
    constexpr void append(std::string_view text) { size += text.size(); }
};
struct FillSink {
    char* at;
    constexpr void push(char c) { *at++ = c; }
    constexpr void append(std::string_view text) {
        for (char c : text) *at++ = c;
    }
};

// Writes the plain description of a field table whose schema hash is
// `hash` to the sink; usable while compiling.
template <typename Sink>
constexpr void describeLayout(std::span<const FieldDef> fields, std::uint32_t hash, Sink& out) {
    const auto number = [&out](std::uint64_t n) {
        char digits[20] = {};
        std::size_t count = 0;
        do {
            digits[count++] = static_cast<char>('0' + n % 10);
            n /= 10;
        } while (n != 0);
        while (count > 0) out.push(digits[--count]);
    };
    out.append(kFormVersion);
    out.push(kItemSeparator);
    char hexDigits[8] = {};
    out.append(std::string_view(hexDigits, hexBytesDigits(hash, hexDigits)));
    out.push(kItemSeparator);
    number(kRecordSize);
    out.push(kItemSeparator);
    for (const FieldDef& field : fields) {
        out.append(field.name);
        for (std::uint32_t n : {std::uint32_t{field.elementSize}, field.count, field.offset, std::uint32_t{field.flag}}) {
            out.push(kPartSeparator);
            number(n);
        }
        out.push(kPartSeparator);
        out.push(static_cast<char>(field.kind));
        if (field.kind == Kind::Option) {
            for (const OptionEntry& entry : field.options->entries) {
                out.push(kPartSeparator);
                out.append(entry.name);
            }
        } else if (field.kind == Kind::Range) {
            out.push(kPartSeparator);
            number(field.numeric->scale);
        }
        out.push(kItemSeparator);
    }
}

// Returns the plain description of the module's own layout (a constant
// worked out while compiling).
std::string_view plainLayoutDescription();

// Returns the description as it travels: Base64 of the plain text with its
// terminating NUL (a constant worked out while compiling).
std::string_view wrappedLayoutDescription();

}  // namespace tvzx::settings
