// Which records of a job's page exception list become tab sheets, and the
// page facts that decide how a tab sheet is placed.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "rules/page_exceptions.h"
#include "settings/core_data.h"

namespace tvzx::tabs {

// Where a tab sheet goes relative to its page.
inline constexpr std::uint8_t kPrintedOnPage = 0;
inline constexpr std::uint8_t kInsertedBeforePage = 1;

// The tab-paper options cut shorter than the full tab sheet (ZXA4STab1,
// ZXA4STab2, ZXLetterSTab), by option index of Tab1PageSize/Tab2PageSize.
inline constexpr std::array<std::uint32_t, 3> kShortTabPaperOptions = {2, 3, 5};

// A tab record that can be printed: one page, not skipped, printed on the
// page or inserted before it.
struct UsableTab {
    std::uint32_t page = 0;
    rules::TabInfo info;

    // Returns whether the sheet is printed on its page (not inserted).
    bool printed() const { return info.position == kPrintedOnPage; }
};

// Returns the usable tab records of the job in list order: kind 5 to 7, skip
// flag 0, position 0 or 1, no sub-entries and exactly one page range of a
// single page.
std::vector<UsableTab> usableTabs(const settings::CoreData& settings);

// Returns whether the job carries tab sheets at all: TabImageShift off and a
// tab record in the page exception list.
bool jobPrintsTabSheets(const settings::CoreData& settings);

// What the page exception list says about tab sheets, read from it once.
struct JobTabs {
    bool printsTabSheets = false;  // as jobPrintsTabSheets
    std::vector<UsableTab> usable;  // as usableTabs, empty when nothing is printed
};

// Returns the job's tab sheets; nothing when it prints none.
JobTabs jobTabs(const settings::CoreData& settings);

// Returns whether the tab paper the record selects (0: Tab1PageSize,
// 1: Tab2PageSize) is a short tab paper; false for any other selector.
bool selectsShortTabPaper(const settings::CoreData& settings, std::uint8_t paperSelector);

// Returns whether the printed page is turned against the tab sheet: 1 when
// it is, 0 when not, from Orientation, Layout and NUpCount.
std::uint32_t turnedPage(const settings::CoreData& settings);

// Returns the four information bytes of a tab record as the worker receives
// them: skip flag, tab paper, position, passed-on byte.
std::array<std::uint8_t, 4> informationBytes(const rules::TabInfo& info);

}  // namespace tvzx::tabs
