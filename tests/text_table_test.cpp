// The built-in text table: its fixed rows, the lookup by language index and
// identifier, and the display texts the option tables refer to.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "common/wide_text.h"
#include "l10n/language_codes.h"
#include "l10n/language_file.h"
#include "l10n/text_lookup.h"
#include "l10n/text_table.h"
#include "settings/feature_tables.h"

namespace {

using tvzx::l10n::getText;
using tvzx::l10n::kTextRowCount;
using tvzx::l10n::TextColumn;

std::string utf8(std::u16string_view text) { return tvzx::utf8FromUtf16(text); }

TEST(TextTable, LooksUpByLanguageIndexAndIdentifier) {
    EXPECT_EQ(utf8(getText(0, 12)), "Paper Tray");
    EXPECT_EQ(utf8(getText(3, 12)), "Papierfach");
    EXPECT_EQ(utf8(getText(8, 12)), "給紙トレイ");
    EXPECT_EQ(utf8(getText(3, 1972)), "Key");
    EXPECT_EQ(utf8(getText(5, 1971)), "ID");

    // The terminating row, identifiers past it and missing texts read as
    // empty, NUL-terminated texts, never as null.
    for (const std::uint32_t id : {kTextRowCount, kTextRowCount + 1, 5000u, 0xFFFFFFFFu, 1500u}) {
        const std::u16string_view text = getText(0, id);
        EXPECT_TRUE(text.empty()) << id << ": " << utf8(text);
        ASSERT_NE(text.data(), nullptr) << id;
        EXPECT_EQ(text.data()[0], u'\0') << id;
    }
    const std::u16string_view japaneseLabel = getText(8, 13);  // a label with an English text only
    EXPECT_TRUE(japaneseLabel.empty());
    EXPECT_NE(japaneseLabel.data(), nullptr);
    // A table text ends in NUL too, so its data can be handed on as a C string.
    EXPECT_EQ(getText(0, 12).data()[getText(0, 12).size()], u'\0');
}

TEST(TextTable, IndexesBeyondTheBuiltInLanguagesReadEnglish) {
    // No language file is loaded in the test program, so every other index
    // stands for a language without texts of its own.
    EXPECT_EQ(tvzx::l10n::languageCount(), 9);
    EXPECT_EQ(utf8(getText(9, 12)), "Paper Tray");
    EXPECT_EQ(utf8(getText(-1, 12)), "Paper Tray");
    EXPECT_EQ(utf8(getText(400, 1972)), "Key");
    EXPECT_TRUE(getText(9, 5000).empty());
}

TEST(TextTable, EachLanguageColumnNamesItsOwnLocale) {
    // Row 1 holds each column's locale; through the locale table it must lead
    // back to the language index that reads the column, or the language file
    // and the display language would disagree about which language is which.
    for (int index = 0; index < tvzx::l10n::kBuiltInLanguageCount; ++index) {
        const std::u16string_view field = getText(index, 1);
        const auto locale = tvzx::l10n::parseLocaleField(field);
        ASSERT_TRUE(locale.has_value()) << index << ": " << utf8(field);
        EXPECT_EQ(tvzx::l10n::languageIndexOfCode(tvzx::l10n::languageCodeOfLocale(*locale)), index) << utf8(field);
    }
}

TEST(TextTable, KeysFindTheirRows) {
    EXPECT_EQ(tvzx::l10n::findTextId(u"L10N_LBL_INPUTSLOT"), 12u);
    EXPECT_FALSE(tvzx::l10n::findTextId(u"L10N_NO_SUCH_KEY").has_value());
    EXPECT_FALSE(tvzx::l10n::findTextId(u"").has_value());
}

TEST(TextTable, KeysAreUniqueAndEveryTextHasOne) {
    const auto rows = tvzx::l10n::textRows();
    std::map<std::u16string_view, std::uint32_t> seen;
    for (std::uint32_t id = 0; id < kTextRowCount; ++id) {
        const std::u16string_view key = rows[id][static_cast<std::size_t>(TextColumn::Key)];
        bool anyText = false;
        for (std::size_t column = 0; column < static_cast<std::size_t>(TextColumn::Key); ++column)
            anyText = anyText || !rows[id][column].empty();
        if (key.empty()) {
            EXPECT_FALSE(anyText) << "row " << id << " has texts but no key";
            continue;
        }
        EXPECT_TRUE(key.starts_with(u"L10N_")) << id << ": " << utf8(key);
        const auto [first, added] = seen.emplace(key, id);
        EXPECT_TRUE(added) << utf8(key) << " on rows " << first->second << " and " << id;
    }
    for (const std::u16string_view entry : rows[kTextRowCount]) EXPECT_EQ(entry.data(), nullptr);
}

// Names a field's option table for failure messages.
std::string where(const tvzx::settings::FieldDef& field, std::size_t option = SIZE_MAX) {
    std::string text(field.name);
    if (option != SIZE_MAX) text += " option " + std::string(field.options->entries[option].name);
    return text;
}

// Returns the English text of a display id; fails the test when the id has none.
std::u16string englishOf(std::uint64_t displayId, const std::string& owner) {
    EXPECT_NE(displayId, tvzx::settings::kNoDisplayString) << owner << " has no display text";
    if (displayId >= kTextRowCount) {
        ADD_FAILURE() << owner << " refers to text " << displayId << ", past the table";
        return {};
    }
    const std::u16string_view text = getText(tvzx::l10n::kEnglishIndex, static_cast<std::uint32_t>(displayId));
    EXPECT_FALSE(text.empty()) << owner << " refers to text " << displayId << ", which has no English text";
    return std::u16string(text);
}

TEST(TextTable, EveryFeatureAndOptionHasADisplayText) {
    for (const tvzx::settings::FieldDef& field : tvzx::settings::fieldTable()) {
        if (field.numeric != nullptr) englishOf(field.numeric->displayId, where(field));
        if (field.options == nullptr) continue;
        englishOf(field.options->displayId, where(field));
        // Within one list the texts differ, so a shown name maps back to one option.
        std::map<std::u16string, std::size_t> options;
        for (std::size_t i = 0; i < field.options->entries.size(); ++i) {
            const std::u16string text = englishOf(field.options->entries[i].displayId, where(field, i));
            const auto [first, added] = options.emplace(text, i);
            EXPECT_TRUE(added) << where(field, i) << " shows the same text as " << where(field, first->second) << ": "
                               << utf8(text);
        }
    }
}

TEST(TextTable, TrayAndPaperNamesMapBackInEveryLanguage) {
    // Bin names and form names are matched against these texts in whatever
    // language they were written, so each language must tell the options apart.
    for (const tvzx::settings::FieldId id : {tvzx::settings::FieldId::InputSlot, tvzx::settings::FieldId::PageSize}) {
        const tvzx::settings::FieldDef& field = tvzx::settings::fieldDef(id);
        for (int language = 0; language < tvzx::l10n::kBuiltInLanguageCount; ++language) {
            std::set<std::u16string_view> names;
            for (std::size_t i = 0; i < field.options->entries.size(); ++i) {
                const auto displayId = static_cast<std::uint32_t>(field.options->entries[i].displayId);
                const std::u16string_view name = getText(language, displayId);
                EXPECT_FALSE(name.empty()) << where(field, i) << " in language " << language;
                EXPECT_TRUE(names.insert(name).second) << where(field, i) << " in language " << language << ": " << utf8(name);
            }
        }
    }
    EXPECT_EQ(utf8(getText(0, static_cast<std::uint32_t>(tvzx::settings::fieldDef(tvzx::settings::FieldId::InputSlot)
                                                             .options->entries[6]
                                                             .displayId))),
              "Bypass Tray");
    EXPECT_EQ(utf8(getText(0, static_cast<std::uint32_t>(tvzx::settings::fieldDef(tvzx::settings::FieldId::PageSize)
                                                             .options->entries[3]
                                                             .displayId))),
              "B4 (JIS)");
}

}  // namespace
