#include "plugin_driver.h"

#include <algorithm>
#include <cstdio>
#include <utility>
#include <vector>

#include "host_error.h"
#include "job_paper.h"
#include "platform/path_text.h"
#include "platform/spooler.h"
#include "settings/private_block.h"
#include "settings/schema_hash.h"

namespace tvzx::host {
namespace {

constexpr win::BOOL kTrue = 1;
constexpr win::BOOL kFalse = 0;
constexpr win::ULONG kGdiDriverVersion = 0x5000;
constexpr win::ULONG kRasterPrinter = 2;
constexpr std::uint16_t kDeviceSurface = 1;
constexpr win::FLONG kAbortDocument = 1;
constexpr std::uint32_t kSignatureSize = sizeof(std::uint32_t);

std::string hexResult(win::HRESULT result) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(result));
    return text;
}

// The simulated handle of the job's printer. The plug-in only hands it back
// to its platform's spooler, which without a spooler printer stands for the
// printer that the printer data file describes; any handle that is not null
// does.
constexpr char kPrinterHandleToken[] = "printer";

win::OEMDMPARAM devmodeRequest(win::HANDLE printer, DevmodeImage& devmode, void* input, void* output,
                               win::DWORD size) {
    win::OEMDMPARAM param{};
    param.cbSize = sizeof param;
    param.hPrinter = printer;
    param.pPublicDMIn = devmode.publicPart();
    param.pPublicDMOut = devmode.publicPart();
    param.pOEMDMIn = input;
    param.pOEMDMOut = output;
    param.cbBufSize = size;
    return param;
}

}  // namespace

// The host's own driver functions, behind the plug-in's hooks. A surface
// leads back to the driver through the device it belongs to.
struct HostDriverFunctions {
    static PluginDriver& driverOf(win::SURFOBJ* surface) {
        return *reinterpret_cast<HostDevice*>(surface->dhpdev)->driver;
    }
    // Calls the plug-in at an injection point from inside one of its hooks;
    // a failure is kept for the driver to throw once the hook has returned.
    static win::BOOL commandFromHook(win::SURFOBJ* surface, win::DWORD index) {
        PluginDriver& driver = driverOf(surface);
        try {
            driver.command(index);
        } catch (...) {
            if (!driver.failure_) driver.failure_ = std::current_exception();
            return kFalse;
        }
        return kTrue;
    }
    static win::BOOL TVZX_STDCALL startDoc(win::SURFOBJ* surface, win::WCHAR*, win::DWORD) {
        return commandFromHook(surface, win::PSINJECT_BEGINSTREAM);
    }
    static win::BOOL TVZX_STDCALL startPage(win::SURFOBJ*) { return kTrue; }
    static win::BOOL TVZX_STDCALL endDoc(win::SURFOBJ* surface, win::FLONG) {
        return commandFromHook(surface, win::PSINJECT_ENDSTREAM);
    }
};

win::GDIINFO deviceCapabilities(const settings::CoreData& record) {
    const JobPaper paper = jobPaper(record);
    win::LONG width = static_cast<win::LONG>(micronsToPixels(paper.widthMicrons, kDeviceDpi));
    win::LONG height = static_cast<win::LONG>(micronsToPixels(paper.heightMicrons, kDeviceDpi));
    if (isLandscape(record)) std::swap(width, height);

    win::GDIINFO info{};
    info.ulVersion = kGdiDriverVersion;
    info.ulTechnology = kRasterPrinter;
    info.szlPhysSize = {width, height};
    info.ptlPhysOffset = {kDeviceMarginPixels, kDeviceMarginPixels};
    info.ulHorzRes = static_cast<win::ULONG>(std::max<win::LONG>(width - 2 * kDeviceMarginPixels, 0));
    info.ulVertRes = static_cast<win::ULONG>(std::max<win::LONG>(height - 2 * kDeviceMarginPixels, 0));
    // Sizes in millimetres, rounded.
    info.ulHorzSize = (info.ulHorzRes * kMicronsPerInch / kDeviceDpi + kMicronsPerMillimetre / 2) / kMicronsPerMillimetre;
    info.ulVertSize = (info.ulVertRes * kMicronsPerInch / kDeviceDpi + kMicronsPerMillimetre / 2) / kMicronsPerMillimetre;
    info.cBitsPixel = 1;
    info.cPlanes = 1;
    info.ulNumColors = 2;
    info.ulLogPixelsX = kDeviceDpi;
    info.ulLogPixelsY = kDeviceDpi;
    info.ulAspectX = kDeviceDpi;
    info.ulAspectY = kDeviceDpi;
    info.ulDevicePelsDPI = kDeviceDpi;
    return info;
}

PrinterHandle::PrinterHandle(const DriverJob& job) {
    if (!job.spoolerPrinter) {
        handle_ = const_cast<char*>(kPrinterHandleToken);
        return;
    }
    // The printer is asked for by the name the job gives it, as the driver
    // is handed the handle of the printer the job was sent to.
    handle_ = platform::systemSpooler().openPrinter(job.printerName);
    if (handle_ == nullptr)
        throw HostError("printer '" + platform::utf8Path(job.printerName) + "': the spooler cannot open it");
    opened_ = true;
}

