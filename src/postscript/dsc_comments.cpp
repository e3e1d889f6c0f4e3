#include "postscript/dsc_comments.h"

#include <algorithm>
#include <charconv>
#include <limits>

#include "common/base64.h"
#include "pjl/settings_secrets.h"
#include "settings/text_form.h"

namespace tvzx::postscript {
namespace {

constexpr std::string_view kCommentStart = "%%";
constexpr std::string_view kKeySeparator = ": ";
constexpr std::string_view kContinuation = "%%+ ";
constexpr std::string_view kShortCommentStart = "%%TARVO-";
constexpr std::string_view kBitmapSizeStart = "%%TARVO-BitmapSize: ";
constexpr std::string_view kLineEnd = "\r\n";
// DSC lines stay within 160 characters before their line end.
constexpr std::size_t kLineLimit = 160;
constexpr std::string_view kHexDigits = "0123456789ABCDEF";

bool isAsciiAlphanumeric(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

}  // namespace

std::string longComment(std::string_view key, std::string_view value) {
    if (key.empty()) return {};
    std::string prefix = std::string(kCommentStart) + std::string(key) + std::string(kKeySeparator);
    // Room for every line with its prefix and line end, so the text grows once.
    const std::size_t lines = value.size() / (kLineLimit - kContinuation.size()) + 2;
    std::string out;
    out.reserve(value.size() + lines * (prefix.size() + kLineEnd.size()));
    // Lines continue until one takes fewer characters than it has room for,
    // so a value that fills its last line exactly is followed by an empty one.
    for (;;) {
        const std::size_t room = kLineLimit - prefix.size();
        const std::size_t take = std::min(room, value.size());
        out += prefix;
        out += value.substr(0, take);
        out += kLineEnd;
        value.remove_prefix(take);
        if (take < room) return out;
        prefix = kContinuation;
    }
}

std::string jobSettingsComments(const settings::CoreData& settings) {
    // The comment travels into spool files, print servers and the printer's
    // disk, so it carries the record without its passwords; the ticket alone
    // has them, enciphered.
    std::string block = longComment(kJobSettingsKey, base64Encode(pjl::withoutSecrets(settings).bytes));
    block += longComment(kJobSettingsDescriptionKey, settings::currentLayoutDescription());
    return block;
}

std::string shortComment(std::string_view key, std::string_view value) {
    std::string out = std::string(kShortCommentStart) + std::string(key) + std::string(kKeySeparator);
    if (std::all_of(value.begin(), value.end(), isAsciiAlphanumeric)) {
        out += value;
    } else {
        out += '<';
        for (char c : value) {
            const auto byte = static_cast<unsigned char>(c);
            out += kHexDigits[byte >> 4];
            out += kHexDigits[byte & 15];
        }
        out += '>';
    }
    out += kLineEnd;
    return out;
}

std::string_view formatBitmapSizeLine(std::span<char, kBitmapSizeLineLimit> into, std::uint32_t width,
                                      std::uint32_t height) {
    // Written once a page: the numbers go straight into the line.
    static_assert(kBitmapSizeStart.size() + 2 * (std::numeric_limits<std::uint32_t>::digits10 + 1) + 1 +
                      kLineEnd.size() <= kBitmapSizeLineLimit);
    char* at = std::copy(kBitmapSizeStart.begin(), kBitmapSizeStart.end(), into.data());
    at = std::to_chars(at, into.data() + into.size(), width).ptr;
    *at++ = ' ';
    at = std::to_chars(at, into.data() + into.size(), height).ptr;
    at = std::copy(kLineEnd.begin(), kLineEnd.end(), at);
    return std::string_view(into.data(), static_cast<std::size_t>(at - into.data()));
}

}  // namespace tvzx::postscript
