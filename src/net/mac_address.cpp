#include "net/mac_address.h"

#include <algorithm>
#include <optional>
#include <string>

#include "common/byte_order.h"
#include "config/printer_text.h"

namespace tvzx::net {
namespace {

constexpr std::size_t kGroupCount = 6;
constexpr std::uint32_t kGroupLimit = 256;
constexpr std::uint64_t kRunLimit = std::uint64_t{1} << 48;
static_assert(std::tuple_size_v<MacAddress> == kGroupCount);

bool isSeparator(char c) { return c == ':' || c == '-'; }

std::optional<unsigned> hexDigit(char c) {
    if (c >= '0' && c <= '9') return static_cast<unsigned>(c - '0');
    if (c >= 'a' && c <= 'f') return static_cast<unsigned>(c - 'a' + 10);
    if (c >= 'A' && c <= 'F') return static_cast<unsigned>(c - 'A' + 10);
    return std::nullopt;
}

// Returns the value of a non-empty run of hexadecimal digits when it stays
// below `limit`; nothing otherwise. Leading zeros are allowed.
std::optional<std::uint64_t> hexValueBelow(std::string_view digits, std::uint64_t limit) {
    if (digits.empty()) return std::nullopt;
    std::uint64_t value = 0;
    for (char c : digits) {
        const std::optional<unsigned> digit = hexDigit(c);
        if (!digit) return std::nullopt;
        value = value * 16 + *digit;
        // Checked at every digit, so the value never overflows.
        if (value >= limit) return std::nullopt;
    }
    return value;
}

bool parseGroups(std::string_view text, MacAddress& address) {
    MacAddress groups{};
    std::size_t count = 0;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = std::find_if(text.begin() + static_cast<std::ptrdiff_t>(start), text.end(), isSeparator) -
                                text.begin();
        if (count == kGroupCount) return false;
        const std::optional<std::uint64_t> value = hexValueBelow(text.substr(start, end - start), kGroupLimit);
        if (!value) return false;
        groups[count++] = static_cast<std::uint8_t>(*value);
        if (end == text.size()) break;
        start = end + 1;
    }
    if (count != kGroupCount) return false;
    address = groups;
    return true;
}

bool parseRun(std::string_view text, MacAddress& address) {
    const std::optional<std::uint64_t> value = hexValueBelow(text, kRunLimit);
    if (!value) return false;
    writeBigEndian(address.data(), address.size(), *value);
    return true;
}

// Returns the 8-bit form of the value's text; a character beyond ASCII
// cannot be a digit and stays one that is none.
std::string narrowTextOf(const std::vector<std::uint8_t>& data) {
    std::string text;
    for (char16_t c : config::wideTextOf(data)) text.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return text;
}

}  // namespace

bool isNone(const MacAddress& address) {
    return std::all_of(address.begin(), address.end(), [](std::uint8_t b) { return b == 0; });
}

bool parseMacAddress(std::string_view text, MacAddress& address) {
    address.fill(0);
    if (text.empty()) return false;
    if (std::any_of(text.begin(), text.end(), isSeparator)) return parseGroups(text, address);
    return parseRun(text, address);
}

bool readPrinterMacAddress(std::u16string_view printerName, MacAddress& address, const PrinterDataOpener& open) {
    address.fill(0);
    if (printerName.empty() || !open) return false;
    const std::unique_ptr<platform::PrinterData> printer = open(printerName);
    if (!printer) return false;
    const std::optional<platform::PrinterDataValue> value = printer->read(kMacAddressValue);
    // A longer value does not fit the space the address is read into.
    if (!value || value->data.size() > kMacAddressValueLimit) return false;
    parseMacAddress(narrowTextOf(value->data), address);
    return true;
}

}  // namespace tvzx::net
