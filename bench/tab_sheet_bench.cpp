// Tab sheets: cutting the body out of a tab document, and a whole tab
// sheet (worker process, base module, the simulated driver printing the tab
// document, the splice) through tvzx render.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "tabs/body_extraction.h"

namespace {

using namespace tvzx;

// A tab document of the size the driver prints: header, a prolog of
// `prologLines` lines, the setup features and one page.
std::string tabDocument(int prologLines) {
    std::string document = "\x1b%-12345X@PJL\r\n%!PS-Adobe-3.0\r\n%%EndComments\r\n%%BeginProlog\r\n";
    for (int i = 0; i < prologLines; ++i) document += "/Proc" + std::to_string(i) + " { 0 0 moveto } bind def\r\n";
    document += "%%EndProlog\r\n%%BeginSetup\r\nuserdict /TVZXFeatures known not {} if\r\n";
    for (const char* feature : {"ZVOpCreator PSDriver", "ZVOpPPDVersion 7.0.410", "PageSize ZXA4Tab1", "ZVLayout None"})
        document += std::string("featurebegin{\r\n%%BeginFeature: *") + feature + "\r\n%%EndFeature\r\n} featurecleanup\r\n";
    document += "%%EndSetup\r\n%%Page: 1 1\r\n1 setlinecap 1 setlinejoin\r\n(Part A) show showpage\r\n%%EOF\r\n";
    return document;
}

void BM_TabBodyExtraction(benchmark::State& state) {
    const std::string document = tabDocument(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        tabs::MemoryFile file(document);
        benchmark::DoNotOptimize(tabs::extractTabBody(file));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * document.size()));
}
BENCHMARK(BM_TabBodyExtraction)->Arg(100)->Arg(10000);

// Three tab sheets, each printed by a worker process, against the same job
// without them.
void renderSample(benchmark::State& state, const char* sample) {
    const std::string command = std::string(TVZX_BINARY_DIR) +
                                "/tools/tvzx/tvzx render --sample " + sample + " -o /dev/null";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0) state.SkipWithError("tvzx render failed");
}
void BM_RenderTabSample(benchmark::State& state) { renderSample(state, "tabs"); }
void BM_RenderPlainSample(benchmark::State& state) { renderSample(state, "plain"); }
BENCHMARK(BM_RenderTabSample)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);
BENCHMARK(BM_RenderPlainSample)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

}  // namespace
