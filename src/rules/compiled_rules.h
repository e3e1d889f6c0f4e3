// The rule tables with their option names looked up in the settings' option
// tables, built once per process; and the test of a setting's value against
// a value set.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "rules/constraint_table.h"
#include "rules/value_sets.h"
#include "settings/core_data.h"

namespace tvzx::rules {

// A value set with its option names turned into a mask of option indexes.
struct CompiledSet {
    Match match = Match::Anything;
    std::uint64_t mask = 0;
    std::uint32_t low = 0;
    std::uint32_t high = 0;
};

// The correcting setting, for the value sets that compare with it.
struct TriggerState {
    std::uint32_t value = 0;
    std::uint32_t optionCount = 0;
};

struct CompiledConstraint {
    const Constraint* source = nullptr;
    CompiledSet when;
    CompiledSet forbidden;
    CompiledSet also;
    std::uint32_t replacement = 0;  // option index or stored number
};

// Returns the set for one setting; nothing when a name is not an option of
// the setting, or the set does not suit the setting's kind. `fault` then
// says why.
std::optional<CompiledSet> compileSet(settings::FieldId field, const ValueSet& set, std::string& fault);

// Returns the option index or number a replacement writes into the setting;
// nothing when the replacement does not suit it.
std::optional<std::uint32_t> compileReplacement(settings::FieldId field, const Replacement& to, std::string& fault);

// Returns the value a set is tested against: the option index or stored
// number, 0 for text and binary settings.
std::uint32_t valueOf(const settings::CoreData& record, settings::FieldId field);

// Returns the trigger state of a setting as the record holds it.
TriggerState triggerStateOf(const settings::CoreData& record, settings::FieldId field);

// Returns whether the setting's value in the record belongs to the set.
bool matches(const CompiledSet& set, const settings::CoreData& record, settings::FieldId field,
             const TriggerState& trigger);

// Returns the constraints of one setting, in table order. Constraints with a
// fault are left out.
std::span<const CompiledConstraint> constraintsOf(settings::FieldId trigger);

// Returns a line for every fault in the rule tables: unknown option names,
// sets or replacements that do not suit their setting, replacements that
// fall inside the values they replace.
std::vector<std::string> ruleTableFaults();

}  // namespace tvzx::rules
