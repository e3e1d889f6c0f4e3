// tvzx text: one text of the plug-in's text table, in the display language
// or a chosen one, optionally with the languages of a language file.
#include <charconv>
#include <cstdint>
#include <optional>
#include <string>

#include "commands.h"
#include "files.h"
#include "common/wide_text.h"
#include "l10n/display_language.h"
#include "l10n/language_file.h"
#include "l10n/language_file_cipher.h"
#include "l10n/text_lookup.h"
#include "l10n/text_table.h"

namespace tvzx::cli {
namespace {

// Returns the number written in decimal digits only; nothing for any other text.
template <typename Number>
std::optional<Number> decimalNumber(const std::string& text) {
    Number value{};
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || text.front() == '-' || error != std::errc() || stop != end) return std::nullopt;
    return value;
}

// Returns the text identifier a word names: its number, or the identifier of
// the key it spells.
std::uint32_t textIdOf(const std::string& word) {
    if (const auto id = decimalNumber<std::uint32_t>(word)) {
        if (*id > l10n::kTextRowCount)
            throw UsageError("text identifier " + word + " is past the table's last row " +
                             std::to_string(l10n::kTextRowCount));
        return *id;
    }
    // Keys are ASCII; any other byte matches no key.
    if (const auto id = l10n::findTextId(std::u16string(word.begin(), word.end()))) return *id;
    throw UsageError("no text has the identifier or key '" + word + "'");
}

// Returns the language file a maintainer names; throws when it is none.
l10n::LanguageFile languageFileAt(const std::string& path) {
    std::vector<std::uint8_t> bytes = readFileBytes(path);
    if (!l10n::isLanguageFileSize(bytes.size()))
        throw UsageError(path + ": " + std::to_string(bytes.size()) + " bytes is not the size of a language file");
    l10n::LanguageFile file = l10n::readLanguageFile(std::move(bytes));
    if (!file.hasHeader()) throw UsageError(path + ": does not decipher to a language table");
    return file;
}

}  // namespace

std::string textCommand(Arguments arguments) {
    std::optional<std::string> idWord;
    std::optional<std::string> languageWord;
    std::optional<std::string> filePath;
    while (arguments.more()) {
        const std::string word = arguments.take();
        if (word == "--lang") languageWord = arguments.value(word);
        else if (word == "--lng") filePath = arguments.value(word);
        else if (!idWord && !word.starts_with("--")) idWord = word;
        else Arguments::unknown(word);
    }
    if (!idWord) throw UsageError("text: a text identifier or key is needed");
    const std::uint32_t textId = textIdOf(*idWord);

    // Without a file of its own the command sees the languages the plug-in sees.
    l10n::LanguageFile named;
    if (filePath) named = languageFileAt(*filePath);
    const l10n::LanguageFile& file = filePath ? named : l10n::moduleLanguageFile();
    const int count = l10n::kBuiltInLanguageCount + static_cast<int>(file.languageCount());
    int language = l10n::currentLanguageIndex();
    if (languageWord) {
        const auto index = decimalNumber<int>(*languageWord);
        if (!index || *index >= count)
            throw UsageError("language index '" + *languageWord + "' is not one of the " + std::to_string(count) +
                             " languages (0 to " + std::to_string(count - 1) + ")");
        language = *index;
    }
    return utf8FromUtf16(l10n::textIn(file, language, textId)) + "\n";
}

}  // namespace tvzx::cli
