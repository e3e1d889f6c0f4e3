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
    "       tvzx settings write --block FILE [--settings FILE] [--set Name=Value ...]\n"
    "       tvzx ppd [--settings FILE] [--set Name=Value ...] [--changed Name ...] | tvzx ppd --printer-data-example\n"
    "       tvzx render [INPUT.ps] [-o OUT] [--set Name=Value ...] [--settings FILE] [--user NAME] [--document NAME] [--job-id N] [--module PATH] [--printer-data FILE.reg]\n"
    "       tvzx text ID|KEY [--lang INDEX] [--lng FILE]\n"
    "       tvzx lng pack TABLE.tsv OUT.lng | tvzx lng unpack IN.lng\n";

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
        } else if (command == "ppd") { output = tvzx::cli::ppdCommand(tvzx::cli::Arguments(std::move(words)));
        } else if (command == "render") { output = tvzx::cli::renderCommand(tvzx::cli::Arguments(std::move(words)));
        } else if (command == "wake") { output = tvzx::cli::wakeCommand(tvzx::cli::Arguments(std::move(words)));
        } else if (command == "text") { output = tvzx::cli::textCommand(tvzx::cli::Arguments(std::move(words)));
        } else if (command == "lng") { output = tvzx::cli::lngCommand(std::move(words));
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
