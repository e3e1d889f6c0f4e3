// UDP sockets that carry their destination: the plug-in sends datagrams to
// the printer's network and never receives, binds or connects. Sockets are
// shared and the last owner closes them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

#include "net/socket_library.h"
#include "platform/socket_address.h"
#include "platform/udp_sockets.h"

namespace tvzx::net {

class TvSocket {
public:
    // What a socket is created with: its destination port, and which
    // resolved addresses it may be created for.
    struct UdpSocketParams {
        virtual ~UdpSocketParams() = default;
        // Returns whether a socket may be created for this address; every
        // address by default.
        virtual bool acceptsAddress(const platform::SocketAddress&) const { return true; }
        // Returns the destination port in host order.
        virtual std::uint16_t port() const = 0;
    };

    // Parameters of a port fixed at construction.
    struct ConstantUdpSocketParams : UdpSocketParams {
        explicit ConstantUdpSocketParams(std::uint16_t port) : port_(port) {}
        std::uint16_t port() const override { return port_; }

    private:
        std::uint16_t port_;
    };

    virtual ~TvSocket();
    TvSocket(const TvSocket&) = delete;
    TvSocket& operator=(const TvSocket&) = delete;

    // Returns the destination address.
    virtual platform::SocketAddress& address() = 0;
    virtual const platform::SocketAddress& address() const = 0;
    // Returns the size of the destination address structure: 16 or 28.
    virtual std::size_t addressLength() const = 0;
    // Returns 1 for a socket created with a destination, 0 for an empty one.
    virtual std::uint32_t creationFlag() const { return creationFlag_; }

    // Returns the system's handle; kInvalidSocket for an empty socket or
    // one the system refused.
    platform::SocketHandle handle() const { return handle_; }
    bool valid() const { return handle_ != platform::kInvalidSocket; }
    // Returns the library the socket was made with.
    SocketLibrary& library() const { return library_; }

protected:
    // Takes one use of the library, then opens a socket of the family when
    // there is a destination.
    TvSocket(SocketLibrary& library, std::uint16_t family, bool withDestination);

private:
    SocketLibrary& library_;
    platform::SocketHandle handle_ = platform::kInvalidSocket;
    std::uint32_t creationFlag_ = 0;
    // Non-zero leaves the handle open at destruction; 0 for every socket
    // made here.
    std::uint32_t detached_ = 0;
};

// An IPv4 socket: its destination is a 16-byte address.
class TvSocket4 final : public TvSocket {
public:
    // A socket to `destination` (an IPv4 address) with its port replaced by
    // `port` unless that is 0; an empty socket when there is no destination
    // or it is not IPv4.
    TvSocket4(SocketLibrary& library, const platform::SocketAddress* destination, std::uint16_t port);
    platform::SocketAddress& address() override { return address_; }
    const platform::SocketAddress& address() const override { return address_; }
    std::size_t addressLength() const override { return platform::kIPv4AddressSize; }

private:
    platform::SocketAddress address_;
};

// An IPv6 socket: its destination is a 28-byte address.
class TvSocket6 final : public TvSocket {
public:
    // As TvSocket4, for an IPv6 destination.
    TvSocket6(SocketLibrary& library, const platform::SocketAddress* destination, std::uint16_t port);
    platform::SocketAddress& address() override { return address_; }
    const platform::SocketAddress& address() const override { return address_; }
    std::size_t addressLength() const override { return platform::kIPv6AddressSize; }

private:
    platform::SocketAddress address_;
};

using SocketPointer = std::shared_ptr<TvSocket>;

// Returns a socket for a destination of `addressLength` bytes (16: IPv4,
// 28: IPv6) with its port replaced by `port` unless 0; an empty socket of
// that kind (IPv4 for any other length) when `address` is missing or does
// not have that length.
SocketPointer createSocket(SocketLibrary& library, std::size_t addressLength, const platform::SocketAddress* address,
                           std::uint16_t port);

// Returns a socket to the first answer for `host` (a name or numeric
// address) that the parameters accept and the system opens a socket for,
// with the parameters' port; null when there is none or resolution fails.
SocketPointer resolveSocket(SocketLibrary& library, std::string_view host, const TvSocket::UdpSocketParams& params);

// Sends the packet as one datagram to the socket's destination. Returns
// whether every byte was sent; false without sending for an empty socket,
// no destination or an empty packet.
bool sendDatagram(const TvSocket& socket, std::span<const std::uint8_t> packet);

}  // namespace tvzx::net
