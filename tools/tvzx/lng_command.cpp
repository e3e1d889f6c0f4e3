// tvzx lng: writing and reading the enciphered language file. On our side
// the table is UTF-8 text with the same lines and fields as the file holds:
// a header line "L10N_LBL_LANGUAGECODE" with one locale identifier per
// column, then per key a line of the key and one text per column.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "commands.h"
#include "files.h"
#include "common/wide_text.h"
#include "l10n/language_codes.h"
#include "l10n/language_file.h"
#include "l10n/language_file_cipher.h"

namespace tvzx::cli {
namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";
constexpr char32_t kLastCodePoint = 0x10FFFF;
constexpr char32_t kFirstSurrogate = 0xD800;
constexpr char32_t kLastSurrogate = 0xDFFF;
constexpr char32_t kFirstSupplementary = 0x10000;

// Returns the UTF-16 form of well-formed UTF-8; nothing when the bytes are
// not, with `badOffset` set to where the fault starts.
std::optional<std::u16string> utf16FromUtf8(std::string_view text, std::size_t& badOffset) {
    std::u16string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        // The lead byte gives the sequence's length and the smallest code
        // point it may carry, so that overlong forms are refused.
        std::size_t length = 0;
        char32_t point = 0;
        char32_t smallest = 0;
        if (lead < 0x80) { length = 1; point = lead; }
        else if ((lead & 0xE0) == 0xC0) { length = 2; point = lead & 0x1F; smallest = 0x80; }
        else if ((lead & 0xF0) == 0xE0) { length = 3; point = lead & 0x0F; smallest = 0x800; }
        else if ((lead & 0xF8) == 0xF0) { length = 4; point = lead & 0x07; smallest = kFirstSupplementary; }
        else { badOffset = i; return std::nullopt; }
        if (i + length > text.size()) { badOffset = i; return std::nullopt; }
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) { badOffset = i; return std::nullopt; }
            point = (point << 6) | (next & 0x3F);
        }
        if (point < smallest || point > kLastCodePoint || (point >= kFirstSurrogate && point <= kLastSurrogate)) {
            badOffset = i;
            return std::nullopt;
        }
        if (point < kFirstSupplementary) {
            result.push_back(static_cast<char16_t>(point));
        } else {
            const char32_t offset = point - kFirstSupplementary;
            result.push_back(static_cast<char16_t>(0xD800 + (offset >> 10)));
            result.push_back(static_cast<char16_t>(0xDC00 + (offset & 0x3FF)));
        }
        i += length;
    }
    return result;
}

// Returns the 1-based line number of a byte offset.
std::size_t lineNumberAt(std::string_view text, std::size_t offset) {
    std::size_t line = 1;
    for (std::size_t i = 0; i < offset && i < text.size(); ++i)
        if (text[i] == '\n') ++line;
    return line;
}

std::vector<std::u16string_view> splitFields(std::u16string_view line) {
    std::vector<std::u16string_view> fields;
    for (std::size_t start = 0;;) {
        const std::size_t tab = line.find(l10n::kLanguageFieldSeparator, start);
        fields.push_back(line.substr(start, tab == std::u16string_view::npos ? std::u16string_view::npos : tab - start));
        if (tab == std::u16string_view::npos) return fields;
        start = tab + 1;
    }
}

// Returns the lines of a table, without line ends or a carriage return before them.
std::vector<std::u16string_view> splitLines(std::u16string_view text) {
    std::vector<std::u16string_view> lines;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = text.find(l10n::kLanguageLineEnd, start);
        std::u16string_view line = text.substr(start, end == std::u16string_view::npos ? std::u16string_view::npos : end - start);
        if (!line.empty() && line.back() == u'\r') line.remove_suffix(1);
        lines.push_back(line);
        start = end == std::u16string_view::npos ? text.size() : end + 1;
    }
    return lines;
}

// What a maintainer's table holds, once checked.
struct TableSummary {
    std::size_t languages = 0;
    std::size_t keys = 0;
};

