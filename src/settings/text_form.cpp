#include "settings/text_form.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <unordered_map>

#include "common/base64.h"
#include "common/byte_order.h"
#include "common/hex_text.h"
#include "common/rescale.h"
#include "settings/layout_description.h"
#include "settings/schema_hash.h"

namespace tvzx::settings {
namespace {

constexpr std::size_t kMinimumParts = 6;
constexpr std::size_t kRangeParts = 7;
constexpr std::size_t kHeaderItems = 3;
constexpr std::uint32_t kMinimumForeignLength = 5;

std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = text.find(separator, start);
        if (at == std::string_view::npos) {
            parts.push_back(text.substr(start));
            return parts;
        }
        parts.push_back(text.substr(start, at - start));
        start = at + 1;
    }
}

bool isSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Reads a number as the C library's formatted input does: leading white space
// and a sign are accepted, reading stops at the first character that cannot
// belong to the number, and the part is invalid only when no digit starts it.
// Returns the magnitude saturated at 32 bits and whether a minus sign stood.
std::optional<std::pair<std::uint64_t, bool>> scanNumber(std::string_view part) {
    std::size_t i = 0;
    while (i < part.size() && isSpace(part[i])) ++i;
    bool negative = false;
    if (i < part.size() && (part[i] == '+' || part[i] == '-')) negative = part[i++] == '-';
    const std::size_t firstDigit = i;
    std::uint64_t value = 0;
    for (; i < part.size() && part[i] >= '0' && part[i] <= '9'; ++i)
        value = std::min<std::uint64_t>(value * 10 + static_cast<std::uint64_t>(part[i] - '0'), 0x100000000ull);
    if (i == firstDigit) return std::nullopt;
    return std::make_pair(value, negative);
}

// "%llu": a value beyond 32 bits becomes 0xFFFFFFFF; so does any negative
// one, which the unsigned reading wraps to a 64-bit number.
std::optional<std::uint32_t> parseUnsignedPart(std::string_view part) {
    const auto scanned = scanNumber(part);
    if (!scanned) return std::nullopt;
    const bool wraps = scanned->second && scanned->first != 0;
    if (wraps || scanned->first > 0xFFFFFFFFull) return 0xFFFFFFFFu;
    return static_cast<std::uint32_t>(scanned->first);
}

// "%lld", saturating at the 32-bit limits.
std::optional<std::int32_t> parseSignedPart(std::string_view part) {
    const auto scanned = scanNumber(part);
    if (!scanned) return std::nullopt;
    const std::int64_t magnitude = static_cast<std::int64_t>(scanned->first);
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(scanned->second ? -magnitude : magnitude, INT32_MIN, INT32_MAX));
}

std::optional<ForeignField> parseFieldItem(std::string_view item) {
    const auto parts = split(item, kPartSeparator);
    if (parts.size() < kMinimumParts || parts[0].empty() || parts[5].empty()) return std::nullopt;
    ForeignField field;
    field.name = parts[0];
    const auto size = parseUnsignedPart(parts[1]);
    const auto count = parseUnsignedPart(parts[2]);
    const auto offset = parseUnsignedPart(parts[3]);
    const auto flag = parseSignedPart(parts[4]);
    if (!size || !count || !offset || !flag) return std::nullopt;
    field.elementSize = *size;
    field.count = *count;
    field.offset = *offset;
    field.flag = *flag != 0;
    field.kind = parts[5];
    if (field.kind == "R") {
        if (parts.size() != kRangeParts) return std::nullopt;
        const auto scale = parseUnsignedPart(parts[6]);
        if (!scale || *scale == 0) return std::nullopt;
        field.scale = *scale;
    } else if (field.kind == "A") {
        if (parts.size() != kMinimumParts) return std::nullopt;
    } else if (field.kind == "S") {
        field.optionNames.assign(parts.begin() + kMinimumParts, parts.end());
    }
    return field;
}

// Returns whether the foreign field lies wholly inside the foreign record.
bool insideRecord(const ForeignField& foreign, std::size_t recordLength) {
    const std::uint64_t end = static_cast<std::uint64_t>(foreign.offset) +
                              static_cast<std::uint64_t>(foreign.elementSize) * foreign.count;
    return end <= recordLength;
}

void convertOption(CoreData& destination, FieldId id, const ForeignField& foreign, const std::uint8_t* source) {
    if (foreign.flag) return;
    const FieldDef& def = fieldDef(id);
    const std::uint32_t index = static_cast<std::uint32_t>(readBigEndian(source, foreign.elementSize));
    const auto foreignCount = static_cast<std::uint32_t>(foreign.optionNames.size());
    if (index < foreignCount) {
        if (auto position = def.options->find(foreign.optionNames[index])) {
            destination.setRaw(id, *position);
            return;
        }
    }
    // Counted from the end of the list; validation repairs what lands outside.
    destination.setRaw(id, def.options->count() - foreignCount + index);
}

