// Ticket commands of the perfect binder.
#pragma once

#include <string>

#include "pjl/ticket.h"
#include "settings/core_data.h"

namespace tvzx::pjl {

// PERFECTBINDSPINE: the spine trim, in tenths of a millimetre.
void writePerfectBindSpine(std::string& ticket, const settings::CoreData& settings, const TicketInputs&);
// PERFECTBINDTRAY: "<tray>,<type>,<weight>,<colour>" of the cover paper,
// and PERFECTBINDMEDIACOLORNAME for a named custom colour.
void writePerfectBindTray(std::string& ticket, const settings::CoreData& settings, const TicketInputs&);
// PERFECTBINDPAPERSIZE "M,<width>,<height>" of the cover, while perfect
// binding is on.
void writePerfectBindPaperSize(std::string& ticket, const settings::CoreData& settings, const TicketInputs&);
// PERFECTBINDPAPERPROFILEID, while perfect binding takes its cover from a
// chosen paper profile.
void writePerfectBindPaperProfileId(std::string& ticket, const settings::CoreData& settings, const TicketInputs&);

}  // namespace tvzx::pjl
