// What the plug-in object does for each of the driver's calls, apart from
// the COM bookkeeping: signature and version, the private DEVMODE requests,
// the hook table, the device states and the page geometry.
#pragma once

#include "frame/environment.h"
#include "platform/com_abi.h"

namespace tvzx::frame {

// Answers GetInfo: the signature (mode 1), the version (mode 3, the schema
// hash) or the helper interfaces wanted (mode 5), four bytes each. Returns
// S_OK, E_NOTIMPL for the publisher information, or E_FAIL with the last
// error set (87 for a bad request, 122 for a short buffer).
win::HRESULT getInfo(win::DWORD mode, void* buffer, win::DWORD size, win::DWORD* needed);

// Answers a private DEVMODE request. Returns S_OK, or E_FAIL with last error
// 87 when the request cannot be answered.
win::HRESULT devMode(win::DWORD mode, win::OEMDMPARAM* param, const Environment& environment);

// Hands the driver the hook table. Returns S_OK.
win::HRESULT enableDriver(win::DRVENABLEDATA* enableData);

// Creates the device state of a new device object and adjusts the device
// geometry to the job. Returns E_FAIL when outState is null, else S_OK.
win::HRESULT enablePdev(win::DEVOBJ* devObj, win::ULONG gdiInfoSize, win::GDIINFO* gdiInfo,
                        const win::DRVENABLEDATA* driverTable, void** outState);

// Frees the device object's state. Returns S_OK.
win::HRESULT disablePdev(win::DEVOBJ* devObj);

// Carries the old device object's state into the new one's. Returns S_OK.
win::HRESULT resetPdev(win::DEVOBJ* oldDevObj, win::DEVOBJ* newDevObj);

// Adjusts the paper margins. Returns S_OK when the adjustment type is the
// paper margin one with a buffer of at least 16 bytes, S_FALSE otherwise.
win::HRESULT getPdevAdjustment(win::DEVOBJ* devObj, win::DWORD adjustType, void* buffer, win::DWORD size,
                               win::BOOL* adjusted);

}  // namespace tvzx::frame
