// A POSIX system names the user's languages in the environment, as locale
// names (language, territory, codeset, modifier); the plug-in wants Windows
// language identifiers, so the names are mapped to those.
#include "platform/ui_languages.h"

#include <array>
#include <cstdlib>
#include <initializer_list>
#include <string>

namespace tvzx::platform {
namespace {

// A language by its ISO 639 code: its Windows primary language and the
// sublanguage it has when no territory says otherwise.
struct LanguageName {
    std::string_view code;
    std::uint16_t primary;
    std::uint8_t defaultSublanguage;
};

// A territory whose sublanguage differs from the language's default.
struct TerritoryName {
    std::string_view language;
    std::string_view territory;
    std::uint8_t sublanguage;
};

constexpr std::array<LanguageName, 50> kLanguages = {{
    {"af", 0x36, 1}, {"ar", 0x01, 1}, {"be", 0x23, 1}, {"bg", 0x02, 1}, {"bs", 0x1A, 5}, {"ca", 0x03, 1},
    {"cs", 0x05, 1}, {"da", 0x06, 1}, {"de", 0x07, 1}, {"el", 0x08, 1}, {"en", 0x09, 1}, {"es", 0x0A, 3},
    {"et", 0x25, 1}, {"eu", 0x2D, 1}, {"fa", 0x29, 1}, {"fi", 0x0B, 1}, {"fr", 0x0C, 1}, {"gl", 0x56, 1},
    {"he", 0x0D, 1}, {"hi", 0x39, 1}, {"hr", 0x1A, 1}, {"hu", 0x0E, 1}, {"id", 0x21, 1}, {"is", 0x0F, 1},
    {"it", 0x10, 1}, {"ja", 0x11, 1}, {"kk", 0x3F, 1}, {"ko", 0x12, 1}, {"lt", 0x27, 1}, {"lv", 0x26, 1},
    {"mk", 0x2F, 1}, {"ms", 0x3E, 1}, {"nb", 0x14, 1}, {"nl", 0x13, 1}, {"nn", 0x14, 2}, {"no", 0x14, 1},
    {"pl", 0x15, 1}, {"pt", 0x16, 1}, {"ro", 0x18, 1}, {"ru", 0x19, 1}, {"sk", 0x1B, 1}, {"sl", 0x24, 1},
    {"sq", 0x1C, 1}, {"sr", 0x1A, 3}, {"sv", 0x1D, 1}, {"th", 0x1E, 1}, {"tr", 0x1F, 1}, {"uk", 0x22, 1},
    {"vi", 0x2A, 1}, {"zh", 0x04, 2},
}};

constexpr std::array<TerritoryName, 66> kTerritories = {{
    {"en", "US", 1},  {"en", "GB", 2},  {"en", "AU", 3},  {"en", "CA", 4},  {"en", "NZ", 5},  {"en", "IE", 6},
    {"en", "ZA", 7},  {"en", "JM", 8},  {"en", "BZ", 10}, {"en", "TT", 11}, {"en", "ZW", 12}, {"en", "PH", 13},
    {"en", "IN", 16}, {"en", "MY", 17}, {"en", "SG", 18}, {"fr", "FR", 1},  {"fr", "BE", 2},  {"fr", "CA", 3},
    {"fr", "CH", 4},  {"fr", "LU", 5},  {"fr", "MC", 6},  {"de", "DE", 1},  {"de", "CH", 2},  {"de", "AT", 3},
    {"de", "LU", 4},  {"de", "LI", 5},  {"it", "IT", 1},  {"it", "CH", 2},  {"es", "ES", 3},  {"es", "MX", 2},
    {"es", "GT", 4},  {"es", "CR", 5},  {"es", "PA", 6},  {"es", "DO", 7},  {"es", "VE", 8},  {"es", "CO", 9},
    {"es", "PE", 10}, {"es", "AR", 11}, {"es", "EC", 12}, {"es", "CL", 13}, {"es", "UY", 14}, {"es", "PY", 15},
    {"es", "BO", 16}, {"es", "SV", 17}, {"es", "HN", 18}, {"es", "NI", 19}, {"es", "PR", 20}, {"es", "US", 21},
    {"pt", "BR", 1},  {"pt", "PT", 2},  {"zh", "TW", 1},  {"zh", "CN", 2},  {"zh", "HK", 3},  {"zh", "SG", 4},
    {"zh", "MO", 5},  {"nl", "NL", 1},  {"nl", "BE", 2},  {"sv", "SE", 1},  {"sv", "FI", 2},  {"ms", "MY", 1},
    {"ms", "BN", 2},  {"hr", "HR", 1},  {"hr", "BA", 4},  {"sr", "RS", 10}, {"ar", "SA", 1},  {"ar", "EG", 3},
}};

// Script subtags that settle the Chinese sublanguage when no territory does.
constexpr std::string_view kTraditionalScript = "hant";
constexpr std::string_view kSimplifiedScript = "hans";
constexpr std::uint8_t kChineseTaiwan = 1;
constexpr std::uint8_t kChinesePrc = 2;
constexpr std::size_t kScriptLength = 4;

constexpr unsigned kSublanguageShift = 10;
constexpr char kListSeparator = ':';

std::string lowerAscii(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

std::string upperAscii(std::string_view text) {
    std::string upper(text);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return upper;
}

std::string_view variable(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string_view{} : std::string_view(value);
}

}  // namespace

std::optional<std::uint16_t> languageIdOfLocaleName(std::string_view name) {
    // The codeset and the modifier do not change the language.
    name = name.substr(0, name.find_first_of(".@"));
    const std::size_t split = name.find_first_of("_-");
    const std::string language = lowerAscii(name.substr(0, split));
    std::string_view rest = split == std::string_view::npos ? std::string_view{} : name.substr(split + 1);

    const LanguageName* known = nullptr;
    for (const LanguageName& entry : kLanguages)
        if (entry.code == language) known = &entry;
    if (known == nullptr) return std::nullopt;
    std::uint8_t sublanguage = known->defaultSublanguage;

    // A script subtag may stand before the territory ("zh-Hant-TW").
    const std::size_t next = rest.find_first_of("_-");
    const std::string first = lowerAscii(rest.substr(0, next));
    if (first.size() == kScriptLength) {
        if (language == "zh" && first == kTraditionalScript) sublanguage = kChineseTaiwan;
        if (language == "zh" && first == kSimplifiedScript) sublanguage = kChinesePrc;
        rest = next == std::string_view::npos ? std::string_view{} : rest.substr(next + 1);
    }
    const std::string territory = upperAscii(rest.substr(0, rest.find_first_of("_-")));
    for (const TerritoryName& entry : kTerritories)
        if (entry.language == language && entry.territory == territory) sublanguage = entry.sublanguage;
    return static_cast<std::uint16_t>((sublanguage << kSublanguageShift) | known->primary);
}

std::vector<std::uint16_t> uiLanguagesOfEnvironment(const LocaleEnvironment& environment) {
    std::vector<std::uint16_t> languages;
    const auto add = [&languages](std::string_view name) {
        const std::optional<std::uint16_t> id = languageIdOfLocaleName(name);
        if (!id) return;
        for (const std::uint16_t known : languages)
            if (known == *id) return;
        languages.push_back(*id);
    };
    // LANGUAGE lists the user's languages in order of preference.
    for (std::string_view list = environment.language; !list.empty();) {
        const std::size_t separator = list.find(kListSeparator);
        add(list.substr(0, separator));
        list = separator == std::string_view::npos ? std::string_view{} : list.substr(separator + 1);
    }
    // Then the locale that messages are shown in, by the usual precedence.
    for (const std::string_view locale : {environment.lcAll, environment.lcMessages, environment.lang}) {
        if (locale.empty()) continue;
        add(locale);
        break;
    }
    return languages;
}

std::vector<std::uint16_t> preferredUiLanguages() {
    return uiLanguagesOfEnvironment(
        {variable("LANGUAGE"), variable("LC_ALL"), variable("LC_MESSAGES"), variable("LANG")});
}

}  // namespace tvzx::platform
