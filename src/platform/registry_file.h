// Registry export files ("Windows Registry Editor Version 5.00"), the form in
// which an administrator exports a printer's key from a Windows machine. On a
// system without a Windows spooler the printer's data is read from such a
// file, so a real printer's export can be used as it is.
//
// What the parser accepts, line by line (lines end in CR LF or LF):
//   the header line "Windows Registry Editor Version 5.00", first;
//   blank lines and comment lines beginning with ';';
//   key lines "[HKEY_...\path]";
//   value lines "Name"=data or @=data (the key's unnamed value), where data is
//     "text"               a text (REG_SZ); \\ and \" are the only escapes
//     dword:0000002a       a 32-bit number (REG_DWORD), 1 to 8 hex digits
//     hex:01,ff,...        binary bytes (REG_BINARY)
//     hex(T):01,ff,...     bytes of registry type T (hex(2) expandable text,
//                          hex(7) text list, hex(b) 64-bit number, ...)
//   a byte list continues on the next line after a trailing backslash, the
//   next line's leading blanks ignored.
// The file is UTF-16LE with its byte order mark (as the registry editor
// writes it) or UTF-8, with or without a mark. Anything else is refused with
// the number of the line where it was found: key and value deletions, value
// lines before the first key, unknown value types, malformed texts or bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tvzx::platform {

inline constexpr std::string_view kRegistryHeader = "Windows Registry Editor Version 5.00";

struct RegistryValue {
    std::string name;  // UTF-8; empty for the key's unnamed value
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;  // as the registry stores it: texts UTF-16LE with their NUL

    bool operator==(const RegistryValue&) const = default;
};

struct RegistryKey {
    std::string path;  // UTF-8, without the brackets
    std::vector<RegistryValue> values;

    // Returns the value of this name (compared as the registry does, without
    // regard to ASCII case); null when there is none.
    const RegistryValue* find(std::string_view name) const;

    bool operator==(const RegistryKey&) const = default;
};

struct RegistryFile {
    std::vector<RegistryKey> keys;  // in file order; a key named twice is one key

    // Returns the key of this path (ASCII case ignored); null when there is none.
    const RegistryKey* findKey(std::string_view path) const;

    bool operator==(const RegistryFile&) const = default;
};

struct RegistryError {
    std::size_t line = 0;  // 1-based
    std::string message;
};

struct RegistryParse {
    RegistryFile file;                   // what was read; empty after an error
    std::optional<RegistryError> error;  // the first refused line
};

// Returns the keys and values of a registry export file, or the first error.
// A value named twice in one key keeps the later data, as an import would.
RegistryParse parseRegistryFile(std::span<const std::uint8_t> bytes);

// Returns the file as a registry export in UTF-8 with CR LF line ends:
// texts that read back exactly in quotes, 4-byte numbers as dword, anything
// else as a byte list wrapped like the registry editor wraps it. Parsing the
// result gives the same keys and values.
std::string formatRegistryFile(const RegistryFile& file);

// Returns the UTF-16 form of a UTF-8 text; nothing when it is not UTF-8.
std::optional<std::u16string> utf16FromUtf8(std::string_view text);

// Returns a UTF-8 text as the registry stores a text value: UTF-16LE with
// its NUL; nothing when it is not UTF-8.
std::optional<std::vector<std::uint8_t>> registryTextValue(std::string_view text);

// Returns whether two names are equal without regard to ASCII case.
bool sameRegistryName(std::string_view a, std::string_view b);

}  // namespace tvzx::platform
