// The enciphered language file: its cipher, its table format, the languages
// it may add, and the files that must leave the nine built-in languages alone.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "common/wide_text.h"
#include "l10n/language_file.h"
#include "l10n/language_file_cipher.h"
#include "l10n/text_lookup.h"
#include "platform/path_text.h"

namespace {

namespace fs = std::filesystem;
using tvzx::l10n::FileLanguage;
using tvzx::l10n::LanguageFile;

std::string utf8(std::u16string_view text) { return tvzx::utf8FromUtf16(text); }

std::string hexOf(const std::vector<std::uint8_t>& bytes) {
    std::string text;
    for (const std::uint8_t b : bytes) {
        static constexpr char kDigits[] = "0123456789ABCDEF";
        text += kDigits[b >> 4];
        text += kDigits[b & 0x0F];
    }
    return text;
}

// Portuguese (Portugal) and Russian, two languages a file may add.
constexpr std::u16string_view kTwoLanguages =
    u"L10N_LBL_LANGUAGECODE\t0x0816\t0419\n"
    u"L10N_LBL_INPUTSLOT\tBandeja de papel\tЛоток для бумаги\n"
    u"L10N_OPT_LANGUAGE_ID\tID\n"
    u"L10N_OPT_LANGUAGE_KEYS\t\tКлюч\n";

TEST(LanguageFile, CipherKeepsTheTextAndPadsToWholeBlocks) {
    for (std::size_t length : {0u, 1u, 7u, 8u, 9u, 100u}) {
        const std::u16string text(length, u'ä');
        const std::vector<std::uint8_t> file = tvzx::l10n::encipherLanguageFile(text);
        // At least one NUL character follows the text, then the block is filled.
        EXPECT_EQ(file.size(), (2 * length + 2 + 15) / 16 * 16) << length;
        EXPECT_EQ(tvzx::l10n::decipherLanguageFile(file), text) << length;
    }
    // The key must never change, or every language file packed so far
    // becomes unreadable.
    EXPECT_EQ(hexOf(tvzx::l10n::encipherLanguageFile(u"L10N_LBL_LANGUAGECODE\t0x0816\n")),
              "C7194F25BCFA0BE1235277B724AA615CE41B30FB5B8821B0D3E409DA39AAA38A58"
              "A01EDB1B66185A7C3F5E4065C4F28076049F74EDE6D2ECE46B0E52110139B7");
}

TEST(LanguageFile, SizesNoFileHas) {
    EXPECT_FALSE(tvzx::l10n::decipherLanguageFile({}).has_value());
    EXPECT_FALSE(tvzx::l10n::decipherLanguageFile({0x41}).has_value());
    // A cut block cannot be deciphered, whatever it holds.
    std::vector<std::uint8_t> file = tvzx::l10n::encipherLanguageFile(kTwoLanguages);
    file.pop_back();
    EXPECT_FALSE(tvzx::l10n::decipherLanguageFile(file).has_value());
    EXPECT_EQ(tvzx::l10n::readLanguageFile(file).languageCount(), 0u);

    EXPECT_FALSE(tvzx::l10n::isLanguageFileSize(0));
    EXPECT_FALSE(tvzx::l10n::isLanguageFileSize(1));
    EXPECT_TRUE(tvzx::l10n::isLanguageFileSize(16));
    EXPECT_TRUE(tvzx::l10n::isLanguageFileSize(tvzx::l10n::kLanguageFileSizeLimit - 16));
    EXPECT_FALSE(tvzx::l10n::isLanguageFileSize(tvzx::l10n::kLanguageFileSizeLimit));
}

TEST(LanguageFile, ReadsItsLanguagesAndTexts) {
    const LanguageFile file = tvzx::l10n::readLanguageFile(tvzx::l10n::encipherLanguageFile(kTwoLanguages));
    EXPECT_TRUE(file.hasHeader());
    ASSERT_EQ(file.languages(), (std::vector<FileLanguage>{{0x0816, 7}, {0x0419, 8}}));
    EXPECT_EQ(file.keyCount(), 3u);
    EXPECT_EQ(utf8(file.text(0, u"L10N_LBL_INPUTSLOT")), "Bandeja de papel");
    EXPECT_EQ(utf8(file.text(1, u"L10N_LBL_INPUTSLOT")), "Лоток для бумаги");
    // A short line lacks its last texts; an empty field is no text.
    EXPECT_EQ(utf8(file.text(0, u"L10N_OPT_LANGUAGE_ID")), "ID");
    EXPECT_TRUE(file.text(1, u"L10N_OPT_LANGUAGE_ID").empty());
    EXPECT_TRUE(file.text(0, u"L10N_OPT_LANGUAGE_KEYS").empty());
    EXPECT_TRUE(file.text(2, u"L10N_LBL_INPUTSLOT").empty());
    EXPECT_TRUE(file.text(0, u"L10N_NOT_IN_FILE").empty());
}

TEST(LanguageFile, FileLanguagesFollowTheBuiltInOnes) {
    const LanguageFile file = tvzx::l10n::readLanguageFile(tvzx::l10n::encipherLanguageFile(kTwoLanguages));
    using tvzx::l10n::textIn;
    EXPECT_EQ(utf8(textIn(file, 9, 12)), "Bandeja de papel");
    EXPECT_EQ(utf8(textIn(file, 10, 12)), "Лоток для бумаги");
    EXPECT_EQ(utf8(textIn(file, 3, 12)), "Papierfach");
    // Where the file has no text for the key, the English one stands in.
    EXPECT_EQ(utf8(textIn(file, 9, 1972)), "Key");
    EXPECT_EQ(utf8(textIn(file, 10, 1972)), "Ключ");
    EXPECT_EQ(utf8(textIn(file, 9, 13)), "Paper Size");
    EXPECT_EQ(utf8(textIn(file, 11, 12)), "Paper Tray");
    EXPECT_TRUE(textIn(file, 9, 1973).empty());
    EXPECT_TRUE(textIn(file, 9, 1500).empty());
    EXPECT_NE(textIn(file, 9, 1500).data(), nullptr);
}

TEST(LanguageFile, HeaderColumnsTheFileMayAdd) {
    // Built-in languages, code 15, unknown locales and fields that are no
    // hexadecimal number are skipped; both prefixes and none are read.
    const LanguageFile file = LanguageFile::parse(
        u"L10N_OPT_SOMETHING\tbefore the header\tx\tx\tx\tx\tx\tx\n"
        u"L10N_LBL_LANGUAGECODE\t0x0409\t0X0413\t0x0401\t12345\tnl\t0422\t\t0x\t0x000000415\n"
        u"L10N_OPT_SOMETHING\tlater line\n"
        u"L10N_LBL_INPUTSLOT\ten\tnl\tar\tunknown\tbad\tuk\n");
    EXPECT_EQ(file.languages(), (std::vector<FileLanguage>{{0x0413, 9}, {0x0422, 48}}));
    // Of two lines with the same key, the first counts.
    EXPECT_EQ(utf8(file.text(0, u"L10N_OPT_SOMETHING")), "x");
    EXPECT_EQ(utf8(file.text(0, u"L10N_LBL_INPUTSLOT")), "nl");
    EXPECT_EQ(utf8(file.text(1, u"L10N_LBL_INPUTSLOT")), "uk");

    EXPECT_EQ(tvzx::l10n::parseLocaleField(u"0x0816"), 0x0816u);
    EXPECT_EQ(tvzx::l10n::parseLocaleField(u"7c04"), 0x7C04u);
    EXPECT_EQ(tvzx::l10n::parseLocaleField(u"FFFFFFFF"), 0xFFFFFFFFu);
    EXPECT_EQ(tvzx::l10n::parseLocaleField(u"100000000"), std::nullopt);
    EXPECT_EQ(tvzx::l10n::parseLocaleField(u"0x"), std::nullopt);
    EXPECT_EQ(tvzx::l10n::parseLocaleField(u" 0409"), std::nullopt);
    EXPECT_EQ(tvzx::l10n::parseLocaleField(u"0x-409"), std::nullopt);
}

TEST(LanguageFile, LineEndsAndBlankLines) {
    const LanguageFile file = LanguageFile::parse(
        u"\r\n\nL10N_LBL_LANGUAGECODE\t0x0419\r\n\t\r\nL10N_LBL_INPUTSLOT\tЛоток\r\nL10N_OPT_LANGUAGE_ID\tID");
    EXPECT_EQ(file.languages(), (std::vector<FileLanguage>{{0x0419, 8}}));
    EXPECT_EQ(utf8(file.text(0, u"L10N_LBL_INPUTSLOT")), "Лоток");
    EXPECT_EQ(utf8(file.text(0, u"L10N_OPT_LANGUAGE_ID")), "ID");
    EXPECT_EQ(file.keyCount(), 2u);
}

TEST(LanguageFile, BadFilesAddNoLanguage) {
    // No header line at all.
    const LanguageFile headless = LanguageFile::parse(u"L10N_LBL_INPUTSLOT\tx\n");
    EXPECT_FALSE(headless.hasHeader());
    EXPECT_EQ(headless.languageCount(), 0u);
    // A header of unknown and built-in locales only, or of none.
    EXPECT_EQ(LanguageFile::parse(u"L10N_LBL_LANGUAGECODE\t0x0C0A\t0x0411\nK\ta\tb\n").languageCount(), 0u);
    EXPECT_EQ(LanguageFile::parse(u"L10N_LBL_LANGUAGECODE\nK\ta\n").languageCount(), 0u);
    EXPECT_EQ(LanguageFile::parse(u"").languageCount(), 0u);

    // A file enciphered under another key deciphers to noise.
    std::vector<std::uint8_t> file = tvzx::l10n::encipherLanguageFile(kTwoLanguages);
    file[3] ^= 0x40;
    const LanguageFile damaged = tvzx::l10n::readLanguageFile(file);
    EXPECT_FALSE(damaged.hasHeader());
    EXPECT_EQ(damaged.languageCount(), 0u);
    EXPECT_EQ(tvzx::l10n::readLanguageFile(std::vector<std::uint8_t>(64, 0xA5)).languageCount(), 0u);
}

class LanguageFileOnDisk : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("tvzx-lng-" + std::to_string(::getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::u16string write(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
        std::ofstream(dir_ / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return path(name);
    }
    std::u16string path(const std::string& name) const { return tvzx::platform::utf16Path((dir_ / name).string()); }

    fs::path dir_;
};

TEST_F(LanguageFileOnDisk, LoadsAFileAndRefusesOthersUnread) {
    const std::u16string good = write("tvzx.lng", tvzx::l10n::encipherLanguageFile(kTwoLanguages));
    EXPECT_EQ(tvzx::l10n::loadLanguageFile(good).languageCount(), 2u);

    EXPECT_EQ(tvzx::l10n::loadLanguageFile(path("missing.lng")).languageCount(), 0u);
    EXPECT_EQ(tvzx::l10n::loadLanguageFile(u"").languageCount(), 0u);
    EXPECT_EQ(tvzx::l10n::loadLanguageFile(tvzx::platform::utf16Path(dir_.string())).languageCount(), 0u);
    EXPECT_EQ(tvzx::l10n::loadLanguageFile(write("one.lng", {0x41})).languageCount(), 0u);

    // 100 MiB or more is refused by its size alone; the sparse file is never read.
    const std::u16string huge = write("huge.lng", {});
    fs::resize_file(dir_ / "huge.lng", tvzx::l10n::kLanguageFileSizeLimit);
    EXPECT_EQ(tvzx::l10n::loadLanguageFile(huge).languageCount(), 0u);
}

}  // namespace
