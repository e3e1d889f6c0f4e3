#include "pjl/relay_settings.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "common/hex_text.h"
#include "pjl/pjl_format.h"

namespace tvzx::pjl {
namespace {

constexpr char kColumnSeparator = '\t';
constexpr char kLineFeed = '\n';
constexpr char kCarriageReturn = '\r';
constexpr char kEscape = '\\';
constexpr char kQuote = '"';
constexpr std::string_view kToggleOn = "ON";
constexpr std::string_view kToggleOff = "OFF";
constexpr char kHexDigits[] = "0123456789ABCDEF";

// Variant positions of RelayValue.
constexpr std::size_t kTextValue = 0;
constexpr std::size_t kNumberValue = 1;
constexpr std::size_t kToggleValue = 2;
constexpr std::size_t kDateTimeValue = 3;

bool isControl(unsigned char c) { return c < 0x20; }

// Returns the column with its escapes resolved; nothing when the column holds
// a raw control byte, an unknown or cut-off escape, or an escaped zero byte.
std::optional<std::string> unescape(std::string_view column) {
    std::string out;
    out.reserve(column.size());
    for (std::size_t i = 0; i < column.size(); ++i) {
        const char c = column[i];
        if (isControl(static_cast<unsigned char>(c))) return std::nullopt;
        if (c != kEscape) {
            out += c;
            continue;
        }
        if (++i == column.size()) return std::nullopt;
        switch (column[i]) {
            case '\\': out += kEscape; break;
            case 't': out += kColumnSeparator; break;
            case 'n': out += kLineFeed; break;
            case 'r': out += kCarriageReturn; break;
            case 'x': {
                if (i + 2 >= column.size()) return std::nullopt;
                const int high = hexDigitValue(column[i + 1]);
                const int low = hexDigitValue(column[i + 2]);
                if (high < 0 || low < 0) return std::nullopt;
                const int byte = high * 16 + low;
                if (byte == 0) return std::nullopt;
                out += static_cast<char>(byte);
                i += 2;
                break;
            }
            default: return std::nullopt;
        }
    }
    return out;
}

// Returns the text with backslashes and control bytes escaped, so that it
// stands in one column; nothing when it holds a zero byte.
std::optional<std::string> escape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == 0) return std::nullopt;
        switch (c) {
            case kEscape: out += "\\\\"; break;
            case kColumnSeparator: out += "\\t"; break;
            case kLineFeed: out += "\\n"; break;
            case kCarriageReturn: out += "\\r"; break;
            default:
                if (isControl(byte)) {
                    out += "\\x";
                    out += kHexDigits[byte >> 4];
                    out += kHexDigits[byte & 0x0F];
                } else {
                    out += c;
                }
        }
    }
    return out;
}

// The id stands in clear between double quotes in the ticket: a quote, a line
// break or any other control byte there would break the ticket line.
bool isValidId(std::string_view id) {
    if (id.empty() || !isWellFormedUtf8(id)) return false;
    return std::none_of(id.begin(), id.end(),
                        [](char c) { return c == kQuote || isControl(static_cast<unsigned char>(c)); });
}

bool allDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::optional<std::uint32_t> parseType(std::string_view column) {
    if (!allDigits(column)) return std::nullopt;
    std::uint32_t type = 0;
    const auto [end, error] = std::from_chars(column.data(), column.data() + column.size(), type);
    if (error != std::errc{} || end != column.data() + column.size()) return std::nullopt;
    return type;
}

std::optional<std::int64_t> parseNumber(std::string_view text) {
    const std::string_view digits = text.starts_with('-') ? text.substr(1) : text;
    if (!allDigits(digits)) return std::nullopt;
    std::int64_t number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    return number;
}

// Returns the value of the type read from its unescaped text; nothing when
// the text does not suit the type.
std::optional<RelayValue> parseValue(std::uint32_t type, std::string text) {
    switch (relayValueIndex(type)) {
        case kNumberValue: {
            const std::optional<std::int64_t> number = parseNumber(text);
            if (!number) return std::nullopt;
            return RelayValue{*number};
        }
        case kToggleValue:
            if (text == kToggleOn) return RelayValue{true};
            if (text == kToggleOff) return RelayValue{false};
            return std::nullopt;
        case kDateTimeValue:
            if (text.empty()) return std::nullopt;
            return RelayValue{RelayDateTime{std::move(text)}};
        default: return RelayValue{std::move(text)};
    }
}

