// Ticket commands of jobs that are not simply printed: account track
// (department) codes, and hold, proof, secure print and user box storage.
// Every password goes into the ticket enciphered, never in clear.
#pragma once

#include <string>
#include <string_view>

#include "pjl/ticket.h"
#include "settings/core_data.h"

namespace tvzx::pjl {

// The keys whose values are enciphered passwords.
inline constexpr std::string_view kSectionPasswordKey = "ZXSECTIONKEY2";
inline constexpr std::string_view kSecurePasswordKey = "HOLDKEY2";
inline constexpr std::string_view kBoxFolderPasswordKey = "BOXFOLDERPASSWORD";

// Appends the department name and the enciphered department password
// (ZXSECTIONNAME, ZXSECTIONKEY2) when account track is on; nothing otherwise.
// Returns nothing.
void writeAccountTrack(std::string& ticket, const settings::CoreData& settings, const TicketInputs& inputs);

// Appends, in this order: the secure print job id and enciphered password
// (ZXJOBID, HOLDKEY2) for secure print; TARVOFORMSAVE; the HOLD mode chosen
// by PrintMode and OutputMethod, when there is one; SPOOL; and for storage in
// a user box BOXHOLD, BOXFOLDERNAME, the enciphered BOXFOLDERPASSWORD and,
// when a box name is set, BOXIDNAME. Returns nothing.
void writeHoldAndBox(std::string& ticket, const settings::CoreData& settings, const TicketInputs& inputs);

}  // namespace tvzx::pjl
