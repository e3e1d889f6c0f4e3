// Ticket commands of user authentication: the login for the printer's own
// user list, an external authentication server or a relay server. This is
// the last writer of the ticket. Passwords and relay values go enciphered.
#pragma once

#include <string>
#include <string_view>

#include "pjl/ticket.h"
#include "settings/core_data.h"

namespace tvzx::pjl {

// The key of the enciphered user password.
inline constexpr std::string_view kUserPasswordKey = "ZXUSERKEY2";

// Returns whether the key is that of a relay field's enciphered value: a
// value key of a relay field type and the field's number.
bool isRelayValueKey(std::string_view key);

// Appends the user's login (ZXUSERNAME and the enciphered ZXUSERKEY2, or the
// public user), always ZXCERTSERVTYPE with, for an external server,
// ZXCERTSERVNUM, and for a relay server login the relay screen's input
// fields, each value enciphered. The user name setting 0xFF stands for the
// user name in inputs. Returns nothing.
void writeUserAuthentication(std::string& ticket, const settings::CoreData& settings, const TicketInputs& inputs);

}  // namespace tvzx::pjl
