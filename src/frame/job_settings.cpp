#include "frame/job_settings.h"

#include "frame/device_state.h"
#include "settings/private_block.h"

namespace tvzx::frame {

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

}  // namespace tvzx::frame
