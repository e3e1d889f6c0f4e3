// The PPD feature selections of a job, as the driver writes them into the
// setup section: the plug-in core's mapping of the settings, with a custom
// page size given as the custom page size feature, which the core's mapping
// has no pair for.
#pragma once

#include <vector>

#include "ppd/feature_selections.h"
#include "settings/core_data.h"

namespace tvzx::host {

using FeatureSelection = ::tvzx::ppd::FeatureSelection;

// Returns the selections in record order; the custom page size gives
// CustomPageSize True in the place of the page size.
std::vector<FeatureSelection> jobFeatureSelections(const settings::CoreData& record);

}  // namespace tvzx::host
