#include "plugin_driver.h"

#include <algorithm>
#include <cstdio>
#include <utility>
#include <vector>

#include "platform/registry_printer.h"
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

// The handle of a simulated printer the system's spooler cannot give: the
// plug-in only hands it back to its spooler, which knows no such printer.
constexpr char kPrinterHandleToken[] = "printer";

HostError cannotOpen(const std::u16string& printer) {
    return HostError("printer '" + platform::utf8Path(printer) + "': the spooler cannot open it");
}

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
    // The host's own functions for the calls the plug-in only passes on:
    // each notes that the call arrived.
    static void arrived(win::SURFOBJ* surface, win::ULONG index) {
        if (surface != nullptr && surface->dhpdev != nullptr) ++driverOf(surface).arrivals_[index];
    }
    static win::BOOL TVZX_STDCALL sendPage(win::SURFOBJ* surface) {
        arrived(surface, win::INDEX_DrvSendPage);
        return kTrue;
    }
    static win::ULONG TVZX_STDCALL escape(win::SURFOBJ* surface, win::ULONG, win::ULONG, void*, win::ULONG, void*) {
        arrived(surface, win::INDEX_DrvEscape);
        return 0;
    }
    template <win::ULONG Index, typename Function>
    struct Drawing;
    template <win::ULONG Index, typename... Rest>
    struct Drawing<Index, win::BOOL(TVZX_STDCALL*)(win::SURFOBJ*, Rest...)> {
        static constexpr win::ULONG kIndex = Index;
        using Function = win::BOOL(TVZX_STDCALL*)(win::SURFOBJ*, Rest...);
        static win::BOOL TVZX_STDCALL own(win::SURFOBJ* surface, Rest...) {
            arrived(surface, Index);
            return kTrue;
        }
        // Draws once through the plug-in's hook, or the host's own function
        // where the plug-in has none, with nothing to draw.
        static void draw(PluginDriver& driver) {
            const auto hook = reinterpret_cast<Function>(driver.hookOf(Index));
            (hook != nullptr ? hook : &own)(&driver.surface_, Rest{}...);
        }
    };
    template <win::ULONG Index, typename Function>
    static void drawOnce(PluginDriver& driver) {
        const std::uint64_t before = driver.arrivals_[Index];
        Drawing<Index, Function>::draw(driver);
        if (driver.arrivals_[Index] != before + 1)
            throw HostError(driver.module_.path() + ": the plug-in's hook for driver function " + std::to_string(Index) +
                            " did not pass the call on to the driver");
    }
    // The drawing calls every page gets once, listed once: each is drawn
    // from a call site of its own, so the processor predicts every call of
    // the page (one site calling through a table of twelve does not).
    template <typename... Calls>
    struct DrawingList {
        static void drawEach(PluginDriver& driver) { (drawOnce<Calls::kIndex, typename Calls::Function>(driver), ...); }
        // Returns each call's index and the host's own function for it.
        static std::array<win::DRVFN, sizeof...(Calls)> ownFunctions() {
            return {win::DRVFN{Calls::kIndex, reinterpret_cast<win::PFN>(&Calls::own)}...};
        }
    };
    using DrawingCalls =
        DrawingList<Drawing<win::INDEX_DrvCopyBits, win::PFN_DrvCopyBits>, Drawing<win::INDEX_DrvBitBlt, win::PFN_DrvBitBlt>,
                    Drawing<win::INDEX_DrvStretchBlt, win::PFN_DrvStretchBlt>,
                    Drawing<win::INDEX_DrvStretchBltROP, win::PFN_DrvStretchBltROP>,
                    Drawing<win::INDEX_DrvPlgBlt, win::PFN_DrvPlgBlt>,
                    Drawing<win::INDEX_DrvTransparentBlt, win::PFN_DrvTransparentBlt>,
                    Drawing<win::INDEX_DrvAlphaBlend, win::PFN_DrvAlphaBlend>,
                    Drawing<win::INDEX_DrvGradientFill, win::PFN_DrvGradientFill>,
                    Drawing<win::INDEX_DrvTextOut, win::PFN_DrvTextOut>,
                    Drawing<win::INDEX_DrvStrokePath, win::PFN_DrvStrokePath>,
                    Drawing<win::INDEX_DrvFillPath, win::PFN_DrvFillPath>,
                    Drawing<win::INDEX_DrvStrokeAndFillPath, win::PFN_DrvStrokeAndFillPath>>;
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
    platform::Spooler& spooler = platform::systemSpooler();
    // A printer data file describes the job's printer where the system has
    // no spooler; the job's printer name, when given, must be its name.
    if (!job.printerDataPath.empty()) {
        const auto load = platform::loadRegistryPrinter(job.printerDataPath);
        if (!load.printer) throw HostError(load.error);
        if (job.spoolerPrinter && load.printer->name() != job.printerName) throw cannotOpen(job.printerName);
        handle_ = spooler.openPrinterFile(load.printer->name(), job.printerDataPath);
    }
    // The printer is asked for by the name the job gives it, as the driver
    // is handed the handle of the printer the job was sent to.
    if (handle_ == nullptr && job.spoolerPrinter) {
        handle_ = spooler.openPrinter(job.printerName);
        if (handle_ == nullptr) throw cannotOpen(job.printerName);
    }
    if (handle_ == nullptr && job.printerDataPath.empty()) handle_ = spooler.openPrinterFile(job.printerName, {});
    opened_ = handle_ != nullptr;
    // A system whose spooler has only its own printers gets a handle that
    // reaches none of them.
    if (handle_ == nullptr) handle_ = const_cast<char*>(kPrinterHandleToken);
}

