#include "pjl/pjl_format.h"

#include <algorithm>

namespace tvzx::pjl {
namespace {

constexpr char kAssign = '=';
constexpr char kQuote = '"';
constexpr char kMinus = '-';
constexpr char kReplacement = '?';
// Stands for a double quote inside a quoted value, which would end it early.
constexpr char kQuoteStandIn = '\'';

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool standsBare(std::string_view value) {
    if (value.empty()) return true;
    if (value.front() == kMinus) return std::all_of(value.begin() + 1, value.end(), isDigit);
    return std::all_of(value.begin(), value.end(), [](char c) { return isDigit(c) || isAsciiLetter(c); });
}

// Returns the length of the UTF-8 character whose lead byte is given; 0 for
// a byte that cannot lead one.
std::size_t sequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

}  // namespace

std::string formatPjlSet(std::string_view key, std::string_view value, bool quoteAlways) {
    if (key.empty()) return {};
    std::string line;
    line.reserve(kSetPrefix.size() + key.size() + value.size() + 5);
    line += kSetPrefix;
    line += key;
    line += kAssign;
    const bool quoted = quoteAlways || !standsBare(value);
    if (quoted) line += kQuote;
    for (char c : value) {
        if (c == '\r' || c == '\n') line += ' ';
        else if (c == kQuote) line += kQuoteStandIn;
        else line += c;
    }
    if (quoted) line += kQuote;
    line += kLineEnd;
    return line;
}

std::string formatNumber(std::int64_t value) { return std::to_string(value); }

bool isWellFormedUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = sequenceLength(static_cast<unsigned char>(text[i]));
        if (length == 0 || i + length > text.size()) return false;
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        i += length;
    }
    return true;
}

std::string withoutControls(std::string_view text) {
    constexpr unsigned char kFirstPrintable = 0x20;
    constexpr unsigned char kDelete = 0x7F;
    std::string kept;
    kept.reserve(text.size());
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= kFirstPrintable && byte != kDelete) kept += c;
    }
    return kept;
}

std::string boundedUtf8Copy(std::string_view source, std::size_t n) {
    const std::size_t room = n == 0 ? 0 : n - 1;
    if (isWellFormedUtf8(source)) {
        // Whole characters only: one that would not fit ends the copy.
        std::size_t end = 0;
        while (end < source.size()) {
            const std::size_t length = sequenceLength(static_cast<unsigned char>(source[end]));
            if (end + length > room) break;
            end += length;
        }
        return std::string(source.substr(0, end));
    }
    std::string copy(source.substr(0, room));
    for (char& c : copy)
        if (static_cast<unsigned char>(c) >= 0x80) c = kReplacement;
    return copy;
}

}  // namespace tvzx::pjl
