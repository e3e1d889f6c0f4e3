#include "config/printer_text.h"

#include "common/byte_order.h"

namespace tvzx::config {

std::u16string wideTextOf(const std::vector<std::uint8_t>& data) {
    std::u16string text;
    for (std::size_t offset = 0; offset + 1 < data.size(); offset += 2) {
        const auto c = static_cast<char16_t>(readLittleEndian(data.data() + offset, 2));
        if (c == u'\0') break;
        text.push_back(c);
    }
    return text;
}

}  // namespace tvzx::config
