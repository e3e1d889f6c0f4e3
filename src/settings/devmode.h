// The driver's requests for the plug-in's private DEVMODE block: its size,
// its defaults, and the conversion and merging of a block the driver holds.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "platform/printer_data.h"
#include "platform/windows_types.h"
#include "settings/core_data.h"

namespace tvzx::settings {

// What the DevMode requests need from the printer configuration and the rules.
class DevModeServices {
public:
    virtual ~DevModeServices() = default;
    // Returns the printer's data store, or nothing when it cannot be opened.
    virtual const platform::PrinterData* printerData() = 0;
    // Sets Duplex so that dependent settings follow.
    virtual void setDuplex(CoreData& record, bool duplex);
    // Brings the core driver's option bytes in line with the record.
    virtual void syncCoreDriverOptions(const CoreData& record, win::DEVMODEW* publicDevmode);
    // Takes the public DEVMODE's paper, orientation, tray, resolution and
    // copies into the record; returns whether the record changed.
    virtual bool takePublicDevmode(CoreData& record, const win::DEVMODEW* publicDevmode);
    // Returns whether the record's page exception list holds tab sheets.
    virtual bool holdsTabSheets(const CoreData& record);
    // Returns whether a job is under way on the device the request names,
    // whose layout the core driver's layout flag then keeps as it is.
    virtual bool jobUnderWay() { return false; }
};

// Services with nothing behind them but a printer data store.
class BasicDevModeServices : public DevModeServices {
public:
    explicit BasicDevModeServices(const platform::PrinterData* data) : data_(data) {}
    const platform::PrinterData* printerData() override { return data_; }

private:
    const platform::PrinterData* data_;
};

// Name prefix of the printer data values that hold stored descriptions.
inline constexpr std::string_view kDescriptionValuePrefix = "CoreDataDescription.";
inline constexpr std::string_view kDefaultDuplexValue = "DefaultDuplex";

// Applies the printer's default duplex unless the record was set in the
// driver's user interface. Returns whether the record changed.
bool applyDefaultDuplex(CoreData& record, DevModeServices& services);

// Converts an old or foreign block into destination (which holds the
// defaults) through the stored description of its layout; nothing happens
// when the block or its description is missing.
void convertForeignBlock(CoreData& destination, std::span<const std::uint8_t> foreignBlock,
                         DevModeServices& services);

// Returns the core driver's layout flag: byte 124 of its own part, which
// starts dmSize bytes into the public DEVMODE and begins with "PRIV". Null
// without a public DEVMODE, or when the part lacks its signature or is too
// short to hold the byte.
std::uint8_t* layoutFlagByte(win::DEVMODEW* publicDevmode);

// Returns the flag the record asks for: 1 when the plug-in lays out the
// pages itself (an imposed layout, or tab sheets on unshifted pages of a
// record that holds them), 0 otherwise.
std::uint8_t layoutFlagOf(const CoreData& record, bool holdsTabSheets);

// Sets the core driver's layout flag in its private area behind the public
// DEVMODE, when that area is there and large enough and no job is under
// way; during a job the flag stays as the job set it.
void updateLayoutFlag(const CoreData& record, win::DEVMODEW* publicDevmode, DevModeServices& services);

// Answers one DevMode request. An input block that lies in the public input
// DEVMODE is read no further than that DEVMODE's end, whatever its own size
// field states. Returns false for a bad mode, a missing parameter block,
// missing private blocks or a too small output buffer.
bool devModeCallback(std::uint32_t mode, win::OEMDMPARAM* param, DevModeServices& services);

}  // namespace tvzx::settings