// Checks that a table reads back in full: one header line whose every column
// is a language a file may add, no line with more texts than columns, no key
// twice. Throws naming the line at fault.
TableSummary checkTable(const std::string& path, std::u16string_view table) {
    const std::vector<std::u16string_view> lines = splitLines(table);
    std::optional<std::size_t> headerLine;
    std::size_t columns = 0;
    for (std::size_t i = 0; i < lines.size() && !headerLine; ++i) {
        const std::vector<std::u16string_view> fields = splitFields(lines[i]);
        if (fields.front() != l10n::kLanguageHeaderKey) continue;
        headerLine = i;
        columns = fields.size() - 1;
        for (std::size_t column = 1; column < fields.size(); ++column) {
            const std::optional<std::uint32_t> locale = l10n::parseLocaleField(fields[column]);
            if (!locale || !l10n::isFileLanguageCode(l10n::languageCodeOfLocale(*locale)))
                throw UsageError(path + ":" + std::to_string(i + 1) + ": column " + std::to_string(column) + " ('" +
                                 utf8FromUtf16(fields[column]) + "') is not a language a language file may add");
        }
    }
    if (!headerLine)
        throw UsageError(path + ": no header line beginning with " + utf8FromUtf16(l10n::kLanguageHeaderKey));
    if (columns == 0) throw UsageError(path + ":" + std::to_string(*headerLine + 1) + ": the header names no language");

    TableSummary summary{columns, 0};
    std::map<std::u16string_view, std::size_t> firstLineOfKey;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i == *headerLine) continue;
        const std::vector<std::u16string_view> fields = splitFields(lines[i]);
        const std::string where = path + ":" + std::to_string(i + 1) + ": ";
        if (fields.front().empty()) {
            if (fields.size() > 1) throw UsageError(where + "texts without a key");
            continue;
        }
        if (fields.front() == l10n::kLanguageHeaderKey) throw UsageError(where + "a second header line");
        if (fields.size() - 1 > columns)
            throw UsageError(where + std::to_string(fields.size() - 1) + " texts for " + std::to_string(columns) + " languages");
        const auto [first, added] = firstLineOfKey.emplace(fields.front(), i + 1);
        if (!added)
            throw UsageError(where + "the key " + utf8FromUtf16(fields.front()) + " was given on line " +
                             std::to_string(first->second));
        ++summary.keys;
    }
    return summary;
}

// Returns a count with its noun, in the plural unless the count is one.
std::string counted(std::size_t count, const std::string& noun) {
    return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

std::string packCommand(const std::string& tablePath, const std::string& outputPath) {
    std::string bytes = readFileText(tablePath);
    if (std::string_view(bytes).starts_with(kUtf8ByteOrderMark)) bytes.erase(0, kUtf8ByteOrderMark.size());
    std::size_t badOffset = 0;
    const std::optional<std::u16string> table = utf16FromUtf8(bytes, badOffset);
    if (!table) throw UsageError(tablePath + ":" + std::to_string(lineNumberAt(bytes, badOffset)) + ": not UTF-8 text");
    // Reading stops at the first NUL character, so none may stand in the table.
    if (const std::size_t nul = bytes.find('\0'); nul != std::string::npos)
        throw UsageError(tablePath + ":" + std::to_string(lineNumberAt(bytes, nul)) + ": a NUL character");

    const TableSummary summary = checkTable(tablePath, *table);
    const std::vector<std::uint8_t> file = l10n::encipherLanguageFile(*table);
    writeFileAtomically(outputPath, std::string_view(reinterpret_cast<const char*>(file.data()), file.size()));
    return outputPath + ": " + counted(summary.languages, "language") + ", " + counted(summary.keys, "key") + "\n";
}

std::string unpackCommand(const std::string& inputPath) {
    std::vector<std::uint8_t> bytes = readFileBytes(inputPath);
    if (!l10n::isLanguageFileSize(bytes.size()))
        throw UsageError(inputPath + ": " + std::to_string(bytes.size()) + " bytes is not the size of a language file");
    const std::optional<std::u16string> text = l10n::decipherLanguageFile(std::move(bytes));
    if (!text || !l10n::LanguageFile::parse(*text).hasHeader())
        throw UsageError(inputPath + ": does not decipher to a language table");
    return utf8FromUtf16(*text);
}

}  // namespace

std::string lngCommand(std::vector<std::string> words) {
    if (words.empty()) throw UsageError("lng: pack or unpack is needed");
    const std::string action = words.front();
    if (action == "pack") {
        if (words.size() != 3) throw UsageError("lng pack: a table and an output file are needed");
        return packCommand(words[1], words[2]);
    }
    if (action == "unpack") {
        if (words.size() != 2) throw UsageError("lng unpack: one language file is needed");
        return unpackCommand(words[1]);
    }
    throw UsageError("lng: unknown action '" + action + "'");
}

}  // namespace tvzx::cli
