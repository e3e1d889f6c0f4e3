// Choosing the display language from the user's preferred UI languages, the
// language codes behind it, and the POSIX environment that names them.
#include <gtest/gtest.h>

#include <algorithm>

#include "l10n/display_language.h"
#include "platform/ui_languages.h"

namespace {

using namespace tvzx::l10n;
using Codes = std::vector<LanguageCode>;

// Windows language identifiers of the examples.
constexpr LanguageId kEnglishUs = 0x0409, kEnglishUk = 0x0809, kGerman = 0x0407, kPortugueseBrazil = 0x0416;
constexpr LanguageId kChinesePrc = 0x0804, kChineseTaiwan = 0x0404, kChineseHongKong = 0x0C04, kJapanese = 0x0411;
constexpr LanguageId kKonkani = 0x0457;  // a primary language no entry names

Codes codesOf(std::vector<LanguageId> languages) { return preferredLanguageCodes(languages); }
int indexOf(std::vector<LanguageId> languages) { return languageIndexFor(languages); }

TEST(LanguageSelection, FirstBuiltInLanguageOfTheUserWinsThroughTheLocaleTable) {
    EXPECT_EQ(codesOf({0x0816, kGerman}), (Codes{7, 3}));
    EXPECT_EQ(codesOf({kKonkani}), Codes{});
    EXPECT_EQ((std::vector{indexOf({0x0816, kGerman}), indexOf({kPortugueseBrazil}), indexOf({kKonkani, kJapanese, kGerman}),
                           indexOf({0x0C0C}), indexOf({}), indexOf({kChineseHongKong})}),
              (std::vector<int>{kGermanIndex, kEnglishIndex, kJapaneseIndex, kFrenchIndex, kEnglishIndex, kTraditionalChineseIndex}));
    // The specific entry of a primary language comes first in the walk; the
    // entry for any other sublanguage takes the rest.
    EXPECT_EQ(codesOf({kEnglishUs, 0x1009, kEnglishUk, 0x0C09}), (Codes{0, 0, 1, 1}));
    EXPECT_EQ(codesOf({kChinesePrc, 0x1004, kChineseTaiwan, kChineseHongKong}), (Codes{13, 13, 12, 12}));
    EXPECT_EQ(codesOf({0x041A, 0x081A}), (Codes{25, 26}));
    // The locale table, and the codes files may add.
    const LanguageCode unknown = tvzx::l10n::kUnknownLanguageCode;
    for (const auto& [locale, code] : {std::pair{0x0004u, LanguageCode{13}}, std::pair{0x7C04u, LanguageCode{12}},
                                       std::pair{0x0422u, LanguageCode{48}}, std::pair{0x0C0Au, unknown}, std::pair{0u, unknown}})
        EXPECT_EQ(tvzx::l10n::languageCodeOfLocale(locale), code) << locale;
    // Files may add codes 7 to 11 and 16 to 48: not the built-in languages,
    // not 15, not the unknown code.
    for (int code = 0; code <= 255; ++code)
        EXPECT_EQ(tvzx::l10n::isFileLanguageCode(static_cast<LanguageCode>(code)), (code >= 7 && code <= 11) || (code >= 16 && code <= 48))
            << code;
    // The search order starts with the display language.
    std::vector<int> order = tvzx::l10n::languagesToSearch();
    EXPECT_EQ(order.front(), tvzx::l10n::currentLanguageIndex());
    std::sort(order.begin(), order.end());
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8}));
}

// How a POSIX system names its locales; Windows names its languages itself.
#if !defined(_WIN32)
TEST(LanguageSelection, LocaleNamesAndEnvironmentOfAPosixSystem) {
    const std::pair<const char*, std::optional<LanguageId>> names[] = {
        {"de_DE.UTF-8@euro", kGerman}, {"de", kGerman},         {"pt_BR", kPortugueseBrazil},
        {"zh_TW.Big5", kChineseTaiwan}, {"zh", kChinesePrc},    {"zh-Hant", kChineseTaiwan},
        {"zh-Hant-HK", kChineseHongKong}, {"EN_us", kEnglishUs}, {"en_XX", kEnglishUs},
        {"C.UTF-8", std::nullopt},      {"POSIX", std::nullopt}, {"", std::nullopt}, {"xx_YY", std::nullopt}};
    for (const auto& [name, id] : names) EXPECT_EQ(tvzx::platform::languageIdOfLocaleName(name), id) << name;
    // The environment names them in order of preference.
    using tvzx::platform::uiLanguagesOfEnvironment;
    using Languages = std::vector<std::uint16_t>;
    // LANGUAGE first, then the messages locale.
    EXPECT_EQ(uiLanguagesOfEnvironment({"pt_BR:de", "", "", "en_US.UTF-8"}), (Languages{kPortugueseBrazil, kGerman, kEnglishUs}));
    // LC_ALL outranks LC_MESSAGES, which outranks LANG. Unknown and empty
    // names drop out; a language given twice counts once.
    EXPECT_EQ(uiLanguagesOfEnvironment({"", "zh_TW.UTF-8", "ja_JP", "de_DE"}), Languages{kChineseTaiwan});
    EXPECT_EQ(uiLanguagesOfEnvironment({"", "", "ja_JP", "de_DE"}), Languages{kJapanese});
    EXPECT_EQ(uiLanguagesOfEnvironment({"", "", "", "en_GB.UTF-8"}), Languages{kEnglishUk});
    EXPECT_EQ(uiLanguagesOfEnvironment({"::xx:de_AT:de_AT", "", "", "de_AT"}), Languages{0x0C07});
    EXPECT_EQ(uiLanguagesOfEnvironment({"", "", "", "C"}), Languages{});
}
#endif

}  // namespace
