#include "l10n/text_table.h"

namespace tvzx::l10n {

std::u16string_view tableText(std::uint32_t textId, TextColumn column) {
    // The terminating row answers for its own identifier; anything past it
    // has no row at all.
    if (textId > kTextRowCount) return {};
    return textRows()[textId][static_cast<std::size_t>(column)];
}

std::optional<std::uint32_t> findTextId(std::u16string_view key) {
    // Keys are looked up by maintainers' tools and tests only, so a walk of
    // the table serves.
    if (key.empty()) return std::nullopt;
    const auto rows = textRows();
    for (std::uint32_t id = 0; id < kTextRowCount; ++id)
        if (rows[id][static_cast<std::size_t>(TextColumn::Key)] == key) return id;
    return std::nullopt;
}

}  // namespace tvzx::l10n
