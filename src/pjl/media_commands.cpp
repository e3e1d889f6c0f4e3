#include "pjl/media_commands.h"

#include "pjl/pjl_format.h"
#include "pjl/table_commands.h"

namespace tvzx::pjl {
namespace {

constexpr std::string_view kNoSet = "NOSET";
constexpr std::string_view kHeaderPageTrayKey = "HEADERPAGETRAY";
constexpr std::string_view kOn = "ON";
constexpr std::string_view kOff = "OFF";
constexpr std::string_view kCustomColor = "Custom";

struct TrayMedia {
    std::string_view tray;
    MediaFields fields;
};

#define TVZX_TRAY_MEDIA(tray)                                                                                      \
    TrayMedia {                                                                                                    \
        #tray, {                                                                                                   \
            FieldId::MediaType##tray, FieldId::MediaWeight##tray, FieldId::MediaColor##tray,                       \
                FieldId::CustomMediaColorName##tray, FieldId::MediaPrepunched##tray, FieldId::WeightUnit##tray     \
        }                                                                                                          \
    }

// Every paper source keeps its own media settings.
const TrayMedia kTrays[] = {
    TVZX_TRAY_MEDIA(Auto),  TVZX_TRAY_MEDIA(Tray1),   TVZX_TRAY_MEDIA(Tray2),   TVZX_TRAY_MEDIA(Tray3),
    TVZX_TRAY_MEDIA(Tray4), TVZX_TRAY_MEDIA(Tray5),   TVZX_TRAY_MEDIA(PITray1), TVZX_TRAY_MEDIA(PITray2),
    TVZX_TRAY_MEDIA(MBT),
};
#undef TVZX_TRAY_MEDIA

const MediaFields kMainProfile{FieldId::MainPaperProfileMediaType,   FieldId::MainPaperProfileMediaWeight,
                               FieldId::MainPaperProfileMediaColor,  FieldId::MainPaperProfileCustomMediaColorName,
                               FieldId::MainPaperProfileMediaPrepunched, std::nullopt};

// Returns the PJL value of an index of a media table; empty past its end.
std::string_view valueInTable(FieldId table, std::uint32_t index) {
    if (index >= settings::fieldDef(table).options->count()) return {};
    return optionPjlValueAt(table, index);
}

}  // namespace

std::optional<MediaFields> trayMedia(std::string_view tray) {
    for (const TrayMedia& entry : kTrays)
        if (entry.tray == tray) return entry.fields;
    return std::nullopt;
}

MediaFields effectiveMainPaper(const CoreData& settings) {
    if (settings.option(FieldId::MainPaperProfileIndex) != 0) return kMainProfile;
    return trayMedia(optionName(settings, FieldId::InputSlot)).value_or(kTrays[0].fields);
}

std::string mediaTypeName(std::uint32_t index) { return std::string(valueInTable(FieldId::MediaTypeAuto, index)); }

std::string mediaWeightName(std::uint32_t index) {
    const std::string_view value = valueInTable(FieldId::MediaWeightAuto, index);
    return std::string(value.empty() ? kNoSet : value);
}

std::string mediaColorName(std::uint32_t index, std::string_view customName) {
    const std::string_view value = valueInTable(FieldId::MediaColorAuto, index);
    const auto custom = settings::fieldDef(FieldId::MediaColorAuto).options->find(kCustomColor);
    // A custom colour without a name is no colour the printer could match.
    if (value.empty() || (custom && index == *custom && customName.empty())) return std::string(kNoSet);
    return std::string(value);
}

void writeMediaType(std::string& ticket, const CoreData& settings, const TicketInputs&) {
    const MediaFields paper = effectiveMainPaper(settings);
    ticket += formatPjlSet(pjlKeyOf(FieldId::MediaTypeAuto), mediaTypeName(settings.option(paper.type)));
}

void writeMediaWeight(std::string& ticket, const CoreData& settings, const TicketInputs&) {
    const MediaFields paper = effectiveMainPaper(settings);
    ticket += formatPjlSet(pjlKeyOf(FieldId::MediaWeightAuto), mediaWeightName(settings.option(paper.weight)));
}

void writeMediaColor(std::string& ticket, const CoreData& settings, const TicketInputs&) {
    const MediaFields paper = effectiveMainPaper(settings);
    ticket += formatPjlSet(pjlKeyOf(FieldId::MediaColorAuto),
                           mediaColorName(settings.option(paper.color), settings.text(paper.colorName)));
}

void writeMediaColorName(std::string& ticket, const CoreData& settings, const TicketInputs&) {
    constexpr std::string_view kColorNameKey = "MEDIACOLORNAME";
    const MediaFields paper = effectiveMainPaper(settings);
    const auto custom = settings::fieldDef(FieldId::MediaColorAuto).options->find(kCustomColor);
    const std::string_view name = settings.text(paper.colorName);
    if (custom && settings.option(paper.color) == *custom && !name.empty())
        ticket += formatPjlSet(kColorNameKey, name, true);
}

void writeMediaPrepunched(std::string& ticket, const CoreData& settings, const TicketInputs&) {
    const MediaFields paper = effectiveMainPaper(settings);
    const std::string_view value = valueInTable(FieldId::MediaPrepunchedAuto, settings.option(paper.prepunched));
    if (!value.empty()) ticket += formatPjlSet(pjlKeyOf(FieldId::MediaPrepunchedAuto), value);
}

void writeMediaWeightUnit(std::string& ticket, const CoreData& settings, const TicketInputs&) {
    // The unit belongs to the paper source: a profile uses that of the slot.
    const MediaFields slot = trayMedia(optionName(settings, FieldId::InputSlot)).value_or(kTrays[0].fields);
    const FieldId unit = effectiveMainPaper(settings).weightUnit.value_or(*slot.weightUnit);
    const std::string_view value = valueInTable(unit, settings.option(unit));
    if (!value.empty()) ticket += formatPjlSet(pjlKeyOf(FieldId::WeightUnitAuto), value);
}

void writeHeaderPage(std::string& ticket, const CoreData& settings, const TicketInputs&) {
    const bool on = isOn(settings, FieldId::HeaderPage);
    ticket += formatPjlSet(pjlKeyOf(FieldId::HeaderPage), on ? kOn : kOff);
    if (!on) return;
    const std::string_view tray = optionPjlValue(settings, FieldId::HeaderPage);
    if (!tray.empty()) ticket += formatPjlSet(kHeaderPageTrayKey, tray);
}

}  // namespace tvzx::pjl
