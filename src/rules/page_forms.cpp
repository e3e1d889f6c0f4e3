#include "rules/page_forms.h"

#include <algorithm>

#include "common/byte_order.h"

namespace tvzx::rules {

std::vector<PageForm> decodePageForms(std::span<const std::uint8_t> block) {
    std::vector<PageForm> forms;
    if (block.size() < kPageFormsHeaderSize) return forms;
    const std::size_t room = (block.size() - kPageFormsHeaderSize) / kPageFormEntrySize;
    const std::size_t count = std::min<std::size_t>(readBigEndian(block.data(), 2), std::min(room, kMaximumPageForms));
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* entry = block.data() + kPageFormsHeaderSize + i * kPageFormEntrySize;
        forms.push_back({readBe32(entry), static_cast<std::uint16_t>(readBigEndian(entry + 4, 2)),
                         static_cast<std::uint16_t>(readBigEndian(entry + 6, 2))});
    }
    return forms;
}

std::array<std::uint8_t, kPageFormsBlockSize> encodePageForms(std::span<const PageForm> forms) {
    std::array<std::uint8_t, kPageFormsBlockSize> block{};
    const std::size_t count = std::min(forms.size(), kMaximumPageForms);
    writeBigEndian(block.data(), 2, count);
    for (std::size_t i = 0; i < count; ++i) {
        std::uint8_t* entry = block.data() + kPageFormsHeaderSize + i * kPageFormEntrySize;
        writeBe32(entry, forms[i].form);
        writeBigEndian(entry + 4, 2, forms[i].firstPage);
        writeBigEndian(entry + 6, 2, forms[i].lastPage);
    }
    return block;
}

}  // namespace tvzx::rules
