// Date stamp, page numbering and set numbering.
#include "pjl/image_commands.h"
#include "pjl/pjl_format.h"
#include "pjl/table_commands.h"

namespace tvzx::pjl {
namespace {

constexpr std::string_view kOn = "ON";
constexpr std::string_view kOff = "OFF";
constexpr std::string_view kBlack = "BLACK";
constexpr std::string_view kGothic = "GOTHIC";
constexpr std::string_view kMincho = "MINCHO";
constexpr std::string_view kGothicPrefix = "Gothic";
constexpr std::string_view kMingPrefix = "Ming";
constexpr std::string_view kSmallestSize = "8";

// The keys of one stamp, in the order the controller reads them.
struct DateKeys {
    static constexpr std::string_view page = "DTSTPPAGE";
    static constexpr std::string_view date = "DTSTPDATE";
    static constexpr std::string_view time = "DTSTPTIME";
    static constexpr std::string_view position = "DTSTPPOSITION";
    static constexpr std::string_view size = "DTSTPCHARSIZE";
    static constexpr std::string_view kind = "DTSTPCHARKIND";
    static constexpr std::string_view color = "DTSTPCOLOR";
    static constexpr std::string_view outside = "DTSTPOUTSIDE";
};
constexpr std::string_view kPagePositionKey = "PSTPPOSITION";
constexpr std::string_view kPageColorKey = "PSTPCOLOR";
constexpr std::string_view kPageTypeKey = "PSTPTYPE";
constexpr std::string_view kPageKindKey = "PSTPCHARKIND";
constexpr std::string_view kPageSizeKey = "PSTPCHARSIZE";
constexpr std::string_view kPageOutsideKey = "PSTPOUTSIDE";
constexpr std::string_view kSetStyleKey = "NUMBERINGSTYLE";
constexpr std::string_view kSetPositionKey = "NUMBERINGPOSITION";
constexpr std::string_view kSetSizeKey = "NUMBERINGCHARSIZE";
constexpr std::string_view kSetColorKey = "NUMBERINGCOLOR";
constexpr std::string_view kSetOutsideKey = "NUMBERINGOUTSIDE";

// The font options name their face and point size ("Gothic10", "Ming12");
// an unknown font prints in the smallest gothic face.
struct StampFont {
    std::string_view kind = kGothic;
    std::string_view size = kSmallestSize;
};

StampFont stampFont(const CoreData& settings, FieldId font) {
    const std::string_view name = optionName(settings, font);
    StampFont result;
    if (name.starts_with(kGothicPrefix)) {
        result.size = name.substr(kGothicPrefix.size());
    } else if (name.starts_with(kMingPrefix)) {
        result.kind = kMincho;
        result.size = name.substr(kMingPrefix.size());
    }
    return result;
}

void writeValue(std::string& ticket, std::string_view key, std::string_view value) {
    if (!value.empty()) ticket += formatPjlSet(key, value);
}

}  // namespace

void writeDateStamp(std::string& ticket, const CoreData& settings, const TicketInputs&) {
    const std::string_view key = pjlKeyOf(FieldId::DateStamp);
    if (key.empty()) return;
    const bool on = isOn(settings, FieldId::DateStamp);
    ticket += formatPjlSet(key, on ? kOn : kOff);
    if (!on) return;
    const StampFont font = stampFont(settings, FieldId::DateFont);
    writeValue(ticket, DateKeys::page, optionPjlValue(settings, FieldId::DateStamp));
    writeValue(ticket, DateKeys::date, optionPjlValue(settings, FieldId::DateStyle));
    writeValue(ticket, DateKeys::time, optionPjlValue(settings, FieldId::TimeStyle));
    writeValue(ticket, DateKeys::position, optionPjlValue(settings, FieldId::DatePosition));
    ticket += formatPjlSet(DateKeys::size, font.size);
    ticket += formatPjlSet(DateKeys::kind, font.kind);
    ticket += formatPjlSet(DateKeys::color, kBlack);
    ticket += formatPjlSet(DateKeys::outside, isOn(settings, FieldId::DatePrintOnOutside) ? kOn : kOff);
}

void writePageNumbering(std::string& ticket, const CoreData& settings, const TicketInputs&) {
    const std::string_view key = pjlKeyOf(FieldId::PageNumberingMode);
    const std::string_view mode = optionPjlValue(settings, FieldId::PageNumberingMode);
    if (key.empty() || mode.empty()) return;
    // Mode, first numbered page and its number travel as one value.
    const std::string value = std::string(mode) + "," + std::to_string(settings.number(FieldId::PageNumberingStartPage)) +
                              "," + std::to_string(settings.number(FieldId::PageNumberingStartingNumber));
    ticket += formatPjlSet(key, value);
    if (!isOn(settings, FieldId::PageNumberingMode)) return;
    const StampFont font = stampFont(settings, FieldId::PageNumberingFont);
    writeValue(ticket, kPagePositionKey, optionPjlValue(settings, FieldId::PageNumberingPosition));
    ticket += formatPjlSet(kPageColorKey, kBlack);
    writeValue(ticket, kPageTypeKey, optionPjlValue(settings, FieldId::PageNumberingStyle));
    ticket += formatPjlSet(kPageKindKey, font.kind);
    ticket += formatPjlSet(kPageSizeKey, font.size);
    ticket += formatPjlSet(kPageOutsideKey, isOn(settings, FieldId::PageNumberingPrintOnOutside) ? kOn : kOff);
}

void writeSetNumbering(std::string& ticket, const CoreData& settings, const TicketInputs&) {
    const std::string_view key = pjlKeyOf(FieldId::SetNumberingMode);
    const std::string_view mode = optionPjlValue(settings, FieldId::SetNumberingMode);
    if (key.empty() || mode.empty()) return;
    // Mode and the number of the first set travel as one value.
    const std::string value = std::string(mode) + "," + std::to_string(settings.number(FieldId::SetNumberingStartingNumber));
    ticket += formatPjlSet(key, value);
    if (!isOn(settings, FieldId::SetNumberingMode)) return;
    writeValue(ticket, kSetStyleKey, optionPjlValue(settings, FieldId::SetNumberingStyle));
    writeValue(ticket, kSetPositionKey, optionPjlValue(settings, FieldId::SetNumberingPosition));
    writeValue(ticket, kSetSizeKey, optionPjlValue(settings, FieldId::SetNumberingFontSize));
    ticket += formatPjlSet(kSetColorKey, kBlack);
    ticket += formatPjlSet(kSetOutsideKey, isOn(settings, FieldId::SetNumberingPrintOnOutside) ? kOn : kOff);
}

}  // namespace tvzx::pjl
