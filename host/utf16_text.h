// Texts the host hands to the plug-in in the driver's wide form.
#pragma once

#include <string>
#include <string_view>

namespace tvzx::host {

// Returns the UTF-16 form of a UTF-8 text; a byte that does not belong to a
// well-formed sequence becomes U+FFFD.
std::u16string utf16FromUtf8(std::string_view text);

}  // namespace tvzx::host
