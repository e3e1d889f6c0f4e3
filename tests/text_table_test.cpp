// The built-in text table: the lookup by language index and identifier, and
// the display texts the option tables refer to.
#include <gtest/gtest.h>

#include "common/wide_text.h"
#include "l10n/text_lookup.h"
#include "l10n/text_table.h"
#include "settings/feature_tables.h"

namespace {

using namespace tvzx::l10n;

std::string utf8(std::u16string_view text) { return tvzx::utf8FromUtf16(text); }

TEST(TextTable, LookUpLocaleColumnsAndTheDisplayTextsOfEveryOption) {
    EXPECT_EQ(utf8(getText(0, 12)) + "|" + utf8(getText(3, 12)) + "|" + utf8(getText(8, 12)) + "|" + utf8(getText(5, 1971)),
              "Paper Tray|Papierfach|給紙トレイ|ID");
    EXPECT_EQ(tvzx::l10n::findTextId(u"L10N_LBL_INPUTSLOT"), 12u);
    EXPECT_FALSE(tvzx::l10n::findTextId(u"L10N_NO_SUCH_KEY").has_value());
    // The terminating row, identifiers past it and missing texts read as
    // empty, NUL-terminated texts, never as null.
    for (const std::uint32_t id : {kTextRowCount, kTextRowCount + 1, 0xFFFFFFFFu, 1500u}) {
        const std::u16string_view text = getText(0, id);
        ASSERT_NE(text.data(), nullptr) << id;
        EXPECT_TRUE(text.empty() && text.data()[0] == u'\0') << id << ": " << utf8(text);
    }
    EXPECT_NE(getText(8, 13).data(), nullptr);  // a label with an English text only
    // A table text ends in NUL too, so its data can be handed on as a C string.
    EXPECT_EQ(getText(0, 12).data()[getText(0, 12).size()], u'\0');
    // No language file is loaded in the test program: every index past the
    // built-in languages reads English.
    EXPECT_EQ(utf8(getText(9, 12)) + utf8(getText(-1, 12)), "Paper TrayPaper Tray");
    EXPECT_EQ(utf8(getText(400, 1972)), "Key");
    // Row 1 holds each column's locale; through the locale table it must lead
    // back to the language index that reads the column, or the language file
    // and the display language would disagree about which language is which.
    for (int index = 0; index < tvzx::l10n::kBuiltInLanguageCount; ++index) {
        const std::u16string_view field = getText(index, 1);
        const auto locale = tvzx::l10n::parseLocaleField(field);
        ASSERT_TRUE(locale.has_value()) << index << ": " << utf8(field);
        EXPECT_EQ(tvzx::l10n::languageIndexOfCode(tvzx::l10n::languageCodeOfLocale(*locale)), index) << utf8(field);
    }
    // Every option has a display text, and trays and papers map back.
    using tvzx::settings::FieldId;
    for (const tvzx::settings::FieldDef& field : tvzx::settings::fieldTable())
        for (const auto& entry : field.options != nullptr ? field.options->entries : std::span<const tvzx::settings::OptionEntry>())
            EXPECT_FALSE(getText(0, static_cast<std::uint32_t>(entry.displayId)).empty()) << field.name << " " << entry.name;
    // Bin names and form names are matched against these texts in whatever
    // language they were written, so each language must tell the options apart.
    for (const FieldId id : {FieldId::InputSlot, FieldId::PageSize}) {
        const tvzx::settings::FieldDef& field = tvzx::settings::fieldDef(id);
        for (int language = 0; language < tvzx::l10n::kBuiltInLanguageCount; ++language) {
            std::set<std::u16string_view> names;
            for (const auto& entry : field.options->entries) {
                const std::u16string_view name = getText(language, static_cast<std::uint32_t>(entry.displayId));
                EXPECT_TRUE(!name.empty() && names.insert(name).second) << entry.name << " in language " << language;
            }
        }
    }
    const auto& b4 = tvzx::settings::fieldDef(FieldId::PageSize).options->entries[3];
    EXPECT_EQ(utf8(getText(0, static_cast<std::uint32_t>(b4.displayId))), "B4 (JIS)");
}

}  // namespace
