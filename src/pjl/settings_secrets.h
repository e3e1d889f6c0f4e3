// The settings that hold secrets, and a copy of the record without them for
// everything that carries the record beyond the printer's ticket.
#pragma once

#include "settings/core_data.h"

namespace tvzx::pjl {

// Returns a copy of the record in which every password field is zeroed and
// the relay server's input fields keep their types and ids but no secret:
// texts (and values of unknown types) become empty, numbers 0. Toggles and
// dates stay. Lines of the relay block that do not parse are dropped, and a
// block that cannot be rewritten is zeroed whole.
settings::CoreData withoutSecrets(const settings::CoreData& record);

}  // namespace tvzx::pjl
