// The job's DEVMODE as the driver keeps it: the public part, the core
// driver's own private part (it begins with "PRIV") and the plug-in's block
// behind it, in one piece of memory. The public part follows the job
// settings: orientation, paper or custom size, tray, resolution and copies.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/com_abi.h"
#include "settings/core_data.h"

namespace tvzx::host {

// The core driver's private part: signature, the offset of the plug-in's
// block behind dmSize (16 bits at byte 114) and the layout flag (byte 124).
inline constexpr std::size_t kCorePartSize = 128;
inline constexpr std::string_view kCorePartSignature = "PRIV";
inline constexpr std::size_t kPluginOffsetField = 114;
inline constexpr std::size_t kLayoutFlagByte = 124;
static_assert(kCorePartSize > kLayoutFlagByte);

// Values of the public DEVMODE fields.
inline constexpr win::WORD kDevmodeSpecVersion = 0x0401;
inline constexpr win::SHORT kPortrait = 1;
inline constexpr win::SHORT kLandscape = 2;
inline constexpr win::SHORT kUserPaper = 256;      // a size given by width and length
inline constexpr win::SHORT kAutomaticBin = 7;     // the printer picks the tray
inline constexpr win::SHORT kFirstPpdBin = 256;    // the PPD's input slots are numbered from here

class DevmodeImage {
public:
    // Lays out the parts for a plug-in block of the given size, with the
    // printer's name in the public part.
    DevmodeImage(const std::u16string& printerName, std::uint32_t pluginBlockSize);
    DevmodeImage(const DevmodeImage&) = delete;
    DevmodeImage& operator=(const DevmodeImage&) = delete;

    // Returns the public part (its driver extra covers the two private parts).
    win::DEVMODEW* publicPart() { return reinterpret_cast<win::DEVMODEW*>(storage_.data()); }
    // Returns the core driver's private part.
    std::span<std::uint8_t> corePart() { return {storage_.data() + sizeof(win::DEVMODEW), kCorePartSize}; }
    // Returns the plug-in's block.
    std::span<std::uint8_t> pluginBlock() {
        return {storage_.data() + sizeof(win::DEVMODEW) + kCorePartSize, storage_.size() - sizeof(win::DEVMODEW) - kCorePartSize};
    }
    // Sets the public fields from the job settings.
    void followSettings(const settings::CoreData& record);

private:
    std::vector<std::uint8_t> storage_;
};

// Returns the tenths of a millimetre of a length stored at 10000 per millimetre.
win::SHORT tenthsOfMillimetre(std::int64_t stored);

}  // namespace tvzx::host
