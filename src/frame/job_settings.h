// The job settings as the output code sees them at one driver call: the
// private DEVMODE's record, checked and completed, or the defaults.
#pragma once

#include "frame/job_services.h"
#include "platform/com_abi.h"
#include "settings/core_data.h"

namespace tvzx::frame {

struct JobSettings {
    settings::CoreData record;
    // Whether the record came from a valid private block.
    bool fromPrivateBlock = false;
    // Whether the block asks to leave out the plug-in settings procedure.
    bool suppressesSettingsProcedure = false;
};

// Returns the settings of the device object's private block when it is
// valid: validated, with the printer's installable options applied. The
// default record otherwise.
JobSettings currentJobSettings(const win::DEVOBJ* devObj, JobServices& services);

}  // namespace tvzx::frame
