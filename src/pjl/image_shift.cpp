// Image shift: moving the page image on the front and back of the sheet,
// with the binding gutter and the creep of folded sets.
#include "pjl/image_commands.h"
#include "pjl/pjl_format.h"
#include "pjl/table_commands.h"

#include "common/rescale.h"

namespace tvzx::pjl {
namespace {

constexpr std::string_view kController = "CONTROLLER";
constexpr std::string_view kOff = "OFF";
constexpr std::string_view kShiftInfoKey = "IMAGESHIFTINFO";
constexpr std::string_view kHighPrecisionKey = "HIGHPRECISIONIMAGESHIFTINFO";
// Shifts, gutter and creep go to the controller in tenths of a millimetre;
// the high-precision gutter in the gutter's own finer unit.
constexpr std::uint32_t kShiftScale = 10;

std::int64_t scaled(const CoreData& settings, FieldId id, std::uint32_t scale) {
    return rescale(settings.number(id), settings::fieldDef(id).numeric->scale, scale);
}

std::int64_t scaled(const CoreData& settings, FieldId id) {
    return scaled(settings, id, settings::fieldDef(id).numeric->pjlScale());
}

}  // namespace

void writeImageShift(std::string& ticket, const CoreData& settings, const TicketInputs&) {
    const std::string_view key = pjlKeyOf(FieldId::ImageShiftType);
    if (key.empty()) return;
    const bool high = isOption(settings, FieldId::ImposQuality, "High");
    const std::uint32_t highScale = settings::fieldDef(FieldId::Gutter).numeric->pjlScale();
    const std::int64_t gutter = scaled(settings, FieldId::Gutter, kShiftScale);
    const std::int64_t gutterHigh = scaled(settings, FieldId::Gutter, highScale);
    const std::int64_t creep = scaled(settings, FieldId::Creep);
    const bool shifting = isOn(settings, FieldId::ImageShiftType);
    if (!shifting && creep == 0 && (high ? gutterHigh : gutter) == 0) {
        ticket += formatPjlSet(key, kOff);
        return;
    }
    ticket += formatPjlSet(key, kController);

    std::int64_t frontX = 0, frontY = 0, backX = 0, backY = 0;
    if (shifting) {
        frontX = scaled(settings, FieldId::HorizontalShift);
        frontY = scaled(settings, FieldId::VerticalShift);
    }
    if (isOption(settings, FieldId::ImageShiftType, "AllEqual")) {
        // The back mirrors the front across the binding edge.
        const bool top = isOption(settings, FieldId::Binding, "Top");
        backX = top ? frontX : -frontX;
        backY = top ? -frontY : frontY;
    } else if (isOption(settings, FieldId::ImageShiftType, "SeparateFrontBack")) {
        backX = scaled(settings, FieldId::HorizontalShiftBack);
        backY = scaled(settings, FieldId::VerticalShiftBack);
    }
    std::string info;
    for (std::int64_t value : {frontX, frontY, gutter, creep, backX, backY, gutter, creep}) {
        if (!info.empty()) info += ',';
        info += formatNumber(value);
    }
    ticket += formatPjlSet(kShiftInfoKey, info);
    if (high) ticket += formatPjlSet(kHighPrecisionKey, formatNumber(gutterHigh));
}

}  // namespace tvzx::pjl
