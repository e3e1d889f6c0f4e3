#include "pjl/page_commands.h"

#include <algorithm>
#include <charconv>

#include "pjl/pjl_format.h"
#include "pjl/table_commands.h"

namespace tvzx::pjl {
namespace {

constexpr std::string_view kChapterKey = "CHAPTER";
constexpr std::string_view kIndexInfoKeys[] = {"ZXINDEXINFO1", "ZXINDEXINFO2"};
constexpr std::string_view kOn = "ON";
constexpr std::string_view kOff = "OFF";
constexpr std::string_view kCustom = "CUSTOM";
constexpr std::string_view kItemSeparator = ";";
constexpr std::string_view kChapterSeparators = ",; \t";
constexpr std::uint32_t kLastPage = 0xFFFF;

std::optional<std::uint32_t> pageNumber(std::string_view text) {
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value == 0 || value > kLastPage) return std::nullopt;
    return value;
}

std::string sizeName(const rules::PageException& record) {
    if (record.paperSize >= settings::kCustomPageSize) return std::string(kCustom);
    const std::string_view name = optionPjlValueAt(FieldId::PageSize, record.paperSize);
    return std::string(name.empty() ? kCustom : name);
}

bool isInsert(std::uint8_t kind) {
    return kind == static_cast<std::uint8_t>(rules::ExceptionKind::BlankInsert) ||
           kind == static_cast<std::uint8_t>(rules::ExceptionKind::PrintedInsert);
}

}  // namespace

std::vector<rules::PageRange> parseChapterPages(std::string_view text) {
    std::vector<rules::PageRange> ranges;
    while (!text.empty()) {
        const std::size_t end = text.find_first_of(kChapterSeparators);
        const std::string_view item = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (item.empty()) continue;
        const std::size_t dash = item.find('-');
        const auto first = pageNumber(item.substr(0, dash));
        const auto last = dash == std::string_view::npos ? first : pageNumber(item.substr(dash + 1));
        if (first && last && *first <= *last)
            ranges.push_back({static_cast<std::uint16_t>(*first), static_cast<std::uint16_t>(*last)});
    }
    return ranges;
}

void writeChapters(std::string& ticket, const CoreData& settings, const TicketInputs&) {
    const settings::OptionTable& table = *settings::fieldDef(FieldId::ChapterMode).options;
    if (table.pjlKey.empty() || !isWritten(table.pjlMode)) return;
    // The list is text up to its first zero byte, or the whole block.
    const auto bytes = settings.field(FieldId::ChapterPages);
    const auto* start = reinterpret_cast<const char*>(bytes.data());
    const std::string_view text(start, std::find(start, start + bytes.size(), '\0') - start);
    const auto ranges = parseChapterPages(text);
    const bool on = isOn(settings, FieldId::ChapterMode) && !ranges.empty();
    ticket += formatPjlSet(table.pjlKey, on ? kOn : kOff);
    if (!on) return;
    std::string pages;
    for (const rules::PageRange& range : ranges) {
        for (std::uint32_t page = range.first; page <= range.last; ++page) {
            if (!pages.empty()) pages += ',';
            pages += std::to_string(page);
        }
    }
    ticket += formatPjlSet(kChapterKey, pages, true);
}

void writePageSpecificRepeat(std::string& ticket, const CoreData& settings, const TicketInputs&) {
    if (!isOption(settings, FieldId::PageSpecificRepeatMode, "On")) return;
    ticket += formatPjlSet(pjlKeyOf(FieldId::PageSpecificRepeatMode),
                           pjlNumberAtScale(settings, FieldId::PageSpecificRepeatToPage, 1));
}

std::pair<std::string, std::string> indexInformation(const CoreData& settings,
                                                     const std::vector<rules::PageException>& records) {
    std::string inserts;
    std::string pages;
    for (const rules::PageException& record : records) {
        if (rules::isTabKind(record.kind)) continue;
        for (const rules::PageRange& range : record.pageRanges) {
            std::string item;
            const auto add = [&item](std::string_view part) {
                if (!item.empty()) item += ':';
                item += part;
            };
            if (isInsert(record.kind)) {
                const bool printed = record.kind == static_cast<std::uint8_t>(rules::ExceptionKind::PrintedInsert);
                add("INS");
                add(std::to_string(range.first));
                add(std::to_string(record.tray));
                add(sizeName(record));
                add(printed ? "PRINT" : "BLANK");
                inserts += kItemSeparator;
                inserts += item;
            } else {
                add("PAGE");
                add(std::to_string(range.first));
                item += '-';
                item += std::to_string(range.last);
                add(std::to_string(record.tray));
                add(sizeName(record));
                for (std::uint8_t finishing : {record.finishing1, record.finishing2, record.finishing3, record.finishing4})
                    add(std::to_string(finishing));
                pages += kItemSeparator;
                pages += item;
            }
        }
    }
    const std::string binding(optionPjlValue(settings, FieldId::Binding));
    return {inserts.empty() ? std::string() : binding + inserts, pages.empty() ? std::string() : binding + pages};
}

void writeIndexInformation(std::string& ticket, const CoreData& settings, const TicketInputs&) {
    const auto [inserts, pages] = indexInformation(settings, rules::pageExceptionsOf(settings));
    if (!inserts.empty()) ticket += formatPjlSet(kIndexInfoKeys[0], inserts, true);
    if (!pages.empty()) ticket += formatPjlSet(kIndexInfoKeys[1], pages, true);
}

void writeTabImageShift(std::string& ticket, const CoreData& settings, const TicketInputs&) {
    const bool on = isOn(settings, FieldId::TabImageShift);
    ticket += formatPjlSet(pjlKeyOf(FieldId::TabImageShift), on ? kOn : kOff);
    if (on) ticket += formatPjlSet(pjlKeyOf(FieldId::TabImageShiftRange), pjlNumber(settings, FieldId::TabImageShiftRange));
}

}  // namespace tvzx::pjl
