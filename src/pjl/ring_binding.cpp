// The faces of the first and last sheet of a ring-bound set.
#include "pjl/finishing_commands.h"
#include "pjl/pjl_format.h"
#include "pjl/table_commands.h"

namespace tvzx::pjl {
namespace {

void writeFace(std::string& ticket, const CoreData& settings, FieldId face) {
    if (!isOn(settings, FieldId::RingBinding)) return;
    // Only a face the list knows is passed on.
    if (settings.option(face) >= settings::fieldDef(face).options->count()) return;
    ticket += formatPjlSet(pjlKeyOf(face), optionPjlValue(settings, face));
}

}  // namespace

void writeRingBindFrontFace(std::string& ticket, const CoreData& settings, const TicketInputs&) {
    writeFace(ticket, settings, FieldId::PrintedSideFirst);
}

void writeRingBindBackFace(std::string& ticket, const CoreData& settings, const TicketInputs&) {
    writeFace(ticket, settings, FieldId::PrintedSideLast);
}

}  // namespace tvzx::pjl
