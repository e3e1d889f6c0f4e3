// Ticket commands driven by the feature tables: a feature's PJL key, mode and
// per-option values come from its option table or numeric descriptor.
#pragma once

#include <string>
#include <string_view>

#include "pjl/ticket.h"
#include "settings/core_data.h"

namespace tvzx::pjl {

using settings::CoreData;
using settings::FieldId;

// Returns whether the features's commands go into the ticket (mode 1 or 2).
bool isWritten(settings::PjlMode mode);

// Returns the option index in force: an index past the list reads as the
// table's default option.
std::uint32_t effectiveOption(const CoreData& settings, FieldId id);

// Returns the name of the option in force in an option field; empty for an
// open list.
std::string_view optionName(const CoreData& settings, FieldId id);

// Returns whether the option field holds the option of this name.
bool isOption(const CoreData& settings, FieldId id, std::string_view name);

// Returns whether the option in force is anything but the first option
// ("Off", "False", "None").
bool isOn(const CoreData& settings, FieldId id);

// Returns the PJL value of the option stored in the field; the default
// option's value for an index past the list; empty when the option has none.
std::string_view optionPjlValue(const CoreData& settings, FieldId id);

// Returns the PJL value of the option of this index of the field's table.
std::string_view optionPjlValueAt(FieldId id, std::uint32_t index);

// Returns the PJL key of the field's table or descriptor.
std::string_view pjlKeyOf(FieldId id);

// Returns a number field rescaled from its storage scale to its PJL scale,
// as decimal text (signed fields keep their sign).
std::string pjlNumber(const CoreData& settings, FieldId id);

// Returns a number field rescaled to the given PJL scale, as decimal text.
std::string pjlNumberAtScale(const CoreData& settings, FieldId id, std::uint32_t pjlScale);

// Writes the option's PJL value under the feature's key when the key is set,
// the mode is 1 or 2 and the option has a value.
void writeOptionCommand(std::string& ticket, const CoreData& settings, FieldId id);

// Writes the number, rescaled to its PJL scale, under the feature's key when
// the key is set and the mode is 1 or 2.
void writeNumericCommand(std::string& ticket, const CoreData& settings, FieldId id);

// A ticket writer for one table-driven option feature.
template <FieldId Field>
void optionCommand(std::string& ticket, const CoreData& settings, const TicketInputs&) {
    writeOptionCommand(ticket, settings, Field);
}

// A ticket writer for one table-driven number feature.
template <FieldId Field>
void numericCommand(std::string& ticket, const CoreData& settings, const TicketInputs&) {
    writeNumericCommand(ticket, settings, Field);
}

}  // namespace tvzx::pjl
