#include "device/job_services.h"

namespace tvzx::device {

void JobServices::wakePrinter(std::u16string_view) {}

void JobServices::applyInstallableOptions(settings::CoreData&, const win::DEVMODEW*, win::HANDLE) {}

void JobServices::writeCoreDriverSelections(const settings::CoreData&, win::DEVMODEW*, win::HANDLE) {}

bool JobServices::holdsTabRecord(const settings::CoreData&) { return false; }

}  // namespace tvzx::device
