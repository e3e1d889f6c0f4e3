// Settings as readable lines, one "Name=Value" per field in record order:
// option fields by option name, numbers as the stored integer, texts in
// double quotes with C escapes, binary blocks as upper-case hex without their
// trailing zero bytes. What is written reads back to the identical record.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "settings/core_data.h"

namespace tvzx::settings {

// Returns the text as a text field's value is written: in double quotes,
// with C escapes.
std::string quotedText(std::string_view text);

// Returns the value text of one field.
std::string formatFieldValue(const CoreData& record, FieldId id);

// Returns every field as one line, each ending in a newline.
std::string formatSettingsLines(const CoreData& record);

// Returns the field a "Name=Value" assignment names; nothing when it names
// none or is no assignment.
std::optional<FieldId> assignedField(std::string_view assignment);

// Sets one field from a "Name=Value" assignment. Returns an error message
// naming the field or value when the assignment is refused; the record is
// unchanged then.
std::optional<std::string> applySetting(CoreData& record, std::string_view assignment);

// Applies a text of assignments, one per line; blank lines and text from '#'
// on are ignored. Returns an error message with the line number on the first
// refused line, naming the problem and the field where it names one, never
// repeating the line's text; lines before it stay applied.
std::optional<std::string> applySettingsText(CoreData& record, std::string_view text);

}  // namespace tvzx::settings
