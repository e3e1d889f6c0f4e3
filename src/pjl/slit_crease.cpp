// Slitting the sheet edges and creasing the sheets.
#include "pjl/finishing_commands.h"
#include "pjl/pjl_format.h"
#include "pjl/table_commands.h"

namespace tvzx::pjl {
namespace {

constexpr std::string_view kMillimetrePrefix = "M,";
constexpr std::string_view kCoverOnly = "COVERONLY";
constexpr std::string_view kCreaseLineKey = "CREASELINE";
constexpr std::string_view kCreasePositionKey = "CREASEPOSITION";
constexpr std::string_view kOn = "ON";
constexpr std::string_view kOff = "OFF";

constexpr FieldId kCreasePositions[] = {FieldId::CreasePosition1Value, FieldId::CreasePosition2Value,
                                        FieldId::CreasePosition3Value, FieldId::CreasePosition4Value};

std::string millimetres(const CoreData& settings, FieldId id) {
    return std::string(kMillimetrePrefix) + pjlNumber(settings, id);
}

}  // namespace

void writeSlit(std::string& ticket, const CoreData& settings, const TicketInputs&) {
    const std::string_view key = pjlKeyOf(FieldId::Slit);
    if (key.empty()) return;
    const bool perfectBinding = isOn(settings, FieldId::PerfectBindMode);
    // A perfect-bound cover is slit on its own when the binder asks for it.
    std::string_view slit = optionPjlValue(settings, FieldId::Slit);
    if (!isOn(settings, FieldId::Slit) && perfectBinding && isOn(settings, FieldId::PerfectBindSlit)) slit = kCoverOnly;
    ticket += formatPjlSet(key, slit);
    const FieldId top = perfectBinding ? FieldId::PerfectBindSlitPositionTop : FieldId::SlitPositionTop;
    const FieldId bottom = perfectBinding ? FieldId::PerfectBindSlitPositionBottom : FieldId::SlitPositionBottom;
    ticket += formatPjlSet(pjlKeyOf(FieldId::SlitPositionTop), millimetres(settings, top), true);
    ticket += formatPjlSet(pjlKeyOf(FieldId::SlitPositionBottom), millimetres(settings, bottom), true);
    ticket += formatPjlSet(pjlKeyOf(FieldId::SlitMargin), millimetres(settings, FieldId::SlitMargin), true);
}

void writeCrease(std::string& ticket, const CoreData& settings, const TicketInputs&) {
    const std::string_view key = pjlKeyOf(FieldId::Crease);
    if (key.empty()) return;
    const std::uint32_t creases = settings.option(FieldId::Crease);
    const bool on = creases >= 1 && creases <= std::size(kCreasePositions);
    ticket += formatPjlSet(key, on ? kOn : kOff);
    if (!on) return;
    // One position per crease, numbered from 1.
    ticket += formatPjlSet(kCreaseLineKey, formatNumber(creases));
    for (std::uint32_t i = 0; i < creases; ++i) {
        ticket += formatPjlSet(std::string(kCreasePositionKey) + std::to_string(i + 1),
                               millimetres(settings, kCreasePositions[i]), true);
    }
}

}  // namespace tvzx::pjl
