// The optional language file beside the plug-in: further languages for the
// texts of the built-in table, by key. Deciphered, it is UTF-16 text of
// lines ending in "\n" with fields separated by "\t": a header line
// "L10N_LBL_LANGUAGECODE" followed by one Windows locale identifier per
// column (hexadecimal, with or without "0x"), and per key a line of the key
// followed by one text per column.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "l10n/language_codes.h"

namespace tvzx::l10n {

// First field of the header line.
inline constexpr std::u16string_view kLanguageHeaderKey = u"L10N_LBL_LANGUAGECODE";
inline constexpr char16_t kLanguageFieldSeparator = u'\t';
inline constexpr char16_t kLanguageLineEnd = u'\n';

// One language a file adds: the header's locale and its language code.
struct FileLanguage {
    std::uint32_t localeId;
    LanguageCode code;

    bool operator==(const FileLanguage&) const = default;
};

class LanguageFile {
public:
    // Returns the languages and texts of a deciphered file. Never fails: a
    // text without a header line, or whose header names no language a file
    // may add, adds no language. Columns of other locales are skipped; a line
    // with fewer texts than columns lacks the rest; of two lines with the
    // same key the first counts.
    static LanguageFile parse(std::u16string_view text);

    // Returns whether the text held a header line; a file that deciphers
    // under the wrong key, or is no language file at all, holds none.
    bool hasHeader() const { return hasHeader_; }
    // Returns the number of languages the file adds.
    std::size_t languageCount() const { return languages_.size(); }
    // Returns the languages in file order.
    const std::vector<FileLanguage>& languages() const { return languages_; }
    // Returns the number of keys with texts.
    std::size_t keyCount() const { return texts_.size(); }

    // Returns the text of a key in the file's language `language` (0 is the
    // first); an empty view when the file has none.
    std::u16string_view text(std::size_t language, std::u16string_view key) const;

private:
    bool hasHeader_ = false;
    std::vector<FileLanguage> languages_;
    // Per key the texts of the added languages, in file order.
    std::map<std::u16string, std::vector<std::u16string>, std::less<>> texts_;
};

// Returns the locale identifier of a header field: hexadecimal digits, with
// or without a "0x" or "0X" prefix, at most eight; nothing otherwise.
std::optional<std::uint32_t> parseLocaleField(std::u16string_view field);

// Returns the language file held by enciphered bytes; an empty file when the
// bytes cannot be one (size or deciphering).
LanguageFile readLanguageFile(std::vector<std::uint8_t> bytes);

// Returns the language file at this path; an empty file when it is missing,
// cannot be read, or has a size no language file has (checked before
// reading).
LanguageFile loadLanguageFile(std::u16string_view path);

}  // namespace tvzx::l10n
