// The plug-in's own share of a print job: every injection call of a
// one-page job, and the two calls of each further page, measured apart from
// any host.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "device/device_state.h"
#include "frame/document_hooks.h"
#include "frame/environment.h"
#include "frame/plugin_callbacks.h"
#include "platform/com_abi.h"
#include "postscript/injection.h"
#include "settings/private_block.h"

namespace {

using namespace tvzx;

// A sink that only counts, so that the cost measured is the plug-in's.
class CountingSink final : public OutputSink {
public:
    void write(std::string_view bytes) override { written += bytes.size(); }
    std::size_t written = 0;
};

constexpr std::uint16_t kCoreDriverPartSize = 128;
constexpr win::DWORD kJobStartIndices[] = {win::PSINJECT_BEGINSTREAM, win::PSINJECT_PSADOBE, win::PSINJECT_COMMENTS,
                                            win::PSINJECT_BEGINSETUP, win::PSINJECT_ENDSETUP};
constexpr win::DWORD kPageIndices[] = {win::PSINJECT_BEGINPAGESETUP, win::PSINJECT_PAGETRAILER};
constexpr win::DWORD kJobEndIndices[] = {win::PSINJECT_TRAILER, win::PSINJECT_ENDSTREAM};

// A device as the driver enables it: public DEVMODE with the core driver's
// part, the plug-in's private block and the device state.
struct Device {
    std::vector<std::uint8_t> publicBytes = std::vector<std::uint8_t>(sizeof(win::DEVMODEW) + kCoreDriverPartSize);
    std::vector<std::uint8_t> block = std::vector<std::uint8_t>(settings::kPrivateBlockSize);
    win::DEVOBJ devObj{};
    win::SURFOBJ surface{};

    Device() {
        auto* devmode = reinterpret_cast<win::DEVMODEW*>(publicBytes.data());
        devmode->dmSize = sizeof(win::DEVMODEW);
        devmode->dmDriverExtra = kCoreDriverPartSize;
        std::memcpy(publicBytes.data() + sizeof(win::DEVMODEW), "PRIV", 4);
        settings::initialiseBlock(std::span<std::uint8_t, settings::kPrivateBlockSize>(block));
        devObj.dwSize = sizeof devObj;
        devObj.pPublicDM = devmode;
        devObj.pOEMDM = block.data();
        frame::enablePdev(&devObj, 0, nullptr, nullptr, &devObj.pdevOEM);
        surface.dhpdev = &devObj;
    }
    ~Device() { frame::disablePdev(&devObj); }

    void run(std::span<const win::DWORD> indices, OutputSink& sink) {
        const auto services = frame::environment().injection();
        win::DWORD result = 0;
        for (win::DWORD index : indices) postscript::dispatch(&devObj, index, &sink, nullptr, &result, services);
    }
};

void onePageJob(benchmark::State& state) {
    Device device;
    for (auto _ : state) {
        CountingSink sink;
        device.run(kJobStartIndices, sink);
        device.run(kPageIndices, sink);
        device.run(kJobEndIndices, sink);
        benchmark::DoNotOptimize(sink.written);
    }
}
BENCHMARK(onePageJob)->Unit(benchmark::kMicrosecond);

// The same job without the job identity, whose notification library call
// and working-directory check cost what the system makes them cost.
void onePageJobWithoutNotification(benchmark::State& state) {
    Device device;
    postscript::JobIdentity plainIdentity;
    frame::Environment environment = frame::environment();
    environment.identity = &plainIdentity;
    const frame::ScopedEnvironment scoped(environment);
    for (auto _ : state) {
        CountingSink sink;
        device.run(kJobStartIndices, sink);
        device.run(kPageIndices, sink);
        device.run(kJobEndIndices, sink);
        benchmark::DoNotOptimize(sink.written);
    }
}
BENCHMARK(onePageJobWithoutNotification)->Unit(benchmark::kMicrosecond);

// A page of a job under way: the page-start hook and the page's two calls.
void furtherPage(benchmark::State& state) {
    Device device;
    CountingSink sink;
    frame::hookStartDoc(&device.surface, nullptr, 0);
    device.run(kJobStartIndices, sink);
    for (auto _ : state) {
        frame::hookStartPage(&device.surface);
        device.run(kPageIndices, sink);
        benchmark::DoNotOptimize(sink.written);
    }
}
BENCHMARK(furtherPage)->Unit(benchmark::kMicrosecond);

}  // namespace
