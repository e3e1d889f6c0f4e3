// Choosing the display language from the user's preferred UI languages, the
// language codes behind it, and the POSIX environment that names them.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "l10n/display_language.h"
#include "l10n/language_codes.h"
#include "platform/ui_languages.h"
#include "settings/core_data.h"

namespace {

using tvzx::l10n::LanguageCode;
using tvzx::l10n::LanguageId;
using tvzx::l10n::languageIndexFor;
using tvzx::l10n::preferredLanguageCodes;

// Windows language identifiers of the examples.
constexpr LanguageId kEnglishUs = 0x0409;
constexpr LanguageId kEnglishUk = 0x0809;
constexpr LanguageId kEnglishCanada = 0x1009;
constexpr LanguageId kEnglishAustralia = 0x0C09;
constexpr LanguageId kGerman = 0x0407;
constexpr LanguageId kPortuguesePortugal = 0x0816;
constexpr LanguageId kPortugueseBrazil = 0x0416;
constexpr LanguageId kChinesePrc = 0x0804;
constexpr LanguageId kChineseTaiwan = 0x0404;
constexpr LanguageId kChineseHongKong = 0x0C04;
constexpr LanguageId kChineseSingapore = 0x1004;
constexpr LanguageId kJapanese = 0x0411;
constexpr LanguageId kKorean = 0x0412;
constexpr LanguageId kFrenchCanada = 0x0C0C;
constexpr LanguageId kSpanishMexico = 0x080A;
constexpr LanguageId kCroatian = 0x041A;
constexpr LanguageId kSerbianLatin = 0x081A;
constexpr LanguageId kKonkani = 0x0457;  // a primary language no entry names

std::vector<LanguageCode> codesOf(std::vector<LanguageId> languages) { return preferredLanguageCodes(languages); }
int indexOf(std::vector<LanguageId> languages) { return languageIndexFor(languages); }

TEST(LanguageSelection, FirstBuiltInLanguageOfTheUserWins) {
    EXPECT_EQ(codesOf({kPortuguesePortugal, kGerman}), (std::vector<LanguageCode>{7, 3}));
    EXPECT_EQ(indexOf({kPortuguesePortugal, kGerman}), tvzx::l10n::kGermanIndex);
    EXPECT_EQ(indexOf({kPortugueseBrazil}), tvzx::l10n::kEnglishIndex);
    EXPECT_EQ(indexOf({kKonkani, kJapanese, kGerman}), tvzx::l10n::kJapaneseIndex);
    EXPECT_EQ(indexOf({kKorean}), tvzx::l10n::kKoreanIndex);
    EXPECT_EQ(indexOf({kFrenchCanada}), tvzx::l10n::kFrenchIndex);
    EXPECT_EQ(indexOf({kSpanishMexico}), tvzx::l10n::kSpanishIndex);
    // No preferred language at all, or none the table knows: English.
    EXPECT_EQ(indexOf({}), tvzx::l10n::kEnglishIndex);
    EXPECT_EQ(codesOf({kKonkani}), std::vector<LanguageCode>{});
    EXPECT_EQ(indexOf({kKonkani}), tvzx::l10n::kEnglishIndex);
}

TEST(LanguageSelection, SublanguagesPickTheirEntry) {
    // The specific entry of a primary language comes first in the walk; the
    // entry for any other sublanguage takes the rest.
    EXPECT_EQ(codesOf({kEnglishUs, kEnglishCanada, kEnglishUk, kEnglishAustralia}), (std::vector<LanguageCode>{0, 0, 1, 1}));
    EXPECT_EQ(indexOf({kEnglishUk}), tvzx::l10n::kEnglishIndex);
    EXPECT_EQ(indexOf({kEnglishUs}), tvzx::l10n::kEnglishIndex);
    EXPECT_EQ(codesOf({kChinesePrc, kChineseSingapore, kChineseTaiwan, kChineseHongKong}),
              (std::vector<LanguageCode>{13, 13, 12, 12}));
    EXPECT_EQ(indexOf({kChinesePrc}), tvzx::l10n::kSimplifiedChineseIndex);
    EXPECT_EQ(indexOf({kChineseTaiwan}), tvzx::l10n::kTraditionalChineseIndex);
    EXPECT_EQ(indexOf({kChineseHongKong}), tvzx::l10n::kTraditionalChineseIndex);
    EXPECT_EQ(codesOf({kCroatian, kSerbianLatin}), (std::vector<LanguageCode>{25, 26}));
}

TEST(LanguageSelection, LocaleTableAndFileLanguages) {
    using tvzx::l10n::languageCodeOfLocale;
    const std::vector<std::pair<std::uint32_t, LanguageCode>> examples = {
        {0x0409, 0}, {0x0809, 1},  {0x0411, 2},  {0x0407, 3},  {0x040C, 4},  {0x0410, 5}, {0x040A, 6},  {0x0004, 13},
        {0x7C04, 12}, {0x0412, 14}, {0x0413, 9}, {0x0415, 11}, {0x0816, 7}, {0x0419, 8}, {0x041F, 10}, {0x0422, 48}};
    for (const auto& [locale, code] : examples) EXPECT_EQ(languageCodeOfLocale(locale), code) << std::hex << locale;
    EXPECT_EQ(languageCodeOfLocale(0x0C0A), tvzx::l10n::kUnknownLanguageCode);
    EXPECT_EQ(languageCodeOfLocale(0), tvzx::l10n::kUnknownLanguageCode);

    // Files may add codes 7 to 11 and 16 to 48: not the built-in languages,
    // not 15, not the unknown code.
    std::vector<LanguageCode> accepted;
    for (int code = 0; code <= 255; ++code)
        if (tvzx::l10n::isFileLanguageCode(static_cast<LanguageCode>(code))) accepted.push_back(static_cast<LanguageCode>(code));
    std::vector<LanguageCode> expected = {7, 8, 9, 10, 11};
    for (LanguageCode code = 16; code <= 48; ++code) expected.push_back(code);
    EXPECT_EQ(accepted, expected);
}

// How a POSIX system names its locales; Windows names its languages itself.
#if !defined(_WIN32)
TEST(LanguageSelection, LocaleNamesOfAPosixSystem) {
    using tvzx::platform::languageIdOfLocaleName;
    EXPECT_EQ(languageIdOfLocaleName("de_DE"), kGerman);
    EXPECT_EQ(languageIdOfLocaleName("de_DE.UTF-8@euro"), kGerman);
    EXPECT_EQ(languageIdOfLocaleName("de"), kGerman);
    EXPECT_EQ(languageIdOfLocaleName("pt_BR"), kPortugueseBrazil);
    EXPECT_EQ(languageIdOfLocaleName("pt_PT.UTF-8"), kPortuguesePortugal);
    EXPECT_EQ(languageIdOfLocaleName("zh_TW.Big5"), kChineseTaiwan);
    EXPECT_EQ(languageIdOfLocaleName("zh_CN"), kChinesePrc);
    EXPECT_EQ(languageIdOfLocaleName("zh"), kChinesePrc);
    EXPECT_EQ(languageIdOfLocaleName("zh-Hant"), kChineseTaiwan);
    EXPECT_EQ(languageIdOfLocaleName("zh-Hant-HK"), kChineseHongKong);
    EXPECT_EQ(languageIdOfLocaleName("en_GB"), kEnglishUk);
    EXPECT_EQ(languageIdOfLocaleName("EN_us"), kEnglishUs);
    EXPECT_EQ(languageIdOfLocaleName("ja_JP.eucJP"), kJapanese);
    // A territory the table does not know keeps the language's default.
    EXPECT_EQ(languageIdOfLocaleName("en_XX"), kEnglishUs);
    EXPECT_EQ(languageIdOfLocaleName("C"), std::nullopt);
    EXPECT_EQ(languageIdOfLocaleName("C.UTF-8"), std::nullopt);
    EXPECT_EQ(languageIdOfLocaleName("POSIX"), std::nullopt);
    EXPECT_EQ(languageIdOfLocaleName(""), std::nullopt);
    EXPECT_EQ(languageIdOfLocaleName("xx_YY"), std::nullopt);
}

TEST(LanguageSelection, PosixEnvironmentInOrderOfPreference) {
    using tvzx::platform::uiLanguagesOfEnvironment;
    using Languages = std::vector<std::uint16_t>;
    // LANGUAGE first, then the messages locale.
    EXPECT_EQ(uiLanguagesOfEnvironment({"pt_BR:de", "", "", "en_US.UTF-8"}),
              (Languages{kPortugueseBrazil, kGerman, kEnglishUs}));
    EXPECT_EQ(indexOf(uiLanguagesOfEnvironment({"pt_BR:de", "", "", "en_US.UTF-8"})), tvzx::l10n::kGermanIndex);
    // LC_ALL outranks LC_MESSAGES, which outranks LANG.
    EXPECT_EQ(uiLanguagesOfEnvironment({"", "zh_TW.UTF-8", "ja_JP", "de_DE"}), Languages{kChineseTaiwan});
    EXPECT_EQ(uiLanguagesOfEnvironment({"", "", "ja_JP", "de_DE"}), Languages{kJapanese});
    EXPECT_EQ(uiLanguagesOfEnvironment({"", "", "", "en_GB.UTF-8"}), Languages{kEnglishUk});
    // Unknown and empty names drop out; a language given twice counts once.
    EXPECT_EQ(uiLanguagesOfEnvironment({"::xx:de_AT:de_AT", "", "", "de_AT"}), Languages{0x0C07});
    EXPECT_EQ(uiLanguagesOfEnvironment({"", "", "", "C"}), Languages{});
    EXPECT_EQ(uiLanguagesOfEnvironment({}), Languages{});
    EXPECT_EQ(indexOf(uiLanguagesOfEnvironment({"", "", "", "POSIX"})), tvzx::l10n::kEnglishIndex);
}
#endif

TEST(LanguageSelection, SearchOrderStartsWithTheDisplayLanguage) {
    const std::vector<int> order = tvzx::l10n::languagesToSearch();
    ASSERT_EQ(order.size(), 9u);
    EXPECT_EQ(order.front(), tvzx::l10n::currentLanguageIndex());
    std::vector<int> sorted = order;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8}));
}

}  // namespace
