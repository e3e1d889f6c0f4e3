// Weeks of uptime in one process: many jobs through one loaded module, every
// tenth with tab sheets, and what the process holds after the hundredth job
// against after the last. Run by bench/uptime.sh, which also checks the
// figures; it takes minutes, so it is left out of the ordinary runs.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/registry_printer.h"
#include "host/byte_source.h"
#include "host/plugin_module.h"
#include "host/render_job.h"
#include "host/sample_document.h"
#include "host/sample_jobs.h"
#include "platform/path_text.h"

namespace {

namespace fs = std::filesystem;

constexpr int kTabJobEvery = 10;
constexpr int kFirstCheckpoint = 100;

// What the process holds at one moment.
struct Holdings {
    double residentKiB = 0;
    double descriptors = 0;
    double threads = 0;
    double sharedMemoryBlocks = 0;
    double temporaryFiles = 0;
};

double entriesIn(const fs::path& directory) {
    std::error_code error;
    double count = 0;
    for (fs::directory_iterator it(directory, error), end; !error && it != end; it.increment(error)) ++count;
    return count;
}

// Returns the resident set size from the kernel's status of this process.
double residentKiB() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.starts_with("VmRSS:")) return std::strtod(line.c_str() + 6, nullptr);
    return 0;
}

// Counts the shared-memory mappings of this process: a block whose view is
// never closed stays mapped.
double sharedMemoryMappings() {
    std::ifstream maps("/proc/self/maps");
    double count = 0;
    for (std::string line; std::getline(maps, line);)
        if (line.find("/dev/shm/") != std::string::npos) ++count;
    return count;
}

Holdings holdings(const fs::path& temporaryDirectory) {
    return Holdings{residentKiB(), entriesIn("/proc/self/fd"), entriesIn("/proc/self/task"), sharedMemoryMappings(),
                    entriesIn(temporaryDirectory)};
}

void report(benchmark::State& state, const std::string& suffix, const Holdings& held) {
    state.counters["rss_kib" + suffix] = held.residentKiB;
    state.counters["fds" + suffix] = held.descriptors;
    state.counters["threads" + suffix] = held.threads;
    state.counters["shm" + suffix] = held.sharedMemoryBlocks;
    state.counters["tmpfiles" + suffix] = held.temporaryFiles;
}

// Counts what the job writes and keeps none of it.
class CountingSink final : public tvzx::OutputSink {
public:
    void write(std::string_view bytes) override { written += bytes.size(); }
    std::uint64_t written = 0;
};

void BM_Uptime(benchmark::State& state) {
    const int jobs = static_cast<int>(state.range(0));
    // Temporary files go to a directory of the run's own, so that every file
    // in it is one the jobs left behind.
    const fs::path temporaryDirectory = fs::temp_directory_path() / ("tvzx-uptime-" + std::to_string(getpid()));
    fs::create_directories(temporaryDirectory);
    setenv("TMPDIR", temporaryDirectory.c_str(), 1);

    // The tab sheets print through the sample printer, which wakes nothing.
    const std::string printerData = tvzx::host::samplePrinterDataPath();
    const auto load = tvzx::platform::loadRegistryPrinter(printerData);
    if (!load.printer) return state.SkipWithError(load.error.c_str());
    const std::string printerDataPath = fs::absolute(printerData).string();

    // One module for the whole run, as a spooler keeps it: each job's own
    // load only counts up.
    const tvzx::host::PluginModule module(tvzx::host::defaultModulePath());
    const std::string document(tvzx::host::sampleDocument());
    const tvzx::settings::CoreData tabSettings = tvzx::host::sampleTabSettings();

    std::uint64_t written = 0;
    for (auto _ : state) {
        for (int job = 1; job <= jobs; ++job) {
            tvzx::host::RenderRequest request;
            request.jobId = static_cast<std::uint32_t>(job);
            request.documentName = "Uptime " + std::to_string(job);
            request.userName = "user" + std::to_string(job % 7);
            request.printerName = tvzx::platform::utf8Path(load.printer->name());
            request.printerDataPath = printerDataPath;
            request.settings.push_back({"--set", "NumCopies=" + std::to_string(1 + job % 3), true});
            if (job % kTabJobEvery == 0) request.startingSettings = tabSettings;
            tvzx::host::MemorySource source(document);
            CountingSink sink;
            tvzx::host::renderDocument(request, source, sink);
            written += sink.written;
            if (job == kFirstCheckpoint) report(state, "_100", holdings(temporaryDirectory));
        }
        report(state, "_last", holdings(temporaryDirectory));
    }
    state.counters["bytes"] = static_cast<double>(written);
    fs::remove_all(temporaryDirectory);
}
BENCHMARK(BM_Uptime)->Arg(200)->Arg(10000)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace
