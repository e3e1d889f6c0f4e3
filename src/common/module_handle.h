// The handle of the loaded module, kept for the whole process: the plug-in
// finds its companion files and starts its tab worker on itself through it.
#pragma once

namespace tvzx {

// Records the module's handle; only the first non-null handle is kept.
void captureModuleHandle(void* handle);
// Returns the module's handle, null before it was captured.
void* moduleHandle();

}  // namespace tvzx
