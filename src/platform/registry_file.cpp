#include "platform/registry_file.h"

#include <algorithm>

#include "common/byte_order.h"
#include "platform/windows_types.h"

namespace tvzx::platform {
namespace {

constexpr std::uint8_t kUtf8Mark[] = {0xEF, 0xBB, 0xBF};
constexpr std::uint8_t kUtf16LeMark[] = {0xFF, 0xFE};
constexpr std::uint8_t kUtf16BeMark[] = {0xFE, 0xFF};

constexpr std::string_view kKeyRoot = "HKEY_";
constexpr std::string_view kDwordPrefix = "dword:";
constexpr std::string_view kHexPrefix = "hex";
constexpr char kCommentStart = ';';
constexpr char kKeyOpen = '[';
constexpr char kKeyClose = ']';
constexpr char kKeyDeletion = '-';
constexpr char kKeySeparator = '\\';
constexpr char kQuote = '"';
constexpr char kEscape = '\\';
constexpr char kUnnamedValue = '@';
constexpr char kContinuation = '\\';

constexpr std::size_t kDwordSize = 4;
constexpr std::size_t kMaxDwordDigits = 8;
constexpr std::size_t kMaxTypeDigits = 8;

// The registry editor keeps its lines within 80 characters and indents the
// continuation of a byte list by two blanks.
constexpr std::size_t kLineWidth = 80;
constexpr std::string_view kContinuationIndent = "  ";
constexpr std::string_view kLineEnd = "\r\n";

constexpr char32_t kMaxCodePoint = 0x10FFFF;
constexpr char16_t kHighSurrogateFirst = 0xD800;
constexpr char16_t kLowSurrogateFirst = 0xDC00;
constexpr char16_t kSurrogateEnd = 0xE000;

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimEnd(std::string_view text) {
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

std::string_view trimStart(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    return text;
}

std::optional<std::uint32_t> hexDigit(char c) {
    if (c >= '0' && c <= '9') return static_cast<std::uint32_t>(c - '0');
    if (c >= 'a' && c <= 'f') return static_cast<std::uint32_t>(c - 'a' + 10);
    if (c >= 'A' && c <= 'F') return static_cast<std::uint32_t>(c - 'A' + 10);
    return std::nullopt;
}

// Returns the number of 1 to maxDigits hex digits that make up the whole text.
std::optional<std::uint32_t> hexNumber(std::string_view digits, std::size_t maxDigits) {
    if (digits.empty() || digits.size() > maxDigits) return std::nullopt;
    std::uint32_t value = 0;
    for (char c : digits) {
        const auto digit = hexDigit(c);
        if (!digit) return std::nullopt;
        value = (value << 4) | *digit;
    }
    return value;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void appendUtf16Le(std::vector<std::uint8_t>& out, char16_t unit) {
    out.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    out.push_back(static_cast<std::uint8_t>(unit >> 8));
}

// Decodes the UTF-8 character at text[i]; advances i. Nothing for a
// malformed, overlong or surrogate sequence.
std::optional<char32_t> nextUtf8(std::string_view text, std::size_t& i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length = 0;
    char32_t c = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
        ++i;
        return lead;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, c = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, c = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, c = lead & 0x07, minimum = 0x10000;
    } else {
        return std::nullopt;
    }
    if (text.size() - i < length) return std::nullopt;
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xC0) != 0x80) return std::nullopt;
        c = (c << 6) | (next & 0x3F);
    }
    if (c < minimum || c > kMaxCodePoint || (c >= kHighSurrogateFirst && c < kSurrogateEnd)) return std::nullopt;
    i += length;
    return c;
}

