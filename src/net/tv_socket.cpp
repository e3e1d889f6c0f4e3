#include "net/tv_socket.h"

#include <optional>
#include <vector>

namespace tvzx::net {
namespace {

// Returns the destination with the port put in, or no address when the
// destination is missing or of another kind.
platform::SocketAddress destinationOf(const platform::SocketAddress* destination, std::size_t size,
                                      std::uint16_t family, std::uint16_t port) {
    if (destination == nullptr || destination->size != size || destination->family() != family) return {};
    platform::SocketAddress address = *destination;
    if (port != 0) address.setPort(port);
    return address;
}

bool isDestination(const platform::SocketAddress* destination, std::size_t size, std::uint16_t family) {
    return destination != nullptr && destination->size == size && destination->family() == family;
}

}  // namespace

TvSocket::TvSocket(SocketLibrary& library, std::uint16_t family, bool withDestination) : library_(library) {
    // The library is started before the first socket is opened.
    library_.acquire();
    if (!withDestination) return;
    creationFlag_ = 1;
    handle_ = library_.api().openDatagram(family);
}

TvSocket::~TvSocket() {
    if (detached_ == 0 && valid()) library_.api().close(handle_);
    library_.release();
}

TvSocket4::TvSocket4(SocketLibrary& library, const platform::SocketAddress* destination, std::uint16_t port)
    : TvSocket(library, platform::kFamilyIPv4,
               isDestination(destination, platform::kIPv4AddressSize, platform::kFamilyIPv4)),
      address_(destinationOf(destination, platform::kIPv4AddressSize, platform::kFamilyIPv4, port)) {}

TvSocket6::TvSocket6(SocketLibrary& library, const platform::SocketAddress* destination, std::uint16_t port)
    : TvSocket(library, platform::kFamilyIPv6,
               isDestination(destination, platform::kIPv6AddressSize, platform::kFamilyIPv6)),
      address_(destinationOf(destination, platform::kIPv6AddressSize, platform::kFamilyIPv6, port)) {}

SocketPointer createSocket(SocketLibrary& library, std::size_t addressLength, const platform::SocketAddress* address,
                           std::uint16_t port) {
    if (addressLength == platform::kIPv6AddressSize) return std::make_shared<TvSocket6>(library, address, port);
    // Any other length asks for an IPv4 socket, which is then empty unless
    // the address really is one.
    const platform::SocketAddress* destination = addressLength == platform::kIPv4AddressSize ? address : nullptr;
    return std::make_shared<TvSocket4>(library, destination, port);
}

SocketPointer resolveSocket(SocketLibrary& library, std::string_view host, const TvSocket::UdpSocketParams& params) {
    // Resolution may need the socket library started (Winsock does), so it
    // is held for the time of the question.
    SocketLibraryUse use(library);
    const std::optional<std::vector<platform::SocketAddress>> answers = library.api().resolve(host);
    if (!answers) return nullptr;
    for (const platform::SocketAddress& answer : *answers) {
        if (!params.acceptsAddress(answer)) continue;
        SocketPointer socket;
        if (answer.isIPv6())
            socket = createSocket(library, platform::kIPv6AddressSize, &answer, params.port());
        else if (answer.isIPv4())
            socket = createSocket(library, platform::kIPv4AddressSize, &answer, params.port());
        if (socket && socket->valid()) return socket;
    }
    return nullptr;
}

bool sendDatagram(const TvSocket& socket, std::span<const std::uint8_t> packet) {
    const platform::SocketAddress& address = socket.address();
    if (!socket.valid() || address.size == 0 || socket.addressLength() == 0 || packet.empty()) return false;
    std::size_t offset = 0;
    while (offset < packet.size()) {
        const std::int64_t sent =
            socket.library().api().sendTo(socket.handle(), packet.data() + offset, packet.size() - offset, address);
        // Nothing sent would repeat forever, more than asked cannot be:
        // both end the send as failed.
        if (sent <= 0 || static_cast<std::uint64_t>(sent) > packet.size() - offset) return false;
        offset += static_cast<std::size_t>(sent);
    }
    return true;
}

}  // namespace tvzx::net
