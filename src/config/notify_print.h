// The call the plug-in makes into its optional notification library for
// every job: the export's name and signature, shared with the library we
// ship.
#pragma once

// The export's calling convention: the system's own on 32-bit Windows,
// the only one elsewhere.
#if defined(_WIN32) && !defined(_WIN64)
#define TVZX_NOTIFY_CALL __stdcall
#else
#define TVZX_NOTIFY_CALL
#endif

namespace tvzx::config {

// The export the notification library announces jobs through.
inline constexpr const char* kNotifyPrintExport = "BdcSetNotifyPrint";

// Takes the job identity and the document name, both NUL-terminated UTF-8;
// the plug-in ignores what it returns.
using NotifyPrintFunction = int(TVZX_NOTIFY_CALL*)(const char* jobIdentity, const char* documentText);

}  // namespace tvzx::config
