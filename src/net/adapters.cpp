#include "net/adapters.h"

#include <algorithm>
#include <optional>

namespace tvzx::net {
namespace {

template <std::size_t Size>
std::array<std::uint8_t, Size> maskOfBits(std::uint32_t prefixLength) {
    std::array<std::uint8_t, Size> mask{};
    std::uint32_t bits = std::min<std::uint32_t>(prefixLength, Size * 8);
    // Whole bytes first, then the high bits of the byte that follows.
    for (std::size_t i = 0; i < Size && bits > 0; ++i) {
        const std::uint32_t taken = std::min<std::uint32_t>(bits, 8);
        mask[i] = static_cast<std::uint8_t>(0xFF00u >> taken);
        bits -= taken;
    }
    return mask;
}

bool allZero(const platform::SocketAddress& address) {
    if (address.isIPv4()) {
        const platform::IPv4Host host = address.ipv4();
        return std::all_of(host.begin(), host.end(), [](std::uint8_t b) { return b == 0; });
    }
    const platform::IPv6Host host = address.ipv6();
    return std::all_of(host.begin(), host.end(), [](std::uint8_t b) { return b == 0; });
}

// Returns the prefix length of the adapter's first usable IPv6 prefix.
std::optional<std::uint32_t> ipv6PrefixLength(const platform::AdapterRecord& adapter) {
    for (const platform::AdapterPrefix& prefix : adapter.prefixes)
        if (prefix.address.isIPv6() && prefix.length != 0 && !allZero(prefix.address)) return prefix.length;
    return std::nullopt;
}

std::uint32_t flagsOf(const platform::AdapterRecord& adapter) {
    std::uint32_t flags = 0;
    if (adapter.operational) flags |= kAdapterOperational;
    if (adapter.softwareLoopback) flags |= kAdapterSoftwareLoopback;
    if (!adapter.noMulticast) flags |= kAdapterMulticast;
    return flags;
}

}  // namespace

platform::IPv4Host ipv4Mask(std::uint32_t prefixLength) { return maskOfBits<4>(prefixLength); }

platform::IPv6Host ipv6Mask(std::uint32_t prefixLength) { return maskOfBits<16>(prefixLength); }

std::vector<AdapterAddressEntry> adapterEntries(const std::vector<platform::AdapterRecord>& adapters) {
    std::vector<AdapterAddressEntry> entries;
    for (const platform::AdapterRecord& adapter : adapters) {
        const std::uint32_t flags = flagsOf(adapter);
        const std::optional<std::uint32_t> prefix6 = ipv6PrefixLength(adapter);
        for (const platform::AdapterUnicast& unicast : adapter.unicast) {
            if (!unicast.address.isIPv4() && !unicast.address.isIPv6()) continue;
            AdapterAddressEntry entry;
            entry.adapterName = adapter.name.substr(0, kAdapterNameLimit);
            entry.flags = flags;
            entry.address = unicast.address;
            if (unicast.address.isIPv4())
                entry.mask = platform::ipv4Address(ipv4Mask(unicast.prefixLength), 0);
            else
                entry.mask = platform::ipv6Address(ipv6Mask(prefix6.value_or(0)), 0);
            entries.push_back(std::move(entry));
        }
    }
    return entries;
}

std::vector<AdapterAddressEntry> enumerateAdapters(platform::SocketApi& api) {
    const std::optional<std::vector<platform::AdapterRecord>> adapters = api.adapters();
    if (!adapters) return {};
    return adapterEntries(*adapters);
}

bool holdsIPv4Address(const std::vector<AdapterAddressEntry>& entries) {
    return std::any_of(entries.begin(), entries.end(), [](const AdapterAddressEntry& entry) {
        return entry.address.isIPv4() && !allZero(entry.address);
    });
}

}  // namespace tvzx::net