// Returns the UTF-16LE bytes of a UTF-8 text; nothing when it is not UTF-8.
std::optional<std::vector<std::uint8_t>> utf16LeOf(std::string_view text) {
    std::vector<std::uint8_t> out;
    for (std::size_t i = 0; i < text.size();) {
        const auto c = nextUtf8(text, i);
        if (!c) return std::nullopt;
        if (*c < 0x10000) {
            appendUtf16Le(out, static_cast<char16_t>(*c));
        } else {
            const char32_t v = *c - 0x10000;
            appendUtf16Le(out, static_cast<char16_t>(kHighSurrogateFirst + (v >> 10)));
            appendUtf16Le(out, static_cast<char16_t>(kLowSurrogateFirst + (v & 0x3FF)));
        }
    }
    return out;
}

// Returns the UTF-8 form of UTF-16LE bytes; nothing when a surrogate is
// unpaired or a byte is left over, with the 1-based line of the fault in
// badLine when asked.
std::optional<std::string> utf8OfUtf16Le(std::span<const std::uint8_t> bytes, std::size_t* badLine = nullptr) {
    std::string out;
    std::size_t line = 1;
    const auto refuse = [&]() -> std::optional<std::string> {
        if (badLine != nullptr) *badLine = line;
        return std::nullopt;
    };
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        if (i + 1 >= bytes.size()) return refuse();
        const auto unit = static_cast<char16_t>(readLittleEndian(bytes.data() + i, 2));
        if (unit == u'\n') ++line;
        if (unit < kHighSurrogateFirst || unit >= kSurrogateEnd) {
            appendUtf8(out, unit);
            continue;
        }
        if (unit >= kLowSurrogateFirst || i + 3 >= bytes.size()) return refuse();
        const auto low = static_cast<char16_t>(readLittleEndian(bytes.data() + i + 2, 2));
        if (low < kLowSurrogateFirst || low >= kSurrogateEnd) return refuse();
        appendUtf8(out, 0x10000 + ((static_cast<char32_t>(unit - kHighSurrogateFirst) << 10) | (low - kLowSurrogateFirst)));
        i += 2;
    }
    return out;
}

bool startsWith(std::span<const std::uint8_t> bytes, std::span<const std::uint8_t> prefix) {
    return bytes.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), bytes.begin());
}

class Parser {
public:
    explicit Parser(std::string_view text) : text_(text) {}

    RegistryParse run() {
        RegistryParse result;
        if (!header()) return fail(result);
        while (nextLine()) {
            const std::string_view line = trimEnd(line_);
            const std::string_view content = trimStart(line);
            if (content.empty() || content.front() == kCommentStart) continue;
            const bool ok = content.front() == kKeyOpen ? keyLine(content)
                            : (content.front() == kQuote || content.front() == kUnnamedValue) ? valueLine(content)
                                                                                              : refuse("unexpected text");
            if (!ok) return fail(result);
        }
        result.file = std::move(file_);
        return result;
    }

private:
    // Reads the next physical line; false at the end of the text.
    bool nextLine() {
        if (position_ >= text_.size()) return false;
        const std::size_t end = text_.find('\n', position_);
        const std::size_t stop = end == std::string_view::npos ? text_.size() : end;
        line_ = text_.substr(position_, stop - position_);
        if (!line_.empty() && line_.back() == '\r') line_.remove_suffix(1);
        position_ = end == std::string_view::npos ? text_.size() : end + 1;
        ++lineNumber_;
        return true;
    }

    bool refuse(std::string message) {
        // An empty file is refused on its first line.
        error_ = RegistryError{std::max<std::size_t>(lineNumber_, 1), std::move(message)};
        return false;
    }

    RegistryParse& fail(RegistryParse& result) {
        result.error = error_;
        return result;
    }

    bool header() {
        if (!nextLine()) return refuse("empty file: the first line must be \"" + std::string(kRegistryHeader) + "\"");
        if (trimEnd(line_) != kRegistryHeader)
            return refuse("the first line must be \"" + std::string(kRegistryHeader) + "\"");
        return true;
    }

