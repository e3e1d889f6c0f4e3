// The field table of the job settings record, its option tables and numeric
// descriptors, with the compile-time checks that pin the stored layout.
#include "settings/feature_tables.h"
#include "settings/layout_description.h"
#include "common/base64.h"
#include "settings/schema_hash.h"

#include <algorithm>
#include <array>
#include <string>
#include <unordered_map>

namespace tvzx::settings {
namespace {

#include "settings/option_tables.inc"

inline constexpr FieldDef kFields[] = {
#include "settings/field_table.inc"
};

// The layout is part of the stored format: fields follow each other without
// gaps from the end of the header to the last byte of the record.
constexpr bool fieldsArePacked() {
    std::uint32_t next = kFirstFieldOffset;
    for (const FieldDef& f : kFields) {
        if (f.offset != next || f.count == 0) return false;
        if (f.kind != Kind::Array && f.count != 1) return false;
        if (f.kind == Kind::Array && f.elementSize != 1) return false;
        next = f.end();
    }
    return next == kRecordSize;
}

// Every option field carries its option table with a default inside it, every
// number field its descriptor; only text fields carry a flag of 1 among arrays.
constexpr bool fieldsAreDescribed() {
    for (const FieldDef& f : kFields) {
        switch (f.kind) {
            case Kind::Option:
                if (f.options == nullptr || f.flag != 0) return false;
                if (f.options->count() != 0 && f.options->defaultIndex >= f.options->count()) return false;
                break;
            case Kind::Range:
                if (f.numeric == nullptr || f.numeric->scale == 0) return false;
                if (f.elementSize != 2 && f.elementSize != 4) return false;
                break;
            case Kind::Array:
                if (f.numeric != nullptr) return false;
                break;
        }
    }
    return true;
}

static_assert(std::size(kFields) == kFieldCount, "the record holds 377 fields");
static_assert(fieldsArePacked(), "fields must be packed from offset 9 to the end of the record");
static_assert(fieldsAreDescribed(), "every field needs its table or descriptor");
static_assert(kFields[static_cast<std::size_t>(FieldId::PageSize)].offset == 9);
static_assert(kFields[static_cast<std::size_t>(FieldId::Zoom)].offset == 460);
static_assert(kFields[static_cast<std::size_t>(FieldId::PageSpecificTrays)].byteSize() == 19450);
static_assert(kFields[static_cast<std::size_t>(FieldId::CoreDataLoadedFromPdUi)].offset == 26870);

// The table's fingerprint, worked out while compiling so that no process
// spends time on it.
constexpr std::uint32_t kSchemaHash = schemaHashOf(kFields);

// The layout's description, plain with its terminating NUL and wrapped in
// Base64 as it travels, also worked out while compiling.
constexpr std::size_t kPlainDescriptionSize = [] {
    LengthSink length;
    describeLayout(kFields, kSchemaHash, length);
    return length.size;
}();
constexpr auto kPlainDescription = [] {
    std::array<char, kPlainDescriptionSize + 1> text{};
    FillSink fill{text.data()};
    describeLayout(kFields, kSchemaHash, fill);
    return text;
}();
constexpr auto kWrappedDescription = [] {
    std::array<char, base64Size(kPlainDescription.size())> text{};
    base64EncodeTo(kPlainDescription.data(), kPlainDescription.size(), text.data());
    return text;
}();

// Field names are unique: the text form and conversion find fields by name.
const std::unordered_map<std::string_view, FieldId>& nameIndex() {
    static const std::unordered_map<std::string_view, FieldId> index = [] {
        std::unordered_map<std::string_view, FieldId> map;
        map.reserve(kFieldCount);
        for (std::size_t i = 0; i < kFieldCount; ++i) map.emplace(kFields[i].name, static_cast<FieldId>(i));
        return map;
    }();
    return index;
}

}  // namespace

std::uint32_t schemaHash() { return kSchemaHash; }

std::string_view plainLayoutDescription() { return std::string_view(kPlainDescription.data(), kPlainDescriptionSize); }

std::string_view wrappedLayoutDescription() {
    return std::string_view(kWrappedDescription.data(), kWrappedDescription.size());
}

std::span<const FieldDef, kFieldCount> fieldTable() { return std::span<const FieldDef, kFieldCount>(kFields); }

const FieldDef& fieldDef(FieldId id) { return kFields[static_cast<std::size_t>(id)]; }

std::optional<FieldId> findField(std::string_view name) {
    const auto& index = nameIndex();
    auto it = index.find(name);
    if (it == index.end()) return std::nullopt;
    return it->second;
}

LookupResult lookupValue(const OptionTable& table, std::uint32_t index, Column column) {
    LookupResult result;
    result.exact = index < table.count();
    const std::uint32_t chosen = result.exact ? index : table.defaultIndex;
    if (chosen >= table.count()) return result;
    const OptionEntry& entry = table.entries[chosen];
    switch (column) {
        case Column::Value1: result.text = entry.value1; break;
        case Column::PjlValue: result.text = entry.pjlValue; break;
        case Column::Value3: result.text = entry.value3; break;
        default: result.text = entry.ppdOption; break;
    }
    return result;
}

}  // namespace tvzx::settings
