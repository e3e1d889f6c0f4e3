#include "feature_selection.h"

#include <algorithm>

#include "ppd_keywords.h"

namespace tvzx::host {

std::vector<FeatureSelection> jobFeatureSelections(const settings::CoreData& record) {
    std::vector<FeatureSelection> selections = ::tvzx::ppd::featureSelections(record);
    if (record.option(settings::FieldId::PageSize) != settings::kCustomPageSize) return selections;
    const FeatureSelection custom{std::string(ppd::kCustomPageSize), std::string(ppd::kCustomTrue)};
    const auto paper = std::find_if(selections.begin(), selections.end(),
                                    [](const FeatureSelection& s) { return s.keyword == ppd::kPageSize; });
    if (paper != selections.end()) *paper = custom;
    else selections.insert(selections.begin(), custom);
    return selections;
}

}  // namespace tvzx::host
