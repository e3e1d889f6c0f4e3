// The languages the user wants the user interface in, as the system names
// them.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace tvzx::platform {

// Returns the user's preferred UI languages, most preferred first, as
// Windows language identifiers (primary language in the low 10 bits,
// sublanguage above); empty when the system names none.
std::vector<std::uint16_t> preferredUiLanguages();

#if !defined(_WIN32)
// The environment variables a POSIX system names the user's languages in;
// an unset variable is empty.
struct LocaleEnvironment {
    std::string_view language;    // LANGUAGE: a list of locale names separated by ":"
    std::string_view lcAll;       // LC_ALL
    std::string_view lcMessages;  // LC_MESSAGES
    std::string_view lang;        // LANG
};

// Returns the Windows language identifiers of the languages the environment
// prefers: those of LANGUAGE in its order, then the locale of messages (the
// first set of LC_ALL, LC_MESSAGES and LANG). Names that map to no Windows
// language, such as "C" and "POSIX", are left out, and so are repeats.
std::vector<std::uint16_t> uiLanguagesOfEnvironment(const LocaleEnvironment& environment);

// Returns the Windows language identifier of a POSIX locale name such as
// "de_DE.UTF-8", "pt_BR", "zh_TW" or "de"; a language without a territory,
// or with one the table does not know, gets the language's default
// sublanguage. Nothing for an unknown language.
std::optional<std::uint16_t> languageIdOfLocaleName(std::string_view name);
#endif

}  // namespace tvzx::platform