    bool keyLine(std::string_view line) {
        if (line.back() != kKeyClose) return refuse("a key line must end in ']'");
        const std::string_view path = line.substr(1, line.size() - 2);
        if (!path.empty() && path.front() == kKeyDeletion) return refuse("key deletions are not printer data");
        if (!sameRegistryName(path.substr(0, kKeyRoot.size()), kKeyRoot))
            return refuse("a key path must begin with a root key (HKEY_...)");
        if (path.back() == kKeySeparator || path.find("\\\\") != std::string_view::npos)
            return refuse("a key path must not hold an empty key name");
        if (!utf16LeOf(path)) return refuse("the key path is not UTF-8");
        const auto known = std::find_if(file_.keys.begin(), file_.keys.end(),
                                        [path](const RegistryKey& key) { return sameRegistryName(key.path, path); });
        if (known == file_.keys.end()) {
            file_.keys.push_back({std::string(path), {}});
            current_ = file_.keys.size() - 1;
        } else {
            current_ = static_cast<std::size_t>(known - file_.keys.begin());
        }
        return true;
    }

    // Reads a quoted text with its two escapes from the start of rest;
    // leaves rest after the closing quote.
    std::optional<std::string> quoted(std::string_view& rest) {
        std::string out;
        for (std::size_t i = 1; i < rest.size(); ++i) {
            const char c = rest[i];
            if (c == kQuote) {
                rest.remove_prefix(i + 1);
                return out;
            }
            if (c == kEscape) {
                if (i + 1 >= rest.size() || (rest[i + 1] != kEscape && rest[i + 1] != kQuote)) {
                    refuse("only \\\\ and \\\" may follow a backslash in a quoted text");
                    return std::nullopt;
                }
                ++i;
            }
            out += rest[i];
        }
        refuse("a quoted text is not closed");
        return std::nullopt;
    }

    bool valueLine(std::string_view line) {
        if (!current_) return refuse("a value before the first key");
        std::string_view rest = line;
        RegistryValue value;
        if (rest.front() == kUnnamedValue) {
            rest.remove_prefix(1);
        } else {
            auto name = quoted(rest);
            if (!name) return false;
            if (!utf16LeOf(*name)) return refuse("the value name is not UTF-8");
            value.name = std::move(*name);
        }
        rest = trimStart(rest);
        if (rest.empty() || rest.front() != '=') return refuse("'=' must follow the value name");
        rest = trimStart(rest.substr(1));
        if (!valueData(rest, value)) return false;
        store(std::move(value));
        return true;
    }

    bool valueData(std::string_view rest, RegistryValue& value) {
        if (rest.empty()) return refuse("the value has no data");
        if (rest.front() == kQuote) return textData(rest, value);
        if (rest.starts_with(kDwordPrefix)) return dwordData(rest.substr(kDwordPrefix.size()), value);
        if (rest.starts_with(kHexPrefix)) return hexData(rest.substr(kHexPrefix.size()), value);
        if (rest.front() == kKeyDeletion) return refuse("value deletions are not printer data");
        return refuse("unknown value type");
    }

    bool textData(std::string_view rest, RegistryValue& value) {
        auto text = quoted(rest);
        if (!text) return false;
        if (!rest.empty()) return refuse("text after the closing quote");
        auto bytes = utf16LeOf(*text);
        if (!bytes) return refuse("the text is not UTF-8");
        appendUtf16Le(*bytes, u'\0');
        value.type = win::REG_SZ;
        value.data = std::move(*bytes);
        return true;
    }

    bool dwordData(std::string_view digits, RegistryValue& value) {
        const auto number = hexNumber(digits, kMaxDwordDigits);
        if (!number) return refuse("dword: needs 1 to 8 hexadecimal digits");
        value.type = win::REG_DWORD;
        value.data.assign(kDwordSize, 0);
        writeLe32(value.data.data(), *number);
        return true;
    }

