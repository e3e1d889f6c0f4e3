// tvzx: the command-line face of the plug-in core.
#include <cstdio>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "command_line.h"
#include "commands.h"

namespace {

constexpr int kExitUsage = 2;

constexpr const char* kUsage =
    "usage: tvzx version\n"
    "       tvzx settings describe [--wrapped]\n"
    "       tvzx settings show [--block FILE [--description FILE]] [--settings FILE] [--set Name=Value ...]\n"
    "       tvzx settings write --block FILE [--settings FILE] [--set Name=Value ...]\n";

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> words(argv + 1, argv + argc);
    if (words.empty()) {
        std::cerr << "tvzx: no command given\n" << kUsage;
        return kExitUsage;
    }
    try {
        const std::string command = words.front();
        words.erase(words.begin());
        std::string output;
        if (command == "version") {
            output = tvzx::cli::versionCommand(tvzx::cli::Arguments(std::move(words)));
        } else if (command == "settings") {
            output = tvzx::cli::settingsCommand(std::move(words));
        } else if (command == "--help" || command == "help") {
            output = kUsage;
        } else {
            throw tvzx::cli::UsageError("unknown command '" + command + "'");
        }
        std::fwrite(output.data(), 1, output.size(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    } catch (const tvzx::cli::UsageError& error) {
        std::cerr << "tvzx: " << error.what() << '\n';
        return kExitUsage;
    } catch (const std::exception& error) {
        std::cerr << "tvzx: " << error.what() << '\n';
        return kExitUsage;
    }
}
