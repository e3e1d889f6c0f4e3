// The tab worker on a POSIX system: the project's export runner (the
// counterpart of rundll32.exe) beside the plug-in module, started with
// posix_spawn; the thread fallback on a standard thread.
#include "platform/worker_launch.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "common/command_line.h"
#include "platform/module_path.h"
#include "platform/path_text.h"

extern char** environ;

namespace tvzx::platform {
namespace {

// The runner's file name, beside the module whose export it calls.
constexpr std::u16string_view kRunnerName = u"tvzx_rundll";

class PosixWorkerLauncher final : public WorkerLauncher {
public:
    std::u16string exportRunnerPath(void* module) override {
        const std::u16string path = modulePath(module);
        const std::size_t slash = path.rfind(u'/');
        if (slash == std::u16string::npos) return {};
        return path.substr(0, slash + 1) + std::u16string(kRunnerName);
    }

    // Paths have one form only here.
    std::u16string shortPath(std::u16string_view path) override { return std::u16string(path); }

    bool runProcess(std::u16string_view application, std::u16string_view commandLine) override {
        // The runner receives the words of the command line as its arguments.
        std::vector<std::string> words;
        for (const std::u16string& word : splitCommandLine(commandLine)) words.push_back(utf8Path(word));
        if (words.empty()) words.push_back(utf8Path(application));
        std::vector<char*> arguments;
        for (std::string& word : words) arguments.push_back(word.data());
        arguments.push_back(nullptr);
        pid_t child = 0;
        if (posix_spawn(&child, utf8Path(application).c_str(), nullptr, nullptr, arguments.data(), environ) != 0)
            return false;
        int status = 0;
        while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
        return true;
    }

    bool runThread(const std::function<void()>& work) override {
        try {
            std::thread worker(work);
            worker.join();
            return true;
        } catch (const std::system_error&) {
            return false;
        }
    }
};

}  // namespace

WorkerLauncher& systemWorkerLauncher() {
    static PosixWorkerLauncher launcher;
    return launcher;
}

}  // namespace tvzx::platform
