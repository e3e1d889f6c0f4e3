#include "pjl/perfect_binding.h"

#include "pjl/media_commands.h"
#include "pjl/pjl_format.h"
#include "pjl/table_commands.h"

namespace tvzx::pjl {
namespace {

constexpr std::string_view kColorNameKey = "PERFECTBINDMEDIACOLORNAME";
constexpr std::string_view kMillimetrePrefix = "M,";
constexpr std::string_view kSeparator = ",";
constexpr std::string_view kProfileSize = "PaperProfile";
constexpr std::string_view kCustomColor = "USERDEFINE";

bool profileChosen(const CoreData& settings) { return settings.option(FieldId::PerfectBindPaperProfileIndex) != 0; }

// The cover paper: the perfect-binding profile when one is chosen, else the
// media settings of the cover tray (the binder's own tray has none).
struct CoverPaper {
    std::uint32_t type = 0;
    std::uint32_t weight = 0;
    std::uint32_t color = 0;
    std::string_view colorName;
};

CoverPaper coverPaper(const CoreData& settings) {
    CoverPaper paper;
    if (profileChosen(settings)) {
        paper.type = settings.option(FieldId::PerfectBindPaperProfileMediaType);
        paper.weight = settings.option(FieldId::PerfectBindPaperProfileMediaWeight);
        paper.color = settings.option(FieldId::PerfectBindPaperProfileMediaColor);
        paper.colorName = settings.text(FieldId::PerfectBindPaperProfileCustomMediaColorName);
    } else if (auto media = trayMedia(optionName(settings, FieldId::PerfectBindTray))) {
        paper.type = settings.option(media->type);
        paper.weight = settings.option(media->weight);
        paper.color = settings.option(media->color);
        paper.colorName = settings.text(media->colorName);
    }
    return paper;
}

}  // namespace

void writePerfectBindSpine(std::string& ticket, const CoreData& settings, const TicketInputs&) {
    writeNumericCommand(ticket, settings, FieldId::PerfectBindTrimSpine);
}

void writePerfectBindTray(std::string& ticket, const CoreData& settings, const TicketInputs&) {
    const std::string_view key = pjlKeyOf(FieldId::PerfectBindTray);
    if (key.empty()) return;
    const CoverPaper paper = coverPaper(settings);
    const std::string color = mediaColorName(paper.color, paper.colorName);
    std::string value(optionPjlValue(settings, FieldId::PerfectBindTray));
    for (const std::string& part : {mediaTypeName(paper.type), mediaWeightName(paper.weight), color}) {
        value += kSeparator;
        value += part;
    }
    ticket += formatPjlSet(key, value, true);
    if (color == kCustomColor) ticket += formatPjlSet(kColorNameKey, paper.colorName, true);
}

void writePerfectBindPaperSize(std::string& ticket, const CoreData& settings, const TicketInputs&) {
    if (!isOn(settings, FieldId::PerfectBindMode)) return;
    const bool fromProfile = isOption(settings, FieldId::PerfectBindPaperSize, kProfileSize);
    const FieldId width = fromProfile ? FieldId::PerfectBindPaperProfileWidth : FieldId::PerfectBindCustomPageSizeWidth;
    const FieldId height = fromProfile ? FieldId::PerfectBindPaperProfileHeight : FieldId::PerfectBindCustomPageSizeHeight;
    const std::string value = std::string(kMillimetrePrefix) + pjlNumber(settings, width) + std::string(kSeparator) +
                              pjlNumber(settings, height);
    ticket += formatPjlSet(pjlKeyOf(FieldId::PerfectBindPaperSize), value);
}

void writePerfectBindPaperProfileId(std::string& ticket, const CoreData& settings, const TicketInputs&) {
    if (!isOn(settings, FieldId::PerfectBindMode) || !isOption(settings, FieldId::PerfectBindPaperSize, kProfileSize) ||
        !profileChosen(settings))
        return;
    ticket += formatPjlSet(pjlKeyOf(FieldId::PerfectBindPaperProfileIndex),
                           formatNumber(settings.option(FieldId::PerfectBindPaperProfileIndex)));
}

}  // namespace tvzx::pjl