PrinterHandle::~PrinterHandle() {
    if (opened_) platform::systemSpooler().closePrinter(handle_);
}

PluginDriver::PluginDriver(PluginModule& module, DriverHelpers& helpers, const DriverJob& job)
    : module_(module), helpers_(helpers), printer_(job), devmode_(job.printerName, settings::kPrivateBlockSize) {
    try {
        createObject();
        checkIdentity();
        setUpDevmode(job);
        enable(job);
    } catch (...) {
        // The destructor does not run for a half-built driver: take down
        // what was brought up.
        tearDown();
        throw;
    }
}

PluginDriver::~PluginDriver() { tearDown(); }

void PluginDriver::tearDown() {
    if (!plugin_) return;
    if (deviceEnabled_) plugin_->lpVtbl->DisablePDEV(plugin_.get(), &device_.devobj);
    deviceEnabled_ = false;
    if (driverEnabled_) plugin_->lpVtbl->DisableDriver(plugin_.get());
    driverEnabled_ = false;
    plugin_.reset();
    module_.askCanUnloadNow();
}

void PluginDriver::refused(const std::string& request, win::HRESULT result) const {
    throw HostError(module_.path() + ": the plug-in refused " + request + " (" + hexResult(result) + ")");
}

void PluginDriver::createObject() {
    ComPtr<win::IClassFactory> factory;
    win::HRESULT result = module_.getClassObject(win::CLSID_OEMRENDER, win::IID_IClassFactory, factory.receive());
    if (result != win::S_OK || !factory) refused("DllGetClassObject for the rendering plug-in class", result);
    result = factory->lpVtbl->CreateInstance(factory.get(), nullptr, &win::IID_IPrintOemPS2, plugin_.receive());
    if (result != win::S_OK || !plugin_) refused("CreateInstance of IPrintOemPS2", result);
}

void PluginDriver::checkIdentity() {
    // The host writes the job's settings into the plug-in's block itself,
    // so the block must be of the layout the host was built with.
    std::uint32_t signature = 0;
    win::DWORD needed = 0;
    win::HRESULT result = plugin_->lpVtbl->GetInfo(plugin_.get(), win::OEMGI_GETSIGNATURE, &signature, kSignatureSize, &needed);
    if (result != win::S_OK) refused("GetInfo for its signature", result);
    std::uint32_t version = 0;
    result = plugin_->lpVtbl->GetInfo(plugin_.get(), win::OEMGI_GETVERSION, &version, kSignatureSize, &needed);
    if (result != win::S_OK) refused("GetInfo for its version", result);
    if (signature != settings::kSignature || version != settings::schemaHash()) {
        char text[96];
        std::snprintf(text, sizeof text, "signature 0x%08X version 0x%08X, the host expects 0x%08X 0x%08X", signature,
                      version, settings::kSignature, settings::schemaHash());
        throw HostError(module_.path() + ": not a plug-in of the host's settings layout (" + text + ")");
    }
    std::uint32_t requested = 0;
    result = plugin_->lpVtbl->GetInfo(plugin_.get(), win::OEMGI_GETREQUESTEDHELPERINTERFACES, &requested, kSignatureSize, &needed);
    requestedHelpers_ = result == win::S_OK ? requested : win::OEMPUBLISH_DEFAULT;
}

void PluginDriver::setUpDevmode(const DriverJob& job) {
    auto* plugin = plugin_.get();
    auto request = devmodeRequest(printer_.get(), devmode_, nullptr, nullptr, 0);
    win::HRESULT result = plugin->lpVtbl->DevMode(plugin, win::OEMDM_SIZE, &request);
    if (result != win::S_OK) refused("DevMode OEMDM_SIZE", result);
    if (request.cbBufSize != settings::kPrivateBlockSize)
        throw HostError(module_.path() + ": the plug-in asks for a private DEVMODE block of " +
                        std::to_string(request.cbBufSize) + " bytes, the host's layout has " +
                        std::to_string(settings::kPrivateBlockSize));

    // The public part starts from the default settings, as a new printer's does.
    devmode_.followSettings(settings::defaultRecord());
    std::span<std::uint8_t> block = devmode_.pluginBlock();
    request = devmodeRequest(printer_.get(), devmode_, nullptr, block.data(), request.cbBufSize);
    result = plugin->lpVtbl->DevMode(plugin, win::OEMDM_DEFAULT, &request);
    if (result != win::S_OK) refused("DevMode OEMDM_DEFAULT", result);
    if (!settings::isCurrentBlock(block)) throw HostError(module_.path() + ": the plug-in's default block is not of the host's layout");

    // The job's settings go into a copy of the defaulted block, which the
    // plug-in then converts into the DEVMODE the job runs with.
    std::vector<std::uint8_t> staging(block.begin(), block.end());
    const auto stagingBlock = std::span<std::uint8_t, settings::kPrivateBlockSize>(staging.data(), settings::kPrivateBlockSize);
    settings::CoreData& edited = settings::blockRecord(stagingBlock);
    if (job.editSettings) job.editSettings(edited);
    devmode_.followSettings(edited);
    request = devmodeRequest(printer_.get(), devmode_, staging.data(), block.data(),
                             static_cast<win::DWORD>(block.size()));
    result = plugin->lpVtbl->DevMode(plugin, win::OEMDM_CONVERT, &request);
    if (result != win::S_OK) refused("DevMode OEMDM_CONVERT", result);

    settings_ = settings::blockRecord(std::span<std::uint8_t, settings::kPrivateBlockSize>(block.data(), settings::kPrivateBlockSize));
    devmode_.followSettings(settings_);
}

