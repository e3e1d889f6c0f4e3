// Loading the plug-in module: how its entry points are exported and how it
// finds its own handle.
#pragma once

// Marks a function the module exports. On Windows the module definition
// file names the exports; elsewhere every other symbol is hidden.
#if defined(_WIN32)
#define TVZX_EXPORT
#else
#define TVZX_EXPORT __attribute__((visibility("default")))
#endif

namespace tvzx::platform {

// Returns the handle of the loaded module that holds this address: its load
// address, as the Windows loader's module handle is; null when unknown.
void* moduleHandleContaining(const void* address);

}  // namespace tvzx::platform
