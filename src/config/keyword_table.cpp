#include "config/keyword_table.h"

#include <algorithm>
#include <vector>

#include "common/byte_order.h"
#include "common/hex_text.h"
#include "settings/schema_hash.h"

namespace tvzx::config {
namespace {

constexpr std::size_t kNumberSize = 2;
// A record is its key, the key's NUL and the number.
constexpr std::size_t kRecordOverhead = 1 + kNumberSize;
// Fewer bytes than this after a record cannot hold another one.
constexpr std::size_t kSmallestRecordSpace = 4;

}  // namespace

std::optional<KeywordTable> parseKeywordTable(std::span<const std::uint8_t> value, std::uint32_t schemaHash) {
    // A zero byte behind the value ends a last text that lacks its NUL.
    std::vector<std::uint8_t> bytes(value.begin(), value.end());
    bytes.push_back(0);
    const auto textAt = [&bytes](std::size_t position) {
        const auto begin = bytes.begin() + static_cast<std::ptrdiff_t>(position);
        return std::string_view(reinterpret_cast<const char*>(&*begin),
                                static_cast<std::size_t>(std::find(begin, bytes.end(), 0) - begin));
    };

    const std::string_view hash = textAt(0);
    if (hash != hexBytesText(schemaHash)) return std::nullopt;
    std::size_t position = std::min(hash.size() + 1, value.size());
    std::size_t remaining = value.size() - position;

    KeywordTable table;
    while (remaining >= kSmallestRecordSpace) {
        const std::string_view key = textAt(position);
        // The key, its NUL and the whole number must lie inside the value.
        if (key.size() + kRecordOverhead > remaining) return std::nullopt;
        const auto number = static_cast<std::uint16_t>(readLittleEndian(&bytes[position + key.size() + 1], kNumberSize));
        table.insert_or_assign(std::string(key), number);
        position += key.size() + kRecordOverhead;
        remaining -= key.size() + kRecordOverhead;
    }
    return table;
}

std::optional<KeywordTable> loadKeywordTable(const PrinterAccess& printer, std::string_view valueName) {
    const auto value = printer.value(valueName);
    if (!value || value->data.empty()) return std::nullopt;
    return parseKeywordTable(value->data, settings::schemaHash());
}

std::vector<std::uint8_t> formatKeywordTable(const KeywordTable& table, std::uint32_t schemaHash) {
    const std::string hash = hexBytesText(schemaHash);
    std::vector<std::uint8_t> bytes(hash.begin(), hash.end());
    bytes.push_back(0);
    for (const auto& [key, number] : table) {
        if (key.empty()) continue;
        bytes.insert(bytes.end(), key.begin(), key.end());
        bytes.push_back(0);
        const std::size_t at = bytes.size();
        bytes.resize(at + kNumberSize);
        writeLittleEndian(&bytes[at], kNumberSize, number);
    }
    return bytes;
}

}  // namespace tvzx::config