void PluginDriver::enable(const DriverJob& job) {
    auto* plugin = plugin_.get();
    win::HRESULT result = plugin->lpVtbl->EnableDriver(plugin, win::PRINTER_OEMINTF_VERSION, sizeof hooks_, &hooks_);
    if (result != win::S_OK) refused("EnableDriver", result);
    driverEnabled_ = true;

    hostFunctions_ = {{{win::INDEX_DrvStartDoc, reinterpret_cast<win::PFN>(&HostDriverFunctions::startDoc)},
                       {win::INDEX_DrvStartPage, reinterpret_cast<win::PFN>(&HostDriverFunctions::startPage)},
                       {win::INDEX_DrvEndDoc, reinterpret_cast<win::PFN>(&HostDriverFunctions::endDoc)}}};
    hostFunctionTable_ = {win::PRINTER_OEMINTF_VERSION, static_cast<win::ULONG>(hostFunctions_.size()), hostFunctions_.data()};
    gdiInfo_ = deviceCapabilities(settings_);

    device_.driver = this;
    device_.devobj.dwSize = sizeof(win::DEVOBJ);
    device_.devobj.hPrinter = printer_.get();
    device_.devobj.pPublicDM = devmode_.publicPart();
    device_.devobj.pOEMDM = devmode_.pluginBlock().data();
    std::u16string printerName = job.printerName;
    void* state = nullptr;
    result = plugin->lpVtbl->EnablePDEV(plugin, &device_.devobj, printerName.data(), 0, nullptr, sizeof gdiInfo_, &gdiInfo_,
                                        0, nullptr, &hostFunctionTable_, &state);
    if (result != win::S_OK) refused("EnablePDEV", result);
    device_.devobj.pdevOEM = state;
    deviceEnabled_ = true;

    result = plugin->lpVtbl->PublishDriverInterface(plugin, helpers_.driverHelper());
    if (result != win::S_OK) refused("PublishDriverInterface with the driver helper", result);
    if ((requestedHelpers_ & win::OEMPUBLISH_IPRINTCOREHELPER) != 0) {
        result = plugin->lpVtbl->PublishDriverInterface(plugin, helpers_.coreHelper());
        if (result != win::S_OK) refused("PublishDriverInterface with the core helper", result);
    }

    // The page surface is the imageable area the device ended up with.
    surface_.dhpdev = &device_;
    surface_.sizlBitmap = {static_cast<win::LONG>(gdiInfo_.ulHorzRes), static_cast<win::LONG>(gdiInfo_.ulVertRes)};
    surface_.iType = kDeviceSurface;
    documentName_ = job.documentName;
    jobId_ = job.jobId;
}

win::PFN PluginDriver::hookOf(win::ULONG index) const {
    for (win::ULONG i = 0; i < hooks_.c && hooks_.pdrvfn != nullptr; ++i)
        if (hooks_.pdrvfn[i].iFunc == index) return hooks_.pdrvfn[i].pfn;
    return nullptr;
}

void PluginDriver::startDocument() {
    const auto hook = reinterpret_cast<win::PFN_DrvStartDoc>(hookOf(win::INDEX_DrvStartDoc));
    auto* function = hook != nullptr ? hook : &HostDriverFunctions::startDoc;
    // The plug-in may keep the name: it gets a copy it can point into.
    std::u16string name = documentName_;
    function(&surface_, name.empty() ? nullptr : name.data(), jobId_);
    rethrowFailure();
}

void PluginDriver::startPage() {
    const auto hook = reinterpret_cast<win::PFN_DrvStartPage>(hookOf(win::INDEX_DrvStartPage));
    (hook != nullptr ? hook : &HostDriverFunctions::startPage)(&surface_);
    rethrowFailure();
}

void PluginDriver::endDocument(bool aborted) {
    const auto hook = reinterpret_cast<win::PFN_DrvEndDoc>(hookOf(win::INDEX_DrvEndDoc));
    (hook != nullptr ? hook : &HostDriverFunctions::endDoc)(&surface_, aborted ? kAbortDocument : 0);
    rethrowFailure();
}

win::DWORD PluginDriver::command(win::DWORD index) {
    win::DWORD result = 0;
    plugin_->lpVtbl->Command(plugin_.get(), &device_.devobj, index, nullptr, 0, &result);
    rethrowFailure();
    return result;
}

void PluginDriver::rethrowFailure() {
    if (std::exception_ptr failure = helpers_.takeFailure()) std::rethrow_exception(failure);
    if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
}

}  // namespace tvzx::host
