#include "net/wake_service.h"

#include "platform/printer_by_name.h"

namespace tvzx::net {

WakeService::WakeService(device::JobServices& next)
    : WakeService(next, platform::openPrinterData, systemSocketLibrary(), systemTiming()) {}

WakeService::WakeService(device::JobServices& next, PrinterDataOpener open, SocketLibrary& sockets,
                         WakeUpTiming timing)
    : next_(next), open_(std::move(open)), sockets_(sockets), timing_(std::move(timing)) {}

void WakeService::wakePrinter(std::u16string_view printerName) {
    MacAddress address{};
    // An unreadable or unset address means there is no one to wake.
    if (!readPrinterMacAddress(printerName, address, open_) || isNone(address)) return;
    sendWakeUp(address, sockets_, timing_);
}

void WakeService::applyInstallableOptions(settings::CoreData& record, const win::DEVMODEW* publicDevmode,
                                          win::HANDLE printer) {
    next_.applyInstallableOptions(record, publicDevmode, printer);
}

void WakeService::writeCoreDriverSelections(const settings::CoreData& record, win::DEVMODEW* publicDevmode,
                                            win::HANDLE printer) {
    next_.writeCoreDriverSelections(record, publicDevmode, printer);
}

bool WakeService::holdsTabRecord(const settings::CoreData& record) { return next_.holdsTabRecord(record); }

}  // namespace tvzx::net
