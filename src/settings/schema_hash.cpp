#include "settings/schema_hash.h"

#include "common/hex_text.h"

namespace tvzx::settings {
namespace {

constexpr std::string_view kVersionPrefix = "7.0.410:0x";

}  // namespace

std::string settingsVersionText() { return std::string(kVersionPrefix) + hexBytesText(schemaHash()); }

}  // namespace tvzx::settings
