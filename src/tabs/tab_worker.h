// The tab worker: hands one tab sheet's data to the base module, which prints
// the tab document into the temporary file. It runs in a process of its own
// (entered through CreateTabFileExW) or on a thread of the plug-in's process.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "platform/com_abi.h"
#include "platform/dynamic_library.h"
#include "platform/shared_memory.h"
#include "platform/spooler.h"

namespace tvzx::tabs {

// The export of the base module that prints a tab document.
inline constexpr char kCreateTabDocumentExport[] = "CreateTabDocument";

// The tab sheet as the base module receives it: the record's four
// information bytes (skip flag, tab paper, position, tab index) and its
// label, a NUL-terminated byte text. Packed to the 12 bytes the call names.
#pragma pack(push, 1)
struct TabInformation {
    std::uint8_t bytes[4];
    const char* label;
};
#pragma pack(pop)
static_assert(sizeof(void*) != 8 || sizeof(TabInformation) == 12);

// The base module's entry: printer handle, printer name, temporary file,
// document name, job id, orientation, print quality, y resolution, scale,
// size of the tab information, tab information, size of the settings,
// settings, offset of the core driver's private part. Returns non-zero
// (in its low byte) when the tab document was printed.
using CreateTabDocumentFunction = std::int32_t(TVZX_STDCALL*)(void* printer, const char16_t* printerName,
                                                             const char16_t* temporaryPath,
                                                             const char16_t* documentName, std::uint32_t jobId,
                                                             std::uint16_t orientation, std::uint16_t printQuality,
                                                             std::uint16_t yResolution, std::uint16_t scale,
                                                             std::uint32_t tabInformationSize,
                                                             const TabInformation* tabInformation,
                                                             std::uint32_t settingsSize, const std::uint8_t* settings,
                                                             std::uint32_t corePrivateOffset);

// What the worker runs with; tests put in their own.
struct TabWorkerServices {
    platform::Spooler& spooler;
    platform::LibraryLoader& loader;
    // Returns the path of the base module for the module with this handle.
    std::function<std::optional<std::u16string>(void* module)> baseModulePath;
};

// Returns the services of the running system.
TabWorkerServices systemTabWorkerServices();

// Returns the offset of the core driver's private part in a printer's
// DEVMODE: the 16-bit value 114 bytes after the public part when the
// driver part is longer than 116 bytes; 0 otherwise.
std::uint32_t corePrivateOffset(std::span<const std::uint8_t> devMode);

// Prints the tab document the exchange record describes. Returns 0 on
// success, 1 on failure.
std::uint32_t tabWorker(std::span<std::uint8_t> record, TabWorkerServices& services);

// The worker process's entry: opens the named block, runs the worker on its
// record with this process's module handle in it, and leaves the status in
// the block. `module` is this process's copy of the plug-in module.
void runWorkerFromBlock(std::u16string_view blockName, void* module, platform::SharedMemory& memory,
                        TabWorkerServices& services);

}  // namespace tvzx::tabs
