// Languages as the plug-in counts them. Windows names a language by a
// language identifier (primary language and sublanguage) or a locale
// identifier; the plug-in maps both to a language code, 0 to 48, and the
// built-in languages among them to a language index, the number by which
// callers of the text lookup name a language.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "l10n/text_table.h"

namespace tvzx::l10n {

// A Windows language identifier: primary language in the low 10 bits,
// sublanguage above.
using LanguageId = std::uint16_t;

inline constexpr unsigned kPrimaryLanguageBits = 10;
inline constexpr LanguageId kPrimaryLanguageMask = (1u << kPrimaryLanguageBits) - 1;

// Returns the primary language of a language identifier.
constexpr std::uint16_t primaryLanguageOf(LanguageId id) { return id & kPrimaryLanguageMask; }
// Returns the sublanguage of a language identifier.
constexpr std::uint16_t sublanguageOf(LanguageId id) { return static_cast<std::uint16_t>(id >> kPrimaryLanguageBits); }
// Returns the language identifier of a primary language and sublanguage.
constexpr LanguageId makeLanguageId(std::uint16_t primary, std::uint16_t sublanguage) {
    return static_cast<LanguageId>((sublanguage << kPrimaryLanguageBits) | (primary & kPrimaryLanguageMask));
}

using LanguageCode = std::uint8_t;

inline constexpr std::size_t kLanguageCodeCount = 49;
// The code of a locale that the locale table does not know.
inline constexpr LanguageCode kUnknownLanguageCode = 49;

// One entry of the language code table. A language matches the entry when
// its primary language is the entry's and the entry names no sublanguage or
// names the language's.
struct LanguageCodeEntry {
    LanguageCode code;
    std::uint16_t primary;
    std::array<std::uint8_t, 4> sublanguages;
    std::uint8_t sublanguageCount;  // 0: any sublanguage

    // Returns whether the entry takes a language of its primary language with this sublanguage.
    constexpr bool takesSublanguage(std::uint16_t sublanguage) const {
        if (sublanguageCount == 0) return true;
        for (std::size_t i = 0; i < sublanguageCount; ++i)
            if (sublanguages[i] == sublanguage) return true;
        return false;
    }
};

// A Windows locale identifier and the language code it stands for.
struct LocaleEntry {
    std::uint32_t localeId;
    LanguageCode code;
};
inline constexpr std::size_t kLocaleCount = 50;

// Language indexes of the built-in languages; file languages follow from 9.
enum LanguageIndex : int {
    kEnglishIndex = 0,
    kFrenchIndex = 1,
    kItalianIndex = 2,
    kGermanIndex = 3,
    kSpanishIndex = 4,
    kSimplifiedChineseIndex = 5,
    kKoreanIndex = 6,
    kTraditionalChineseIndex = 7,
    kJapaneseIndex = 8,
};
inline constexpr int kBuiltInLanguageCount = 9;

// Returns the 49 language code entries in the order the preferred-language
// walk visits them.
std::span<const LanguageCodeEntry, kLanguageCodeCount> languageCodeTable();

// Returns the 50 entries of the locale table of language files.
std::span<const LocaleEntry, kLocaleCount> localeTable();

// Returns the language code of each preferred language that the code table
// knows, in the user's order; languages of an unknown primary language give
// none.
std::vector<LanguageCode> preferredLanguageCodes(std::span<const LanguageId> languages);

// Returns the built-in language index of a language code, if it is one of
// the built-in languages.
std::optional<int> languageIndexOfCode(LanguageCode code);

// Returns the display language for preferred language codes: the index of
// the first code that is a built-in language, else English.
int languageIndexOfCodes(std::span<const LanguageCode> codes);

// Returns the display language for the user's preferred languages.
int languageIndexFor(std::span<const LanguageId> languages);

// Returns the language code of a Windows locale identifier;
// kUnknownLanguageCode when the locale table does not hold it.
LanguageCode languageCodeOfLocale(std::uint32_t localeId);

// Returns whether a language file may add the language of this code: any
// language the code table knows except the built-in ones and code 15.
bool isFileLanguageCode(LanguageCode code);

// Returns the table column of a built-in language index; nothing for any
// other index.
std::optional<TextColumn> columnOfLanguageIndex(int languageIndex);

}  // namespace tvzx::l10n
