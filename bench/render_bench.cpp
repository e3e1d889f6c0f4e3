// Rendering a generated document of many pages through the simulated driver:
// the whole job with the plug-in module, the same job with the stand-in
// module (the host's own share), and the structure scan alone.
#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "host/byte_source.h"
#include "host/dsc_scanner.h"
#include "host/render_job.h"

namespace {

namespace fs = std::filesystem;

constexpr int kPages = 100000;

// Returns the document of that many pages, made once by generate_dsc.sh.
std::string generatedDocument(int pages) {
    const fs::path path = fs::path(TVZX_BINARY_DIR) / "bench" / ("generated-" + std::to_string(pages) + ".ps");
    if (!fs::exists(path)) {
        fs::create_directories(path.parent_path());
        const std::string command = std::string(TVZX_SOURCE_DIR) + "/bench/generate_dsc.sh " + std::to_string(pages) +
                                    " '" + path.string() + "'";
        if (std::system(command.c_str()) != 0) return {};
    }
    return path.string();
}

// Counts what the job writes and keeps none of it.
class CountingSink final : public tvzx::OutputSink {
public:
    void write(std::string_view bytes) override { written += bytes.size(); }
    std::uint64_t written = 0;
};

class IgnoringHandler final : public tvzx::host::DscHandler {
public:
    void documentBytes(std::string_view bytes) override { benchmark::DoNotOptimize(bytes.data()); }
    void mark(const tvzx::host::DscEvent& event) override { benchmark::DoNotOptimize(event.page); }
};

void renderWith(benchmark::State& state, const std::string& modulePath) {
    const std::string document = generatedDocument(static_cast<int>(state.range(0)));
    if (document.empty()) return state.SkipWithError("cannot generate the document");
    tvzx::host::RenderRequest request;
    request.modulePath = modulePath;
    request.documentName = "generated";
    request.settings.push_back({"--set", "PageSize=Letter", true});
    std::uint64_t written = 0;
    for (auto _ : state) {
        tvzx::host::FileSource source(document);
        CountingSink sink;
        tvzx::host::renderDocument(request, source, sink);
        written = sink.written;
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * fs::file_size(document)));
    state.counters["pages/s"] = benchmark::Counter(static_cast<double>(state.iterations() * state.range(0)), benchmark::Counter::kIsRate);
    state.counters["output MB"] = static_cast<double>(written) / 1e6;
}

void BM_RenderWithPlugIn(benchmark::State& state) { renderWith(state, {}); }
BENCHMARK(BM_RenderWithPlugIn)->Arg(kPages)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RenderWithStandInModule(benchmark::State& state) {
    renderWith(state, std::string(TVZX_BINARY_DIR) + "/host/tvzx_probe_ps.dll");
}
BENCHMARK(BM_RenderWithStandInModule)->Arg(kPages)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ScanDocument(benchmark::State& state) {
    const std::string document = generatedDocument(static_cast<int>(state.range(0)));
    if (document.empty()) return state.SkipWithError("cannot generate the document");
    for (auto _ : state) {
        tvzx::host::FileSource source(document);
        IgnoringHandler handler;
        benchmark::DoNotOptimize(tvzx::host::scanDocument(source, handler).pages);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * fs::file_size(document)));
}
BENCHMARK(BM_ScanDocument)->Arg(kPages)->Unit(benchmark::kMillisecond)->UseRealTime();

// A one-page document as a whole process: tvzx starts, loads the module,
// reads the PPD and writes the job. Started without a shell, so that only
// the job's own process is timed.
void BM_RenderOnePageProcess(benchmark::State& state) {
    const std::string document = generatedDocument(1);
    if (document.empty()) return state.SkipWithError("cannot generate the document");
    std::string program = std::string(TVZX_BINARY_DIR) + "/tools/tvzx/tvzx";
    std::vector<std::string> words = {program, "render", document, "-o", "/dev/null"};
    std::vector<char*> arguments;
    for (std::string& word : words) arguments.push_back(word.data());
    arguments.push_back(nullptr);
    for (auto _ : state) {
        pid_t child = 0;
        int status = 0;
        if (posix_spawn(&child, program.c_str(), nullptr, nullptr, arguments.data(), environ) != 0 ||
            waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
            return state.SkipWithError("tvzx render failed");
    }
}
BENCHMARK(BM_RenderOnePageProcess)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
