// The enciphering of the language file beside the plug-in: UTF-16
// little-endian text under AES-256-CBC with the plug-in's own key.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tvzx::l10n {

// A language file must hold at least this many bytes.
inline constexpr std::uint64_t kLanguageFileMinimumSize = 2;
// A language file must be smaller than this (100 MiB).
inline constexpr std::uint64_t kLanguageFileSizeLimit = 100ull * 1024 * 1024;

// Returns whether a file of this size may be a language file: within the
// size limits and a whole number of cipher blocks, since a cut block cannot
// be deciphered.
bool isLanguageFileSize(std::uint64_t size);

// Returns the text of an enciphered language file: the bytes deciphered and
// read as UTF-16 little-endian up to the first NUL character (the padding).
// Nothing when the size rules it out. The bytes are deciphered in place, so
// a caller that has no further use for them moves them in.
std::optional<std::u16string> decipherLanguageFile(std::vector<std::uint8_t> bytes);

// Returns the language file of a text: its UTF-16 little-endian bytes, at
// least one NUL character and as many NUL bytes as fill the last cipher
// block, enciphered. The text should hold no NUL character, since reading
// stops at the first.
std::vector<std::uint8_t> encipherLanguageFile(std::u16string_view text);

}  // namespace tvzx::l10n
