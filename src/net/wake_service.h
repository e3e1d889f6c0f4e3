// The job services with the printer wake-up: at every document start the
// printer named by the spooler is woken when its hardware address is
// configured. Everything else goes to the services it is built over.
#pragma once

#include <string_view>

#include "device/job_services.h"
#include "net/mac_address.h"
#include "net/socket_library.h"
#include "net/wake_up.h"

namespace tvzx::net {

class WakeService : public device::JobServices {
public:
    // Wakes through the system's printers and sockets.
    explicit WakeService(device::JobServices& next);
    WakeService(device::JobServices& next, PrinterDataOpener open, SocketLibrary& sockets, WakeUpTiming timing);

    // Reads the printer's "MacAddress" and, when one is configured, sends
    // the wake-up. Failures are silent.
    void wakePrinter(std::u16string_view printerName) override;

    void applyInstallableOptions(settings::CoreData& record, const win::DEVMODEW* publicDevmode,
                                 win::HANDLE printer) override;
    void writeCoreDriverSelections(const settings::CoreData& record, win::DEVMODEW* publicDevmode,
                                   win::HANDLE printer) override;
    bool holdsTabRecord(const settings::CoreData& record) override;

private:
    device::JobServices& next_;
    PrinterDataOpener open_;
    SocketLibrary& sockets_;
    WakeUpTiming timing_;
};

}  // namespace tvzx::net
