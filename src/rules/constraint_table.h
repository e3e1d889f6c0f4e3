// Pairwise constraints between settings: while setting A holds one of the
// values X, setting B may not hold one of the values Y, and becomes Z when it
// does. The setter of A walks A's constraints in table order; each may carry
// one further condition on a third setting, or need the device information
// or the printer configuration.
#pragma once

#include <cstdint>
#include <span>

#include "rules/value_sets.h"
#include "settings/field_id.h"

namespace tvzx::rules {

// What a constraint needs besides the record.
enum class Needs : std::uint8_t {
    Nothing,
    DeviceInfo,    // current device information
    NoJobStorage,  // a printer configuration that lacks job storage
};

struct Constraint {
    settings::FieldId trigger{};
    ValueSet when;
    settings::FieldId target{};
    ValueSet forbidden;
    Replacement to;
    bool conditional = false;
    settings::FieldId alsoField{};
    ValueSet alsoValues;
    Needs needs = Needs::Nothing;

    // Returns the constraint, holding only while `field` has one of `values`.
    constexpr Constraint with(settings::FieldId field, ValueSet values) const {
        Constraint c = *this;
        c.conditional = true;
        c.alsoField = field;
        c.alsoValues = values;
        return c;
    }
    // Returns the constraint, holding only when `what` is there.
    constexpr Constraint onlyWith(Needs what) const {
        Constraint c = *this;
        c.needs = what;
        return c;
    }
};

// Returns the constraint: while `trigger` has one of `when`, `target` holding
// one of `forbidden` becomes `to`.
constexpr Constraint rule(settings::FieldId trigger, ValueSet when, settings::FieldId target, ValueSet forbidden,
                          Replacement to) {
    Constraint c;
    c.trigger = trigger;
    c.when = when;
    c.target = target;
    c.forbidden = forbidden;
    c.to = to;
    return c;
}

// Returns every pairwise constraint, in the order the setters apply them.
std::span<const Constraint> constraintTable();

}  // namespace tvzx::rules
