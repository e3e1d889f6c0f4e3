#include "rules/setters.h"

#include <algorithm>
#include <array>

#include "common/byte_order.h"
#include "rules/compiled_rules.h"
#include "rules/may_correct.h"
#include "rules/page_exception_rules.h"
#include "rules/page_forms.h"

namespace tvzx::rules {
namespace {

using settings::FieldId;

constexpr std::size_t kLargestNumber = 4;

// Returns whether what a constraint needs besides the record is there.
bool needsMet(Needs needs, const RuleContext& context) {
    switch (needs) {
        case Needs::Nothing: return true;
        case Needs::DeviceInfo: return deviceInfoUsable(context.deviceInfo);
        case Needs::NoJobStorage:
            return context.printerConfig != nullptr &&
                   !hasCapability(context.printerConfig->installed, Capability::JobStorage);
    }
    return false;
}

// Applies one constraint of the setting whose setter is running.
void applyConstraint(RuleContext& context, const CompiledConstraint& compiled) {
    const Constraint& c = *compiled.source;
    const settings::CoreData& record = *context.settings;
    const TriggerState trigger = triggerStateOf(record, c.trigger);
    // The setting's value as now stored decides, and a setting whose setter is running is never corrected.
    if (!matches(compiled.when, record, c.trigger, trigger)) return;
    if (context.inProgress.contains(c.target)) return;
    if (c.conditional && !matches(compiled.also, record, c.alsoField, trigger)) return;
    if (!needsMet(c.needs, context)) return;
    if (!matches(compiled.forbidden, record, c.target, trigger)) return;
    correct(context, c.target, c.to.put, compiled.replacement);
}

// The setter of a setting that has rules.
void runRulesSetter(RuleContext& context, FieldId field, std::span<const std::uint8_t> stored) {
    if (!context.inProgress.push(field)) return;
    writeStored(*context.settings, field, stored);
    context.noteWritten(field);
    // A new page exception list first rules out what its records conflict with.
    if (field == FieldId::PageSpecificTrays) applyRecordConstraints(context);
    for (const CompiledConstraint& compiled : constraintsOf(field)) applyConstraint(context, compiled);
    if (pageExceptionsDependOn(field)) runPageExceptionPass(context);
    context.inProgress.pop();
}

// Returns the big-endian bytes of a number in the size of the setting.
std::span<const std::uint8_t> storedNumber(FieldId field, std::uint32_t value,
                                           std::array<std::uint8_t, kLargestNumber>& buffer) {
    const settings::FieldDef& def = settings::fieldDef(field);
    const std::size_t size = std::min<std::size_t>(def.byteSize(), kLargestNumber);
    writeBigEndian(buffer.data(), size, value);
    return {buffer.data(), size};
}

}  // namespace

void writeStored(settings::CoreData& record, FieldId field, std::span<const std::uint8_t> stored) {
    const settings::FieldDef& def = settings::fieldDef(field);
    if (def.isText()) {
        // A text ends at its NUL; what does not fit is cut, and the rest of the field zeroed.
        const auto end = std::find(stored.begin(), stored.end(), std::uint8_t{0});
        record.setText(field, std::string_view(reinterpret_cast<const char*>(stored.data()),
                                               static_cast<std::size_t>(end - stored.begin())));
        return;
    }
    const auto target = record.field(field);
    const std::size_t copied = std::min(target.size(), stored.size());
    std::copy_n(stored.begin(), copied, target.begin());
    std::fill(target.begin() + static_cast<std::ptrdiff_t>(copied), target.end(), std::uint8_t{0});
}

void runSetter(RuleContext& context, FieldId field, std::span<const std::uint8_t> stored) {
    if (ownsSetter(field)) runRulesSetter(context, field, stored);
    else runPlainSetter(context, field, stored);
}

void runSetter(RuleContext& context, FieldId field, std::uint32_t value) {
    std::array<std::uint8_t, kLargestNumber> buffer{};
    runSetter(context, field, storedNumber(field, value, buffer));
}

void runPlainSetter(RuleContext& context, FieldId field, std::span<const std::uint8_t> stored) {
    writeStored(*context.settings, field, stored);
    context.noteWritten(field);
}

void runPlainSetter(RuleContext& context, FieldId field, std::uint32_t value) {
    std::array<std::uint8_t, kLargestNumber> buffer{};
    runPlainSetter(context, field, storedNumber(field, value, buffer));
}

void correct(RuleContext& context, FieldId target, Put put, std::uint32_t value) {
    if (put == Put::EmptyFormList) {
        const auto empty = encodePageForms({});
        runSetter(context, target, empty);
        return;
    }
    runSetter(context, target, value);
}

}  // namespace tvzx::rules
