// Ticket commands of cover and post-inserter sheets.
#pragma once

#include <string>

#include "pjl/ticket.h"
#include "settings/core_data.h"

namespace tvzx::pjl {

// The sheets of one cover: PPSPAPERPROFILEID, PPSPAPER, PPSCUSTOMPAPER and
// PPSINSERTPAGES, each with the sheet number appended (front cover 1, back
// cover 2, post-inserter front cover 3, post-inserter back cover 4).
//
// The insertion record PPSINSERTPAGES is "<sheets>,<mode>,<staple>,<punch>":
// the number of sheets; PRINT or BLANK for covers fed from a paper tray
// (printed or left blank), PASS for post-inserter sheets, which pass the
// printing engine; STAPLE or NOSTAPLE and PUNCH or NOPUNCH as the job's own
// finishing takes the cover in. A custom cover size is "M,<width>,<height>"
// in tenths of a millimetre.
void writePostInserterFrontCover(std::string& ticket, const settings::CoreData& settings, const TicketInputs&);
void writeFrontCover(std::string& ticket, const settings::CoreData& settings, const TicketInputs&);
void writeBackCover(std::string& ticket, const settings::CoreData& settings, const TicketInputs&);
void writePostInserterBackCover(std::string& ticket, const settings::CoreData& settings, const TicketInputs&);

}  // namespace tvzx::pjl
