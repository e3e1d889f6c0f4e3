// Enciphering of the passwords and other secret values of the job ticket.
// The printers of the family decipher them with the same fixed key, so the
// key material behind ticketCipherKeys() must never change on our side alone.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/aes256.h"

namespace tvzx::pjl {

struct TicketCipherKeys {
    std::array<std::uint8_t, kAes256KeySize> key;
    std::array<std::uint8_t, kAesBlockSize> iv;
};

// Returns the AES-256 key (SHA-256 of the first half of the key material) and
// the IV (the first 16 bytes of SHA-256 of its second half) of ticket values.
// Callers should clear the result with wipeMemory when done with it.
TicketCipherKeys ticketCipherKeys();

// Returns the value enciphered for the ticket as upper-case hexadecimal, 32
// digits per 16-byte block: the bytes are padded with n bytes of value n - 1
// up to the next whole block (a full block when already whole, so an empty
// value gives one block), then enciphered with AES-256-CBC under
// ticketCipherKeys(). Pass the setting's bytes up to its terminating zero.
std::string encipherForTicket(std::string_view value);

}  // namespace tvzx::pjl
