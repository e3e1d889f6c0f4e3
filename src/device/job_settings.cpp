#include "device/job_settings.h"

#include "device/device_state.h"
#include "settings/private_block.h"

namespace tvzx::device {

JobSettings currentJobSettings(const win::DEVOBJ* devObj, JobServices& services) {
    JobSettings result;
    const auto block = privateBlockOf(devObj);
    const settings::CoreData* record = currentBlockRecord(block);
    if (record == nullptr) {
        result.record = settings::defaultRecord();
        return result;
    }
    result.record = *record;
    result.fromPrivateBlock = true;
    result.suppressesSettingsProcedure =
        settings::suppressesSettingsProcedure(std::span<const std::uint8_t, settings::kPrivateBlockSize>(
            block.data(), settings::kPrivateBlockSize));
    settings::validateRecord(result.record);
    services.applyInstallableOptions(result.record, devObj->pPublicDM, devObj->hPrinter);
    return result;
}

JobSettingsCache::Source JobSettingsCache::sourceOf(const win::DEVOBJ* devObj) {
    if (devObj == nullptr) return {};
    return Source{devObj->pOEMDM, devObj->pPublicDM, devObj->hPrinter};
}

const JobSettings& JobSettingsCache::current(const win::DEVOBJ* devObj, JobServices& services) {
    const Source source = sourceOf(devObj);
    if (built_ && builtFrom_ == source) return settings_;
    // Should the build throw, nothing half-built is kept.
    built_ = false;
    settings_ = currentJobSettings(devObj, services);
    builtFrom_ = source;
    built_ = true;
    return settings_;
}

void JobSettingsCache::forget() {
    built_ = false;
    inStep_ = false;
}

bool JobSettingsCache::devmodeInStep(const win::DEVOBJ* devObj) const {
    return inStep_ && inStepFor_ == sourceOf(devObj);
}

void JobSettingsCache::markDevmodeInStep(const win::DEVOBJ* devObj) {
    inStep_ = true;
    inStepFor_ = sourceOf(devObj);
}

}  // namespace tvzx::device
