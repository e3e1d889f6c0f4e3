// Ticket commands of the colour bar, the job information print, job
// comments and the e-mail notice.
#pragma once

#include <string>

#include "pjl/ticket.h"
#include "settings/core_data.h"

namespace tvzx::pjl {

// CBCOLORPATCHPRINT and its position.
void writeColorPatch(std::string& ticket, const settings::CoreData& settings, const TicketInputs&);
// CBJOBINFOPRINT, its position, lines and the switches of what it shows.
void writeJobInformation(std::string& ticket, const settings::CoreData& settings, const TicketInputs&);
// JOBCOMMENT1, JOBCOMMENT2, ...: the comment in pieces of 200 bytes.
void writeJobComments(std::string& ticket, const settings::CoreData& settings, const TicketInputs&);
// SENDEMAIL, with its timing and address when on.
void writeSendEmail(std::string& ticket, const settings::CoreData& settings, const TicketInputs&);

}  // namespace tvzx::pjl
