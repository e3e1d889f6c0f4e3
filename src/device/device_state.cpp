#include "device/device_state.h"

#include <memory>

namespace tvzx::device {
namespace {

template <std::size_t N>
settings::FieldSet fieldSetOf(const std::array<settings::FieldId, N>& fields) {
    settings::FieldSet set;
    for (settings::FieldId id : fields) set.set(static_cast<std::size_t>(id));
    return set;
}

}  // namespace

std::unique_ptr<DeviceState> makeDeviceState() {
    auto state = std::make_unique<DeviceState>();
    state->settings = settings::defaultRecord();
    return state;
}

std::span<std::uint8_t> privateBlockOf(const win::DEVOBJ* devObj) {
    if (devObj == nullptr || devObj->pOEMDM == nullptr) return {};
    return std::span<std::uint8_t>(static_cast<std::uint8_t*>(devObj->pOEMDM), settings::kPrivateBlockSize);
}

settings::CoreData* currentBlockRecord(std::span<std::uint8_t> block) {
    if (!settings::isCurrentBlock(block)) return nullptr;
    return &settings::blockRecord(block.first<settings::kPrivateBlockSize>());
}

const settings::FieldSet& outputFieldSet() {
    static const settings::FieldSet set = fieldSetOf(kOutputFields);
    return set;
}

const settings::FieldSet& identityFieldSet() {
    static const settings::FieldSet set = fieldSetOf(kIdentityFields);
    return set;
}

}  // namespace tvzx::device
