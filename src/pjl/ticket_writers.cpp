#include "pjl/ticket_writers.h"

#include <array>

namespace tvzx::pjl {
namespace {

// The feature commands in ticket order. The table grows writer by writer;
// the order of the entries is the order of the lines in the ticket.
constexpr std::array<TicketWriter, 0> kWriters{};

}  // namespace

std::span<const TicketWriter> ticketWriters() { return kWriters; }

}  // namespace tvzx::pjl