void convertRange(CoreData& destination, FieldId id, const ForeignField& foreign, const std::uint8_t* source) {
    const FieldDef& def = fieldDef(id);
    std::uint64_t raw = readBigEndian(source, foreign.elementSize);
    std::int64_t value = static_cast<std::int64_t>(raw);
    if (foreign.flag) {
        // A signed foreign value is sign-extended from its element size.
        const unsigned bits = foreign.elementSize * 8;
        if (bits < 64 && (raw >> (bits - 1)) & 1) value = static_cast<std::int64_t>(raw | (~0ull << bits));
    }
    const std::int64_t result = rescale(value, foreign.scale, def.numeric->scale);
    if (!def.isSigned()) {
        const std::int64_t limit = def.elementSize == 4 ? 1024 : 256;
        if (foreign.flag && result >= limit) return;
    } else if (!foreign.flag && result < 0) {
        return;
    }
    destination.setRaw(id, static_cast<std::uint32_t>(result));
}

void convertArray(CoreData& destination, FieldId id, const ForeignField& foreign, const std::uint8_t* source,
                  bool text) {
    const FieldDef& def = fieldDef(id);
    if (foreign.count > def.count || foreign.elementSize != 1 || foreign.flag != text) return;
    auto target = destination.field(id);
    std::fill(target.begin(), target.end(), 0);
    std::copy(source, source + foreign.count, target.begin());
    if (text) target.back() = 0;
}

}  // namespace

std::string plainDescription() { return std::string(plainLayoutDescription()); }

std::string writeDescription() { return std::string(wrappedLayoutDescription()); }

std::string_view currentLayoutDescription() { return wrappedLayoutDescription(); }

ParsedDescription parseDescription(std::string_view plain, std::span<const std::uint8_t> foreignRecord) {
    ParsedDescription parsed;
    const auto items = split(plain, kItemSeparator);
    if (items.size() < kHeaderItems + 1 || items[0] != kFormVersion) return parsed;
    const auto recordSize = parseUnsignedPart(items[2]);
    if (!recordSize || *recordSize > foreignRecord.size() || foreignRecord.size() < kMinimumForeignLength) return parsed;
    const auto hash = parseHex32(items[1]);
    if (!hash || *hash != readBe32(foreignRecord.data())) return parsed;
    parsed.accepted = true;
    parsed.foreignHash = *hash;
    for (std::size_t i = kHeaderItems; i < items.size(); ++i)
        if (auto field = parseFieldItem(items[i])) parsed.fields.push_back(std::move(*field));
    return parsed;
}

bool readAndConvert(CoreData& destination, std::span<const std::uint8_t> foreignRecord, std::string_view wrapped) {
    const std::vector<std::uint8_t> decoded = base64Decode(wrapped);
    const auto nul = std::find(decoded.begin(), decoded.end(), 0);
    const std::string_view plain(reinterpret_cast<const char*>(decoded.data()),
                                 static_cast<std::size_t>(nul - decoded.begin()));
    if (foreignRecord.empty() || plain.empty()) return true;

    writeBe32(destination.bytes.data(), schemaHash());
    const ParsedDescription parsed = parseDescription(plain, foreignRecord);
    if (!parsed.accepted) {
        destination = defaultRecord();
        return true;
    }
    // The first description of each name wins; a hashed lookup stands in for
    // a linear search with the same result.
    std::unordered_map<std::string_view, const ForeignField*> byName;
    byName.reserve(parsed.fields.size());
    for (const ForeignField& field : parsed.fields) byName.emplace(field.name, &field);
    for (std::size_t i = 0; i < kFieldCount && !byName.empty(); ++i) {
        const auto id = static_cast<FieldId>(i);
        const auto it = byName.find(fieldDef(id).name);
        if (it != byName.end()) convertField(destination, id, *it->second, foreignRecord);
    }
    return parsed.foreignHash != schemaHash();
}

void convertField(CoreData& destination, FieldId id, const ForeignField& foreign,
                  std::span<const std::uint8_t> foreignRecord) {
    const FieldDef& def = fieldDef(id);
    if (foreign.elementSize == 0 || foreign.count == 0 || !insideRecord(foreign, foreignRecord.size())) return;
    if (foreign.elementSize != def.elementSize) return;
    // Each converter reads only the kind it was written for.
    if (foreign.kind.size() != 1 || foreign.kind[0] != static_cast<char>(def.kind)) return;
    const std::uint8_t* source = foreignRecord.data() + foreign.offset;
    if (def.kind == Kind::Array) {
        convertArray(destination, id, foreign, source, def.isText() || def.options != nullptr);
        return;
    }
    if (def.kind == Kind::Option) convertOption(destination, id, foreign, source);
    else convertRange(destination, id, foreign, source);
}

}  // namespace tvzx::settings
