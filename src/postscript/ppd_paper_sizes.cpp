#include "postscript/ppd_paper_sizes.h"

#include <cmath>

namespace tvzx::postscript {
namespace {

// *PaperDimension entries of the family's PPD, in its order.
constexpr PpdPaperSize kSizes[] = {
    {"A3", 842, 1191},
    {"A4", 595, 842},
    {"A5", 420, 595},
    {"ZXB4", 729, 1032},
    {"ZXB5", 516, 729},
    {"ZXISOB4", 709, 1001},
    {"ZXISOB5", 499, 709},
    {"ZXPostcard", 284, 419},
    {"SRA3", 907, 1276},
    {"SRA4", 638, 907},
    {"ZXTabloid", 792, 1224},
    {"ZXTabloidExtra", 864, 1296},
    {"9x11", 648, 792},
    {"Legal", 612, 1008},
    {"8x13", 576, 936},
    {"Letter", 612, 792},
    {"ZXStatement", 396, 612},
    {"8K", 765, 1105},
    {"16K", 553, 765},
    {"ZXA4Tab1", 631, 841},
    {"ZXA4Tab2", 638, 841},
    {"ZXLetterTab", 648, 792},
    {"ZXA4STab1", 595, 878},
    {"ZXA4STab2", 595, 884},
    {"ZXLetterSTab", 612, 828},
};

constexpr bool keywordsAreUnique() {
    for (std::size_t i = 0; i < std::size(kSizes); ++i)
        for (std::size_t j = i + 1; j < std::size(kSizes); ++j)
            if (kSizes[i].keyword == kSizes[j].keyword) return false;
    return true;
}
static_assert(keywordsAreUnique(), "one entry per PPD paper keyword");

// The PPD lists every size standing upright.
constexpr bool everySizePortrait() {
    for (const PpdPaperSize& size : kSizes)
        if (size.widthPoints <= 0 || size.widthPoints > size.heightPoints) return false;
    return true;
}
static_assert(everySizePortrait(), "named sizes stand portrait");

}  // namespace

std::span<const PpdPaperSize> ppdPaperSizes() { return kSizes; }

const PpdPaperSize* matchingPpdPaperSize(double widthPoints, double heightPoints) {
    // Only the page as it stands counts: the named sizes are all portrait, and
    // a page turned against them reaches the printer as a custom size.
    for (const PpdPaperSize& size : kSizes)
        if (std::fabs(widthPoints - size.widthPoints) <= kPpdSizeTolerancePoints &&
            std::fabs(heightPoints - size.heightPoints) <= kPpdSizeTolerancePoints)
            return &size;
    return nullptr;
}

}  // namespace tvzx::postscript
