// Stand-ins for the system services of a tab sheet: temporary files held in
// memory, shared memory blocks in a map, a worker launcher that runs the
// "process" in the test, and a random sequence the test chooses.
#pragma once

#include <map>

#include "platform/shared_memory.h"
#include "platform/worker_launch.h"
#include "postscript/injection.h"
#include "tabs/body_extraction.h"

namespace tvzx::testing {

class MemoryTemporaryFiles final : public platform::TemporaryFiles {
public:
    std::optional<std::u16string> createUnique(std::u16string_view directory, std::u16string_view prefix) override {
        const std::u16string path = std::u16string(directory) + std::u16string(prefix) + u"1.tmp";
        contents[path] = {};
        return path;
    }
    std::unique_ptr<platform::ReadableFile> openShared(std::u16string_view path) override { return open(path); }
    std::unique_ptr<platform::ReadableFile> openExclusive(std::u16string_view path, bool) override { return open(path); }
    bool remove(std::u16string_view path) override {
        removed.emplace_back(path);
        return contents.erase(std::u16string(path)), true;
    }
    void sleep(std::uint32_t milliseconds) override { sleeps.push_back(milliseconds); }
    void clearLastError() override {}

    std::map<std::u16string, std::string> contents;
    std::vector<std::u16string> removed;
    std::vector<std::uint32_t> sleeps;

private:
    std::unique_ptr<platform::ReadableFile> open(std::u16string_view path) {
        const auto it = contents.find(std::u16string(path));
        return it == contents.end() ? nullptr : std::make_unique<tabs::MemoryFile>(it->second);
    }
};

class MapSharedMemory final : public platform::SharedMemory {
public:
    struct Block final : platform::SharedMemoryBlock {
        explicit Block(std::vector<std::uint8_t>& held) : bytes(held) {}
        std::uint8_t* data() override { return bytes.data(); }
        std::size_t size() const override { return bytes.size(); }
        std::vector<std::uint8_t>& bytes;
    };

    std::unique_ptr<platform::SharedMemoryBlock> create(std::u16string_view name, std::size_t size) override {
        return std::make_unique<Block>(blocks[std::u16string(name)] = std::vector<std::uint8_t>(size, 0));
    }
    std::unique_ptr<platform::SharedMemoryBlock> open(std::u16string_view name, std::size_t size) override {
        const auto it = blocks.find(std::u16string(name));
        return it == blocks.end() || it->second.size() < size ? nullptr : std::make_unique<Block>(it->second);
    }

    std::map<std::u16string, std::vector<std::uint8_t>> blocks;
};

// Runs the worker "process" as a function of the command line it was given.
class ScriptedLauncher final : public platform::WorkerLauncher {
public:
    std::u16string exportRunnerPath(void*) override { return u"C:\\Windows\\system32\\rundll32.exe"; }
    std::u16string shortPath(std::u16string_view) override { return u"C:\\DRIVERS\\TVZX_PS.DLL"; }
    bool runProcess(std::u16string_view, std::u16string_view commandLine) override {
        commandLines.emplace_back(commandLine);
        if (process) process(commandLine);
        return true;
    }
    bool runThread(const std::function<void()>& work) override { return work(), true; }

    std::function<void(std::u16string_view)> process;
    std::vector<std::u16string> commandLines;
};

// Returns a random sequence that counts up from `first`.
inline std::function<std::uint32_t()> countingRandom(std::uint32_t first = 0) {
    auto next = std::make_shared<std::uint32_t>(first);
    return [next] { return (*next)++; };
}

// Tab sheets that write a marker from each hook into the stream, so that a
// test sees where the dispatcher calls them among its own texts.
class MarkerTabSheets final : public postscript::TabSheets {
public:
    std::string setupPreparation(const settings::CoreData&) override { return "<tab setup>\r\n"; }
    std::string pageSaveCapture(const settings::CoreData&) override { return "<tab capture>\r\n"; }
    bool actsOnPages(const settings::CoreData&) override { return true; }
    void beginPage(postscript::InjectionContext& context) override {
        context.sink.write("<tab begin page " + std::to_string(context.state->pageCounter) + ">\r\n");
    }
    void endPage(postscript::InjectionContext& context) override { context.sink.write("<tab end page>\r\n"); }
    void afterDocument(postscript::InjectionContext& context) override { context.sink.write("<tab after document>\r\n"); }
};

}  // namespace tvzx::testing
