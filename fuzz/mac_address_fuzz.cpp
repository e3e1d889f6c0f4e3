// The printer's stored hardware address text, as parseMacAddress reads it:
// any bytes must either give an address or leave it all zero, and a parsed
// address must read back the same from its plain hexadecimal form.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "net/mac_address.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    tvzx::net::MacAddress address;
    address.fill(0xA5);
    const bool parsed = tvzx::net::parseMacAddress(text, address);
    if (!parsed) {
        if (!tvzx::net::isNone(address)) std::abort();
        return 0;
    }
    static const char* digits = "0123456789abcdef";
    std::string plain;
    for (std::uint8_t byte : address) {
        plain.push_back(digits[byte >> 4]);
        plain.push_back(digits[byte & 0xF]);
    }
    tvzx::net::MacAddress again{};
    if (!tvzx::net::parseMacAddress(plain, again) || again != address) std::abort();
    return 0;
}
