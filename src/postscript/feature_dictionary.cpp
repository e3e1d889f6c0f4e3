#include "postscript/feature_dictionary.h"

#include <array>

namespace tvzx::postscript {
namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kHexDigits = "0123456789ABCDEF";

// Characters that end a name in the PostScript scanner.
constexpr std::string_view kDelimiters = "()<>[]{}/%";

constexpr bool standsInName(unsigned char c) {
    return c > 0x20 && c < 0x7F && kDelimiters.find(static_cast<char>(c)) == std::string_view::npos;
}

}  // namespace

std::string ensureFeatureDict() {
    std::string text;
    text += kLineEnd;
    text += "userdict /";
    text += names::kFeatures;
    text += " known not { userdict /";
    text += names::kFeatures;
    text += " 100 dict put } if";
    text += kLineEnd;
    return text;
}

std::string dictPut(std::string_view key, std::string_view value) {
    if (key.empty()) return {};
    std::string line;
    line.reserve(names::kFeatures.size() + key.size() + value.size() + 12);
    line += names::kFeatures;
    line += " /";
    line += key;
    // An empty value removes what an earlier text may have stored.
    if (value.empty()) {
        line += " undef";
    } else {
        line += ' ';
        line += value;
        line += " put";
    }
    line += kLineEnd;
    return line;
}

std::string dictCall(std::string_view key, std::string_view arguments) {
    if (key.empty()) return {};
    std::string line;
    line.reserve(2 * (names::kFeatures.size() + key.size()) + arguments.size() + 32);
    line += names::kFeatures;
    line += " /";
    line += key;
    line += " known { ";
    // The arguments are pushed only when the procedure is there to take them.
    if (!arguments.empty()) {
        line += arguments;
        line += ' ';
    }
    line += names::kFeatures;
    line += " /";
    line += key;
    line += " get exec } if";
    line += kLineEnd;
    return line;
}

std::string hexString(std::string_view bytes) {
    std::string text;
    text.reserve(2 * bytes.size() + 2);
    text += '<';
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        text += kHexDigits[b >> 4];
        text += kHexDigits[b & 0x0F];
    }
    text += '>';
    return text;
}

std::string literalName(std::string_view bytes) {
    bool plain = !bytes.empty();
    for (const char c : bytes) plain = plain && standsInName(static_cast<unsigned char>(c));
    if (plain) return "/" + std::string(bytes);
    // Anything else would end the name early or be read as other tokens, so
    // the name is made from a string at run time.
    if (bytes.empty()) return "()cvn";
    return hexString(bytes) + "cvn";
}

}  // namespace tvzx::postscript
