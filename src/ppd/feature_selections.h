// The job settings as the PostScript driver sees its features: pairs of PPD
// keyword and PPD option, one per setting that has a PPD keyword, in record
// order. The driver writes the PPD code of these pairs and keeps them in its
// own part of the DEVMODE, so they must follow the plug-in's settings.
//
// Most settings map straight through their option table: the table's PPD
// keyword with the current option's PPD option. Six features have a rule of
// their own (see MappingRule). Number settings take no part: the printer's
// PPD offers no numeric feature, so the job information line count reaches
// the printer through the job ticket only, although its descriptor names a
// PPD keyword.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "settings/core_data.h"

namespace tvzx::ppd {

struct FeatureSelection {
    std::string keyword;
    std::string option;

    bool operator==(const FeatureSelection&) const = default;
};

using FeatureSelections = std::vector<FeatureSelection>;

// Keywords of the features that no single option table names.
inline constexpr std::string_view kOffsetKeyword = "ZVOffset";
inline constexpr std::string_view kModelNameKeyword = "ZVCbSwModelName";
// Options of the offset feature.
inline constexpr std::string_view kFalseOption = "False";
inline constexpr std::string_view kTrueOption = "True";

// How one setting turns into selections.
enum class MappingRule : std::uint8_t {
    Option,               // the table's keyword with the current option's PPD option
    Staple,               // one staple follows the binding edge: Right, else Left
    Offset,               // ZVOffset True when copies or pages are offset
    Punch,                // both GBC stream punches are "GBCStreampunch"
    TargetPaperSize,      // the paper-profile target is the profile's own size
    DateStyle,            // no date stamp sends the style "None"
    PrinterAndModelName,  // one setting, two features: printer name, then model name
};

// One setting that yields selections, with the settings whose change makes
// its selection worth sending again.
struct MappedSetting {
    settings::FieldId field;
    MappingRule rule;
    std::span<const settings::FieldId> alsoFollows;  // beside the field itself
};

// Returns every setting that yields selections, in record order.
std::span<const MappedSetting> mappedSettings();

// Appends the selections of one setting. With a changed-settings set, only a
// setting that the set names (or that follows a named one) yields anything.
// Returns true when a pair was appended; false when the set leaves the
// setting out, the feature has no keyword or the option has no PPD option.
bool mapSetting(const MappedSetting& setting, const settings::CoreData& record, FeatureSelections& selections,
                const settings::FieldSet* changed);

// Clears the list, then appends the selections of every mapped setting in
// record order; with a changed-settings set, only those of the settings it
// names.
void buildFeatureSelections(const settings::CoreData& record, FeatureSelections& selections,
                            const settings::FieldSet* changed = nullptr);

// Returns the selections that buildFeatureSelections makes.
FeatureSelections featureSelections(const settings::CoreData& record, const settings::FieldSet* changed = nullptr);

}  // namespace tvzx::ppd
