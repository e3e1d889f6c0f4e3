#include "l10n/language_codes.h"

#include <algorithm>
#include <initializer_list>

namespace tvzx::l10n {
namespace {

// Windows primary language identifiers of the languages the plug-in knows.
namespace primary {
inline constexpr std::uint16_t kArabic = 0x01;
inline constexpr std::uint16_t kBulgarian = 0x02;
inline constexpr std::uint16_t kCatalan = 0x03;
inline constexpr std::uint16_t kChinese = 0x04;
inline constexpr std::uint16_t kCzech = 0x05;
inline constexpr std::uint16_t kDanish = 0x06;
inline constexpr std::uint16_t kGerman = 0x07;
inline constexpr std::uint16_t kGreek = 0x08;
inline constexpr std::uint16_t kEnglish = 0x09;
inline constexpr std::uint16_t kSpanish = 0x0A;
inline constexpr std::uint16_t kFinnish = 0x0B;
inline constexpr std::uint16_t kFrench = 0x0C;
inline constexpr std::uint16_t kHebrew = 0x0D;
inline constexpr std::uint16_t kHungarian = 0x0E;
inline constexpr std::uint16_t kIcelandic = 0x0F;
inline constexpr std::uint16_t kItalian = 0x10;
inline constexpr std::uint16_t kJapanese = 0x11;
inline constexpr std::uint16_t kKorean = 0x12;
inline constexpr std::uint16_t kDutch = 0x13;
inline constexpr std::uint16_t kNorwegian = 0x14;
inline constexpr std::uint16_t kPolish = 0x15;
inline constexpr std::uint16_t kPortuguese = 0x16;
inline constexpr std::uint16_t kRomanian = 0x18;
inline constexpr std::uint16_t kRussian = 0x19;
inline constexpr std::uint16_t kCroatianSerbian = 0x1A;
inline constexpr std::uint16_t kSlovak = 0x1B;
inline constexpr std::uint16_t kAlbanian = 0x1C;
inline constexpr std::uint16_t kSwedish = 0x1D;
inline constexpr std::uint16_t kThai = 0x1E;
inline constexpr std::uint16_t kTurkish = 0x1F;
inline constexpr std::uint16_t kIndonesian = 0x21;
inline constexpr std::uint16_t kUkrainian = 0x22;
inline constexpr std::uint16_t kBelarusian = 0x23;
inline constexpr std::uint16_t kSlovenian = 0x24;
inline constexpr std::uint16_t kEstonian = 0x25;
inline constexpr std::uint16_t kLatvian = 0x26;
inline constexpr std::uint16_t kLithuanian = 0x27;
inline constexpr std::uint16_t kFarsi = 0x29;
inline constexpr std::uint16_t kVietnamese = 0x2A;
inline constexpr std::uint16_t kBasque = 0x2D;
inline constexpr std::uint16_t kMacedonian = 0x2F;
inline constexpr std::uint16_t kAfrikaans = 0x36;
inline constexpr std::uint16_t kHindi = 0x39;
inline constexpr std::uint16_t kMalay = 0x3E;
inline constexpr std::uint16_t kKazakh = 0x3F;
inline constexpr std::uint16_t kGalician = 0x56;
}  // namespace primary

// Sublanguages named by the entries that do not take every sublanguage.
inline constexpr std::uint8_t kEnglishUnitedStates = 1;
inline constexpr std::uint8_t kEnglishCanada = 4;
inline constexpr std::uint8_t kEnglishCaribbean = 9;
inline constexpr std::uint8_t kChineseSimplified = 2;
inline constexpr std::uint8_t kChineseSingapore = 4;
inline constexpr std::uint8_t kCroatianCroatia = 1;
inline constexpr std::uint8_t kCroatianBosnia = 4;

constexpr LanguageCodeEntry any(LanguageCode code, std::uint16_t primaryLanguage) {
    return {code, primaryLanguage, {}, 0};
}
constexpr LanguageCodeEntry only(LanguageCode code, std::uint16_t primaryLanguage,
                                 std::initializer_list<std::uint8_t> sublanguages) {
    LanguageCodeEntry entry{code, primaryLanguage, {}, 0};
    for (const std::uint8_t sublanguage : sublanguages) entry.sublanguages[entry.sublanguageCount++] = sublanguage;
    return entry;
}

// In walk order: an entry that names sublanguages stands before the entry of
// the same primary language that takes the rest, so the specific entry is
// found first (Simplified Chinese, code 13, before Traditional, code 12).
constexpr std::array<LanguageCodeEntry, kLanguageCodeCount> kLanguageCodes = {{
    only(0, primary::kEnglish, {kEnglishUnitedStates, kEnglishCanada, kEnglishCaribbean}),
    any(1, primary::kEnglish),
    any(2, primary::kJapanese),
    any(3, primary::kGerman),
    any(4, primary::kFrench),
    any(5, primary::kItalian),
    any(6, primary::kSpanish),
    any(7, primary::kPortuguese),
    any(8, primary::kRussian),
    any(9, primary::kDutch),
    any(10, primary::kTurkish),
    any(11, primary::kPolish),
    only(13, primary::kChinese, {kChineseSimplified, kChineseSingapore}),
    any(12, primary::kChinese),
    any(14, primary::kKorean),
    any(15, primary::kArabic),
    any(16, primary::kCzech),
    any(17, primary::kDanish),
    any(18, primary::kGreek),
    any(19, primary::kFinnish),
    any(20, primary::kHebrew),
    any(21, primary::kHungarian),
    any(22, primary::kNorwegian),
    any(23, primary::kSwedish),
    any(24, primary::kRomanian),
    only(25, primary::kCroatianSerbian, {kCroatianCroatia, kCroatianBosnia}),
    any(26, primary::kCroatianSerbian),
    any(27, primary::kSlovak),
    any(28, primary::kSlovenian),
    any(29, primary::kBulgarian),
    any(30, primary::kEstonian),
    any(31, primary::kLatvian),
    any(32, primary::kLithuanian),
    any(33, primary::kThai),
    any(34, primary::kVietnamese),
    any(35, primary::kIndonesian),
    any(36, primary::kMalay),
    any(37, primary::kCatalan),
    any(38, primary::kBasque),
    any(39, primary::kGalician),
    any(40, primary::kIcelandic),
    any(41, primary::kHindi),
    any(42, primary::kFarsi),
    any(43, primary::kBelarusian),
    any(44, primary::kKazakh),
    any(45, primary::kMacedonian),
    any(46, primary::kAlbanian),
    any(47, primary::kAfrikaans),
    any(48, primary::kUkrainian),
}};

constexpr std::array<LocaleEntry, kLocaleCount> kLocales = {{
    {0x0409, 0},  {0x0809, 1},  {0x0411, 2},  {0x0407, 3},  {0x040C, 4},  {0x0410, 5},  {0x040A, 6},
    {0x0816, 7},  {0x0416, 7},  {0x0419, 8},  {0x0413, 9},  {0x041F, 10}, {0x0415, 11}, {0x7C04, 12},
    {0x0004, 13}, {0x0412, 14}, {0x0401, 15}, {0x0405, 16}, {0x0406, 17}, {0x0408, 18}, {0x040B, 19},
    {0x040D, 20}, {0x040E, 21}, {0x0414, 22}, {0x041D, 23}, {0x0418, 24}, {0x041A, 25}, {0x081A, 26},
    {0x041B, 27}, {0x0424, 28}, {0x0402, 29}, {0x0425, 30}, {0x0426, 31}, {0x0427, 32}, {0x041E, 33},
    {0x042A, 34}, {0x0421, 35}, {0x043E, 36}, {0x0403, 37}, {0x042D, 38}, {0x0456, 39}, {0x040F, 40},
    {0x0439, 41}, {0x0429, 42}, {0x0423, 43}, {0x043F, 44}, {0x042F, 45}, {0x041C, 46}, {0x0436, 47},
    {0x0422, 48},
}};

// The built-in languages among the codes, searched in this order.
struct CodeIndex {
    LanguageCode code;
    int index;
};
constexpr std::array<CodeIndex, 10> kCodeIndexes = {{
    {0, kEnglishIndex},
    {1, kEnglishIndex},
    {2, kJapaneseIndex},
    {3, kGermanIndex},
    {4, kFrenchIndex},
    {5, kItalianIndex},
    {6, kSpanishIndex},
    {13, kSimplifiedChineseIndex},
    {12, kTraditionalChineseIndex},
    {14, kKoreanIndex},
}};

// The table column of each built-in language index.
constexpr std::array<TextColumn, kBuiltInLanguageCount> kIndexColumns = {
    TextColumn::English, TextColumn::French, TextColumn::Italian, TextColumn::German, TextColumn::Spanish,
    TextColumn::SimplifiedChinese, TextColumn::Korean, TextColumn::TraditionalChinese, TextColumn::Japanese,
};

// Codes a language file may not add besides the built-in languages.
inline constexpr LanguageCode kReservedFileCode = 15;

constexpr bool isBuiltInCode(LanguageCode code) {
    for (const CodeIndex& entry : kCodeIndexes)
        if (entry.code == code) return true;
    return false;
}

constexpr bool everyCodeOnce() {
    std::array<bool, kLanguageCodeCount> seen{};
    for (const LanguageCodeEntry& entry : kLanguageCodes) {
        if (entry.code >= kLanguageCodeCount || seen[entry.code]) return false;
        seen[entry.code] = true;
    }
    return true;
}

// An entry that takes any sublanguage hides every later entry of its
// primary language from the walk.
constexpr bool specificEntriesFirst() {
    for (std::size_t i = 0; i < kLanguageCodes.size(); ++i) {
        if (kLanguageCodes[i].sublanguageCount != 0) continue;
        for (std::size_t j = i + 1; j < kLanguageCodes.size(); ++j)
            if (kLanguageCodes[j].primary == kLanguageCodes[i].primary) return false;
    }
    return true;
}

constexpr bool localesKnownAndDistinct() {
    for (std::size_t i = 0; i < kLocales.size(); ++i) {
        if (kLocales[i].code >= kLanguageCodeCount) return false;
        for (std::size_t j = i + 1; j < kLocales.size(); ++j)
            if (kLocales[j].localeId == kLocales[i].localeId) return false;
    }
    return true;
}

constexpr bool everyIndexOnce() {
    std::array<int, kBuiltInLanguageCount> codesPerIndex{};
    for (const CodeIndex& entry : kCodeIndexes) ++codesPerIndex[static_cast<std::size_t>(entry.index)];
    for (int count : codesPerIndex)
        if (count == 0) return false;
    return true;
}

constexpr std::size_t fileLanguageCodeCount() {
    std::size_t count = 0;
    for (LanguageCode code = 0; code < kLanguageCodeCount; ++code)
        if (!isBuiltInCode(code) && code != kReservedFileCode) ++count;
    return count;
}

static_assert(everyCodeOnce(), "each language code needs exactly one entry");
static_assert(specificEntriesFirst(), "an entry for any sublanguage must come last among its primary language");
static_assert(localesKnownAndDistinct(), "each locale appears once, with a known code");
static_assert(everyIndexOnce(), "every built-in language index needs a code");
static_assert(fileLanguageCodeCount() == 38, "language files may add 38 languages");

}  // namespace

std::span<const LanguageCodeEntry, kLanguageCodeCount> languageCodeTable() { return kLanguageCodes; }

std::span<const LocaleEntry, kLocaleCount> localeTable() { return kLocales; }

std::vector<LanguageCode> preferredLanguageCodes(std::span<const LanguageId> languages) {
    std::vector<LanguageCode> codes;
    for (const LanguageId language : languages) {
        const std::uint16_t primaryLanguage = primaryLanguageOf(language);
        const std::uint16_t sublanguage = sublanguageOf(language);
        for (std::size_t i = 0; i < kLanguageCodes.size(); ++i) {
            const LanguageCodeEntry& entry = kLanguageCodes[i];
            if (entry.primary != primaryLanguage) continue;
            // An entry that does not name the sublanguage still answers when
            // no later entry of the primary language could.
            const bool laterEntry = std::any_of(kLanguageCodes.begin() + static_cast<std::ptrdiff_t>(i) + 1, kLanguageCodes.end(),
                                                [&](const LanguageCodeEntry& later) { return later.primary == primaryLanguage; });
            if (entry.takesSublanguage(sublanguage) || !laterEntry) {
                codes.push_back(entry.code);
                break;
            }
        }
    }
    return codes;
}

std::optional<int> languageIndexOfCode(LanguageCode code) {
    for (const CodeIndex& entry : kCodeIndexes)
        if (entry.code == code) return entry.index;
    return std::nullopt;
}

int languageIndexOfCodes(std::span<const LanguageCode> codes) {
    for (const LanguageCode code : codes)
        if (const auto index = languageIndexOfCode(code)) return *index;
    return kEnglishIndex;
}

int languageIndexFor(std::span<const LanguageId> languages) {
    const std::vector<LanguageCode> codes = preferredLanguageCodes(languages);
    return languageIndexOfCodes(codes);
}

LanguageCode languageCodeOfLocale(std::uint32_t localeId) {
    for (const LocaleEntry& entry : kLocales)
        if (entry.localeId == localeId) return entry.code;
    return kUnknownLanguageCode;
}

bool isFileLanguageCode(LanguageCode code) {
    return code < kLanguageCodeCount && code != kReservedFileCode && !isBuiltInCode(code);
}

std::optional<TextColumn> columnOfLanguageIndex(int languageIndex) {
    if (languageIndex < 0 || languageIndex >= kBuiltInLanguageCount) return std::nullopt;
    return kIndexColumns[static_cast<std::size_t>(languageIndex)];
}

}  // namespace tvzx::l10n
