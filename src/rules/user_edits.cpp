#include "rules/user_edits.h"

#include <algorithm>

#include "settings/feature_tables.h"
#include "settings/settings_lines.h"

namespace tvzx::rules {

std::optional<std::string> applyUserEdit(settings::CoreData& record, std::string_view assignment, EditMode mode,
                                         const RuleInputs& inputs) {
    // The value is read into a copy first, so a refused edit leaves the record as it was.
    settings::CoreData parsed = record;
    if (auto error = settings::applySetting(parsed, assignment)) return error;
    const auto field = settings::assignedField(assignment);
    if (!field) return "unknown field in '" + std::string(assignment) + "'";
    if (mode == EditMode::AsItStands) {
        record = parsed;
        return std::nullopt;
    }
    setSettingBytes(record, *field, parsed.field(*field), nullptr, inputs);
    return std::nullopt;
}

UserEdits::UserEdits(settings::CoreData& record, EditMode mode, RuleInputs inputs)
    : record_(record), before_(record), mode_(mode), inputs_(inputs) {}

std::optional<std::string> UserEdits::apply(std::string_view assignment) {
    auto error = applyUserEdit(record_, assignment, mode_, inputs_);
    if (!error) named_.set(static_cast<std::size_t>(*settings::assignedField(assignment)));
    return error;
}

std::vector<RuleChange> UserEdits::ruleChanges() const {
    std::vector<RuleChange> changes;
    for (std::size_t i = 0; i < settings::kFieldCount; ++i) {
        const auto id = static_cast<settings::FieldId>(i);
        if (named_.test(i)) continue;
        const auto before = before_.field(id);
        const auto after = record_.field(id);
        if (std::equal(before.begin(), before.end(), after.begin(), after.end())) continue;
        changes.push_back({id, settings::formatFieldValue(before_, id), settings::formatFieldValue(record_, id)});
    }
    return changes;
}

std::string formatRuleChanges(const std::vector<RuleChange>& changes) {
    std::string out;
    for (const RuleChange& change : changes)
        out += std::string(settings::fieldDef(change.field).name) + "=" + change.before + " -> " + change.after + "\n";
    return out;
}

}  // namespace tvzx::rules
