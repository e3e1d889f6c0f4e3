// The job settings record: one packed block of 26871 bytes with big-endian
// numbers, addressed through the field table by field identity.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <span>
#include <string_view>

#include "settings/feature_tables.h"

namespace tvzx::settings {

class CoreData {
public:
    std::array<std::uint8_t, kRecordSize> bytes{};

    // Returns the schema hash stored big-endian at offset 0.
    std::uint32_t storedHash() const;

    // Returns the raw unsigned value of an option or number field (1, 2 or 4
    // bytes, big-endian).
    std::uint32_t raw(FieldId id) const;
    // Stores the low bytes of value into an option or number field.
    void setRaw(FieldId id, std::uint32_t value);

    // Returns the option index of an option field.
    std::uint32_t option(FieldId id) const { return raw(id); }
    void setOption(FieldId id, std::uint32_t index) { setRaw(id, index); }

    // Returns a number field's stored integer, sign-extended for signed fields.
    std::int64_t number(FieldId id) const;
    void setNumber(FieldId id, std::int64_t value) { setRaw(id, static_cast<std::uint32_t>(value)); }

    // Returns a text field's bytes up to its first NUL (or its whole size).
    std::string_view text(FieldId id) const;
    // Stores a text, truncated to leave room for the NUL, zero-filling the
    // rest of the field; returns false when the text had to be truncated.
    bool setText(FieldId id, std::string_view value);

    // Returns the bytes of any field.
    std::span<const std::uint8_t> field(FieldId id) const;
    std::span<std::uint8_t> field(FieldId id);

    bool operator==(const CoreData&) const = default;
};

// A set of fields, each identified on its own.
using FieldSet = std::bitset<kFieldCount>;

// What the computed defaults depend on.
struct DefaultInputs {
    char localePaperSize = '9';  // first character of the locale's paper-size value
    int languageIndex = 0;       // display language index
};

// Returns the PageSize option index that a locale paper-size character gives.
std::uint8_t pageSizeForLocale(char localePaperSize);

// Returns a record holding the header and every field's default.
CoreData buildDefaultRecord(const DefaultInputs& inputs);

// Returns the process-wide default record, built once from the platform's
// locale and the display language.
const CoreData& defaultRecord();

// Returns the process-wide locale default PageSize index (cached).
std::uint8_t localeDefaultPageSize();

// Checks the record in place. A record of another schema is replaced whole by
// the defaults; an invalid field by its default. Returns true when nothing had
// to be repaired.
bool validateRecord(CoreData& record);

// Returns whether one field of the record holds a valid value.
bool fieldIsValid(const CoreData& record, FieldId id);

// Copies every field of the set from source into destination, writing only
// the fields whose value differs. Returns whether any field was written.
bool copySelectedFields(CoreData& destination, const CoreData& source, const FieldSet& fields);

}  // namespace tvzx::settings
