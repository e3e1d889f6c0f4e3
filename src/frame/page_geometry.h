// The page geometry the plug-in reports to the driver: the imageable area of
// the device, clamped to what the printer can image.
#pragma once

#include <cstdint>

#include "platform/com_abi.h"
#include "settings/core_data.h"

namespace tvzx::frame {

// The margin taken off each dimension when the job is not printed to the
// edge: a quarter inch, in micrometres.
inline constexpr std::int64_t kUnprintableMarginUm = 6350;
// The largest imageable area of the device, in points.
inline constexpr double kMaxImageableWidthPt = 889.92;
inline constexpr double kMaxImageableHeightPt = 1368.96;
// The sheet assumed for named paper sizes, in micrometres.
inline constexpr std::int64_t kLargestSheetWidthUm = 324000;
inline constexpr std::int64_t kLargestSheetHeightUm = 483000;
// The smallest GDIINFO the geometry adjustment reads and writes.
inline constexpr std::uint32_t kMinimumGdiInfoSize = 320;

struct PixelSize {
    std::int64_t width = 0;
    std::int64_t height = 0;
};

// Returns whether the job is imaged to the edge of the sheet: full bleed is
// on, or the output method is neither printing nor a form.
bool printsToEdge(const settings::CoreData& settings);

// Returns the paper size in micrometres that the geometry works with: the
// custom size when the job has one, else the largest sheet.
PixelSize paperSizeUm(const settings::CoreData& settings);

// Returns the largest imageable width and height in device pixels for a
// sheet of the given size at the given resolution: less the margins unless
// the job prints to the edge, and never more than the device images.
PixelSize computeMaxImageableSize(std::uint32_t resolutionX, std::uint32_t resolutionY, std::int64_t widthUm,
                                  std::int64_t heightUm, bool fullBleed, std::uint32_t outputMethod);

// Adjusts the device capabilities to the job: the whole physical page when it
// prints to the edge, and no more than the imageable maximum. Nothing changes
// without a horizontal resolution.
void clampDeviceGeometry(win::GDIINFO& gdiInfo, const settings::CoreData& settings,
                         const win::DEVMODEW* publicDevmode);

// Adjusts an imageable rectangle in micrometres to the job, centred on its
// old centre when it has to shrink. Returns whether it changed.
bool adjustPaperMargins(win::RECTL& rectangle, const settings::CoreData& settings);

}  // namespace tvzx::frame
