// The settings text form: a plain-text description of the record's layout,
// so that a record written by one build can be read by another whose field
// table differs. It travels Base64-wrapped in the job's DSC comments and in
// the printer's data.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "settings/core_data.h"

namespace tvzx::settings {

// One field as a foreign description states it; the texts point into the
// description they were read from.
struct ForeignField {
    std::string_view name;
    std::uint32_t elementSize = 0;
    std::uint32_t count = 0;
    std::uint32_t offset = 0;
    bool flag = false;
    std::string_view kind;
    std::uint32_t scale = 0;                     // kind "R"
    std::vector<std::string_view> optionNames;  // kind "S"
};

// Returns the plain description of the current field table (ends in a space).
std::string plainDescription();

// Returns the wrapped description: the plain text and its NUL, Base64-encoded.
std::string writeDescription();

// Returns the wrapped description of this build's layout, a constant.
std::string_view currentLayoutDescription();

// Returns the field items of a plain description that pass the item rules, in
// text order; nothing when the header is not acceptable for a foreign record
// of the given bytes.
struct ParsedDescription {
    bool accepted = false;
    std::uint32_t foreignHash = 0;
    std::vector<ForeignField> fields;
};
ParsedDescription parseDescription(std::string_view plain, std::span<const std::uint8_t> foreignRecord);

// Converts a foreign record into destination (which must hold a valid record)
// field by field by name, through the wrapped description of its layout.
// Returns true when the caller must validate the destination afterwards.
bool readAndConvert(CoreData& destination, std::span<const std::uint8_t> foreignRecord, std::string_view wrapped);

// Converts one foreign field into the destination by the converter rules;
// a field that cannot be converted is left untouched.
void convertField(CoreData& destination, FieldId id, const ForeignField& foreign,
                  std::span<const std::uint8_t> foreignRecord);

}  // namespace tvzx::settings
