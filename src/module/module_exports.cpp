// The module's entry points: the class object of the rendering plug-in, the
// unload check and the tab worker. Everything else stays inside the module.
#include "common/module_handle.h"
#include "device/module_state.h"
#include "frame/plugin_object.h"
#include "frame/tab_worker_entry.h"
#include "platform/com_abi.h"
#include "platform/module_exports.h"

extern "C" {

TVZX_EXPORT tvzx::win::HRESULT TVZX_STDCALL DllGetClassObject(const tvzx::win::GUID* clsid,
                                                               const tvzx::win::GUID* iid, void** out) {
    return tvzx::frame::getClassObject(clsid, iid, out);
}

TVZX_EXPORT tvzx::win::HRESULT TVZX_STDCALL DllCanUnloadNow() { return tvzx::device::canUnloadNow(); }

// The tab worker's entry, in the form the export runner calls: the command
// line is the name of the shared-memory block with the tab sheet's data.
TVZX_EXPORT void TVZX_STDCALL CreateTabFileExW(void* window, void* instance, char16_t* commandLine, int show) {
    (void)window;
    (void)instance;
    (void)show;
    tvzx::frame::createTabFileEx(commandLine);
}

}  // extern "C"

namespace {

// The loader runs this when it attaches the module to the process, which is
// when the module's handle is saved for the tab-document worker.
const bool moduleHandleCaptured = [] {
    tvzx::captureModuleHandle(
        tvzx::platform::moduleHandleContaining(reinterpret_cast<const void*>(&DllCanUnloadNow)));
    return true;
}();

}  // namespace
