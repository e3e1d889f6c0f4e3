#include "config/devmode_services.h"

#include "config/public_devmode.h"
#include "rules/rule_engine.h"

namespace tvzx::config {

PrinterDevModeServices::PrinterDevModeServices(platform::Spooler& spooler, device::JobServices& job, win::HANDLE printer,
                                               bool jobUnderWay)
    : job_(job), handle_(printer), jobUnderWay_(jobUnderWay), printer_(spooler, printer) {}

void PrinterDevModeServices::setDuplex(settings::CoreData& record, bool duplex) {
    rules::setDuplexThroughRules(record, duplex);
}

void PrinterDevModeServices::syncCoreDriverOptions(const settings::CoreData& record, win::DEVMODEW* publicDevmode) {
    job_.writeCoreDriverSelections(record, publicDevmode, handle_);
}

bool PrinterDevModeServices::takePublicDevmode(settings::CoreData& record, const win::DEVMODEW* publicDevmode) {
    return config::takePublicDevmode(record, publicDevmode, printer_);
}

bool PrinterDevModeServices::holdsTabSheets(const settings::CoreData& record) { return job_.holdsTabRecord(record); }

}  // namespace tvzx::config
