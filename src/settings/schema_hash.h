// The schema hash: a fingerprint of the record's field table that marks the
// private block, the record and every stored description of the layout.
#pragma once

#include <cstdint>
#include <string>

namespace tvzx::settings {

// Returns the hash computed from the field and option tables (not cached).
std::uint32_t computeSchemaHash();

// Returns the process-wide schema hash, computed once on first use.
std::uint32_t schemaHash();

// Returns the settings version text, "7.0.410:0x" and the hash in hexadecimal.
std::string settingsVersionText();

}  // namespace tvzx::settings
