// The hooks of document start, page start and document end, and the
// synchronisation of the job settings between the job's own parameters, the
// device state and the private DEVMODE that they run.
#pragma once

#include <optional>
#include <string_view>

#include "frame/environment.h"
#include "platform/com_abi.h"
#include "settings/core_data.h"

namespace tvzx::frame {

// Offset, behind dmSize, of the 16-bit size of the core driver's part in a
// job's DEVMODE, and the driver extra that must be present to use it.
inline constexpr std::size_t kCoreDriverPartSizeOffset = 114;
inline constexpr std::uint16_t kMinimumExtraForCoreDriverPart = 117;

// Returns the settings record of the plug-in's block inside the DEVMODE that
// a job's parameters carry in Base64; nothing when the text does not decode
// to a DEVMODE holding a valid block. Every offset is checked against the
// decoded bytes.
std::optional<settings::CoreData> recordFromJobParameters(std::u16string_view parameters);

// Keeps the output and identity fields of the private DEVMODE those of the
// job's start (or of its parameters), and the layout fields those of the
// device state. Runs only with a device state whose document start found a
// private block, and a private block that is valid.
void syncJobSettings(win::DEVOBJ* devObj, const Environment& environment);

// The document-start hook: wakes the printer, keeps the document's name, job
// id and surface size, captures the settings at the first start, synchronises
// and calls the driver. Returns the driver's result.
win::BOOL TVZX_STDCALL hookStartDoc(win::SURFOBJ* surface, win::WCHAR* documentName, win::DWORD jobId);

// The page-start hook: keeps the surface size, synchronises and calls the
// driver. Returns the driver's result.
win::BOOL TVZX_STDCALL hookStartPage(win::SURFOBJ* surface);

// The document-end hook: forgets the document's name and surface size and
// calls the driver. Returns the driver's result.
win::BOOL TVZX_STDCALL hookEndDoc(win::SURFOBJ* surface, win::FLONG flags);

}  // namespace tvzx::frame
