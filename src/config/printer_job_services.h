// The job services that the printer configuration provides: the printer's
// installed options applied to the job's settings, the core driver's option
// bytes kept in line with them, and whether the page exception list holds
// tab sheets. Waking the printer is left to the services this one is
// combined with.
#pragma once

#include "device/job_services.h"
#include "platform/spooler.h"

namespace tvzx::config {

class PrinterJobServices : public device::JobServices {
public:
    explicit PrinterJobServices(platform::Spooler& spooler) : spooler_(spooler) {}

    // Clears from the record what the printer's installed options rule out.
    void applyInstallableOptions(settings::CoreData& record, const win::DEVMODEW* publicDevmode,
                                 win::HANDLE printer) override;
    // Writes the record's PPD selections into the core driver's option bytes.
    void writeCoreDriverSelections(const settings::CoreData& record, win::DEVMODEW* publicDevmode,
                                   win::HANDLE printer) override;
    // Returns whether the record's page exception list holds a tab record.
    bool holdsTabRecord(const settings::CoreData& record) override;

private:
    platform::Spooler& spooler_;
};

}  // namespace tvzx::config
