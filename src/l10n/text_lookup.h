// The text of an identifier in a language: the built-in table for the nine
// built-in languages, the language file beside the plug-in for the languages
// it adds after them.
#pragma once

#include <cstdint>
#include <string_view>

#include "l10n/language_file.h"

namespace tvzx::l10n {

// Returns the text of an identifier in a language. Its data is never null
// and is NUL-terminated; the text is empty for an identifier past the table,
// a missing text, and a language index that no language has. An index of a
// file language gives the file's text for the identifier's key, or the
// English text when the file has none; the file is loaded on first use.
std::u16string_view getText(int languageIndex, std::uint32_t textId);

// Returns the number of languages: 9 plus those the language file adds.
// Loads the file on first use.
int languageCount();

// Returns the text of an identifier as getText does, with the languages of
// this file after the built-in ones.
std::u16string_view textIn(const LanguageFile& file, int languageIndex, std::uint32_t textId);

// Returns the language file beside the plug-in module, loaded once per
// process; an empty file when there is none or the module is not known.
const LanguageFile& moduleLanguageFile();

}  // namespace tvzx::l10n
