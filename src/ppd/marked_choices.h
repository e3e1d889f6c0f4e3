// The reverse of the feature selections: the PPD choices a print system has
// marked for a job (its queue's defaults and the user's picks) as settings
// assignments, and the printer's installable options as the installed-options
// block. Both walk the same tables as the forward mapping, so a PPD written
// from the option tables reads back into the settings that wrote it.
#pragma once

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "rules/installed_options.h"
#include "settings/core_data.h"

namespace tvzx::ppd {

// Answers the option marked for a PPD keyword; nothing when none is.
using MarkedChoice = std::function<std::optional<std::string>(std::string_view keyword)>;

struct ChoiceAssignments {
    // "Name=Option" assignments in record order.
    std::vector<std::string> assignments;
    // "Keyword=Option" of the first marked choice that names no option of
    // its setting; the assignments are incomplete then.
    std::optional<std::string> refused;
};

// Returns an assignment for every mapped setting whose marked choice differs
// from what `reference` selects (the defaults of a fresh job), so that a
// choice left at its default never overrides what another setting's rules
// derive.
ChoiceAssignments assignmentsFromChoices(const settings::CoreData& reference, const MarkedChoice& marked);

// One installable option of the PPD: a unit the printer may have (Boolean)
// or the paper-feed unit (one choice per unit code).
struct InstallableOption {
    std::string_view keyword;
    std::string_view label;
    std::optional<rules::Capability> unit;  // nothing: the paper-feed unit
};

// Returns the installable options in PPD order.
std::span<const InstallableOption> installableOptions();

// Returns the choices of the paper-feed unit, indexed by its code.
std::span<const std::string_view> paperFeedUnitChoices();

// Returns the installed-options block the marked installable options
// describe: every unit whose option is not marked False counts as installed,
// and the paper-feed unit is the marked one's code (the fullest unit when
// none is marked).
rules::InstalledOptions installedOptionsFromChoices(const MarkedChoice& marked);

}  // namespace tvzx::ppd
