#include "l10n/language_file.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "l10n/language_file_cipher.h"

namespace tvzx::l10n {
namespace {

constexpr std::u16string_view kHexPrefixLower = u"0x";
constexpr std::u16string_view kHexPrefixUpper = u"0X";
constexpr std::size_t kMostLocaleDigits = 8;
constexpr char16_t kCarriageReturn = u'\r';

// Returns the next line of the text from `position` on, without its line
// end or a carriage return before it, and moves `position` past it.
std::u16string_view nextLine(std::u16string_view text, std::size_t& position) {
    const std::size_t end = text.find(kLanguageLineEnd, position);
    const std::size_t stop = end == std::u16string_view::npos ? text.size() : end;
    std::u16string_view line = text.substr(position, stop - position);
    position = end == std::u16string_view::npos ? text.size() : end + 1;
    if (!line.empty() && line.back() == kCarriageReturn) line.remove_suffix(1);
    return line;
}

// Returns the fields of a line.
std::vector<std::u16string_view> fieldsOf(std::u16string_view line) {
    std::vector<std::u16string_view> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t separator = line.find(kLanguageFieldSeparator, start);
        if (separator == std::u16string_view::npos) {
            fields.push_back(line.substr(start));
            return fields;
        }
        fields.push_back(line.substr(start, separator - start));
        start = separator + 1;
    }
}

std::optional<unsigned> hexDigitValue(char16_t c) {
    if (c >= u'0' && c <= u'9') return static_cast<unsigned>(c - u'0');
    if (c >= u'a' && c <= u'f') return static_cast<unsigned>(c - u'a' + 10);
    if (c >= u'A' && c <= u'F') return static_cast<unsigned>(c - u'A' + 10);
    return std::nullopt;
}

}  // namespace

std::optional<std::uint32_t> parseLocaleField(std::u16string_view field) {
    if (field.starts_with(kHexPrefixLower) || field.starts_with(kHexPrefixUpper)) field.remove_prefix(kHexPrefixLower.size());
    if (field.empty() || field.size() > kMostLocaleDigits) return std::nullopt;
    std::uint32_t value = 0;
    for (const char16_t c : field) {
        const std::optional<unsigned> digit = hexDigitValue(c);
        if (!digit) return std::nullopt;
        value = (value << 4) | *digit;
    }
    return value;
}

LanguageFile LanguageFile::parse(std::u16string_view text) {
    LanguageFile file;

    // The header line names the columns; it may stand anywhere, and the
    // first one counts.
    std::vector<std::size_t> keptColumns;
    for (std::size_t position = 0; position < text.size();) {
        const std::vector<std::u16string_view> fields = fieldsOf(nextLine(text, position));
        if (fields.front() != kLanguageHeaderKey) continue;
        file.hasHeader_ = true;
        for (std::size_t column = 1; column < fields.size(); ++column) {
            const std::optional<std::uint32_t> locale = parseLocaleField(fields[column]);
            const LanguageCode code = locale ? languageCodeOfLocale(*locale) : kUnknownLanguageCode;
            // Columns of unknown locales and of languages a file may not add are skipped.
            if (!isFileLanguageCode(code)) continue;
            file.languages_.push_back({*locale, code});
            keptColumns.push_back(column);
        }
        break;
    }
    if (keptColumns.empty()) return file;

    // Every other line gives a key its texts in the kept columns.
    for (std::size_t position = 0; position < text.size();) {
        const std::vector<std::u16string_view> fields = fieldsOf(nextLine(text, position));
        const std::u16string_view key = fields.front();
        if (key.empty() || key == kLanguageHeaderKey) continue;
        if (file.texts_.find(key) != file.texts_.end()) continue;
        std::vector<std::u16string> texts;
        texts.reserve(keptColumns.size());
        for (const std::size_t column : keptColumns)
            texts.emplace_back(column < fields.size() ? fields[column] : std::u16string_view{});
        file.texts_.emplace(std::u16string(key), std::move(texts));
    }
    return file;
}

std::u16string_view LanguageFile::text(std::size_t language, std::u16string_view key) const {
    if (language >= languages_.size()) return {};
    const auto found = texts_.find(key);
    if (found == texts_.end()) return {};
    return found->second[language];
}

LanguageFile readLanguageFile(std::vector<std::uint8_t> bytes) {
    const std::optional<std::u16string> text = decipherLanguageFile(std::move(bytes));
    if (!text) return {};
    return LanguageFile::parse(*text);
}

LanguageFile loadLanguageFile(std::u16string_view path) {
    if (path.empty()) return {};
    const std::filesystem::path file(std::u16string{path});
    // The size is checked before anything is read, so a huge file costs nothing.
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error)) return {};
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    if (error || !isLanguageFileSize(size)) return {};

    std::ifstream in(file, std::ios::binary);
    if (!in) return {};
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    // A file that shrank while it was read is not read at all.
    if (static_cast<std::uintmax_t>(in.gcount()) != size) return {};
    return readLanguageFile(std::move(bytes));
}

}  // namespace tvzx::l10n
