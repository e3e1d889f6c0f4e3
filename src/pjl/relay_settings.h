// The input fields of a relay authentication server's login screen, as the
// job settings keep them in the 884-byte RelayServerSettings block.
//
// Block format. The block holds UTF-8 text ended by the first zero byte; the
// bytes after it are zero. The text is one input field per line:
//
//     type TAB id TAB value LF
//
// - type: the field's type number in decimal digits (0 to 4294967295, no
//   sign): 1 text, 2 number, 3 toggle, 4 date and time, 6 selection. Any
//   other number is kept and its value is read as text.
// - id: the field's identifier on the relay server, at least one byte. It
//   goes into the ticket in clear within double quotes, so it must be
//   well-formed UTF-8 without control bytes and without a double quote.
// - value, according to the type:
//   number (2):        a signed decimal integer of 64 bits, "-" and digits;
//   toggle (3):        ON or OFF;
//   date and time (4): the text the relay server asks for, at least one byte;
//   any other type:    any text, also empty.
//
// In the id and the value a backslash starts an escape: \\ backslash, \t tab,
// \n line feed, \r carriage return, \xHH the byte of the two hexadecimal
// digits HH (not 00). A raw byte below 0x20 other than the separators is not
// allowed. A line may end in CR LF; the last line may also end at the zero
// byte without a line end. Blank lines are ignored.
//
// Reading never fails as a whole: a line that breaks any of these rules is
// skipped and the lines around it still count. At most the 884 bytes of the
// block are read; when they hold no zero byte, the text was cut off, and its
// last unended line is dropped rather than read as a shorter value (a shorter
// byte span ends its text where it ends). The controller-side tools read and
// write the same format.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "settings/core_data.h"

namespace tvzx::pjl {

// Size of the RelayServerSettings block, its ending zero byte included.
inline constexpr std::size_t kRelaySettingsSize = 884;

// Type numbers of the relay server's input fields.
inline constexpr std::uint32_t kRelayTypeText = 1;
inline constexpr std::uint32_t kRelayTypeNumber = 2;
inline constexpr std::uint32_t kRelayTypeToggle = 3;
inline constexpr std::uint32_t kRelayTypeDateTime = 4;
inline constexpr std::uint32_t kRelayTypeSelect = 6;

// A date and time value, in the form the relay server asks for.
struct RelayDateTime {
    std::string text;
    bool operator==(const RelayDateTime&) const = default;
};

// The value of one input field: text (for text, selection and unknown
// types), number, toggle (true for ON) or date and time.
using RelayValue = std::variant<std::string, std::int64_t, bool, RelayDateTime>;

struct RelayField {
    std::uint32_t type = kRelayTypeText;
    std::string id;
    RelayValue value;
    bool operator==(const RelayField&) const = default;
};

// Returns the variant index of RelayValue that a field of this type holds.
std::size_t relayValueIndex(std::uint32_t type);

// Returns the value as the printer receives it (before enciphering): the
// text, the number in signed decimal, ON or OFF, or the date and time text.
std::string relayValueText(const RelayValue& value);

// Returns the input fields of a RelayServerSettings block in block order.
// Reads at most kRelaySettingsSize bytes; malformed lines are left out.
std::vector<RelayField> parseRelaySettings(std::span<const std::uint8_t> block);

// Returns the block text (without the ending zero byte) of the fields, or
// nothing when a field cannot be written: an id that is empty, not UTF-8 or
// holds a control byte or double quote, a value that does not suit the type,
// a zero byte in a text, or an empty date and time.
std::optional<std::string> formatRelaySettings(std::span<const RelayField> fields);

// Stores the fields into the record's RelayServerSettings block, zero-filling
// the rest. Returns false, leaving the record unchanged, when the fields
// cannot be written or their text does not fit the block with its zero byte.
bool storeRelaySettings(settings::CoreData& record, std::span<const RelayField> fields);

}  // namespace tvzx::pjl
