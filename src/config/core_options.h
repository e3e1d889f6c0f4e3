// The core driver's own option bytes: the PostScript driver keeps one byte
// per PPD feature in its private DEVMODE area (behind the public DEVMODE, at
// dmSize, dmDriverExtra bytes long). When the plug-in's settings change, the
// bytes are brought in line with the PPD selections of the settings, so that
// the driver writes the same features the plug-in's settings stand for.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "config/keyword_table.h"
#include "config/printer_access.h"
#include "platform/windows_types.h"
#include "ppd/feature_selections.h"
#include "settings/core_data.h"

namespace tvzx::config {

// Writes the option byte of each selection whose feature has an offset and
// whose option has a value into the core driver's area, where it differs.
// Offsets at or past the end of the area are not written. Returns the
// number of bytes changed.
std::size_t writeCoreOptionBytes(std::span<std::uint8_t> coreArea, const KeywordTable& offsets,
                                 const KeywordTable& values, const ppd::FeatureSelections& selections);

// Returns the core driver's area of a public DEVMODE (empty without one).
std::span<std::uint8_t> coreDriverArea(win::DEVMODEW* publicDevmode);

// Brings the core driver's option bytes in line with the record, using the
// printer's "PScriptOffsets" and "PScriptValues". Nothing happens unless both
// tables load for the current schema and hold records. Returns the number of
// bytes changed.
std::size_t syncCoreDriverOptions(const PrinterAccess& printer, win::DEVMODEW* publicDevmode,
                                  const settings::CoreData& record);

}  // namespace tvzx::config
