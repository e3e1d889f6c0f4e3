// The display language of the plug-in's texts, chosen from the user's
// preferred UI languages.
#pragma once

#include <span>
#include <vector>

#include "l10n/language_codes.h"

namespace tvzx::l10n {

// Returns the language codes of the user's preferred UI languages, in the
// user's order; asked of the system once per process and kept.
std::span<const LanguageCode> userLanguageCodes();

// Returns the index of the display language: the first of the user's
// preferred languages that is a built-in language, else 0 (English).
int currentLanguageIndex();

// Returns the language indexes to search when a name must be mapped back to
// what it names, whatever language it was written in: the display language
// first, then every other language in index order, the language file's
// included.
std::vector<int> languagesToSearch();

}  // namespace tvzx::l10n