PrinterHandle::~PrinterHandle() {
    if (opened_) platform::systemSpooler().closePrinter(handle_);
}

PluginDriver::PluginDriver(PluginModule& module, DriverHelpers& helpers, const DriverJob& job)
    : module_(module), helpers_(helpers), printer_(job), devmode_(std::make_unique<DevmodeImage>(job.printerName, settings::kPrivateBlockSize)) {
    try {
        createObject();
        checkIdentity();
        publishHelpers();
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
    if (deviceEnabled_) plugin_->lpVtbl->DisablePDEV(plugin_.get(), &device_->devobj);
    deviceEnabled_ = false;
    helpers_.forgetDevice(&device_->devobj);
    if (driverEnabled_) plugin_->lpVtbl->DisableDriver(plugin_.get());
    driverEnabled_ = false;
    plugin_.reset();
    module_.askCanUnloadNow();
}

void PluginDriver::finish() {
    tearDown();
    rethrowFailure();
    if (const std::string fault = helpers_.referenceFault(); !fault.empty()) throw HostError(module_.path() + ": " + fault);
}

void PluginDriver::publishHelpers() {
    // The driver offers the core helper first, and the driver helper only
    // to a plug-in that cannot take the core helper; a plug-in that takes
    // neither gets no further call.
    auto* plugin = plugin_.get();
    win::HRESULT result = plugin->lpVtbl->PublishDriverInterface(plugin, helpers_.coreHelper());
    if (result == win::E_FAIL) result = plugin->lpVtbl->PublishDriverInterface(plugin, helpers_.driverHelper());
    if (result != win::S_OK) refused("every helper interface the driver offered", result);
    // The core helper object goes only to a plug-in that asked for it, and
    // a plug-in may do without it.
    if ((requestedHelpers_ & win::OEMPUBLISH_IPRINTCOREHELPER) != 0)
        plugin->lpVtbl->PublishDriverInterface(plugin, helpers_.coreHelperObject());
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
    auto request = devmodeRequest(printer_.get(), *devmode_, nullptr, nullptr, 0);
    win::HRESULT result = plugin->lpVtbl->DevMode(plugin, win::OEMDM_SIZE, &request);
    if (result != win::S_OK) refused("DevMode OEMDM_SIZE", result);
    if (request.cbBufSize != settings::kPrivateBlockSize)
        throw HostError(module_.path() + ": the plug-in asks for a private DEVMODE block of " +
                        std::to_string(request.cbBufSize) + " bytes, the host's layout has " +
                        std::to_string(settings::kPrivateBlockSize));

    // The public part starts from the default settings, as a new printer's does.
    devmode_->followSettings(settings::defaultRecord());
    std::span<std::uint8_t> block = devmode_->pluginBlock();
    request = devmodeRequest(printer_.get(), *devmode_, nullptr, block.data(), request.cbBufSize);
    result = plugin->lpVtbl->DevMode(plugin, win::OEMDM_DEFAULT, &request);
    if (result != win::S_OK) refused("DevMode OEMDM_DEFAULT", result);
    if (!settings::isCurrentBlock(block)) throw HostError(module_.path() + ": the plug-in's default block is not of the host's layout");

    // The job's settings go into a copy of the defaulted block, which the
    // plug-in then converts into the DEVMODE the job runs with.
    std::vector<std::uint8_t> staging(block.begin(), block.end());
    const auto stagingBlock = std::span<std::uint8_t, settings::kPrivateBlockSize>(staging.data(), settings::kPrivateBlockSize);
    settings::CoreData& edited = settings::blockRecord(stagingBlock);
    if (job.editSettings) job.editSettings(edited);
    devmode_->followSettings(edited);
    request = devmodeRequest(printer_.get(), *devmode_, staging.data(), block.data(),
                             static_cast<win::DWORD>(block.size()));
    result = plugin->lpVtbl->DevMode(plugin, win::OEMDM_CONVERT, &request);
    if (result != win::S_OK) refused("DevMode OEMDM_CONVERT", result);

    settings_ = settings::blockRecord(std::span<std::uint8_t, settings::kPrivateBlockSize>(block.data(), settings::kPrivateBlockSize));
    devmode_->followSettings(settings_);
}

void PluginDriver::enable(const DriverJob& job) {
    auto* plugin = plugin_.get();
    win::HRESULT result = plugin->lpVtbl->EnableDriver(plugin, win::PRINTER_OEMINTF_VERSION, sizeof hooks_, &hooks_);
    if (result != win::S_OK) refused("EnableDriver", result);
    driverEnabled_ = true;
    resolveHooks();

    hostFunctions_[0] = {win::INDEX_DrvStartDoc, reinterpret_cast<win::PFN>(&HostDriverFunctions::startDoc)};
    hostFunctions_[1] = {win::INDEX_DrvStartPage, reinterpret_cast<win::PFN>(&HostDriverFunctions::startPage)};
    hostFunctions_[2] = {win::INDEX_DrvEndDoc, reinterpret_cast<win::PFN>(&HostDriverFunctions::endDoc)};
    hostFunctions_[3] = {win::INDEX_DrvSendPage, reinterpret_cast<win::PFN>(&HostDriverFunctions::sendPage)};
    hostFunctions_[4] = {win::INDEX_DrvEscape, reinterpret_cast<win::PFN>(&HostDriverFunctions::escape)};
    const auto drawing = HostDriverFunctions::DrawingCalls::ownFunctions();
    static_assert(drawing.size() == kDrawingCalls);
    std::copy(drawing.begin(), drawing.end(), hostFunctions_.begin() + 5);
    hostFunctionTable_ = {win::PRINTER_OEMINTF_VERSION, static_cast<win::ULONG>(hostFunctions_.size()), hostFunctions_.data()};
    printerName_ = job.printerName;
    enableDevice(*device_, *devmode_);
    deviceEnabled_ = true;
    documentName_ = job.documentName;
    jobId_ = job.jobId;
}

void PluginDriver::enableDevice(HostDevice& device, DevmodeImage& devmode) {
    auto* plugin = plugin_.get();
    gdiInfo_ = deviceCapabilities(settings_);
    device.driver = this;
    device.devobj.dwSize = sizeof(win::DEVOBJ);
    device.devobj.hPrinter = printer_.get();
    device.devobj.pPublicDM = devmode.publicPart();
    device.devobj.pOEMDM = devmode.pluginBlock().data();
    helpers_.acceptDevice(&device.devobj);
    std::u16string printerName = printerName_;
    void* state = nullptr;
    win::HRESULT result = plugin->lpVtbl->EnablePDEV(plugin, &device.devobj, printerName.data(), 0, nullptr,
                                                     sizeof gdiInfo_, &gdiInfo_, 0, nullptr, &hostFunctionTable_, &state);
    if (result != win::S_OK) {
        helpers_.forgetDevice(&device.devobj);
        refused("EnablePDEV", result);
    }
    device.devobj.pdevOEM = state;

    // The driver asks once for the paper margins the plug-in wants; the
    // host keeps its own imageable area whatever the answer.
    win::RECTL margins{kDeviceMarginPixels, kDeviceMarginPixels,
                       static_cast<win::LONG>(gdiInfo_.ulHorzRes) + kDeviceMarginPixels,
                       static_cast<win::LONG>(gdiInfo_.ulVertRes) + kDeviceMarginPixels};
    win::BOOL adjusted = kFalse;
    result = plugin->lpVtbl->GetPDEVAdjustment(plugin, &device.devobj, win::PDEV_ADJUST_PAPER_MARGIN_TYPE, &margins,
                                               sizeof margins, &adjusted);
    if (result != win::S_OK && result != win::S_FALSE && result != win::E_NOTIMPL) {
        plugin->lpVtbl->DisablePDEV(plugin, &device.devobj);
        helpers_.forgetDevice(&device.devobj);
        refused("GetPDEVAdjustment", result);
    }

    // The page surface is the imageable area the device ended up with.
    surface_.dhpdev = &device;
    surface_.sizlBitmap = {static_cast<win::LONG>(gdiInfo_.ulHorzRes), static_cast<win::LONG>(gdiInfo_.ulVertRes)};
    surface_.iType = kDeviceSurface;
}

void PluginDriver::resetDevice(const std::function<void(settings::CoreData&)>& edit) {
    endPage();
    auto* plugin = plugin_.get();
    // The application's new settings go into a copy of the job's block,
    // which the plug-in converts into the new DEVMODE.
    auto devmode = std::make_unique<DevmodeImage>(printerName_, settings::kPrivateBlockSize);
    const std::span<std::uint8_t> current = devmode_->pluginBlock();
    std::vector<std::uint8_t> staging(current.begin(), current.end());
    settings::CoreData& edited =
        settings::blockRecord(std::span<std::uint8_t, settings::kPrivateBlockSize>(staging.data(), settings::kPrivateBlockSize));
    edit(edited);
    devmode->followSettings(edited);
    const std::span<std::uint8_t> block = devmode->pluginBlock();
    auto request = devmodeRequest(printer_.get(), *devmode, staging.data(), block.data(),
                                  static_cast<win::DWORD>(block.size()));
    win::HRESULT result = plugin->lpVtbl->DevMode(plugin, win::OEMDM_CONVERT, &request);
    if (result != win::S_OK) refused("DevMode OEMDM_CONVERT of a changed DEVMODE", result);
    settings_ = settings::blockRecord(std::span<std::uint8_t, settings::kPrivateBlockSize>(block.data(), settings::kPrivateBlockSize));
    devmode->followSettings(settings_);

    // A new device for the new DEVMODE takes over the old one's state, and
    // the old one goes.
    auto device = std::make_unique<HostDevice>();
    enableDevice(*device, *devmode);
    result = plugin->lpVtbl->ResetPDEV(plugin, &device_->devobj, &device->devobj);
    plugin->lpVtbl->DisablePDEV(plugin, &device_->devobj);
    helpers_.forgetDevice(&device_->devobj);
    device_ = std::move(device);
    devmode_ = std::move(devmode);
    if (result != win::S_OK) refused("ResetPDEV", result);
}

void PluginDriver::resolveHooks() {
    hookByIndex_.fill(nullptr);
    // The first entry for an index is the one the driver would find; an
    // index beyond the driver's functions names nothing it calls.
    for (win::ULONG i = hooks_.c; i > 0 && hooks_.pdrvfn != nullptr; --i) {
        const win::DRVFN& entry = hooks_.pdrvfn[i - 1];
        if (entry.iFunc < hookByIndex_.size()) hookByIndex_[entry.iFunc] = entry.pfn;
    }
}

void PluginDriver::startDocument() {
    const auto hook = reinterpret_cast<win::PFN_DrvStartDoc>(hookOf(win::INDEX_DrvStartDoc));
    auto* function = hook != nullptr ? hook : &HostDriverFunctions::startDoc;
    // The plug-in may keep the name: it gets a copy it can point into.
    std::u16string name = documentName_;
    function(&surface_, name.empty() ? nullptr : name.data(), jobId_);
    rethrowFailure();
    duringJobDevmode();

    // An application asks whether the driver lays out several pages per
    // sheet itself.
    const auto escape = reinterpret_cast<win::PFN_DrvEscape>(hookOf(win::INDEX_DrvEscape));
    std::uint32_t feature = win::FEATURESETTING_NUP;
    std::uint32_t answer = 0;
    const win::ULONG handled = (escape != nullptr ? escape : &HostDriverFunctions::escape)(
        &surface_, win::GET_PS_FEATURESETTING, sizeof feature, &feature, sizeof answer, &answer);
    if (handled != 0) nupAnswer_ = answer;
    rethrowFailure();
}

void PluginDriver::duringJobDevmode() {
    // A driver converts and merges the job's DEVMODE while the job runs (a
    // property query, a DocumentProperties call); it names the job's device,
    // and the job's settings must come through unchanged.
    auto* plugin = plugin_.get();
    std::span<std::uint8_t> block = devmode_->pluginBlock();
    for (const win::DWORD mode : {win::OEMDM_CONVERT, win::OEMDM_MERGE}) {
        std::vector<std::uint8_t> input(block.begin(), block.end());
        auto request = devmodeRequest(printer_.get(), *devmode_, input.data(), block.data(),
                                      static_cast<win::DWORD>(block.size()));
        request.pdriverobj = &device_->devobj;
        const win::HRESULT result = plugin->lpVtbl->DevMode(plugin, mode, &request);
        if (result != win::S_OK) refused(mode == win::OEMDM_CONVERT ? "DevMode OEMDM_CONVERT during the job"
                                                                    : "DevMode OEMDM_MERGE during the job", result);
    }
}

void PluginDriver::startPage() {
    endPage();
    const auto hook = reinterpret_cast<win::PFN_DrvStartPage>(hookOf(win::INDEX_DrvStartPage));
    (hook != nullptr ? hook : &HostDriverFunctions::startPage)(&surface_);
    rethrowFailure();
    pageOpen_ = true;
    HostDriverFunctions::DrawingCalls::drawEach(*this);
    rethrowFailure();
}

void PluginDriver::endPage() {
    if (!pageOpen_) return;
    pageOpen_ = false;
    const std::uint64_t before = arrivals_[win::INDEX_DrvSendPage];
    const auto hook = reinterpret_cast<win::PFN_DrvSendPage>(hookOf(win::INDEX_DrvSendPage));
    (hook != nullptr ? hook : &HostDriverFunctions::sendPage)(&surface_);
    rethrowFailure();
    if (arrivals_[win::INDEX_DrvSendPage] != before + 1)
        throw HostError(module_.path() + ": the plug-in's DrvSendPage hook did not pass the page on to the driver");
}

void PluginDriver::endDocument(bool aborted) {
    if (!aborted) endPage();
    pageOpen_ = false;
    const auto hook = reinterpret_cast<win::PFN_DrvEndDoc>(hookOf(win::INDEX_DrvEndDoc));
    (hook != nullptr ? hook : &HostDriverFunctions::endDoc)(&surface_, aborted ? kAbortDocument : 0);
    rethrowFailure();
}

win::DWORD PluginDriver::command(win::DWORD index) {
    win::DWORD result = 0;
    plugin_->lpVtbl->Command(plugin_.get(), &device_->devobj, index, nullptr, 0, &result);
    rethrowFailure();
    return result;
}

void PluginDriver::rethrowFailure() {
    // Asked after every call into the plug-in: the common case, nothing
    // failed, takes no exception object apart.
    if (!helpers_.failed() && !failure_) return;
    if (std::exception_ptr failure = helpers_.takeFailure()) std::rethrow_exception(failure);
    if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
}

}  // namespace tvzx::host
