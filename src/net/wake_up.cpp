#include "net/wake_up.h"


#include <thread>

#include "config/runtime_random.h"
#include "net/broadcast_targets.h"

namespace tvzx::net {

MagicPacket magicPacket(const MacAddress& address) {
    MagicPacket packet{};
    std::size_t offset = 0;
    for (; offset < kMagicPacketSyncBytes; ++offset) packet[offset] = kMagicPacketSyncByte;
    for (std::size_t repeat = 0; repeat < kMagicPacketRepeats; ++repeat)
        for (std::uint8_t byte : address) packet[offset++] = byte;
    return packet;
}

WakeUpTiming systemTiming() {
    return {[](std::chrono::milliseconds length) { std::this_thread::sleep_for(length); }, config::runtimeRandom};
}

std::chrono::milliseconds wakeUpPauseFor(std::uint32_t random) {
    return kWakeUpPause + std::chrono::milliseconds(random % kWakeUpPauseSpread);
}

std::size_t sendMagicPackets(const MacAddress& address, const std::vector<SocketPointer>& sockets,
                             const WakeUpTiming& timing) {
    if (sockets.empty()) return 0;
    const MagicPacket packet = magicPacket(address);
    std::size_t sent = 0;
    for (unsigned round = 0; round < kWakeUpRounds; ++round) {
        // The printer's network interface may need a moment after the first
        // packets before it passes the next ones on.
        if (round > 0 && timing.pause) timing.pause(wakeUpPauseFor(timing.random ? timing.random() : 0));
        for (unsigned send = 0; send < kSendsPerRound; ++send)
            for (const SocketPointer& socket : sockets)
                // A failing socket does not keep the others from sending.
                if (socket && sendDatagram(*socket, packet)) ++sent;
    }
    return sent;
}

std::vector<SocketPointer> wakeUpTargets(SocketLibrary& library) {
    std::vector<SocketPointer> targets;
    for (std::uint16_t port : kWakeUpPorts) {
        std::vector<SocketPointer> sockets = broadcastSockets(library, port);
        targets.insert(targets.end(), sockets.begin(), sockets.end());
    }
    return targets;
}

bool sendWakeUp(const MacAddress& address, SocketLibrary& library, const WakeUpTiming& timing) {
    if (isNone(address) || !library.hasIPv4Address()) return false;
    const std::vector<SocketPointer> targets = wakeUpTargets(library);
    return sendMagicPackets(address, targets, timing) > 0;
}

}  // namespace tvzx::net
