#include "settings/settings_lines.h"

#include <charconv>
#include <cstdio>

namespace tvzx::settings {
namespace {

constexpr char kAssign = '=';
constexpr char kQuote = '"';
constexpr char kEscape = '\\';
constexpr char kComment = '#';
constexpr std::string_view kHexDigits = "0123456789ABCDEF";

std::string escapeText(std::string_view text) {
    std::string out(1, kQuote);
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (byte < 0x20 || byte > 0x7E) {
                    // Three octal digits: unambiguous whatever follows.
                    char octal[5];
                    std::snprintf(octal, sizeof octal, "\\%03o", byte);
                    out += octal;
                } else {
                    out += c;
                }
        }
    }
    out += kQuote;
    return out;
}

std::optional<std::string> unescapeText(std::string_view quoted) {
    if (quoted.size() < 2 || quoted.front() != kQuote || quoted.back() != kQuote) return std::nullopt;
    const std::string_view body = quoted.substr(1, quoted.size() - 2);
    std::string out;
    for (std::size_t i = 0; i < body.size(); ++i) {
        char c = body[i];
        if (c == kQuote) return std::nullopt;
        if (c != kEscape) {
            out += c;
            continue;
        }
        if (++i >= body.size()) return std::nullopt;
        c = body[i];
        switch (c) {
            case '"': out += '"'; break;
            case '\\': out += '\\'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            default: {
                unsigned value = 0;
                std::size_t digits = 0;
                while (digits < 3 && i < body.size() && body[i] >= '0' && body[i] <= '7') {
                    value = value * 8 + static_cast<unsigned>(body[i] - '0');
                    ++i;
                    ++digits;
                }
                if (digits == 0 || value > 0xFF) return std::nullopt;
                --i;
                out += static_cast<char>(value);
            }
        }
    }
    return out;
}

template <typename T>
std::optional<T> parseInteger(std::string_view text) {
    T value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

// Whether a refusal repeats the refused text: a single assignment's may; a
// line of a file may not, since the file may be one its reader must not
// disclose (a job's settings file is read with the filter's rights, and the
// message reaches the job's user).
enum class Echo { Value, Nothing };

std::string describe(const FieldDef& def, std::string_view value, std::string_view problem, Echo echo) {
    // Messages reach logs: a password's value is never repeated in one.
    constexpr std::string_view kSecret = "Password";
    if (echo == Echo::Nothing || def.name.find(kSecret) != std::string_view::npos)
        return std::string(problem) + " for " + std::string(def.name);
    return std::string(problem) + " for " + std::string(def.name) + ": '" + std::string(value) + "'";
}

std::optional<std::string> setOptionValue(CoreData& record, FieldId id, const FieldDef& def, std::string_view value,
                                          Echo echo) {
    if (auto index = def.options->find(value)) {
        record.setOption(id, *index);
        return std::nullopt;
    }
    // An index given as a number covers open lists and indices past the list.
    const auto number = parseInteger<std::uint64_t>(value);
    const std::uint64_t limit = def.elementSize == 4 ? 0xFFFFFFFFull : (1ull << (8 * def.elementSize)) - 1;
    if (!number) return describe(def, value, "unknown option", echo);
    if (*number > limit) return describe(def, value, "option index too large", echo);
    record.setOption(id, static_cast<std::uint32_t>(*number));
    return std::nullopt;
}

std::optional<std::string> setRangeValue(CoreData& record, FieldId id, const FieldDef& def, std::string_view value,
                                         Echo echo) {
    const auto number = parseInteger<std::int64_t>(value);
    if (!number) return describe(def, value, "not a whole number", echo);
    const NumericDescriptor& n = *def.numeric;
    const std::int64_t minimum = def.isSigned() ? static_cast<std::int32_t>(n.minimum) : std::int64_t{n.minimum};
    const std::int64_t maximum = def.isSigned() ? static_cast<std::int32_t>(n.maximum) : std::int64_t{n.maximum};
    if (*number < minimum || *number > maximum)
        return describe(def, value, "number outside " + std::to_string(minimum) + " to " + std::to_string(maximum), echo);
    record.setNumber(id, *number);
    return std::nullopt;
}

std::optional<std::string> setTextValue(CoreData& record, FieldId id, const FieldDef& def, std::string_view value,
                                        Echo echo) {
    const auto text = unescapeText(value);
    if (!text) return describe(def, value, "malformed quoted text", echo);
    if (text->size() >= def.count || text->find('\0') != std::string::npos)
        return describe(def, value, "text longer than " + std::to_string(def.count - 1) + " bytes", echo);
    record.setText(id, *text);
    return std::nullopt;
}

std::optional<std::string> setBinaryValue(CoreData& record, FieldId id, const FieldDef& def, std::string_view value,
                                          Echo echo) {
    if (value.size() % 2 != 0) return describe(def, value, "odd number of hex digits", echo);
    if (value.size() / 2 > def.count) return describe(def, value, "block longer than " + std::to_string(def.count) + " bytes", echo);
    std::string bytes;
    for (std::size_t i = 0; i < value.size(); i += 2) {
        unsigned v = 0;
        const auto [end, error] = std::from_chars(value.data() + i, value.data() + i + 2, v, 16);
        if (error != std::errc() || end != value.data() + i + 2) return describe(def, value, "not hexadecimal", echo);
        bytes += static_cast<char>(v);
    }
    auto target = record.field(id);
    std::fill(target.begin(), target.end(), 0);
    std::copy(bytes.begin(), bytes.end(), target.begin());
    return std::nullopt;
}

std::string_view trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

std::optional<std::string> applyAssignment(CoreData& record, std::string_view assignment, Echo echo) {
    const auto at = assignment.find(kAssign);
    if (at == std::string_view::npos)
        return echo == Echo::Value ? "expected Name=Value: '" + std::string(assignment) + "'" : "expected Name=Value";
    const std::string_view name = trim(assignment.substr(0, at));
    const std::string_view value = trim(assignment.substr(at + 1));
    const auto id = findField(name);
    if (!id) return echo == Echo::Value ? "unknown field '" + std::string(name) + "'" : "unknown field";
    const FieldDef& def = fieldDef(*id);
    switch (def.kind) {
        case Kind::Option: return setOptionValue(record, *id, def, value, echo);
        case Kind::Range: return setRangeValue(record, *id, def, value, echo);
        case Kind::Array: break;
    }
    return def.isText() ? setTextValue(record, *id, def, value, echo) : setBinaryValue(record, *id, def, value, echo);
}

}  // namespace

