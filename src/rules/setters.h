// The setters: each writes its setting's new value and then corrects every
// other setting that now conflicts with it, through that setting's setter,
// so that corrections spread until nothing conflicts. A setting is never
// corrected while its own setter is running.
#pragma once

#include <cstdint>
#include <span>

#include "rules/rule_context.h"
#include "rules/value_sets.h"

namespace tvzx::rules {

// Runs the setter of a setting with its new value in stored form (numbers
// most significant byte first, texts up to their NUL). A setting without
// rules is written plainly.
void runSetter(RuleContext& context, settings::FieldId field, std::span<const std::uint8_t> stored);
// Runs the setter of an option or number setting with its new value.
void runSetter(RuleContext& context, settings::FieldId field, std::uint32_t value);

// Writes a setting without applying rules and notes whether it changed.
void runPlainSetter(RuleContext& context, settings::FieldId field, std::span<const std::uint8_t> stored);
void runPlainSetter(RuleContext& context, settings::FieldId field, std::uint32_t value);

// Writes a value in stored form into a setting: bytes beyond the field are
// dropped and missing ones read as zero; a text is cut to leave room for its
// NUL and zero-filled.
void writeStored(settings::CoreData& record, settings::FieldId field, std::span<const std::uint8_t> stored);

// Corrects a setting through its setter to a replacement of the rule tables.
void correct(RuleContext& context, settings::FieldId target, Put put, std::uint32_t value);

}  // namespace tvzx::rules
