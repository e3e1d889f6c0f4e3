#include "frame/plugin_callbacks.h"

#include <cstring>
#include <memory>
#include <utility>

#include "config/devmode_services.h"
#include "device/device_state.h"
#include "frame/hook_table.h"
#include "device/module_state.h"
#include "frame/page_geometry.h"
#include "platform/last_error.h"
#include "settings/devmode.h"
#include "settings/private_block.h"
#include "settings/schema_hash.h"

namespace tvzx::frame {
namespace {

constexpr win::DWORD kInfoSize = 4;
constexpr win::DWORD kPublisherInfoSize = 8;

win::HRESULT failWith(std::uint32_t lastError) {
    platform::setLastError(lastError);
    return win::E_FAIL;
}

// The settings record of the device object's private block, header unchecked.
const settings::CoreData* blockSettings(const win::DEVOBJ* devObj) {
    const auto block = device::privateBlockOf(devObj);
    if (block.empty()) return nullptr;
    return &settings::blockRecord(block.first<settings::kPrivateBlockSize>());
}

}  // namespace

win::HRESULT getInfo(win::DWORD mode, void* buffer, win::DWORD size, win::DWORD* needed) {
    if (needed == nullptr) return failWith(win::ERROR_INVALID_PARAMETER);
    if (mode == win::OEMGI_GETPUBLISHERINFO) {
        *needed = kPublisherInfoSize;
        return win::E_NOTIMPL;
    }
    std::uint32_t answer = 0;
    switch (mode) {
        case win::OEMGI_GETSIGNATURE: answer = settings::kSignature; break;
        case win::OEMGI_GETVERSION: answer = settings::schemaHash(); break;
        case win::OEMGI_GETREQUESTEDHELPERINTERFACES: answer = win::OEMPUBLISH_IPRINTCOREHELPER; break;
        default: return failWith(win::ERROR_INVALID_PARAMETER);
    }
    *needed = kInfoSize;
    if (size < kInfoSize || buffer == nullptr) return failWith(win::ERROR_INSUFFICIENT_BUFFER);
    std::memcpy(buffer, &answer, kInfoSize);
    return win::S_OK;
}

win::HRESULT devMode(win::DWORD mode, win::OEMDMPARAM* param, const Environment& environment) {
    // During a job the driver hands over its device object: the device's
    // printer serves a request that names none, and the device's state says
    // whether a document is under way.
    const auto* devObj = param != nullptr ? static_cast<const win::DEVOBJ*>(param->pdriverobj) : nullptr;
    if (devObj != nullptr && devObj->dwSize < sizeof(win::DEVOBJ)) devObj = nullptr;
    win::HANDLE printer = param != nullptr ? param->hPrinter : nullptr;
    if (printer == nullptr && devObj != nullptr) printer = devObj->hPrinter;
    device::DeviceState* state = device::deviceStateOf(devObj);
    const bool underWay = state != nullptr && (state->documentStartCount > 0 || state->pageCounter > 0);
    // The request may rewrite the block the device works from.
    if (state != nullptr) state->jobSettings.forget();
    config::PrinterDevModeServices services(*environment.spooler, *environment.job, printer, underWay);
    if (!settings::devModeCallback(mode, param, services)) return failWith(win::ERROR_INVALID_PARAMETER);
    return win::S_OK;
}

win::HRESULT enableDriver(win::DRVENABLEDATA* enableData) {
    if (enableData != nullptr) describeHooks(*enableData);
    return win::S_OK;
}

win::HRESULT enablePdev(win::DEVOBJ* devObj, win::ULONG gdiInfoSize, win::GDIINFO* gdiInfo,
                        const win::DRVENABLEDATA* driverTable, void** outState) {
    if (outState == nullptr) return win::E_FAIL;
    *outState = nullptr;
    std::unique_ptr<device::DeviceState> state = device::makeDeviceState();
    captureDriverFunctions(*state, driverTable);
    // The driver owns the state from here until DisablePDEV.
    *outState = state.release();

    const settings::CoreData* settings = blockSettings(devObj);
    if (gdiInfo == nullptr || settings == nullptr || gdiInfoSize < kMinimumGdiInfoSize || gdiInfo->ulLogPixelsX == 0)
        return win::S_OK;
    clampDeviceGeometry(*gdiInfo, *settings, devObj->pPublicDM);
    return win::S_OK;
}

win::HRESULT disablePdev(win::DEVOBJ* devObj) {
    if (devObj == nullptr) return win::S_OK;
    // The state was handed to the driver by EnablePDEV; it comes back here.
    std::unique_ptr<device::DeviceState> state(device::deviceStateOf(devObj));
    devObj->pdevOEM = nullptr;
    // Its job, tab document or not, is over.
    if (state != nullptr) device::endTabDocument(*state);
    return win::S_OK;
}

win::HRESULT resetPdev(win::DEVOBJ* oldDevObj, win::DEVOBJ* newDevObj) {
    const device::DeviceState* oldState = device::deviceStateOf(oldDevObj);
    device::DeviceState* newState = device::deviceStateOf(newDevObj);
    if (oldState != nullptr && newState != nullptr && oldState != newState) {
        *newState = *oldState;
        // The new device object comes with DEVMODEs of its own.
        newState->jobSettings.forget();
        // The new device's job counts on its own until its DisablePDEV.
        if (std::exchange(newState->tabDocument, 0) != 0) device::markTabDocument(*newState);
    }
    return win::S_OK;
}

win::HRESULT getPdevAdjustment(win::DEVOBJ* devObj, win::DWORD adjustType, void* buffer, win::DWORD size,
                               win::BOOL* adjusted) {
    if (adjustType != win::PDEV_ADJUST_PAPER_MARGIN_TYPE || size < sizeof(win::RECTL) || buffer == nullptr)
        return win::S_FALSE;
    const settings::CoreData* settings = blockSettings(devObj);
    if (settings == nullptr) {
        if (adjusted != nullptr) *adjusted = 0;
        return win::S_OK;
    }
    win::RECTL rectangle;
    std::memcpy(&rectangle, buffer, sizeof rectangle);
    const bool changed = adjustPaperMargins(rectangle, *settings);
    std::memcpy(buffer, &rectangle, sizeof rectangle);
    if (adjusted != nullptr) *adjusted = changed ? 1 : 0;
    return win::S_OK;
}

}  // namespace tvzx::frame