std::string formatFieldValue(const CoreData& record, FieldId id) {
    const FieldDef& def = fieldDef(id);
    switch (def.kind) {
        case Kind::Option: {
            const std::uint32_t index = record.option(id);
            if (index < def.options->count()) return std::string(def.options->entries[index].name);
            return std::to_string(index);
        }
        case Kind::Range: return std::to_string(record.number(id));
        case Kind::Array: break;
    }
    if (def.isText()) return escapeText(record.text(id));
    const auto bytes = record.field(id);
    std::size_t used = bytes.size();
    while (used > 0 && bytes[used - 1] == 0) --used;
    std::string out;
    out.reserve(used * 2);
    for (std::size_t i = 0; i < used; ++i) {
        out += kHexDigits[bytes[i] >> 4];
        out += kHexDigits[bytes[i] & 15];
    }
    return out;
}

std::string formatSettingsLines(const CoreData& record) {
    std::string out;
    for (std::size_t i = 0; i < kFieldCount; ++i) {
        const auto id = static_cast<FieldId>(i);
        out += fieldDef(id).name;
        out += kAssign;
        out += formatFieldValue(record, id);
        out += '\n';
    }
    return out;
}

std::optional<FieldId> assignedField(std::string_view assignment) {
    const auto at = assignment.find(kAssign);
    if (at == std::string_view::npos) return std::nullopt;
    return findField(trim(assignment.substr(0, at)));
}

std::optional<std::string> applySetting(CoreData& record, std::string_view assignment) {
    return applyAssignment(record, assignment, Echo::Value);
}

std::string quotedText(std::string_view text) { return escapeText(text); }

std::optional<std::string> applySettingsText(CoreData& record, std::string_view text) {
    std::size_t lineNumber = 0;
    while (!text.empty()) {
        ++lineNumber;
        const auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        // A '#' outside quotes starts a comment.
        bool quoted = false;
        for (std::size_t i = 0; i < line.size(); ++i) {
            if (line[i] == kEscape && quoted) ++i;
            else if (line[i] == kQuote) quoted = !quoted;
            else if (line[i] == kComment && !quoted) {
                line = line.substr(0, i);
                break;
            }
        }
        line = trim(line);
        if (line.empty()) continue;
        if (auto error = applyAssignment(record, line, Echo::Nothing)) return "line " + std::to_string(lineNumber) + ": " + *error;
    }
    return std::nullopt;
}

}  // namespace tvzx::settings
