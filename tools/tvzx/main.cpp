// tvzx: the command-line face of the plug-in core.
#include <cstdio>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "command_line.h"
#include "commands.h"
#include "host/file_descriptors.h"

namespace {

constexpr int kExitUsage = 2;

constexpr const char* kUsage =
    "usage: tvzx version\n"
    "       tvzx settings describe [--wrapped]\n"
    "       tvzx settings show [--block FILE [--description FILE]] [--sample plain|tabs] [SETTINGS] [--changes]\n"
    "       tvzx settings write --block FILE [SETTINGS]\n"
    "       tvzx ppd [SETTINGS] [--changed Name ...] | tvzx ppd --printer-data-example\n"
    "       tvzx ticket [SETTINGS] [--user NAME] [--document NAME] [--job-id N] [--job-identity TEXT]\n"
    "       tvzx inspect [JOB|-] [--settings-out FILE]\n"
    "       tvzx render [INPUT.ps] [-o OUT] [SETTINGS] [--user NAME] [--document NAME] [--job-id N] [--module PATH] [--printer NAME] [--sample plain|tabs] [--preview PREFIX]\n"
    "       tvzx wake MAC [--to ADDRESS] [--port N]\n"
    "       tvzx text ID|KEY [--lang INDEX] [--lng FILE]\n"
    "       tvzx lng pack TABLE.tsv OUT.lng | tvzx lng unpack IN.lng\n"
    "       tvzx printer-data --printer NAME [--printer-data FILE.reg] [--import FILE.reg ...] [--set Value=Data ...] [--show]\n"
    "SETTINGS: [--settings FILE ...] [--set Name=Value ...] [--raw] [--printer-data FILE.reg]\n";

// The commands by name. Commands with actions of their own take their words
// unread; the others take them as options.
struct Command {
    std::string_view name;
    std::string (*run)(std::vector<std::string> words);
};

template <std::string (*Run)(tvzx::cli::Arguments)>
std::string withArguments(std::vector<std::string> words) {
    return Run(tvzx::cli::Arguments(std::move(words)));
}

constexpr Command kCommands[] = {
    {"version", withArguments<tvzx::cli::versionCommand>},
    {"settings", tvzx::cli::settingsCommand},
    {"render", withArguments<tvzx::cli::renderCommand>},
    {"ppd", withArguments<tvzx::cli::ppdCommand>},
    {"ticket", withArguments<tvzx::cli::ticketCommand>},
    {"inspect", withArguments<tvzx::cli::inspectCommand>},
    {"wake", withArguments<tvzx::cli::wakeCommand>},
    {"text", withArguments<tvzx::cli::textCommand>},
    {"lng", tvzx::cli::lngCommand},
    {"printer-data", withArguments<tvzx::cli::printerDataCommand>},
};

// Returns what the command prints; throws UsageError for an unknown one.
std::string runCommand(const std::string& name, std::vector<std::string> words) {
    if (name == "--help" || name == "help") return kUsage;
    for (const Command& command : kCommands)
        if (command.name == name) return command.run(std::move(words));
    throw tvzx::cli::UsageError("unknown command '" + name + "'");
}

// Writes one line naming what went wrong to standard error. The C library's
// streams serve, so that starting the tool sets up no C++ standard streams.
void complain(const char* what) { std::fprintf(stderr, "tvzx: %s\n", what); }

}  // namespace

int main(int argc, char** argv) {
    // Every system gets the same bytes: a ticket's CR LF must not become CR CR LF.
    tvzx::host::files::standardOutput();
    std::vector<std::string> words(argv + 1, argv + argc);
    if (words.empty()) {
        std::fputs("tvzx: no command given\n", stderr);
        std::fputs(kUsage, stderr);
        return kExitUsage;
    }
    try {
        const std::string name = words.front();
        words.erase(words.begin());
        const std::string output = runCommand(name, std::move(words));
        std::fwrite(output.data(), 1, output.size(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    } catch (const tvzx::cli::CommandFailed& failure) {
        // The command's output stands, and one line names what it found.
        std::fwrite(failure.output().data(), 1, failure.output().size(), stdout);
        std::fflush(stdout);
        complain(failure.what());
        return failure.status();
    } catch (const std::exception& error) {
        // A refused argument or input, or a failure of the job: one line, nothing written.
        complain(error.what());
        return kExitUsage;
    }
}
