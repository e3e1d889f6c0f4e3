// The core driver's layout flag: a byte in the core driver's own part of
// the public DEVMODE that tells it the plug-in lays out the pages itself.
#pragma once

#include <cstdint>

#include "device/device_state.h"
#include "device/job_services.h"
#include "platform/com_abi.h"
#include "settings/core_data.h"

namespace tvzx::device {

// Brings the flag (settings::layoutFlagByte) in line with the settings, as
// settings::layoutFlagOf decides it, and returns it. Once the job has
// set up pages the stored flag is returned unchanged. Without a public
// DEVMODE, settings or a suitable core driver's part the result is 0.
std::uint8_t updateLayoutOverride(win::DEVMODEW* publicDevmode, const settings::CoreData* settings,
                                  const DeviceState* state, JobServices& services);

}  // namespace tvzx::device
