// The per-feature writers of the job ticket, in ticket order.
#pragma once

#include <span>
#include <string>

#include "pjl/ticket.h"
#include "settings/core_data.h"

namespace tvzx::pjl {

// One writer appends the lines of its feature (zero or more) to the ticket.
using TicketWriter = void (*)(std::string& ticket, const settings::CoreData& settings, const TicketInputs& inputs);

// Returns the feature writers in the fixed ticket order.
std::span<const TicketWriter> ticketWriters();

}  // namespace tvzx::pjl
