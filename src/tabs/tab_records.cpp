#include "tabs/tab_records.h"

#include <algorithm>

#include "settings/field_id.h"

namespace tvzx::tabs {
namespace {

using settings::FieldId;

// Layout options whose sheets keep the page's own orientation.
constexpr std::array<std::uint32_t, 3> kQuarterLayouts = {4, 5, 11};  // 4in1Horizontal, 4in1Vertical, 4Repeat
constexpr std::uint32_t kLayoutNone = 0;
constexpr std::uint32_t kLayoutBooklet = 2;
// NUpCount options under which a plain or booklet page is not turned.
constexpr std::array<std::uint32_t, 7> kUpright = {0, 3, 4, 9, 10, 11, 12};
constexpr std::uint32_t kOptionOn = 1;

bool contains(std::span<const std::uint32_t> values, std::uint32_t value) {
    return std::find(values.begin(), values.end(), value) != values.end();
}

bool isUsable(const rules::PageException& record) {
    if (!rules::isTabKind(record.kind)) return false;
    if (record.tabInfo.skip != 0) return false;
    if (record.tabInfo.position != kPrintedOnPage && record.tabInfo.position != kInsertedBeforePage) return false;
    if (!record.subEntries.empty() || record.pageRanges.size() != 1) return false;
    return record.pageRanges.front().first == record.pageRanges.front().last;
}

std::vector<UsableTab> usableOf(const std::vector<rules::PageException>& records) {
    std::vector<UsableTab> tabs;
    for (const rules::PageException& record : records)
        if (isUsable(record)) tabs.push_back({record.pageRanges.front().first, record.tabInfo});
    return tabs;
}

}  // namespace

std::vector<UsableTab> usableTabs(const settings::CoreData& settings) {
    return usableOf(rules::pageExceptionsOf(settings));
}

bool jobPrintsTabSheets(const settings::CoreData& settings) {
    return settings.option(FieldId::TabImageShift) != kOptionOn && rules::holdsTabRecords(settings);
}

JobTabs jobTabs(const settings::CoreData& settings) {
    if (settings.option(FieldId::TabImageShift) == kOptionOn) return {};
    const std::vector<rules::PageException> records = rules::pageExceptionsOf(settings);
    const bool anyTab = std::any_of(records.begin(), records.end(),
                                    [](const rules::PageException& record) { return rules::isTabKind(record.kind); });
    if (!anyTab) return {};
    return JobTabs{true, usableOf(records)};
}

bool selectsShortTabPaper(const settings::CoreData& settings, std::uint8_t paperSelector) {
    if (paperSelector > 1) return false;
    const FieldId field = paperSelector == 0 ? FieldId::Tab1PageSize : FieldId::Tab2PageSize;
    return contains(kShortTabPaperOptions, settings.option(field));
}

std::uint32_t turnedPage(const settings::CoreData& settings) {
    std::uint32_t landscape = settings.option(FieldId::Orientation) == 1 ? 1 : 0;
    const std::uint32_t layout = settings.option(FieldId::Layout);
    if (contains(kQuarterLayouts, layout)) return landscape;
    // A booklet turns the sheet once already.
    if (layout == kLayoutBooklet) landscape = 1 - landscape;
    if ((layout == kLayoutNone || layout == kLayoutBooklet) && contains(kUpright, settings.option(FieldId::NUpCount)))
        return landscape;
    return 1 - landscape;
}

std::array<std::uint8_t, 4> informationBytes(const rules::TabInfo& info) {
    return {info.skip, info.paper, info.position, info.passOn};
}

}  // namespace tvzx::tabs
