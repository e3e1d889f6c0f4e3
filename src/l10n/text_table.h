// The built-in text table: every text the plug-in shows or matches, by text
// identifier, in the nine built-in languages, with its "L10N_" key. The rows
// are generated at build time from text_table.tsv beside this header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace tvzx::l10n {

// Number of text identifiers; the table holds one more row, all nulls.
inline constexpr std::uint32_t kTextRowCount = 1973;

// Columns of a row: the nine languages, then the key.
enum class TextColumn : std::uint8_t {
    English = 0,
    Japanese = 1,
    French = 2,
    Italian = 3,
    German = 4,
    Spanish = 5,
    TraditionalChinese = 6,
    SimplifiedChinese = 7,
    Korean = 8,
    Key = 9,
};
inline constexpr std::size_t kTextColumnCount = static_cast<std::size_t>(TextColumn::Key) + 1;

// Returns one column of the row of a text identifier; a null view for a
// missing text and for any identifier past the last row.
std::u16string_view tableText(std::uint32_t textId, TextColumn column);

// Returns the key of a text identifier; a null view when it has none.
inline std::u16string_view textKey(std::uint32_t textId) { return tableText(textId, TextColumn::Key); }

// Returns the text identifier with this key, if any.
std::optional<std::uint32_t> findTextId(std::u16string_view key);

}  // namespace tvzx::l10n
