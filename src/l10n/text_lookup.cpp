#include "l10n/text_lookup.h"

#include <optional>
#include <string>

#include "platform/companion_files.h"
#include "common/module_handle.h"
#include "l10n/language_codes.h"
#include "l10n/text_table.h"

namespace tvzx::l10n {
namespace {

// What a missing text reads as: empty, yet a NUL-terminated string.
constexpr std::u16string_view kNoText = u"";

std::u16string_view orNoText(std::u16string_view text) { return text.empty() ? kNoText : text; }

}  // namespace

std::u16string_view textIn(const LanguageFile& file, int languageIndex, std::uint32_t textId) {
    if (textId > kTextRowCount) return kNoText;
    if (const std::optional<TextColumn> column = columnOfLanguageIndex(languageIndex))
        return orNoText(tableText(textId, *column));
    // A file language takes the file's text for the row's key; where the
    // file has none, and for an index no language has, the English text stands in.
    if (languageIndex >= kBuiltInLanguageCount) {
        const std::u16string_view key = textKey(textId);
        const std::u16string_view translated =
            key.empty() ? std::u16string_view{} : file.text(static_cast<std::size_t>(languageIndex - kBuiltInLanguageCount), key);
        if (!translated.empty()) return translated;
    }
    return orNoText(tableText(textId, TextColumn::English));
}

std::u16string_view getText(int languageIndex, std::uint32_t textId) {
    // The built-in languages never need the file.
    if (textId > kTextRowCount) return kNoText;
    if (const std::optional<TextColumn> column = columnOfLanguageIndex(languageIndex))
        return orNoText(tableText(textId, *column));
    return textIn(moduleLanguageFile(), languageIndex, textId);
}

int languageCount() { return kBuiltInLanguageCount + static_cast<int>(moduleLanguageFile().languageCount()); }

const LanguageFile& moduleLanguageFile() {
    // Loaded at most once per process, whether or not it is there.
    static const LanguageFile file = [] {
        const std::optional<std::u16string> path =
            platform::companionFilePath(tvzx::moduleHandle(), platform::CompanionKind::Language);
        return path ? loadLanguageFile(*path) : LanguageFile{};
    }();
    return file;
}

}  // namespace tvzx::l10n
