#include "tabs/tab_pages.h"

#include <algorithm>

#include "platform/companion_files.h"
#include "config/working_directory.h"
#include "common/module_handle.h"
#include "device/module_state.h"
#include "platform/windows_types.h"
#include "postscript/tab_texts.h"
#include "tabs/tab_worker.h"

namespace tvzx::tabs {
namespace {

using postscript::InjectionContext;

bool printsOnFirstPage(const UsableTab& tab) { return tab.printed() && tab.page == 1; }

// The system's way: the worker process or thread prints the tab document.
bool systemSheet(const TabSheetRequest& request, OutputSink& sink) {
    TabSheetServices services = systemTabSheetServices([](std::span<std::uint8_t> record) {
        TabWorkerServices workerServices = systemTabWorkerServices();
        return tabWorker(record, workerServices);
    });
    return createTabSheet(request, services, sink);
}

}  // namespace

std::u16string tabDocumentName(std::string_view prefix, std::uint32_t page) {
    std::string name(prefix);
    name += ' ';
    name += std::to_string(page);
    name.resize(std::min(name.size(), kTabDocumentNameLimit));
    return std::u16string(name.begin(), name.end());
}

void takePublicDevMode(const win::DEVMODEW* devMode, TabExchange& exchange) {
    exchange.orientation = kDefaultOrientation;
    exchange.printQuality = 0;
    exchange.yResolution = 0;
    exchange.scale = kDefaultScale;
    if (devMode == nullptr) return;
    const win::DWORD fields = devMode->dmFields;
    if (fields & win::DM_ORIENTATION) exchange.orientation = static_cast<std::uint16_t>(devMode->dmOrientation);
    if (fields & win::DM_PRINTQUALITY) exchange.printQuality = static_cast<std::uint16_t>(devMode->dmPrintQuality);
    if (fields & win::DM_YRESOLUTION) exchange.yResolution = static_cast<std::uint16_t>(devMode->dmYResolution);
    if (fields & win::DM_SCALE) exchange.scale = static_cast<std::uint16_t>(devMode->dmScale);
}

PlugInTabSheets::PlugInTabSheets(platform::Spooler& spooler)
    : PlugInTabSheets(spooler, systemSheet,
                      [&spooler](void* printer) { return config::systemWorkingDirectory(spooler, printer); }) {}

PlugInTabSheets::PlugInTabSheets(platform::Spooler& spooler, SheetMaker makeSheet, DirectoryFinder findDirectory)
    : spooler_(spooler), makeSheet_(std::move(makeSheet)), findDirectory_(std::move(findDirectory)) {}

std::string PlugInTabSheets::setupPreparation(const settings::CoreData& settings) {
    const JobTabs tabs = jobTabs(settings);
    if (!tabs.printsTabSheets) return {};
    return postscript::tabPreparation(std::any_of(tabs.usable.begin(), tabs.usable.end(), printsOnFirstPage));
}

std::string PlugInTabSheets::pageSaveCapture(const settings::CoreData& settings) {
    // The capture gives the driver's page save up; only the page-setup
    // callback of a job that prints tab sheets renews it.
    if (!jobPrintsTabSheets(settings)) return {};
    return postscript::pageSaveCapture();
}

bool PlugInTabSheets::actsOnPages(const settings::CoreData& settings) { return jobPrintsTabSheets(settings); }

std::optional<std::u16string> PlugInTabSheets::printerNameOf(const InjectionContext& context) {
    void* printer = context.devObj != nullptr ? context.devObj->hPrinter : nullptr;
    if (printer == nullptr) return std::nullopt;
    return spooler_.printerName(printer);
}

void PlugInTabSheets::writePendingRestore(InjectionContext& context) {
    if (context.state->restorePending == 0) return;
    context.sink.write(postscript::pageDeviceRestore());
    context.state->restorePending = 0;
}

bool PlugInTabSheets::makeSheet(InjectionContext& context, const std::u16string& printerName, const UsableTab& tab,
                                std::string_view prefix, bool noEject) {
    void* printer = context.devObj->hPrinter;
    const std::optional<std::u16string> directory = findDirectory_(printer);
    if (!directory) return false;
    TabSheetRequest request;
    request.workingDirectory = *directory;
    request.module = tvzx::moduleHandle();
    request.moduleFile = platform::companionFilePath(request.module, platform::CompanionKind::PostScript).value_or(u"");
    request.noEject = noEject;
    TabExchange& exchange = request.exchange;
    exchange.printer = reinterpret_cast<std::uintptr_t>(printer);
    exchange.printerName = printerName;
    exchange.documentName = tabDocumentName(prefix, tab.page);
    takePublicDevMode(context.devObj->pPublicDM, exchange);
    exchange.settings = context.settings;
    exchange.jobId = context.state != nullptr ? context.state->jobId : 0;
    exchange.tabInformation = informationBytes(tab.info);
    exchange.label = tab.info.label;
    return makeSheet_(request, context.sink);
}

void PlugInTabSheets::beginPage(InjectionContext& context) {
    const JobTabs tabs = jobTabs(context.settings);
    if (!tabs.printsTabSheets || context.state == nullptr) return;
    device::markTabDocument(*context.state);
    bool shiftedAndPrinted = false;
    // The tab sheets are printed through the job's printer, known by name.
    const std::optional<std::u16string> printerName = printerNameOf(context);
    if (printerName) {
        for (const UsableTab& tab : tabs.usable) {
            if (tab.page != context.state->pageCounter) continue;
            const bool printed = tab.printed();
            // A sheet printed on the previous page gets its page device back first.
            writePendingRestore(context);
            const std::string_view prefix =
                printed ? postscript::kPrintedTabDocumentPrefix : postscript::kInsertedTabDocumentPrefix;
            const bool written = makeSheet(context, *printerName, tab, prefix, printed);
            // An inserted sheet is a page of its own: its page device goes back
            // at once; a printed one keeps it until the page is done.
            if (!printed && written) context.sink.write(postscript::pageDeviceRestore());
            context.state->restorePending = printed && written ? 1 : 0;
            shiftedAndPrinted = printed && selectsShortTabPaper(context.settings, tab.info.paper);
        }
    }
    context.sink.write(postscript::pageSetupCallback(turnedPage(context.settings) == 0 && shiftedAndPrinted));
}

void PlugInTabSheets::endPage(InjectionContext& context) {
    const JobTabs tabs = jobTabs(context.settings);
    if (!tabs.printsTabSheets || context.state == nullptr) return;
    if (!tabs.usable.empty()) context.sink.write(postscript::qxpFixCall());
    writePendingRestore(context);
}

void PlugInTabSheets::afterDocument(InjectionContext& context) {
    const JobTabs tabs = jobTabs(context.settings);
    if (!tabs.printsTabSheets || context.state == nullptr) return;
    if (context.devObj == nullptr || context.devObj->hPrinter == nullptr) return;
    const std::optional<std::u16string> printerName = printerNameOf(context);
    if (printerName) {
        for (const UsableTab& tab : tabs.usable) {
            if (tab.page <= context.state->pageCounter) continue;
            writePendingRestore(context);
            if (makeSheet(context, *printerName, tab, kTabAfterDocumentPrefix, false))
                context.sink.write(postscript::pageDeviceRestore());
        }
    }
    context.state->restorePending = 0;
}

}  // namespace tvzx::tabs
