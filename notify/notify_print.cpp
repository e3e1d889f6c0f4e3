// The notification library's one export, called by the plug-in for every job
// with its job identity and document name.
#include <type_traits>

#include "config/notify_print.h"
#include "job_log.h"

#if defined(_WIN32)
#define TVZX_NOTIFY_EXPORT __declspec(dllexport)
#else
#define TVZX_NOTIFY_EXPORT __attribute__((visibility("default")))
#endif

// Returns 1 when the job was logged, 0 otherwise; a missing text is empty.
extern "C" TVZX_NOTIFY_EXPORT int TVZX_NOTIFY_CALL BdcSetNotifyPrint(const char* jobIdentity, const char* documentText) {
    try {
        return tvzx::notify::appendJobLog(jobIdentity != nullptr ? jobIdentity : "",
                                          documentText != nullptr ? documentText : "")
                   ? 1
                   : 0;
    } catch (...) {
        // Nothing may escape into the plug-in that called.
        return 0;
    }
}

// The export has the type the plug-in calls it through.
static_assert(std::is_same_v<decltype(&BdcSetNotifyPrint), tvzx::config::NotifyPrintFunction>);
