// The job settings as the output code sees them at one driver call: the
// private DEVMODE's record, checked and completed, or the defaults. A device
// keeps them between calls and builds them again only when what they derive
// from changes.
#pragma once

#include <optional>
#include <string>

#include "device/job_services.h"
#include "platform/com_abi.h"
#include "settings/core_data.h"

namespace tvzx::device {

struct JobSettings {
    settings::CoreData record;
    // Whether the record came from a valid private block.
    bool fromPrivateBlock = false;
    // Whether the block asks to leave out the plug-in settings procedure.
    bool suppressesSettingsProcedure = false;
    // Texts the output builds from the record alone, kept with it from
    // their first use: the tab sheets' capture of the page save, the head
    // of every page and the page trailer.
    mutable std::optional<std::string> pageSaveCapture;
    mutable std::optional<std::string> pageHead;
    mutable std::optional<std::string> pageTrailer;
    // Whether the tab sheets act on the pages of the job, and whether the
    // rest of a page's text varies from page to page (kept when not).
    mutable std::optional<bool> tabsActOnPages;
    mutable std::optional<bool> pageTextVaries;
    mutable std::optional<std::string> pageTail;
    // The name of the user the job prints for, from its first use.
    mutable std::optional<std::string> userName;
};

// Returns the settings of the device object's private block when it is
// valid: validated, with the printer's installable options applied. The
// default record otherwise.
JobSettings currentJobSettings(const win::DEVOBJ* devObj, JobServices& services);

// The settings one device works from. They derive from the private DEVMODE,
// the public DEVMODE and the printer's installed options; every event that
// can change one of those (a DevMode call for the device, ResetPDEV, the
// start of a document, a synchronisation that rewrote the block) forgets
// them, and a call with other DEVMODEs or another printer than last time
// builds them again.
class JobSettingsCache {
public:
    // Returns the settings for the device object, built now when nothing
    // valid is kept for it. The reference stays valid until the next call
    // or forget().
    const JobSettings& current(const win::DEVOBJ* devObj, JobServices& services);

    // Drops the kept settings and the record of the DEVMODE being in step.
    void forget();

    // Returns whether the device's private DEVMODE was brought in step with
    // the job and has not changed since.
    bool devmodeInStep(const win::DEVOBJ* devObj) const;
    // Notes that the device's private DEVMODE is now in step with the job.
    void markDevmodeInStep(const win::DEVOBJ* devObj);

private:
    struct Source {
        const void* privateBlock = nullptr;
        const win::DEVMODEW* publicDevmode = nullptr;
        win::HANDLE printer = nullptr;
        bool operator==(const Source&) const = default;
    };
    static Source sourceOf(const win::DEVOBJ* devObj);

    JobSettings settings_;
    bool built_ = false;
    Source builtFrom_;
    bool inStep_ = false;
    Source inStepFor_;
};

}  // namespace tvzx::device
