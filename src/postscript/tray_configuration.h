// The media loaded in each paper source, as the layout code reads it from the
// feature dictionary's TrayConfiguration entry.
#pragma once

#include <string>

#include "settings/core_data.h"

namespace tvzx::postscript {

// Returns the TrayConfiguration value: a dictionary of the trays Tray1 to
// Tray5 and the bypass tray MBT, each a dictionary of its media type, weight,
// colour (literal names) and prepunched flag (a boolean).
//
// The tray the job draws from (InputSlot) takes the main paper profile's media
// when a profile is chosen; the profile's media indices count in the same
// option lists as the tray's own. A custom colour goes out as the custom
// colour's name, or as Custom when that name is empty.
std::string trayConfiguration(const settings::CoreData& settings);

}  // namespace tvzx::postscript
