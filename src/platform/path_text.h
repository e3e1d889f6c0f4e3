// Paths as the plug-in keeps them (UTF-16) and as a POSIX system takes them
// (UTF-8 bytes).
#pragma once

#include <string>
#include <string_view>

namespace tvzx::platform {

// Returns the UTF-8 bytes of a UTF-16 path; an unpaired surrogate becomes
// U+FFFD.
std::string utf8Path(std::u16string_view path);

// Returns the UTF-16 form of a UTF-8 path; a malformed byte becomes U+FFFD.
std::u16string utf16Path(std::string_view path);

}  // namespace tvzx::platform
