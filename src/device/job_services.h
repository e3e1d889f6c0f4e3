// What the document hooks, the escape filter and the dispatcher need from the
// printer configuration, the PPD mapping, the page exception list and the
// device link. Each operation does nothing by default, so the frame runs
// before those parts are present; they plug in by overriding.
#pragma once

#include <string_view>

#include "platform/com_abi.h"
#include "settings/core_data.h"

namespace tvzx::device {

class JobServices {
public:
    virtual ~JobServices() = default;

    // Wakes the printer of this name over the network when a hardware
    // address is configured for it. Failures are silent.
    virtual void wakePrinter(std::u16string_view printerName);

    // Applies the printer's installable options to the record.
    virtual void applyInstallableOptions(settings::CoreData& record, const win::DEVMODEW* publicDevmode,
                                         win::HANDLE printer);

    // Writes the PPD option selections the record implies into the core
    // driver's own part of the public DEVMODE.
    virtual void writeCoreDriverSelections(const settings::CoreData& record, win::DEVMODEW* publicDevmode,
                                           win::HANDLE printer);

    // Returns whether the record's page exception list holds a tab record.
    virtual bool holdsTabRecord(const settings::CoreData& record);
};

}  // namespace tvzx::device
