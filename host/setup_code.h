// The PostScript the host writes as the driver: its procedure set in the
// prolog (featurebegin and featurecleanup, which keep a failing feature from
// ending the job), the opening of the setup section, and the job's PPD
// features, each in its own featurebegin{ ... } featurecleanup bracket.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "feature_selection.h"
#include "ppd_file.h"
#include "settings/core_data.h"

namespace tvzx::host {

// Returns the procedure set, as a resource of the prolog.
std::string hostProlog();

// Returns the opening of the setup section, before the features.
std::string setupPrelude();

// Returns one feature bracket; `parameters` (a line of operands the code
// takes) and `code` may be empty.
std::string featureBlock(std::string_view keyword, std::string_view option, std::string_view parameters,
                         std::string_view code);

// Returns the job's features in writing order: the driver's own features
// (*ZVOpCreator, *ZVOpPPDVersion), then the paper (*PageSize, or *PageRegion
// when the job names a tray, or *CustomPageSize), then the other selections
// in their order. A selection the PPD has no code for is left out.
std::string setupFeatures(const settings::CoreData& record, const PpdFile& ppd,
                          const std::vector<FeatureSelection>& selections);

// Returns the code with every line ending made CR LF and a line end at its end.
std::string streamLines(std::string_view code);

}  // namespace tvzx::host
