#include "device/layout_override.h"

#include "settings/devmode.h"

namespace tvzx::device {

std::uint8_t updateLayoutOverride(win::DEVMODEW* publicDevmode, const settings::CoreData* settings,
                                  const DeviceState* state, JobServices& services) {
    std::uint8_t* flag = settings::layoutFlagByte(publicDevmode);
    // Once pages are being set up the layout of the job is fixed.
    if (state != nullptr && state->pageCounter > 0) return flag != nullptr ? *flag : 0;
    if (flag == nullptr || settings == nullptr) return 0;
    *flag = settings::layoutFlagOf(*settings, services.holdsTabRecord(*settings));
    return *flag;
}

}  // namespace tvzx::device
