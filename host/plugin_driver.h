// The driver's side of one job with the plug-in: the plug-in object from
// the module's class factory, its private DEVMODE block through the DevMode
// requests, the driver and the device enabled with the plug-in's hooks in
// front of the host's own driver functions, the helper interfaces, and the
// calls at the injection points; taken down again in the driver's order.
#pragma once

#include <array>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "com_ptr.h"
#include "devmode_image.h"
#include "driver_helpers.h"
#include "platform/com_abi.h"
#include "plugin_module.h"
#include "settings/core_data.h"

namespace tvzx::host {

// What the driver knows of the job before the plug-in sees it.
struct DriverJob {
    std::u16string printerName;
    // Whether the printer of that name is opened through the system's
    // spooler, whose handle the plug-in then gets; otherwise the plug-in
    // gets the simulated printer's handle.
    bool spoolerPrinter = false;
    // The registry export file of the printer's data where the system has
    // no spooler; the printer it describes is the job's printer.
    std::string printerDataPath;
    std::u16string documentName;
    std::uint32_t jobId = 0;
    // Writes the job's settings into the record that the plug-in defaulted.
    std::function<void(settings::CoreData&)> editSettings;
};

// The device the driver keeps for a job. The plug-in reaches it through a
// surface's device handle, so the device object comes first.
struct HostDevice {
    win::DEVOBJ devobj{};
    class PluginDriver* driver = nullptr;
};

// The printer's resolution the host renders for.
inline constexpr win::ULONG kDeviceDpi = 600;
// Margins of the imageable area on every side: a quarter inch.
inline constexpr win::LONG kDeviceMarginPixels = 150;
// The drawing calls every page gets once through the plug-in's hooks.
inline constexpr std::size_t kDrawingCalls = 12;
// The driver functions of the host itself behind the plug-in's hooks: the
// document and page calls, the escape and the drawing calls.
inline constexpr std::size_t kHostFunctions = 5 + kDrawingCalls;
// One past the highest index of a driver function.
inline constexpr std::size_t kDriverFunctionIndexes = 128;

// Returns the device capabilities for the job's paper at 600 dpi.
win::GDIINFO deviceCapabilities(const settings::CoreData& record);

// A printer opened through the system's spooler, closed again when done;
// or the simulated printer handle, which needs no closing.
class PrinterHandle {
public:
    // Opens the printer of the job when it is to be reached through the
    // spooler. Throws HostError naming a printer the spooler cannot open.
    explicit PrinterHandle(const DriverJob& job);
    ~PrinterHandle();
    PrinterHandle(const PrinterHandle&) = delete;
    PrinterHandle& operator=(const PrinterHandle&) = delete;

    // Returns the handle the plug-in gets; never null.
    win::HANDLE get() const { return handle_; }

private:
    win::HANDLE handle_ = nullptr;
    bool opened_ = false;
};

class PluginDriver {
public:
    // Opens the job's printer, then brings the plug-in up to an enabled
    // device for the job: GetInfo, PublishDriverInterface, the DevMode
    // requests (size, default, the job's settings, convert), EnableDriver,
    // EnablePDEV and GetPDEVAdjustment. Throws HostError naming the printer
    // that cannot be opened, or the module and the request it refused.
    PluginDriver(PluginModule& module, DriverHelpers& helpers, const DriverJob& job);
    // Takes it down: DisablePDEV, DisableDriver, Release, DllCanUnloadNow;
    // then closes the printer.
    ~PluginDriver();
    PluginDriver(const PluginDriver&) = delete;
    PluginDriver& operator=(const PluginDriver&) = delete;

    // Returns the job settings as the plug-in's block holds them after conversion.
    const settings::CoreData& settings() const { return settings_; }
    const win::DEVMODEW& publicDevmode() { return *devmode_->publicPart(); }
    const win::GDIINFO& gdiInfo() const { return gdiInfo_; }
    const win::SURFOBJ& surface() const { return surface_; }

