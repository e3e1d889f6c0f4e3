// The enciphered language file: its cipher, its table format, the languages
// it may add, and the files that must leave the nine built-in languages alone.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "common/aes256.h"
#include "common/sha256.h"
#include "common/wide_text.h"
#include "l10n/language_file.h"
#include "l10n/language_file_cipher.h"
#include "l10n/text_lookup.h"
#include "platform/path_text.h"

namespace {

namespace fs = std::filesystem;
using namespace tvzx::l10n;

std::string utf8(std::u16string_view text) { return tvzx::utf8FromUtf16(text); }

// Portuguese (Portugal) and Russian, two languages a file may add.
constexpr std::u16string_view kTwoLanguages =
    u"L10N_LBL_LANGUAGECODE\t0x0816\t0419\nL10N_LBL_INPUTSLOT\tBandeja de papel\tЛоток для бумаги\n"
    u"L10N_OPT_LANGUAGE_ID\tID\nL10N_OPT_LANGUAGE_KEYS\t\tКлюч\n";

// The 24 bytes of key material of language files in their true order: the
// key is the SHA-256 of the first twelve, the IV the first 16 bytes of the
// SHA-256 of the last twelve.
constexpr std::array<std::uint8_t, 24> kMaterial = {0x4A, 0x5F, 0x06, 0xFA, 0x65, 0x61, 0xC8, 0xCF,
                                                    0x44, 0xE1, 0x59, 0xED, 0xD3, 0x64, 0xCD, 0x7E,
                                                    0x37, 0xBB, 0xBE, 0x87, 0xAB, 0x3A, 0x64, 0x2E};

// A second computation of a language file, on the AES and SHA-256 primitives
// that their own tests check against the published examples: the text in
// UTF-16 little-endian, NUL bytes to the end of a block with at least one NUL
// character, the blocks chained by hand.
std::vector<std::uint8_t> enciphered(std::u16string_view text) {
    std::vector<std::uint8_t> bytes;
    for (const char16_t unit : text) bytes.insert(bytes.end(), {std::uint8_t(unit & 0xFF), std::uint8_t(unit >> 8)});
    bytes.resize((bytes.size() + 2 + 15) / 16 * 16, 0);
    const tvzx::Aes256 aes(tvzx::sha256(std::span(kMaterial).first<12>()));
    const tvzx::Sha256Digest ivDigest = tvzx::sha256(std::span(kMaterial).last<12>());
    tvzx::AesBlock chain;
    std::copy_n(ivDigest.begin(), chain.size(), chain.begin());
    for (std::size_t at = 0; at < bytes.size(); at += 16) {
        for (std::size_t i = 0; i < 16; ++i) chain[i] ^= bytes[at + i];
        chain = aes.encipherBlock(chain);
        std::copy(chain.begin(), chain.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
    }
    return bytes;
}

TEST(LanguageFile, CipherMatchesAnIndependentComputationAndBadFilesAddNoLanguage) {
    for (std::size_t length : {0u, 1u, 7u, 8u, 9u, 100u}) {
        const std::u16string text(length, u'ä');
        EXPECT_EQ(tvzx::l10n::encipherLanguageFile(text), enciphered(text)) << length;
        EXPECT_EQ(tvzx::l10n::decipherLanguageFile(enciphered(text)), text) << length;
    }
    EXPECT_EQ(tvzx::l10n::encipherLanguageFile(kTwoLanguages), enciphered(kTwoLanguages));
    // Sizes no file has.
    EXPECT_FALSE(tvzx::l10n::decipherLanguageFile({}) || tvzx::l10n::decipherLanguageFile({0x41}));
    // A cut block cannot be deciphered, whatever it holds.
    std::vector<std::uint8_t> file = tvzx::l10n::encipherLanguageFile(kTwoLanguages);
    file.pop_back();
    EXPECT_FALSE(tvzx::l10n::decipherLanguageFile(file).has_value());
    EXPECT_EQ(tvzx::l10n::readLanguageFile(file).languageCount(), 0u);
    EXPECT_TRUE(tvzx::l10n::isLanguageFileSize(tvzx::l10n::kLanguageFileSizeLimit - 16));
    EXPECT_FALSE(tvzx::l10n::isLanguageFileSize(tvzx::l10n::kLanguageFileSizeLimit));
    // No header line at all.
    const LanguageFile headless = LanguageFile::parse(u"L10N_LBL_INPUTSLOT\tx\n");
    EXPECT_TRUE(!headless.hasHeader() && headless.languageCount() == 0);
    // A header of unknown and built-in locales only, or of none.
    for (const std::u16string_view text : {u"L10N_LBL_LANGUAGECODE\t0x0C0A\t0x0411\nK\ta\tb\n", u"L10N_LBL_LANGUAGECODE\nK\ta\n", u""})
        EXPECT_EQ(LanguageFile::parse(text).languageCount(), 0u) << utf8(text);

    // A file enciphered under another key deciphers to noise.
    file = tvzx::l10n::encipherLanguageFile(kTwoLanguages);
    file[3] ^= 0x40;
    const LanguageFile damaged = tvzx::l10n::readLanguageFile(file);
    EXPECT_TRUE(!damaged.hasHeader() && damaged.languageCount() == 0);
    EXPECT_EQ(tvzx::l10n::readLanguageFile(std::vector<std::uint8_t>(64, 0xA5)).languageCount(), 0u);
}

TEST(LanguageFile, ReadsItsLanguagesAndTextsWhichFollowTheBuiltInOnesFromTheColumnsItMayAdd) {
    const LanguageFile file = tvzx::l10n::readLanguageFile(tvzx::l10n::encipherLanguageFile(kTwoLanguages));
    EXPECT_TRUE(file.hasHeader());
    ASSERT_EQ(file.languages(), (std::vector<FileLanguage>{{0x0816, 7}, {0x0419, 8}}));
    EXPECT_EQ(file.keyCount(), 3u);
    // A short line lacks its last texts; an empty field is no text.
    EXPECT_EQ(utf8(file.text(0, u"L10N_OPT_LANGUAGE_ID")), "ID");
    for (const auto& [language, key] : {std::pair{1, u"L10N_OPT_LANGUAGE_ID"}, std::pair{0, u"L10N_OPT_LANGUAGE_KEYS"},
                                        std::pair{2, u"L10N_LBL_INPUTSLOT"}, std::pair{0, u"L10N_NOT_IN_FILE"}})
        EXPECT_TRUE(file.text(language, key).empty()) << language << " " << utf8(key);
    // Where the file has no text for the key, the English one stands in.
    const std::tuple<int, std::uint32_t, std::string> texts[] = {
        {9, 12, "Bandeja de papel"}, {10, 12, "Лоток для бумаги"}, {9, 1972, "Key"}, {10, 1972, "Ключ"},
        {9, 13, "Paper Size"},       {11, 12, "Paper Tray"},       {9, 1973, ""},     {9, 1500, ""}};
    for (const auto& [language, id, text] : texts) {
        EXPECT_EQ(utf8(tvzx::l10n::textIn(file, language, id)), text) << language << " " << id;
        EXPECT_NE(tvzx::l10n::textIn(file, language, id).data(), nullptr) << language << " " << id;
    }

    // The header columns the file may add.
    // Built-in languages, code 15, unknown locales and fields that are no
    // hexadecimal number are skipped; both prefixes and none are read.
    const LanguageFile columns = LanguageFile::parse(u"L10N_OPT_SOMETHING\tbefore the header\tx\tx\tx\tx\tx\tx\n"
        u"L10N_LBL_LANGUAGECODE\t0x0409\t0X0413\t0x0401\t12345\tnl\t0422\t\t0x\t0x000000415\n"
        u"L10N_OPT_SOMETHING\tlater line\nL10N_LBL_INPUTSLOT\ten\tnl\tar\tunknown\tbad\tuk\n");
    EXPECT_EQ(columns.languages(), (std::vector<FileLanguage>{{0x0413, 9}, {0x0422, 48}}));
    // Of two lines with the same key, the first counts.
    EXPECT_EQ(utf8(columns.text(0, u"L10N_OPT_SOMETHING")) + " " + utf8(columns.text(0, u"L10N_LBL_INPUTSLOT")) + " " +
                  utf8(columns.text(1, u"L10N_LBL_INPUTSLOT")), "x nl uk");

    const std::pair<std::u16string_view, std::optional<std::uint32_t>> fields[] = {
        {u"7c04", 0x7C04u}, {u"FFFFFFFF", 0xFFFFFFFFu}, {u"100000000", std::nullopt}, {u" 0409", std::nullopt}, {u"0x-409", std::nullopt}};
    for (const auto& [field, locale] : fields) EXPECT_EQ(tvzx::l10n::parseLocaleField(field), locale) << utf8(field);

    // Either line end, and blank lines anywhere.
    const LanguageFile lines = LanguageFile::parse(
        u"\r\n\nL10N_LBL_LANGUAGECODE\t0x0419\r\n\t\r\nL10N_LBL_INPUTSLOT\tЛоток\r\nL10N_OPT_LANGUAGE_ID\tID");
    EXPECT_EQ(lines.languages(), (std::vector<FileLanguage>{{0x0419, 8}}));
    EXPECT_EQ(utf8(lines.text(0, u"L10N_LBL_INPUTSLOT")) + " " + utf8(lines.text(0, u"L10N_OPT_LANGUAGE_ID")), "Лоток ID");
    EXPECT_EQ(lines.keyCount(), 2u);
}

TEST(LanguageFileOnDisk, LoadsAFileAndRefusesOthersUnread) {
    const fs::path dir = fs::temp_directory_path() / ("tvzx-lng-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const auto path = [&](const std::string& name) { return tvzx::platform::utf16Path((dir / name).string()); };
    const auto write = [&](const std::string& name, const std::vector<std::uint8_t>& bytes) {
        std::ofstream(dir / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return path(name);
    };
    const std::u16string good = write("tvzx.lng", tvzx::l10n::encipherLanguageFile(kTwoLanguages));
    EXPECT_EQ(tvzx::l10n::loadLanguageFile(good).languageCount(), 2u);
    // 100 MiB or more is refused by its size alone; the sparse file is never read.
    const std::u16string huge = write("huge.lng", {});
    fs::resize_file(dir / "huge.lng", tvzx::l10n::kLanguageFileSizeLimit);
    for (const std::u16string& refused :
         {path("missing.lng"), std::u16string(), tvzx::platform::utf16Path(dir.string()), write("one.lng", {0x41}), huge})
        EXPECT_EQ(tvzx::l10n::loadLanguageFile(refused).languageCount(), 0u) << utf8(refused);
    fs::remove_all(dir);
}

}  // namespace
