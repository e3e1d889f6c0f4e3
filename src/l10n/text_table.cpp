#include "l10n/text_table.h"

namespace tvzx::l10n {

std::optional<std::uint32_t> findTextId(std::u16string_view key) {
    // Keys are looked up by maintainers' tools and tests only, so a walk of
    // the table serves.
    if (key.empty()) return std::nullopt;
    for (std::uint32_t id = 0; id < kTextRowCount; ++id)
        if (textKey(id) == key) return id;
    return std::nullopt;
}

}  // namespace tvzx::l10n
