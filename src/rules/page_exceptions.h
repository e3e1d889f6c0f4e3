// The page exception list kept in PageSpecificTrays: pages or page ranges
// that take another paper, tray or finishing than the rest of the job,
// inserted sheets, and tab sheets with their labels.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "settings/core_data.h"

namespace tvzx::rules {

inline constexpr std::size_t kPageExceptionBlockSize = 19450;

// What a record stands for. Kinds 5 to 7 are tab sheets.
enum class ExceptionKind : std::uint8_t {
    PagePaper = 0,       // the pages take another paper or tray
    BlankInsert = 1,     // a blank sheet inserted before the pages
    PrintedInsert = 2,   // a printed sheet inserted before the pages
    PageFinishing = 3,   // the pages take their own finishing
    SheetFinishing = 4,  // the sheets of the pages take their own finishing
    Tab = 5,
    TabWithText = 6,
    TabAfterDocument = 7,
};

inline constexpr std::uint8_t kFirstTabKind = 5;
inline constexpr std::uint8_t kLastKind = 7;

// Returns whether a record kind is a tab sheet.
constexpr bool isTabKind(std::uint8_t kind) { return kind >= kFirstTabKind && kind <= kLastKind; }

struct TabInfo {
    std::uint8_t skip = 0;      // the tab position is skipped
    std::uint8_t paper = 0;     // 0: Tab1PageSize, 1: Tab2PageSize
    std::uint8_t position = 0;  // 0: printed on the page, 1: inserted before it
    std::uint8_t passOn = 0;    // handed on unchanged
    std::string label;
    bool operator==(const TabInfo&) const = default;
};

struct SubEntry {
    std::uint8_t value1 = 0;   // 0 to 7
    std::uint8_t value2 = 0;   // 0 to 7
    std::uint8_t flag = 0;     // 0 or 1
    std::uint16_t number = 0;  // at most 100
    TabInfo tab;
    bool operator==(const SubEntry&) const = default;
};

struct PageRange {
    std::uint16_t first = 0;
    std::uint16_t last = 0;
    bool operator==(const PageRange&) const = default;
};

struct PageException {
    std::uint8_t kind = 0;
    std::uint8_t finishing1 = 0;
    std::uint8_t finishing2 = 0;
    std::uint8_t finishing3 = 0;
    std::uint8_t finishing4 = 0;
    std::uint16_t number1 = 0;
    std::uint8_t attribute1 = 0;
    std::uint8_t attribute2 = 0;
    std::uint8_t attribute3 = 0;
    std::string attributeText;
    std::uint8_t attribute4 = 0;
    std::uint8_t tray = 0;
    std::uint16_t number2 = 0;
    std::string paperName;
    std::uint8_t paperSize = 0;
    std::uint32_t customWidth = 0;
    std::uint32_t customHeight = 0;
    TabInfo tabInfo;
    std::vector<SubEntry> subEntries;
    std::vector<PageRange> pageRanges;

    // Returns whether the record applies to page p.
    bool coversPage(std::uint32_t page) const;
    bool operator==(const PageException&) const = default;
};

struct DecodedPageExceptions {
    std::vector<PageException> records;
    bool complete = true;  // every counted record was read inside the block
};

// Returns the records of a page exception block in block order, values
// clipped to their ranges. With tabImageShift, tab records are normalised to
// the tab form: tab paper and position 0 or 1, skip flag 0 or 1, page ranges
// in ascending order.
DecodedPageExceptions decodePageExceptions(std::span<const std::uint8_t> block, bool tabImageShift);

// Returns the records of the job's PageSpecificTrays, decoded with the job's
// TabImageShift.
std::vector<PageException> pageExceptionsOf(const settings::CoreData& settings);

struct EncodedPageExceptions {
    std::array<std::uint8_t, kPageExceptionBlockSize> block{};
    bool fits = true;  // false when bytes past the end of the block were dropped
};

// Returns the 19450-byte block of the records.
EncodedPageExceptions encodePageExceptions(std::span<const PageException> records);

// Returns whether the job's page exception list holds a tab record.
bool holdsTabRecords(const settings::CoreData& settings);

}  // namespace tvzx::rules