    bool hexData(std::string_view rest, RegistryValue& value) {
        value.type = win::REG_BINARY;
        if (!rest.empty() && rest.front() == '(') {
            const std::size_t close = rest.find(')');
            const auto type = close == std::string_view::npos ? std::nullopt : hexNumber(rest.substr(1, close - 1), kMaxTypeDigits);
            if (!type) return refuse("hex( needs a hexadecimal type number and ')'");
            value.type = *type;
            rest.remove_prefix(close + 1);
        }
        if (rest.empty() || rest.front() != ':') return refuse("':' must follow hex or hex(type)");
        return byteList(rest.substr(1), value.data);
    }

    // Reads comma-separated two-digit bytes over as many continued lines as
    // the list takes.
    bool byteList(std::string_view rest, std::vector<std::uint8_t>& out) {
        for (;;) {
            rest = trimStart(rest);
            if (rest.empty()) return out.empty() || refuse("a byte list must not end in ','");
            if (rest.front() == kContinuation && trimEnd(rest.substr(1)).empty()) {
                if (!nextLine()) return refuse("the byte list continues past the end of the file");
                rest = trimEnd(line_);
                continue;
            }
            const auto high = rest.size() >= 2 ? hexDigit(rest[0]) : std::nullopt;
            const auto low = rest.size() >= 2 ? hexDigit(rest[1]) : std::nullopt;
            if (!high || !low) return refuse("a byte must be two hexadecimal digits");
            out.push_back(static_cast<std::uint8_t>((*high << 4) | *low));
            rest = trimStart(rest.substr(2));
            if (rest.empty()) return true;
            if (rest.front() != ',') return refuse("bytes must be separated by ','");
            rest.remove_prefix(1);
            // After a comma the list must go on, on this line or the next.
            if (trimStart(rest).empty()) return refuse("a byte list must not end in ','");
        }
    }

    void store(RegistryValue value) {
        auto& values = file_.keys[*current_].values;
        const auto same = std::find_if(values.begin(), values.end(),
                                       [&value](const RegistryValue& v) { return sameRegistryName(v.name, value.name); });
        if (same != values.end()) *same = std::move(value);
        else values.push_back(std::move(value));
    }

    std::string_view text_;
    std::size_t position_ = 0;
    std::size_t lineNumber_ = 0;
    std::string_view line_;
    RegistryFile file_;
    std::optional<std::size_t> current_;
    RegistryError error_;
};

std::string quote(std::string_view text) {
    std::string out(1, kQuote);
    for (char c : text) {
        if (c == kEscape || c == kQuote) out += kEscape;
        out += c;
    }
    out += kQuote;
    return out;
}

// Returns the text a REG_SZ value holds when it reads back exactly from a
// quoted text: valid UTF-16 ending in its only NUL, no line breaks.
std::optional<std::string> plainText(const RegistryValue& value) {
    if (value.type != win::REG_SZ || value.data.size() < 2 || value.data.size() % 2 != 0) return std::nullopt;
    const std::span<const std::uint8_t> bytes(value.data.data(), value.data.size() - 2);
    if (value.data[value.data.size() - 2] != 0 || value.data.back() != 0) return std::nullopt;
    auto text = utf8OfUtf16Le(bytes);
    if (!text || text->find_first_of(std::string_view("\0\r\n", 3)) != std::string::npos) return std::nullopt;
    return text;
}

std::string hexPrefix(std::uint32_t type) {
    if (type == win::REG_BINARY) return "hex:";
    constexpr char kDigits[] = "0123456789abcdef";
    std::string digits;
    do {
        digits.insert(digits.begin(), kDigits[type & 0xF]);
        type >>= 4;
    } while (type != 0);
    return "hex(" + digits + "):";
}

void appendByteList(std::string& out, std::size_t lineStart, const std::vector<std::uint8_t>& data) {
    constexpr char kDigits[] = "0123456789abcdef";
    constexpr std::size_t kItemWidth = 3;  // two digits and the comma
    for (std::size_t i = 0; i < data.size(); ++i) {
        out += kDigits[data[i] >> 4];
        out += kDigits[data[i] & 0xF];
        if (i + 1 == data.size()) break;
        out += ',';
        // Break where the next item and the backslash would pass the width.
        if (out.size() - lineStart + kItemWidth + 1 > kLineWidth) {
            out += kContinuation;
            out += kLineEnd;
            lineStart = out.size();
            out += kContinuationIndent;
        }
    }
}

}  // namespace

