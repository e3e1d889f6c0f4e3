#include "settings/text_form.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <numeric>
#include <unordered_map>

#include "common/base64.h"
#include "common/byte_order.h"
#include "common/hex_text.h"
#include "settings/schema_hash.h"

namespace tvzx::settings {
namespace {

constexpr std::string_view kFormVersion = "1";
constexpr char kItemSeparator = ' ';
constexpr char kPartSeparator = ':';
constexpr std::size_t kMinimumParts = 6;
constexpr std::size_t kRangeParts = 7;
constexpr std::size_t kHeaderItems = 3;
constexpr std::uint32_t kMinimumForeignLength = 5;

void appendNumber(std::string& out, std::uint64_t n) { out += std::to_string(n); }

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

// Reads a number as the C library's "%llu" does: leading white space and a
// sign are accepted and reading stops at the first character that cannot
// belong to the number. Values beyond 32 bits saturate at 0xFFFFFFFF.
std::optional<std::uint32_t> parseUnsignedPart(std::string_view part) {
    const std::string text(part);
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    const unsigned long long value = std::strtoull(begin, &end, 10);
    if (end == begin) return std::nullopt;
    if (errno == ERANGE || value > 0xFFFFFFFFull) return 0xFFFFFFFFu;
    return static_cast<std::uint32_t>(value);
}

// Reads a signed number as "%lld" does, saturating at the 32-bit limits.
std::optional<std::int32_t> parseSignedPart(std::string_view part) {
    const std::string text(part);
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(begin, &end, 10);
    if (end == begin) return std::nullopt;
    return static_cast<std::int32_t>(std::clamp<long long>(value, INT32_MIN, INT32_MAX));
}

std::optional<ForeignField> parseFieldItem(std::string_view item) {
    const auto parts = split(item, kPartSeparator);
    if (parts.size() < kMinimumParts || parts[0].empty() || parts[5].empty()) return std::nullopt;
    ForeignField field;
    field.name = std::string(parts[0]);
    const auto size = parseUnsignedPart(parts[1]);
    const auto count = parseUnsignedPart(parts[2]);
    const auto offset = parseUnsignedPart(parts[3]);
    const auto flag = parseSignedPart(parts[4]);
    if (!size || !count || !offset || !flag) return std::nullopt;
    field.elementSize = *size;
    field.count = *count;
    field.offset = *offset;
    field.flag = *flag != 0;
    field.kind = std::string(parts[5]);
    if (field.kind == "R") {
        if (parts.size() != kRangeParts) return std::nullopt;
        const auto scale = parseUnsignedPart(parts[6]);
        if (!scale || *scale == 0) return std::nullopt;
        field.scale = *scale;
    } else if (field.kind == "A") {
        if (parts.size() != kMinimumParts) return std::nullopt;
    } else if (field.kind == "S") {
        for (std::size_t i = kMinimumParts; i < parts.size(); ++i) field.optionNames.emplace_back(parts[i]);
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
    const std::int64_t result = rescale(value, foreign.scale, def.numeric->scale, foreign.flag || def.isSigned());
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

std::int64_t rescale(std::int64_t value, std::uint32_t fromScale, std::uint32_t toScale, bool isSigned) {
    if (fromScale == toScale) return value;
    const std::int64_t f = fromScale == 0 ? 1 : fromScale;
    const std::int64_t t = toScale;
    const std::int64_t g = std::gcd(f, t);
    const std::int64_t multiplier = t / g;
    const std::int64_t divisor = f / g;
    const std::int64_t half = multiplier < divisor ? divisor / 2 : 0;
    const std::int64_t product = value * multiplier;
    if (isSigned && product < 0) return (product - half) / divisor;
    return (product + half) / divisor;
}

std::string plainDescription() {
    std::string out;
    out.reserve(20000);
    out += kFormVersion;
    out += kItemSeparator;
    out += hexBytesText(schemaHash());
    out += kItemSeparator;
    appendNumber(out, kRecordSize);
    out += kItemSeparator;
    for (const FieldDef& field : fieldTable()) {
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

std::string writeDescription() {
    const std::string plain = plainDescription();
    std::vector<std::uint8_t> bytes(plain.begin(), plain.end());
    bytes.push_back(0);
    return base64Encode(bytes);
}

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
