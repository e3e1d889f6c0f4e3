// Waking the printer from its energy-saving sleep: a wake-on-LAN magic
// packet broadcast on every reachable segment, to the echo and discard
// ports, in two rounds of five with a short pause between. Nothing is
// received; the job goes on whatever the outcome.
#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "net/mac_address.h"
#include "net/socket_library.h"
#include "net/tv_socket.h"

namespace tvzx::net {

inline constexpr std::size_t kMagicPacketSyncBytes = 6;
inline constexpr std::uint8_t kMagicPacketSyncByte = 0xFF;
inline constexpr std::size_t kMagicPacketRepeats = 16;
inline constexpr std::size_t kMagicPacketSize = kMagicPacketSyncBytes + kMagicPacketRepeats * std::tuple_size_v<MacAddress>;
static_assert(kMagicPacketSize == 102);

// The wake-up ports, in the order their targets are sent to.
inline constexpr std::array<std::uint16_t, 2> kWakeUpPorts = {7, 9};
inline constexpr unsigned kWakeUpRounds = 2;
inline constexpr unsigned kSendsPerRound = 5;
// The pause between the rounds: this long plus a random part below the
// spread.
inline constexpr std::chrono::milliseconds kWakeUpPause{200};
inline constexpr std::uint32_t kWakeUpPauseSpread = 100;

using MagicPacket = std::array<std::uint8_t, kMagicPacketSize>;

// Returns the magic packet for the address: six 0xFF bytes, then the
// address sixteen times.
MagicPacket magicPacket(const MacAddress& address);

// How the wake-up waits between its rounds.
struct WakeUpTiming {
    // Waits this long.
    std::function<void(std::chrono::milliseconds)> pause;
    // Returns a pseudo-random number for the length of the pause.
    std::function<std::uint32_t()> random;
};

// Returns the timing of the running process: a real sleep and the process's
// pseudo-random sequence.
WakeUpTiming systemTiming();

// Returns the pause between the rounds for a pseudo-random number.
std::chrono::milliseconds wakeUpPauseFor(std::uint32_t random);

// Sends the address's magic packet through every socket in order, five
// times; pauses; and again five times. Returns how many datagrams went out.
// Without sockets nothing is sent and there is no pause.
std::size_t sendMagicPackets(const MacAddress& address, const std::vector<SocketPointer>& sockets,
                             const WakeUpTiming& timing);

// Returns the broadcast sockets of the wake-up ports, port 7 first.
std::vector<SocketPointer> wakeUpTargets(SocketLibrary& library);

// Wakes the printer of this hardware address on every reachable segment.
// Returns whether at least one datagram was sent: false for no address, a
// computer without an IPv4 address, or no broadcast socket.
bool sendWakeUp(const MacAddress& address, SocketLibrary& library, const WakeUpTiming& timing);

}  // namespace tvzx::net
