// Offset stacking: shifting every n-th copy or sheet in the output tray.
#include "pjl/finishing_commands.h"
#include "pjl/pjl_format.h"
#include "pjl/table_commands.h"

namespace tvzx::pjl {
namespace {

constexpr std::string_view kJobOffsetKey = "JOBOFFSET";
constexpr std::string_view kOn = "ON";
constexpr std::string_view kOff = "OFF";
constexpr std::string_view kEveryCopy = "1";

}  // namespace

void writeOffset(std::string& ticket, const CoreData& settings, const TicketInputs&) {
    const std::string_view copiesKey = pjlKeyOf(FieldId::OffsetCopies);
    if (copiesKey.empty()) return;
    const bool copies = isOn(settings, FieldId::OffsetCopies);
    const bool sheets = isOn(settings, FieldId::OffsetPages);
    // Offsetting sheets implies offsetting every copy as well.
    if (copies) ticket += formatPjlSet(copiesKey, pjlNumber(settings, FieldId::OffsetCopiesCount));
    else if (sheets) ticket += formatPjlSet(copiesKey, kEveryCopy);
    if (sheets) ticket += formatPjlSet(pjlKeyOf(FieldId::OffsetPagesCount), pjlNumber(settings, FieldId::OffsetPagesCount));
    ticket += formatPjlSet(kJobOffsetKey, copies || sheets ? kOn : kOff);
}

}  // namespace tvzx::pjl