std::optional<std::u16string> utf16FromUtf8(std::string_view text) {
    const auto bytes = utf16LeOf(text);
    if (!bytes) return std::nullopt;
    std::u16string out;
    for (std::size_t i = 0; i < bytes->size(); i += 2)
        out.push_back(static_cast<char16_t>(readLittleEndian(bytes->data() + i, 2)));
    return out;
}

std::optional<std::vector<std::uint8_t>> registryTextValue(std::string_view text) {
    auto bytes = utf16LeOf(text);
    if (!bytes) return std::nullopt;
    bytes->push_back(0);
    bytes->push_back(0);
    return bytes;
}

bool sameRegistryName(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return lowerAscii(x) == lowerAscii(y); });
}

const RegistryValue* RegistryKey::find(std::string_view name) const {
    const auto it = std::find_if(values.begin(), values.end(),
                                 [name](const RegistryValue& value) { return sameRegistryName(value.name, name); });
    return it == values.end() ? nullptr : &*it;
}

const RegistryKey* RegistryFile::findKey(std::string_view path) const {
    const auto it =
        std::find_if(keys.begin(), keys.end(), [path](const RegistryKey& key) { return sameRegistryName(key.path, path); });
    return it == keys.end() ? nullptr : &*it;
}

RegistryParse parseRegistryFile(std::span<const std::uint8_t> bytes) {
    std::string decoded;
    std::string_view text;
    if (startsWith(bytes, kUtf16LeMark)) {
        // The registry editor writes UTF-16LE; it is read as UTF-8 like the rest.
        const auto body = bytes.subspan(std::size(kUtf16LeMark));
        std::size_t badLine = 0;
        auto utf8 = utf8OfUtf16Le(body, &badLine);
        if (!utf8) {
            RegistryParse result;
            result.error = RegistryError{badLine, "the file is not valid UTF-16LE"};
            return result;
        }
        decoded = std::move(*utf8);
        text = decoded;
    } else if (startsWith(bytes, kUtf16BeMark)) {
        RegistryParse result;
        result.error = RegistryError{1, "UTF-16 big-endian files are not read; save the export as UTF-16LE or UTF-8"};
        return result;
    } else {
        const auto body = startsWith(bytes, kUtf8Mark) ? bytes.subspan(std::size(kUtf8Mark)) : bytes;
        text = std::string_view(reinterpret_cast<const char*>(body.data()), body.size());
    }
    return Parser(text).run();
}

std::string formatRegistryFile(const RegistryFile& file) {
    std::string out(kRegistryHeader);
    out += kLineEnd;
    for (const RegistryKey& key : file.keys) {
        out += kLineEnd;
        out += kKeyOpen + key.path + kKeyClose;
        out += kLineEnd;
        for (const RegistryValue& value : key.values) {
            const std::size_t lineStart = out.size();
            out += value.name.empty() ? std::string(1, kUnnamedValue) : quote(value.name);
            out += '=';
            if (const auto text = plainText(value)) {
                out += quote(*text);
            } else if (value.type == win::REG_DWORD && value.data.size() == kDwordSize) {
                constexpr char kDigits[] = "0123456789abcdef";
                out += kDwordPrefix;
                const std::uint32_t number = readLe32(value.data.data());
                for (int shift = 28; shift >= 0; shift -= 4) out += kDigits[(number >> shift) & 0xF];
            } else {
                out += hexPrefix(value.type);
                appendByteList(out, lineStart, value.data);
            }
            out += kLineEnd;
        }
    }
    return out;
}

}  // namespace tvzx::platform
