// The tab worker as a process of the system's rundll32.exe (CreateProcessW)
// or, failing that, as a thread of this process (CreateThread); either way
// the caller waits until it ends.
#include "platform/worker_launch.h"

#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/wide_text.h"

namespace tvzx::platform {
namespace {

constexpr const wchar_t* kExportRunner = L"\\rundll32.exe";
// The longest command line CreateProcessW accepts, with its terminator.
constexpr std::size_t kLongestCommandLine = 32768;
// The worker leaves the caller's job (the spooler may run drivers in one
// that ends its processes), starts with the default error mode and normal
// priority, and is resumed only once it exists as a whole.
constexpr DWORD kWorkerCreation = CREATE_SUSPENDED | CREATE_UNICODE_ENVIRONMENT | CREATE_BREAKAWAY_FROM_JOB |
                                  CREATE_DEFAULT_ERROR_MODE | NORMAL_PRIORITY_CLASS;
constexpr DWORD kResumeFailed = static_cast<DWORD>(-1);
constexpr UINT kAbandonedExitCode = 1;

// Starts the process; false when it could not be created.
bool createWorker(const std::wstring& application, std::wstring& commandLine, DWORD flags,
                  PROCESS_INFORMATION& process) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    return CreateProcessW(application.c_str(), commandLine.data(), nullptr, nullptr, FALSE, flags, nullptr, nullptr,
                          &startup, &process) != FALSE;
}

DWORD WINAPI runWork(void* parameter) {
    const auto& work = *static_cast<const std::function<void()>*>(parameter);
    // An exception cannot cross into the thread that waits, and one that
    // left the thread would end the whole host process.
    try {
        work();
    } catch (...) {
        return 1;
    }
    return 0;
}

class WindowsWorkerLauncher final : public WorkerLauncher {
public:
    std::u16string exportRunnerPath(void*) override {
        wchar_t directory[MAX_PATH + 1] = {};
        const UINT length = GetSystemDirectoryW(directory, MAX_PATH + 1);
        if (length == 0 || length > MAX_PATH) return {};
        return win32::textOf(directory, length) + win32::textOf(kExportRunner);
    }

    std::u16string shortPath(std::u16string_view path) override {
        if (path.empty() || win32::holdsNul(path)) return std::u16string(path);
        const std::wstring longPath = win32::wideOf(path);
        // The first call sizes the short form (with its terminator), the
        // second writes it.
        const DWORD needed = GetShortPathNameW(longPath.c_str(), nullptr, 0);
        if (needed == 0) return std::u16string(path);
        std::vector<wchar_t> shortForm(needed, L'\0');
        const DWORD length = GetShortPathNameW(longPath.c_str(), shortForm.data(), needed);
        if (length == 0 || length >= needed) return std::u16string(path);
        return win32::textOf(shortForm.data(), length);
    }

    bool runProcess(std::u16string_view application, std::u16string_view commandLine) override {
        if (application.empty() || win32::holdsNul(application) || win32::holdsNul(commandLine) ||
            commandLine.size() >= kLongestCommandLine)
            return false;
        const std::wstring wideApplication = win32::wideOf(application);
        // CreateProcessW may write into the command line it is given.
        std::wstring wideCommandLine = win32::wideOf(commandLine);
        PROCESS_INFORMATION process{};
        bool created = createWorker(wideApplication, wideCommandLine, kWorkerCreation, process);
        // A job that forbids breaking away refuses the start; the worker then
        // stays in the caller's job.
        if (!created && GetLastError() == ERROR_ACCESS_DENIED) {
            wideCommandLine = win32::wideOf(commandLine);
            created = createWorker(wideApplication, wideCommandLine, kWorkerCreation & ~CREATE_BREAKAWAY_FROM_JOB,
                                   process);
        }
        if (!created) return false;
        // A worker that cannot be resumed would never end: it is ended at
        // once instead of being waited for.
        const bool resumed = ResumeThread(process.hThread) != kResumeFailed;
        if (resumed)
            WaitForSingleObject(process.hProcess, INFINITE);
        else
            TerminateProcess(process.hProcess, kAbandonedExitCode);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return resumed;
    }

    bool runThread(const std::function<void()>& work) override {
        if (!work) return false;
        HANDLE thread = CreateThread(nullptr, 0, runWork, const_cast<std::function<void()>*>(&work), 0, nullptr);
        if (thread == nullptr) return false;
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
        return true;
    }
};

}  // namespace

WorkerLauncher& systemWorkerLauncher() {
    static WindowsWorkerLauncher launcher;
    return launcher;
}

}  // namespace tvzx::platform
