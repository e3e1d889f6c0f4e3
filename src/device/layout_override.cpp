#include "device/layout_override.h"

#include <cstring>
#include <string_view>

namespace tvzx::device {
namespace {

constexpr std::string_view kCoreDriverSignature = "PRIV";
constexpr std::uint32_t kFirstNUpOption = 0;
constexpr std::uint32_t kTabImageShiftOff = 0;

}  // namespace

std::uint8_t* layoutOverrideByte(win::DEVMODEW* publicDevmode) {
    if (publicDevmode == nullptr) return nullptr;
    // The flag must lie inside the core driver's part: its byte 124 exists
    // only when the part holds more than 124 bytes.
    if (publicDevmode->dmDriverExtra <= kLayoutOverrideOffset) return nullptr;
    auto* area = reinterpret_cast<std::uint8_t*>(publicDevmode) + publicDevmode->dmSize;
    if (std::memcmp(area, kCoreDriverSignature.data(), kCoreDriverSignature.size()) != 0) return nullptr;
    return area + kLayoutOverrideOffset;
}

std::uint8_t updateLayoutOverride(win::DEVMODEW* publicDevmode, const settings::CoreData* settings,
                                  const DeviceState* state, JobServices& services) {
    std::uint8_t* flag = layoutOverrideByte(publicDevmode);
    // Once pages are being set up the layout of the job is fixed.
    if (state != nullptr && state->pageCounter > 0) return flag != nullptr ? *flag : 0;
    if (flag == nullptr || settings == nullptr) return 0;
    const bool imposed = settings->option(settings::FieldId::NUpCount) != kFirstNUpOption;
    const bool tabSheets =
        settings->option(settings::FieldId::TabImageShift) == kTabImageShiftOff && services.holdsTabRecord(*settings);
    *flag = (imposed || tabSheets) ? 1 : 0;
    return *flag;
}

}  // namespace tvzx::device
