#include "config/printer_job_services.h"

#include "config/core_options.h"
#include "config/printer_access.h"
#include "config/printer_values.h"
#include "rules/page_exceptions.h"
#include "rules/rule_engine.h"

namespace tvzx::config {

void PrinterJobServices::applyInstallableOptions(settings::CoreData& record, const win::DEVMODEW*, win::HANDLE printer) {
    const PrinterAccess access(spooler_, printer);
    rules::applyInstalledOptions(record, readInstalledOptions(access));
}

void PrinterJobServices::writeCoreDriverSelections(const settings::CoreData& record, win::DEVMODEW* publicDevmode,
                                                   win::HANDLE printer) {
    const PrinterAccess access(spooler_, printer);
    syncCoreDriverOptions(access, publicDevmode, record);
}

bool PrinterJobServices::holdsTabRecord(const settings::CoreData& record) { return rules::holdsTabRecords(record); }

}  // namespace tvzx::config
