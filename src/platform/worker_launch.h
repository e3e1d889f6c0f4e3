// Starting the worker that prints a tab document: a separate process run
// through the system's export runner, or a thread of this process when no
// process can be started.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace tvzx::platform {

class WorkerLauncher {
public:
    virtual ~WorkerLauncher() = default;
    // Returns the program that loads a module and calls one of its exports
    // with a command line: the system's rundll32.exe on Windows, the
    // project's runner beside the module elsewhere. `module` is the handle
    // of the module whose export is called.
    virtual std::u16string exportRunnerPath(void* module) = 0;
    // Returns the short (8.3) form of an existing path; the path itself
    // where the system has no short form or it cannot be obtained.
    virtual std::u16string shortPath(std::u16string_view path) = 0;
    // Starts `application` with this complete command line (program name
    // first, Windows quoting rules), suspended and then resumed, broken
    // away from the caller's job, with normal priority and the default
    // error mode, and waits without a time limit until it ends. Returns
    // false when the process could not be started.
    virtual bool runProcess(std::u16string_view application, std::u16string_view commandLine) = 0;
    // Runs `work` on a new thread with the default stack and waits until it
    // ends. Returns false when no thread could be created (`work` did not
    // run).
    virtual bool runThread(const std::function<void()>& work) = 0;
};

// Returns the system's worker launcher.
WorkerLauncher& systemWorkerLauncher();

}  // namespace tvzx::platform
