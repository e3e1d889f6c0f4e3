// The core driver's keyword tables, kept in the printer data by the driver's
// user interface: "PScriptOffsets" gives, per PPD feature keyword, the byte
// of the core driver's private DEVMODE area that holds the feature's option;
// "PScriptValues" gives, per feature keyword, underscore and option keyword
// ("InputSlot_Tray2"), the value the core driver stores for that option.
//
// Value layout: the schema hash as NUL-terminated hexadecimal text (written
// like the settings version text writes it), then records back to back, each
// a NUL-terminated 8-bit key followed directly by a 16-bit little-endian
// number. A table written for another field table is ignored as a whole.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "config/printer_access.h"

namespace tvzx::config {

inline constexpr std::string_view kOffsetsValue = "PScriptOffsets";
inline constexpr std::string_view kValuesValue = "PScriptValues";
// Joins feature and option keyword in the keys of "PScriptValues".
inline constexpr char kValueKeySeparator = '_';

using KeywordTable = std::map<std::string, std::uint16_t, std::less<>>;

// Returns the records of a keyword table value (a later record replaces an
// earlier one of the same key); nothing when its hash text is not the hash
// given or a record is cut short. Fewer than 4 bytes after the last whole
// record end the table.
std::optional<KeywordTable> parseKeywordTable(std::span<const std::uint8_t> value, std::uint32_t schemaHash);

// Returns the table stored in the printer data value of this name for the
// current schema; nothing when the value is missing, empty or not usable.
std::optional<KeywordTable> loadKeywordTable(const PrinterAccess& printer, std::string_view valueName);

// Returns the bytes of a keyword table value for these records, as the
// driver's user interface writes it. A record with an empty key is left out:
// no feature has one, and alone it would be too short to be read back.
std::vector<std::uint8_t> formatKeywordTable(const KeywordTable& table, std::uint32_t schemaHash);

}  // namespace tvzx::config
