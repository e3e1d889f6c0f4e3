// Datagram sockets over Winsock 2. The resolver (getaddrinfo) and the
// adapter list (GetAdaptersAddresses) are looked up at run time, so the
// module loads where either is missing and only loses what needs it.
#include "platform/udp_sockets.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>
#include <windows.h>

#include <cstddef>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace tvzx::platform {
namespace {

// The modules and exports looked up at run time.
constexpr const wchar_t* kSocketModule = L"ws2_32.dll";
constexpr const wchar_t* kIpHelperModule = L"iphlpapi.dll";
constexpr const char* kGetAddrInfoExport = "getaddrinfo";
constexpr const char* kFreeAddrInfoExport = "freeaddrinfo";
constexpr const char* kGetAdaptersAddressesExport = "GetAdaptersAddresses";
// The Winsock version the plug-in asks for: 2.0.
constexpr WORD kWinsockVersion = MAKEWORD(2, 0);
constexpr ULONG kOperationalStatusUp = 1;
constexpr ULONG kSoftwareLoopbackType = 24;
// The prefixes of each adapter are listed only when asked for.
constexpr ULONG kAdapterListFlags = GAA_FLAG_INCLUDE_PREFIX;
// The adapter list may grow between learning its size and filling it; a few
// more rounds catch up before giving up.
constexpr int kAdapterListAttempts = 3;
// The most bytes one datagram send is given.
constexpr std::size_t kLargestSend = static_cast<std::size_t>(std::numeric_limits<int>::max());

using GetAddrInfoFunction = int(WSAAPI*)(const char*, const char*, const ADDRINFOA*, ADDRINFOA**);
using FreeAddrInfoFunction = void(WSAAPI*)(ADDRINFOA*);
using GetAdaptersAddressesFunction = ULONG(WINAPI*)(ULONG, ULONG, void*, IP_ADAPTER_ADDRESSES*, ULONG*);

template <typename Function>
Function exportOf(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// Returns whether a structure the system sized itself by its leading Length
// reaches past this member: older systems list shorter structures.
template <typename Structure>
bool reaches(const Structure& structure, std::size_t memberEnd) {
    return structure.Length >= memberEnd;
}

SocketAddress fromNative(const sockaddr* native, int length) {
    if (native == nullptr || length < 0) return {};
    const auto size = static_cast<std::size_t>(length);
    SocketAddress address;
    // The plug-in's layout is the Windows one.
    if ((native->sa_family == AF_INET && size >= kIPv4AddressSize) ||
        (native->sa_family == AF_INET6 && size >= kIPv6AddressSize)) {
        address.size = native->sa_family == AF_INET ? kIPv4AddressSize : kIPv6AddressSize;
        std::memcpy(address.bytes.data(), native, address.size);
    }
    return address;
}

class WinsockSockets final : public SocketApi {
public:
    bool startLibrary() override {
        WSADATA data{};
        return WSAStartup(kWinsockVersion, &data) == 0;
    }

    void stopLibrary() override { WSACleanup(); }

    SocketHandle openDatagram(std::uint16_t family) override {
        const int native = family == kFamilyIPv4 ? AF_INET : family == kFamilyIPv6 ? AF_INET6 : AF_UNSPEC;
        if (native == AF_UNSPEC) return kInvalidSocket;
        const SOCKET handle = socket(native, SOCK_DGRAM, 0);
        return handle == INVALID_SOCKET ? kInvalidSocket : static_cast<SocketHandle>(handle);
    }

    bool enableBroadcast(SocketHandle handle) override {
        const BOOL on = TRUE;
        return setsockopt(static_cast<SOCKET>(handle), SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&on),
                          sizeof on) == 0;
    }

    std::int64_t sendTo(SocketHandle handle, const std::uint8_t* data, std::size_t size,
                        const SocketAddress& address) override {
        if (address.size == 0 || size > kLargestSend || (data == nullptr && size != 0)) return -1;
        const int sent = sendto(static_cast<SOCKET>(handle), reinterpret_cast<const char*>(data),
                                static_cast<int>(size), 0, reinterpret_cast<const sockaddr*>(address.bytes.data()),
                                static_cast<int>(address.size));
        return sent == SOCKET_ERROR ? -1 : static_cast<std::int64_t>(sent);
    }

    void close(SocketHandle handle) override {
        shutdown(static_cast<SOCKET>(handle), SD_BOTH);
        closesocket(static_cast<SOCKET>(handle));
    }

    std::optional<std::vector<SocketAddress>> resolve(std::string_view host) override {
        // A NUL would end the name early and so ask for another host.
        if (host.find('\0') != std::string_view::npos) return std::nullopt;
        HMODULE library = LoadLibraryW(kSocketModule);
        if (library == nullptr) return std::nullopt;
        const auto getAddrInfo = exportOf<GetAddrInfoFunction>(library, kGetAddrInfoExport);
        const auto freeAddrInfo = exportOf<FreeAddrInfoFunction>(library, kFreeAddrInfoExport);
        std::optional<std::vector<SocketAddress>> result;
        if (getAddrInfo != nullptr && freeAddrInfo != nullptr) {
            const std::string name(host);
            ADDRINFOA hints{};
            hints.ai_family = AF_UNSPEC;
            hints.ai_socktype = SOCK_DGRAM;
            ADDRINFOA* answers = nullptr;
            const int code = getAddrInfo(name.c_str(), nullptr, &hints, &answers);
            // The resolver's result stays the thread's last socket error.
            WSASetLastError(code);
            if (code == 0) {
                result.emplace();
                for (const ADDRINFOA* answer = answers; answer != nullptr; answer = answer->ai_next) {
                    SocketAddress address = fromNative(answer->ai_addr, static_cast<int>(answer->ai_addrlen));
                    if (address.size != 0) result->push_back(address);
                }
                freeAddrInfo(answers);
            }
        }
        FreeLibrary(library);
        return result;
    }

    std::optional<std::vector<AdapterRecord>> adapters() override {
        HMODULE library = LoadLibraryW(kIpHelperModule);
        if (library == nullptr) return std::nullopt;
        const auto getAdapters = exportOf<GetAdaptersAddressesFunction>(library, kGetAdaptersAddressesExport);
        std::optional<std::vector<AdapterRecord>> result;
        ULONG size = 0;
        // First learn the size, then fill a zeroed buffer of that size.
        ULONG code = getAdapters != nullptr ? getAdapters(AF_UNSPEC, kAdapterListFlags, nullptr, nullptr, &size)
                                            : ERROR_PROC_NOT_FOUND;
        // A computer without adapters answers at once that it has none.
        if (code == ERROR_NO_DATA) result.emplace();
        for (int attempt = 0; attempt < kAdapterListAttempts && code == ERROR_BUFFER_OVERFLOW && size > 0; ++attempt) {
            std::vector<std::uint64_t> buffer((size + sizeof(std::uint64_t) - 1) / sizeof(std::uint64_t), 0);
            auto* first = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data());
            code = getAdapters(AF_UNSPEC, kAdapterListFlags, nullptr, first, &size);
            if (code == NO_ERROR) {
                result.emplace();
                for (const IP_ADAPTER_ADDRESSES* adapter = first; adapter != nullptr; adapter = adapter->Next)
                    result->push_back(recordOf(*adapter));
            }
        }
        FreeLibrary(library);
        return result;
    }

private:
    static AdapterRecord recordOf(const IP_ADAPTER_ADDRESSES& adapter) {
        AdapterRecord record;
        if (adapter.AdapterName != nullptr) record.name = adapter.AdapterName;
        record.operational = adapter.OperStatus == kOperationalStatusUp;
        record.softwareLoopback = adapter.IfType == kSoftwareLoopbackType;
        record.noMulticast = (adapter.Flags & IP_ADAPTER_NO_MULTICAST) != 0;
        for (const IP_ADAPTER_UNICAST_ADDRESS* unicast = adapter.FirstUnicastAddress; unicast != nullptr;
             unicast = unicast->Next) {
            const SocketAddress address = fromNative(unicast->Address.lpSockaddr, unicast->Address.iSockaddrLength);
            // Systems before Windows Vista do not state the on-link prefix.
            const bool statesPrefix = reaches(*unicast, offsetof(IP_ADAPTER_UNICAST_ADDRESS, OnLinkPrefixLength) +
                                                            sizeof unicast->OnLinkPrefixLength);
            const std::uint32_t prefixLength = statesPrefix ? unicast->OnLinkPrefixLength : 0u;
            if (address.size != 0) record.unicast.push_back({address, prefixLength});
        }
        // The prefix list came with Windows XP SP1.
        if (!reaches(adapter, offsetof(IP_ADAPTER_ADDRESSES, FirstPrefix) + sizeof adapter.FirstPrefix)) return record;
        for (const IP_ADAPTER_PREFIX* prefix = adapter.FirstPrefix; prefix != nullptr; prefix = prefix->Next) {
            const SocketAddress address = fromNative(prefix->Address.lpSockaddr, prefix->Address.iSockaddrLength);
            if (address.size != 0) record.prefixes.push_back({address, prefix->PrefixLength});
        }
        return record;
    }
};

}  // namespace

SocketApi& systemSocketApi() {
    static WinsockSockets sockets;
    return sockets;
}

}  // namespace tvzx::platform
