// One tab sheet into the running job: the worker prints the tab document
// into a temporary file, and the body cut out of it is spliced into the
// stream between a state save and a state restore.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "common/output_sink.h"
#include "platform/shared_memory.h"
#include "platform/temporary_files.h"
#include "platform/worker_launch.h"
#include "tabs/exchange_record.h"

namespace tvzx::tabs {

// The prefix of the temporary file a tab document is printed into.
inline constexpr std::u16string_view kTemporaryPrefix = u"TP1";
// The entry of the plug-in module the export runner calls, without its "W".
inline constexpr std::u16string_view kWorkerEntry = u"CreateTabFileEx";
// Letters in the name of the shared-memory block.
inline constexpr std::size_t kBlockNameLength = 20;
// How long the temporary file is waited for, and the pause between looks.
inline constexpr std::uint32_t kFileWaitLimitMs = 5000;
inline constexpr std::uint32_t kFileWaitPauseMs = 2000;
inline constexpr std::uint32_t kFileWaitJitterMs = 100;
// The comments that bracket the spliced tab document, so that its own
// header, page and trailer comments are not read as the job's.
inline constexpr std::string_view kBeginDocument = "%%BeginDocument: ";
inline constexpr std::string_view kEndDocument = "%%EndDocument";

// What a tab sheet runs with; tests put in their own.
struct TabSheetServices {
    platform::TemporaryFiles& files;
    platform::SharedMemory& memory;
    platform::WorkerLauncher& launcher;
    // The worker itself, for when no worker process can be started: takes
    // the exchange record and returns its status.
    std::function<std::uint32_t(std::span<std::uint8_t>)> worker;
    // Returns the next number of the process's random sequence.
    std::function<std::uint32_t()> random;
};

// Returns the services of the running system, with `worker` as the thread
// fallback.
TabSheetServices systemTabSheetServices(std::function<std::uint32_t(std::span<std::uint8_t>)> worker);

// Returns the next number of a random sequence seeded from the time once
// per process.
std::uint32_t processRandom();

// Everything one tab sheet is made from, besides the services.
struct TabSheetRequest {
    // The exchange record's fields; the module handle, the temporary path
    // and the status are filled in here.
    TabExchange exchange;
    // Where temporary files may be written, ending in a separator.
    std::u16string workingDirectory;
    // The plug-in's module handle and the path of its module file.
    void* module = nullptr;
    std::u16string moduleFile;
    // Whether the sheet is printed on the page (its body must not eject it).
    bool noEject = false;
};

// Returns the name of a shared-memory block: kBlockNameLength capital
// letters drawn from `random`.
std::u16string blockName(const std::function<std::uint32_t()>& random);

// Returns the comment line that opens the spliced tab document of this
// name: the name as a parenthesised text, every character outside
// printable ASCII as "?", parentheses and backslashes escaped; the line ends in CR LF.
std::string beginDocumentComment(std::u16string_view documentName);

// Returns the command line that runs the worker entry of the module file
// through the export runner.
std::u16string workerCommandLine(std::u16string_view runner, std::u16string_view moduleFile,
                                 std::u16string_view block);

// Produces one tab sheet and writes it into the stream: state save, the
// no-eject text for a sheet printed on the page, the body between the
// comments that bracket an included document, state restore.
// Returns whether it was written: false when the sheet could not be made,
// and then nothing is written, or when the sink failed. The temporary file
// is removed in every case.
bool createTabSheet(const TabSheetRequest& request, TabSheetServices& services, OutputSink& sink);

}  // namespace tvzx::tabs
