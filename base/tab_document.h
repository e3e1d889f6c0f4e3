// The tab document the base module prints for one tab sheet: a one-page job
// on the tab paper with the label drawn on the tab that the tab settings
// and the tab sheet's information select.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "settings/core_data.h"

namespace tvzx::base {

// The information bytes of a tab sheet, as the worker hands them on.
inline constexpr std::size_t kSkipByte = 0;
inline constexpr std::size_t kPaperByte = 1;
inline constexpr std::size_t kPositionByte = 2;
inline constexpr std::size_t kTabIndexByte = 3;

// The tab settings of one of the two tab papers.
struct TabPaperSettings {
    std::uint32_t pageSize = 0;  // PageSize option index of the tab paper
    double widthPoints = 0;
    double heightPoints = 0;
    // The upright sheet the tab paper extends: Letter for the inch papers,
    // A4 otherwise.
    double sheetWidthPoints = 595;
    double sheetHeightPoints = 842;
    std::uint32_t tabCount = 1;
    double spaceAbovePoints = 0;
    double tabHeightPoints = 0;
    double spaceBelowPoints = 0;
    double fontPoints = 12;
    std::string fontName;
    bool bold = false;
    bool italic = false;
    std::uint32_t orientation = 0;  // Normal, Flipped, Horizontal, Vertical
    double textOffsetPoints = 0;    // moves the label along the tab
};

// Where the label goes, in the default user space of the tab paper.
struct LabelPlacement {
    double left = 0;
    double bottom = 0;
    double right = 0;
    double top = 0;
    bool alongTop = false;  // the tabs stand out along the top edge
};

// Returns the settings of the tab paper the selector names (0: Tab1, 1: Tab2;
// anything else is taken as Tab1).
TabPaperSettings tabPaperSettings(const settings::CoreData& job, std::uint8_t paperSelector);

// Returns the tab rectangle of the tab with this index (taken modulo the
// number of tabs): full tab papers stand out on the right edge, short tab
// papers along the top, the tabs counted from the top or the left.
LabelPlacement placeLabel(const TabPaperSettings& paper, std::uint32_t tabIndex);

// Returns the job settings of the tab document: the job's, on the tab paper,
// upright, one page per sheet, without page exceptions.
settings::CoreData tabDocumentSettings(const settings::CoreData& job, const TabPaperSettings& paper);

// Returns the PostScript text of a label: printable ASCII as it stands, the
// string delimiters and backslash escaped, every other byte in octal.
std::string postScriptString(std::string_view label);

// Returns the one-page DSC document that draws the label in its place.
std::string tabDocument(const TabPaperSettings& paper, const LabelPlacement& place, std::string_view label,
                        std::string_view title);

}  // namespace tvzx::base
