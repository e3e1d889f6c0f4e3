// A user's edits of single settings by name, as a print dialog or the
// command line makes them: each "Name=Value" goes through the setting's
// setter, so the settings that depend on it follow; or, for experiments,
// is written as it stands.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "rules/rule_engine.h"
#include "settings/core_data.h"

namespace tvzx::rules {

enum class EditMode {
    ThroughSetters,  // the setter runs and dependent settings follow
    AsItStands,      // the value is written and nothing else changes
};

// Applies one "Name=Value" edit to the record. Values are read as the
// settings text form writes them: an option by its name, or by its index
// (which may lie past the list, as the custom paper size does). Returns an error message naming the setting or the value when the edit is
// refused; the record is unchanged then.
std::optional<std::string> applyUserEdit(settings::CoreData& record, std::string_view assignment,
                                         EditMode mode = EditMode::ThroughSetters, const RuleInputs& inputs = {});

// One setting the rules changed besides those the user named, both values
// in the settings text form.
struct RuleChange {
    settings::FieldId field;
    std::string before;
    std::string after;
};

// A run of user edits on one record, which remembers the record as it stood
// before the first edit and the settings the edits named.
class UserEdits {
public:
    // The inputs' pointers must outlive the run.
    explicit UserEdits(settings::CoreData& record, EditMode mode = EditMode::ThroughSetters, RuleInputs inputs = {});

    // Applies one edit; returns what applyUserEdit returns.
    std::optional<std::string> apply(std::string_view assignment);
    // Returns the settings that differ from the record before the first
    // edit and that no edit named, in record order.
    std::vector<RuleChange> ruleChanges() const;

private:
    settings::CoreData& record_;
    settings::CoreData before_;
    settings::FieldSet named_;
    EditMode mode_;
    RuleInputs inputs_;
};

// Returns one "Name=Old -> New" line per change; empty without changes.
std::string formatRuleChanges(const std::vector<RuleChange>& changes);

}  // namespace tvzx::rules
