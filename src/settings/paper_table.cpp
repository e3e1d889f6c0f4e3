// Dimensions of the PageSize options.
#include "settings/feature_tables.h"

namespace tvzx::settings {
namespace {

using enum UnitFamily;

// Rows in storage order; Letter and Statement stand before 8x13.
constexpr PaperRow kPapers[] = {
    {0, 2, Metric, 297000, 420000, 842, 1191, 8, 25},
    {1, 3, Metric, 210000, 297000, 595, 842, 9, 0},
    {2, 4, Metric, 148000, 210000, 420, 595, 11, 1},
    {3, 5, Metric, 257000, 364000, 729, 1032, 12, 25},
    {4, 6, Metric, 182000, 257000, 516, 729, 13, 3},
    {5, 7, Metric, 250000, 353000, 709, 1001, 42, 25},
    {6, 8, Metric, 176000, 250000, 499, 709, 34, 5},
    {7, 9, Other, 100000, 148000, 284, 419, 43, 25},
    {8, 10, Metric, 320000, 450000, 907, 1276, 0, 25},
    {9, 11, Metric, 225000, 320000, 638, 907, 0, 8},
    {10, 12, Inch, 279400, 431800, 792, 1224, 3, 25},
    {11, 13, Inch, 304800, 457200, 864, 1296, 52, 25},
    {12, 14, Inch, 228600, 279400, 648, 792, 44, 25},
    {13, 15, Inch, 215900, 355600, 612, 1008, 5, 25},
    {15, 17, Inch, 215900, 279400, 612, 792, 1, 10},
    {16, 18, Inch, 139700, 215900, 396, 612, 6, 15},
    {14, 16, Inch, 203200, 330200, 576, 936, 0, 25},
    {17, 19, Other, 270000, 390000, 765, 1105, 0, 25},
    {18, 20, Other, 195000, 270000, 553, 765, 0, 17},
    {19, 21, Metric, 222700, 297000, 631, 841, 0, 25},
    {20, 22, Metric, 225000, 297000, 638, 841, 0, 25},
    {21, 23, Inch, 228600, 279400, 648, 792, 0, 25},
    {22, 24, Metric, 210000, 309700, 595, 878, 0, 25},
    {23, 25, Metric, 210000, 312000, 595, 884, 0, 25},
    {24, 26, Inch, 215900, 292100, 612, 828, 0, 25},
};

constexpr bool everyPageSizeOnce() {
    for (std::uint8_t index = 0; index < kCustomPageSize; ++index) {
        int found = 0;
        for (const PaperRow& row : kPapers) found += row.pageSizeIndex == index;
        if (found != 1) return false;
    }
    return true;
}
static_assert(std::size(kPapers) == kCustomPageSize);
static_assert(everyPageSizeOnce(), "one paper row per PageSize option");

}  // namespace

const PaperRow* lookupPaper(std::uint32_t pageSizeIndex) {
    for (const PaperRow& row : kPapers)
        if (row.pageSizeIndex == pageSizeIndex) return &row;
    return nullptr;
}

std::span<const PaperRow> paperTable() { return kPapers; }

}  // namespace tvzx::settings