// Returns the field of one line (without its line end); nothing when the line
// is malformed.
std::optional<RelayField> parseLine(std::string_view line) {
    const std::size_t first = line.find(kColumnSeparator);
    if (first == std::string_view::npos) return std::nullopt;
    const std::size_t second = line.find(kColumnSeparator, first + 1);
    if (second == std::string_view::npos) return std::nullopt;

    const std::optional<std::uint32_t> type = parseType(line.substr(0, first));
    if (!type) return std::nullopt;
    std::optional<std::string> id = unescape(line.substr(first + 1, second - first - 1));
    if (!id || !isValidId(*id)) return std::nullopt;
    // A third separator would have to be escaped; unescape refuses it raw.
    std::optional<std::string> text = unescape(line.substr(second + 1));
    if (!text) return std::nullopt;
    std::optional<RelayValue> value = parseValue(*type, std::move(*text));
    if (!value) return std::nullopt;
    return RelayField{*type, std::move(*id), std::move(*value)};
}

}  // namespace

std::size_t relayValueIndex(std::uint32_t type) {
    switch (type) {
        case kRelayTypeNumber: return kNumberValue;
        case kRelayTypeToggle: return kToggleValue;
        case kRelayTypeDateTime: return kDateTimeValue;
        default: return kTextValue;
    }
}

std::string relayValueText(const RelayValue& value) {
    switch (value.index()) {
        case kNumberValue: return formatNumber(std::get<std::int64_t>(value));
        case kToggleValue: return std::string(std::get<bool>(value) ? kToggleOn : kToggleOff);
        case kDateTimeValue: return std::get<RelayDateTime>(value).text;
        default: return std::get<std::string>(value);
    }
}

std::vector<RelayField> parseRelaySettings(std::span<const std::uint8_t> block) {
    // Never look past the block, whatever the caller hands in.
    const std::span<const std::uint8_t> bounded = block.first(std::min(block.size(), kRelaySettingsSize));
    const auto* begin = reinterpret_cast<const char*>(bounded.data());
    std::string_view text(begin, bounded.size());
    const std::size_t zero = text.find('\0');
    // A caller's span shorter than the block ends the text where it ends.
    const bool terminated = zero != std::string_view::npos || block.size() < kRelaySettingsSize;
    if (terminated) text = text.substr(0, zero);

    std::vector<RelayField> fields;
    while (!text.empty()) {
        const std::size_t end = text.find(kLineFeed);
        // A line cut off by the end of an unterminated block may have lost
        // part of its value; it is dropped rather than sent shortened.
        if (end == std::string_view::npos && !terminated) break;
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (line.ends_with(kCarriageReturn)) line.remove_suffix(1);
        if (line.empty()) continue;
        if (std::optional<RelayField> field = parseLine(line)) fields.push_back(std::move(*field));
    }
    return fields;
}

std::optional<std::string> formatRelaySettings(std::span<const RelayField> fields) {
    std::string text;
    for (const RelayField& field : fields) {
        if (!isValidId(field.id) || field.value.index() != relayValueIndex(field.type)) return std::nullopt;
        if (field.value.index() == kDateTimeValue && std::get<RelayDateTime>(field.value).text.empty()) return std::nullopt;
        const std::optional<std::string> id = escape(field.id);
        const std::optional<std::string> value = escape(relayValueText(field.value));
        if (!id || !value) return std::nullopt;
        text += formatNumber(field.type);
        text += kColumnSeparator;
        text += *id;
        text += kColumnSeparator;
        text += *value;
        text += kLineFeed;
    }
    return text;
}

bool storeRelaySettings(settings::CoreData& record, std::span<const RelayField> fields) {
    const std::optional<std::string> text = formatRelaySettings(fields);
    const std::span<std::uint8_t> block = record.field(settings::FieldId::RelayServerSettings);
    // The text needs its ending zero byte inside the block.
    if (!text || text->size() >= block.size()) return false;
    std::fill(block.begin(), block.end(), std::uint8_t{0});
    std::memcpy(block.data(), text->data(), text->size());
    return true;
}

}  // namespace tvzx::pjl
