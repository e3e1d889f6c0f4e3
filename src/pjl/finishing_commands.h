// Ticket commands of the finishers: stapling, punching, ring binding,
// offset stacking, folding, slitting and creasing.
#pragma once

#include <string>

#include "pjl/ticket.h"
#include "settings/core_data.h"

namespace tvzx::pjl {

// FINISH, STAPLEPITCH and STITCH.
void writeStapling(std::string& ticket, const settings::CoreData& settings, const TicketInputs&);
// PUNCH and PUNCHNUM.
void writePunching(std::string& ticket, const settings::CoreData& settings, const TicketInputs&);
// RINGBINDFRONTFACE and RINGBINDBACKFACE, for ring binding only.
void writeRingBindFrontFace(std::string& ticket, const settings::CoreData& settings, const TicketInputs&);
void writeRingBindBackFace(std::string& ticket, const settings::CoreData& settings, const TicketInputs&);
// COPIESOFFSET, SHEETSOFFSET and JOBOFFSET.
void writeOffset(std::string& ticket, const settings::CoreData& settings, const TicketInputs&);
// FOLDING with the fold direction.
void writeFolding(std::string& ticket, const settings::CoreData& settings, const TicketInputs&);
// SLIT and its positions.
void writeSlit(std::string& ticket, const settings::CoreData& settings, const TicketInputs&);
// CREASE, CREASELINE and the crease positions.
void writeCrease(std::string& ticket, const settings::CoreData& settings, const TicketInputs&);

}  // namespace tvzx::pjl
