// The DDI functions the plug-in hooks: one table of DDI index and handler,
// whose order fixes where the device state keeps the driver's own function.
#pragma once

#include <cstdint>
#include <span>

#include "device/device_state.h"
#include "platform/com_abi.h"

namespace tvzx::frame {

enum class HookSlot : std::uint8_t {
    RealizeBrush,
    CopyBits,
    BitBlt,
    StretchBlt,
    StretchBltROP,
    PlgBlt,
    TransparentBlt,
    AlphaBlend,
    GradientFill,
    TextOut,
    StrokePath,
    FillPath,
    StrokeAndFillPath,
    StartPage,
    SendPage,
    Escape,
    StartDoc,
    EndDoc,
    QueryFont,
    QueryFontTree,
    QueryFontData,
    QueryAdvanceWidths,
    FontManagement,
    GetGlyphMode,
    IcmCreateColorTransform,
    IcmDeleteColorTransform,
    QueryDeviceSupport,
};
static_assert(static_cast<std::size_t>(HookSlot::QueryDeviceSupport) + 1 == device::kHookCount);

// Returns the hook table: for each slot the DDI index and the plug-in's
// handler. It lives as long as the module, since the driver keeps it.
std::span<win::DRVFN, device::kHookCount> hookTable();

// Fills the driver's answer to EnableDriver: interface version, entry count
// and the hook table.
void describeHooks(win::DRVENABLEDATA& enableData);

// Stores, for each slot, the driver's own function of the slot's DDI index
// from the driver's table; null where the driver has none.
void captureDriverFunctions(device::DeviceState& state, const win::DRVENABLEDATA* driverTable);

// Returns the driver's own function of a slot; null without a state or when
// the driver has none.
template <typename Function>
Function driverFunction(const device::DeviceState* state, HookSlot slot) {
    if (state == nullptr) return nullptr;
    return reinterpret_cast<Function>(state->driverFunctions[static_cast<std::size_t>(slot)]);
}

}  // namespace tvzx::frame
