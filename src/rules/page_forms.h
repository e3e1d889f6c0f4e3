// The per-page overlay list kept in PageSpecificForms: which stored form is
// laid over which pages.
//
// Layout of the 1028-byte block (numbers most significant byte first):
//   offset 0: number of entries (2 bytes, at most 128)
//   offset 2: reserved, zero (2 bytes)
//   offset 4: the entries, 8 bytes each: form number (4), first page (2),
//             last page (2)
// An all-zero block is the empty list.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace tvzx::rules {

inline constexpr std::size_t kPageFormsBlockSize = 1028;
inline constexpr std::size_t kPageFormsHeaderSize = 4;
inline constexpr std::size_t kPageFormEntrySize = 8;
inline constexpr std::size_t kMaximumPageForms = (kPageFormsBlockSize - kPageFormsHeaderSize) / kPageFormEntrySize;
static_assert(kPageFormsHeaderSize + kMaximumPageForms * kPageFormEntrySize == kPageFormsBlockSize);

struct PageForm {
    std::uint32_t form = 0;
    std::uint16_t firstPage = 0;
    std::uint16_t lastPage = 0;
    bool operator==(const PageForm&) const = default;
};

// Returns the entries of the block; a count beyond the block's room is
// clipped to what the block holds.
std::vector<PageForm> decodePageForms(std::span<const std::uint8_t> block);

// Returns the block for the entries; entries past the 128th are left out.
std::array<std::uint8_t, kPageFormsBlockSize> encodePageForms(std::span<const PageForm> forms);

}  // namespace tvzx::rules
