// The named paper sizes of the printer family's PPD, as its *PaperDimension
// entries give them. The driver sends a custom page that matches one of them
// as that named size; the plug-in cannot read the PPD while it renders, so the
// list is kept here and checked against the shipped PPD by the tests.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace tvzx::postscript {

struct PpdPaperSize {
    std::string_view keyword;  // PPD option keyword of *PageSize
    double widthPoints;        // portrait width, 1/72 inch
    double heightPoints;       // portrait height
};

// A custom size matches a named size when both of its dimensions lie within
// this many points of the named size's.
inline constexpr double kPpdSizeTolerancePoints = 1.0;

// Returns the named sizes in the PPD's order.
std::span<const PpdPaperSize> ppdPaperSizes();

// Returns the named size that a page of these dimensions (points, as the page
// stands, not turned) matches within the tolerance, the first one in PPD order
// when several do; null when none does.
const PpdPaperSize* matchingPpdPaperSize(double widthPoints, double heightPoints);

// Returns the length in points of a length in micrometres (72 points to the
// inch of 25400 micrometres).
constexpr double pointsOfMicrons(std::uint64_t microns) { return static_cast<double>(microns) * 72.0 / 25400.0; }

}  // namespace tvzx::postscript
