// The sheet a job prints on, as the driver sees it: a named size of the
// paper table or the job's custom size, in micrometres, portrait.
#pragma once

#include <cstdint>
#include <string_view>

#include "settings/core_data.h"

namespace tvzx::host {

struct JobPaper {
    std::uint32_t widthMicrons = 0;
    std::uint32_t heightMicrons = 0;
    // The paper table row of a named size; null for the custom size.
    const settings::PaperRow* row = nullptr;
    // The PageSize option's name ("A4"); empty for the custom size.
    std::string_view name;
};

// Returns the job's paper. An option without a paper table row counts as
// the table's default size.
JobPaper jobPaper(const settings::CoreData& record);

// Returns whether the job prints landscape.
bool isLandscape(const settings::CoreData& record);

// Micrometres per millimetre and per inch.
inline constexpr std::uint32_t kMicronsPerMillimetre = 1000;
inline constexpr std::uint32_t kMicronsPerInch = 25400;

// Returns the device pixels of a length at a resolution, rounded to nearest.
std::uint32_t micronsToPixels(std::uint64_t microns, std::uint32_t dpi);

}  // namespace tvzx::host
