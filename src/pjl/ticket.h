// The PJL job ticket: the "@PJL SET" lines ahead of the PostScript job that
// tell the printer's controller how to finish the job.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "settings/core_data.h"

namespace tvzx::pjl {

// What the ticket takes from outside the job settings. Each text is UTF-8
// and may be absent.
struct TicketInputs {
    std::optional<std::string> documentName;
    std::optional<std::string> userName;
    std::optional<std::string> driverJobId;  // the job notification identifier
};

// Returns whether the ticket carries this key's value enciphered.
bool carriesEncipheredValue(std::string_view key);

// Returns the whole ticket text: the header commands and every feature
// command in ticket order, each line ending in CR LF. Never empty.
std::string buildJobTicket(const settings::CoreData& settings, const TicketInputs& inputs);

}  // namespace tvzx::pjl
