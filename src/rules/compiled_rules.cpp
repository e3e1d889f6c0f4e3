#include "rules/compiled_rules.h"

#include <algorithm>
#include <bit>

#include "rules/installed_options.h"
#include "rules/page_exception_rules.h"
#include "rules/page_forms.h"

namespace tvzx::rules {
namespace {

using settings::FieldDef;
using settings::FieldId;
using settings::Kind;

constexpr std::size_t kMaskBits = 64;

// Returns the option table of a setting with a fixed option list, if any.
const settings::OptionTable* fixedOptions(FieldId field) {
    const FieldDef& def = settings::fieldDef(field);
    if (def.kind != Kind::Option || def.options == nullptr || def.options->count() == 0) return nullptr;
    return def.options;
}

std::string nameOf(FieldId field) { return std::string(settings::fieldDef(field).name); }

// Returns the mask of the named options; nothing when one is unknown.
std::optional<std::uint64_t> namesMask(FieldId field, std::string_view names, std::string& fault) {
    const settings::OptionTable* options = fixedOptions(field);
    if (options == nullptr || options->count() > kMaskBits) {
        fault = nameOf(field) + " has no fixed option list to name";
        return std::nullopt;
    }
    std::uint64_t mask = 0;
    while (!names.empty()) {
        const std::size_t space = names.find(' ');
        const std::string_view name = names.substr(0, space);
        names = space == std::string_view::npos ? std::string_view{} : names.substr(space + 1);
        const auto index = options->find(name);
        if (!index) {
            fault = nameOf(field) + " has no option '" + std::string(name) + "'";
            return std::nullopt;
        }
        mask |= std::uint64_t{1} << *index;
    }
    if (mask == 0) {
        fault = nameOf(field) + ": an empty option list";
        return std::nullopt;
    }
    return mask;
}

bool isBinary(FieldId field) { return settings::fieldDef(field).isBinary(); }

// The constraints of every setting, grouped by setting in table order.
struct ConstraintIndex {
    std::vector<CompiledConstraint> constraints;
    std::array<std::size_t, settings::kFieldCount + 1> start{};
    std::vector<std::string> faults;
};

// Returns the compiled constraint, or nothing (with the fault) when a part of it does not suit its setting.
std::optional<CompiledConstraint> compileConstraint(const Constraint& c, std::string& fault) {
    CompiledConstraint out;
    out.source = &c;
    const auto when = compileSet(c.trigger, c.when, fault);
    if (!when) return std::nullopt;
    const auto forbidden = compileSet(c.target, c.forbidden, fault);
    if (!forbidden) return std::nullopt;
    const auto replacement = compileReplacement(c.target, c.to, fault);
    if (!replacement) return std::nullopt;
    out.when = *when;
    out.forbidden = *forbidden;
    out.replacement = *replacement;
    if (c.conditional) {
        const auto also = compileSet(c.alsoField, c.alsoValues, fault);
        if (!also) return std::nullopt;
        out.also = *also;
    }
    return out;
}

// Returns whether a replacement of a plain option or number lies inside the
// set it replaces, which would leave the conflict in place.
bool replacementIsForbidden(const CompiledSet& forbidden, Put put, std::uint32_t value) {
    if (put == Put::EmptyFormList) return forbidden.match == Match::Anything;
    switch (forbidden.match) {
        case Match::Anything: return true;
        case Match::Names:
        case Match::AllBut: return value < kMaskBits && ((forbidden.mask >> value) & 1) != 0;
        case Match::Range: return forbidden.low <= value && value <= forbidden.high;
        case Match::Equal: return value == forbidden.low;
        case Match::Other: return value != forbidden.low;
        default: return false;
    }
}

ConstraintIndex buildIndex() {
    ConstraintIndex index;
    std::array<std::vector<CompiledConstraint>, settings::kFieldCount> byTrigger;
    for (const Constraint& c : constraintTable()) {
        std::string fault;
        auto compiled = compileConstraint(c, fault);
        if (!compiled) {
            index.faults.push_back(nameOf(c.trigger) + " -> " + nameOf(c.target) + ": " + fault);
            continue;
        }
        if (replacementIsForbidden(compiled->forbidden, c.to.put, compiled->replacement))
            index.faults.push_back(nameOf(c.trigger) + " -> " + nameOf(c.target) +
                                   ": the replacement is forbidden too");
        byTrigger[static_cast<std::size_t>(c.trigger)].push_back(*compiled);
    }
    for (std::size_t field = 0; field < settings::kFieldCount; ++field) {
        index.start[field] = index.constraints.size();
        index.constraints.insert(index.constraints.end(), byTrigger[field].begin(), byTrigger[field].end());
    }
    index.start[settings::kFieldCount] = index.constraints.size();
    return index;
}

const ConstraintIndex& constraintIndex() {
    static const ConstraintIndex index = buildIndex();
    return index;
}

}  // namespace

std::optional<CompiledSet> compileSet(FieldId field, const ValueSet& set, std::string& fault) {
    CompiledSet out;
    out.match = set.match;
    out.low = set.low;
    out.high = set.high;
    switch (set.match) {
        case Match::Names:
        case Match::AllBut: {
            const auto mask = namesMask(field, set.names, fault);
            if (!mask) return std::nullopt;
            if (set.match == Match::Names) {
                out.mask = *mask;
            } else {
                const std::uint32_t count = fixedOptions(field)->count();
                const std::uint64_t all = count == kMaskBits ? ~std::uint64_t{0} : (std::uint64_t{1} << count) - 1;
                out.mask = all & ~*mask;
            }
            return out;
        }
        case Match::FormListNotEmpty:
            if (field != FieldId::PageSpecificForms) break;
            return out;
        case Match::ExceptionListEmpty:
            if (field != FieldId::PageSpecificTrays) break;
            return out;
        case Match::Anything: return out;
        default:
            if (isBinary(field) || settings::fieldDef(field).isText()) break;
            return out;
    }
    fault = nameOf(field) + ": a value set that does not suit the setting";
    return std::nullopt;
}

std::optional<std::uint32_t> compileReplacement(FieldId field, const Replacement& to, std::string& fault) {
    switch (to.put) {
        case Put::Option: {
            const auto mask = namesMask(field, to.name, fault);
            if (!mask) return std::nullopt;
            if ((*mask & (*mask - 1)) != 0) {
                fault = nameOf(field) + ": a replacement names more than one option";
                return std::nullopt;
            }
            return static_cast<std::uint32_t>(std::countr_zero(*mask));
        }
        case Put::Number:
            if (isBinary(field) || settings::fieldDef(field).isText()) break;
            return to.number;
        case Put::EmptyFormList:
            if (field != FieldId::PageSpecificForms) break;
            return 0;
    }
    fault = nameOf(field) + ": a replacement that does not suit the setting";
    return std::nullopt;
}

std::uint32_t valueOf(const settings::CoreData& record, FieldId field) {
    return settings::fieldDef(field).kind == Kind::Array ? 0 : record.raw(field);
}

TriggerState triggerStateOf(const settings::CoreData& record, FieldId field) {
    const settings::OptionTable* options = fixedOptions(field);
    return {valueOf(record, field), options != nullptr ? options->count() : 0};
}

bool matches(const CompiledSet& set, const settings::CoreData& record, FieldId field, const TriggerState& trigger) {
    const std::uint32_t value = valueOf(record, field);
    switch (set.match) {
        case Match::Anything: return true;
        case Match::Names:
        case Match::AllBut: return value < kMaskBits && ((set.mask >> value) & 1) != 0;
        case Match::Range: return set.low <= value && value <= set.high;
        case Match::Equal: return value == set.low;
        case Match::Other: return value != set.low;
        case Match::FormListNotEmpty: return !decodePageForms(record.field(field)).empty();
        case Match::ExceptionListEmpty: return pageExceptionsOf(record).empty();
        case Match::KnownOtherThanTrigger: return value < trigger.optionCount && value != trigger.value;
        case Match::SameAsTrigger: return value == trigger.value;
    }
    return false;
}

std::span<const CompiledConstraint> constraintsOf(FieldId trigger) {
    const ConstraintIndex& index = constraintIndex();
    const auto at = static_cast<std::size_t>(trigger);
    return std::span<const CompiledConstraint>(index.constraints).subspan(index.start[at],
                                                                          index.start[at + 1] - index.start[at]);
}

std::vector<std::string> ruleTableFaults() {
    std::vector<std::string> faults = constraintIndex().faults;
    const auto conditionFaults = pageExceptionConditionFaults();
    faults.insert(faults.end(), conditionFaults.begin(), conditionFaults.end());
    std::string fault;
    for (const RecordConstraint& c : recordConstraintTable()) {
        const auto forbidden = compileSet(c.target, c.forbidden, fault);
        const auto replacement = compileReplacement(c.target, c.to, fault);
        if (!forbidden || !replacement) faults.push_back("page exception record -> " + nameOf(c.target) + ": " + fault);
        else if (replacementIsForbidden(*forbidden, c.to.put, *replacement))
            faults.push_back("page exception record -> " + nameOf(c.target) + ": the replacement is forbidden too");
    }
    for (const CapabilityLimit& limit : capabilityLimits()) {
        const auto values = compileSet(limit.field, limit.values, fault);
        const auto replacement = compileReplacement(limit.field, limit.to, fault);
        if (!values || !replacement) faults.push_back("installed option -> " + nameOf(limit.field) + ": " + fault);
        else if (replacementIsForbidden(*values, limit.to.put, *replacement))
            faults.push_back("installed option -> " + nameOf(limit.field) + ": the replacement is ruled out too");
    }
    return faults;
}

}  // namespace tvzx::rules