    // Starts the document through the plug-in's DrvStartDoc hook; the
    // host's own DrvStartDoc begins the stream (injection 1). Then, as the
    // driver does while a job is under way, converts and merges the job's
    // DEVMODE for the device and asks the N-up question an application asks.
    void startDocument();
    // Starts a page through the plug-in's DrvStartPage hook and draws once
    // through each drawing hook, every one of which must reach the host.
    void startPage();
    // Sends the page started last through the plug-in's DrvSendPage hook;
    // nothing when no page is open.
    void endPage();
    // Changes the job's DEVMODE between pages, as an application's ResetDC
    // does: the plug-in converts the edited settings into a new DEVMODE, a
    // new device is enabled for it, ResetPDEV carries the plug-in's state
    // over and the old device is disabled. Throws HostError naming the
    // request the plug-in refused.
    void resetDevice(const std::function<void(settings::CoreData&)>& edit);
    // Returns the plug-in's answer to the N-up escape at document start:
    // 1 when it lays out the pages itself; nothing when it passed the
    // question on.
    std::optional<std::uint32_t> nupAnswer() const { return nupAnswer_; }
    // Takes the plug-in down (as the destructor does) and checks that it
    // gave back every helper reference exactly once. Throws HostError when
    // it did not.
    void finish();
    // Ends the document through the plug-in's DrvEndDoc hook; the host's own
    // DrvEndDoc ends the stream (injection 20). An aborted document is ended
    // with the abort flag.
    void endDocument(bool aborted = false);
    // Calls the plug-in at an injection point; returns the result it gave
    // (0 for a handled point).
    win::DWORD command(win::DWORD index);

private:
    friend struct HostDriverFunctions;
    void tearDown();
    // Throws what failed inside a call into the plug-in: the output, or the
    // host's own driver functions. Nothing the host throws may pass through
    // the plug-in's frames, so it waits until the call has returned.
    void rethrowFailure();
    [[noreturn]] void refused(const std::string& request, win::HRESULT result) const;
    void createObject();
    void checkIdentity();
    void publishHelpers();
    // Enables the plug-in's device for this DEVMODE and makes it the page
    // surface's device.
    void enableDevice(HostDevice& device, DevmodeImage& devmode);
    void duringJobDevmode();
    void setUpDevmode(const DriverJob& job);
    void enable(const DriverJob& job);
    // Returns the plug-in's hook for a DDI function; null when it has none.
    win::PFN hookOf(win::ULONG index) const { return index < hookByIndex_.size() ? hookByIndex_[index] : nullptr; }
    // Looks up each of the plug-in's hooks once, after EnableDriver, so that
    // the calls of every page find theirs by index.
    void resolveHooks();

    PluginModule& module_;
    DriverHelpers& helpers_;
    // Opened first and closed last: the plug-in may use it until it is gone.
    PrinterHandle printer_;
    ComPtr<win::IPrintOemPS2> plugin_;
    std::uint32_t requestedHelpers_ = 0;
    std::unique_ptr<DevmodeImage> devmode_;
    settings::CoreData settings_;
    win::DRVENABLEDATA hooks_{};
    // The plug-in's hook of each driver function index; null where it has none.
    std::array<win::PFN, kDriverFunctionIndexes> hookByIndex_{};
    bool driverEnabled_ = false;
    bool deviceEnabled_ = false;
    std::array<win::DRVFN, kHostFunctions> hostFunctions_{};
    win::DRVENABLEDATA hostFunctionTable_{};
    win::GDIINFO gdiInfo_{};
    std::unique_ptr<HostDevice> device_ = std::make_unique<HostDevice>();
    win::SURFOBJ surface_{};
    std::u16string printerName_;
    std::u16string documentName_;
    std::uint32_t jobId_ = 0;
    bool pageOpen_ = false;
    std::optional<std::uint32_t> nupAnswer_;
    // Calls of each driver function of the host's own that arrived.
    std::array<std::uint64_t, kDriverFunctionIndexes> arrivals_{};
    std::exception_ptr failure_;
};

}  // namespace tvzx::host
