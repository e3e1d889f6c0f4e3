// tvzx-printer-app: an IPP Everywhere printer application for the printer
// family. PAPPL's main loop gives it its sub-commands (server, add,
// printers, submit, status, shutdown, ...), its IPP service and web pages;
// every job prints through the simulated driver host and the plug-in, as
// the CUPS filter prints it.
//
// The server's options (-o NAME=VALUE):
//   state-directory=DIR   printers, settings and spool (default /var/lib/tvzx-printer-app)
//   listen-hostname=NAME  the address it listens on (default: every address)
//   server-port=N         its port (default 8000)
//   dnssd=on|off          whether it advertises its printers (default on)
//   tls=on|off            whether it offers TLS (default on)
//   log-file=FILE|-|syslog, log-level=debug|info|warn|error
//   auth-service=NAME     the PAM service that checks administrators' logins
//   admin-group=GROUP     the group whose members may change settings
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>

#include "app.h"

namespace {

using namespace tvzx::printer_app;

constexpr const char* kVersion = TVZX_PRINTER_APP_VERSION;
constexpr const char* kSystemName = "TVZX Printer Application";
constexpr const char* kSubtypes = "_print,_universal";
constexpr const char* kDefaultStateDirectory = "/var/lib/tvzx-printer-app";
constexpr const char* kSpoolFolder = "/spool";
constexpr int kDefaultPort = 8000;
constexpr const char* kFooter = "TVZX production printers: finishing for every client, without a driver.";

constexpr const char* kBusVariable = "DBUS_SYSTEM_BUS_ADDRESS";
constexpr const char* kNoBus = "unix:path=/nonexistent/tvzx-printer-app-without-dns-sd";
constexpr std::string_view kOn = "on";
constexpr std::string_view kOff = "off";

pappl_pr_driver_t kDrivers[] = {{kDriverName, kDriverDescription, nullptr, nullptr}};

std::string_view option(int count, cups_option_t* options, const char* name, std::string_view fallback) {
    const char* value = cupsGetOption(name, count, options);
    return value != nullptr ? std::string_view(value) : fallback;
}

pappl_loglevel_t logLevel(std::string_view name) {
    if (name == "debug") return PAPPL_LOGLEVEL_DEBUG;
    if (name == "warn") return PAPPL_LOGLEVEL_WARN;
    if (name == "error") return PAPPL_LOGLEVEL_ERROR;
    return PAPPL_LOGLEVEL_INFO;
}

bool driverCallback(pappl_system_t*, const char* driverName, const char*, const char*, pappl_pr_driver_data_t* data,
                    ipp_t** attributes, void* app) {
    if (driverName == nullptr || std::strcmp(driverName, kDriverName) != 0) return false;
    // A new printer starts with every unit installed, until its
    // configuration says otherwise.
    fillDriverData(*static_cast<App*>(app), PrinterConfig{}, data, attributes);
    return true;
}

// A printer made or read back from the state: its configuration decides what
// it supports, and with DNS-SD off it is not advertised.
void printerCreated(pappl_printer_t* printer, void* data) {
    App& app = *static_cast<App*>(data);
    if (!app.dnssd) papplPrinterSetDNSSDName(printer, nullptr);
    applyConfig(app, printer, app.config(printer));
    papplLogPrinter(printer, PAPPL_LOGLEVEL_INFO, "Configuration applied.");
}

bool saveState(pappl_system_t* system, void* data) {
    return papplSystemSaveState(system, static_cast<App*>(data)->stateFile().c_str());
}

pappl_system_t* systemCallback(int count, cups_option_t* options, void* data) {
    App& app = *static_cast<App*>(data);
    app.stateDirectory = std::string(option(count, options, "state-directory", kDefaultStateDirectory));
    const std::string_view dnssd = option(count, options, "dnssd", kOn);
    const std::string_view tls = option(count, options, "tls", kOn);
    if ((dnssd != kOn && dnssd != kOff) || (tls != kOn && tls != kOff)) {
        std::fprintf(stderr, "%s: dnssd and tls are on or off\n", kProgramName);
        return nullptr;
    }
    app.dnssd = dnssd == kOn;
    const std::string spool = app.stateDirectory + kSpoolFolder;
    std::error_code error;
    std::filesystem::create_directories(spool, error);
    std::filesystem::create_directories(app.settingsDirectory(), error);
    if (error) {
        std::fprintf(stderr, "%s: cannot make %s: %s\n", kProgramName, spool.c_str(), error.message().c_str());
        return nullptr;
    }
    const std::string port(option(count, options, "server-port", std::to_string(kDefaultPort)));
    const std::string logFile(option(count, options, "log-file", "-"));
    const std::string authService(option(count, options, "auth-service", ""));
    const std::string listen(option(count, options, "listen-hostname", ""));

    pappl_soptions_t systemOptions = PAPPL_SOPTIONS_MULTI_QUEUE | PAPPL_SOPTIONS_WEB_INTERFACE | PAPPL_SOPTIONS_WEB_LOG |
                                     PAPPL_SOPTIONS_WEB_SECURITY;
    if (tls == kOff) systemOptions |= PAPPL_SOPTIONS_NO_TLS;
    if (!app.dnssd) {
        // PAPPL advertises through the Avahi daemon, which it reaches on the
        // system's message bus; pointing it at no bus leaves nothing to
        // advertise, for the printers of the state and for every printer
        // added later alike.
        setenv(kBusVariable, kNoBus, 1);
    }
    pappl_system_t* system = papplSystemCreate(
        systemOptions, kSystemName, std::atoi(port.c_str()), kSubtypes, spool.c_str(), logFile.c_str(),
        logLevel(option(count, options, "log-level", "info")), authService.empty() ? nullptr : authService.c_str(), false);
    if (system == nullptr) return nullptr;
    if (!papplSystemAddListeners(system, listen.empty() ? nullptr : listen.c_str())) {
        papplSystemDelete(system);
        return nullptr;
    }
    if (!listen.empty()) papplSystemSetHostName(system, listen.c_str());
    if (const char* group = cupsGetOption("admin-group", count, options)) papplSystemSetAdminGroup(system, group);
    papplSystemSetFooterHTML(system, kFooter);
    papplSystemSetPrinterDrivers(system, 1, kDrivers, nullptr, printerCreated, driverCallback, &app);
    papplSystemAddMIMEFilter(system, kPdfFormat, kDocumentFormat, printPdf, &app);
    papplSystemLoadState(system, app.stateFile().c_str());
    papplSystemIteratePrinters(system, printerCreated, &app);
    if (!app.dnssd) papplSystemSetDNSSDName(system, nullptr);
    papplSystemSetSaveCallback(system, saveState, &app);
    papplSystemSetEventCallback(system, jobEvent, &app);
    addOptionsPage(app, system);
    return system;
}

void usage(void*) {
    std::printf("Server options (-o NAME=VALUE): state-directory=DIR, listen-hostname=NAME, server-port=N,\n"
                "  dnssd=on|off, tls=on|off, log-file=FILE, log-level=LEVEL, auth-service=NAME, admin-group=GROUP\n");
}

}  // namespace

int main(int argc, char* argv[]) {
    App app;
    return papplMainloop(argc, argv, kVersion, nullptr, 1, kDrivers, nullptr, driverCallback, nullptr, nullptr,
                         systemCallback, usage, &app);
}
