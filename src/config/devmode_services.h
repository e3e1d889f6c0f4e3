// The printer configuration and the rules behind the driver's DevMode
// requests: the default duplex goes through the rules engine, the public
// DEVMODE's paper, tray, orientation, resolution and copies are taken into
// the record, and the core driver's option bytes follow the record through
// the job services.
#pragma once

#include "config/printer_access.h"
#include "device/job_services.h"
#include "platform/spooler.h"
#include "settings/devmode.h"

namespace tvzx::config {

class PrinterDevModeServices final : public settings::DevModeServices {
public:
    // Serves one request for the printer behind the handle (which may be
    // null), during a job on that printer or outside one.
    PrinterDevModeServices(platform::Spooler& spooler, device::JobServices& job, win::HANDLE printer,
                           bool jobUnderWay = false);

    const platform::PrinterData* printerData() override { return printer_.printerData(); }
    void setDuplex(settings::CoreData& record, bool duplex) override;
    void syncCoreDriverOptions(const settings::CoreData& record, win::DEVMODEW* publicDevmode) override;
    bool takePublicDevmode(settings::CoreData& record, const win::DEVMODEW* publicDevmode) override;
    bool holdsTabSheets(const settings::CoreData& record) override;
    bool jobUnderWay() override { return jobUnderWay_; }

private:
    device::JobServices& job_;
    win::HANDLE handle_;
    bool jobUnderWay_;
    PrinterAccess printer_;
};

}  // namespace tvzx::config
