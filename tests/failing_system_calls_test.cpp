// One whole job with tab sheets and a wake-up, run again and again while
// each system call that can fail fails in turn: printer data and spooler
// reads, temporary files, shared memory, process and thread start, sockets
// and the spool write. Every run must end with a documented fallback (a
// sheet left out, nobody woken) or, for a lost spool write, one clear error; nothing may be left open or
// behind, and no sheet may count as written when it was not.
#include <gtest/gtest.h>

#include <algorithm>

#include "frame/document_hooks.h"
#include "frame/plugin_object.h"
#include "frame_fixtures.h"
#include "host/sample_jobs.h"
#include "net/wake_service.h"
#include "config/printer_job_services.h"
#include "net_fakes.h"
#include "printer_fixtures.h"
#include "stream_text.h"
#include "postscript/feature_texts.h"
#include "postscript/tab_texts.h"
#include "tab_fakes.h"
#include "tabs/exchange_record.h"
#include "tabs/tab_pages.h"
#include "tabs/tab_sheet.h"

namespace tvzx {
namespace {

using namespace tvzx::win;
using namespace std::string_literals;
using testing::count;

// Which call of the job fails: calls are counted in the order they are
// made, and the one at `failAt` fails (none when it is negative); named
// calls in `alwaysFailing` fail every time.
struct FaultPlan {
    int failAt = -1;
    std::set<std::string> alwaysFailing{};
    std::vector<std::string> calls{};
    // Returns whether this call fails, counting it.
    bool fails(const std::string& call) {
        calls.push_back(call);
        return std::ssize(calls) - 1 == failAt || alwaysFailing.count(call) != 0;
    }
};

// What every faulty stand-in holds.
struct Planned {
    explicit Planned(FaultPlan& faults) : plan(faults) {}
    FaultPlan& plan;
};

struct FaultyPrinterData final : platform::PrinterData, Planned {
    FaultyPrinterData(FaultPlan& faults, const platform::MemoryPrinterData& values) : Planned(faults), data(values) {}
    std::optional<platform::PrinterDataValue> read(std::string_view name) const override {
        return plan.fails("printer data " + std::string(name)) ? std::nullopt : data.read(name);
    }
    platform::MemoryPrinterData data;
};

// The spooler of one printer, "Production 1", whose data holds a wake-up address.
struct FaultySpooler final : platform::Spooler, Planned {
    explicit FaultySpooler(FaultPlan& faults) : Planned(faults) {
        data.set("MacAddress", {REG_SZ, testing::wideBytes(u"00-1A-2B-3C-4D-5E")});
    }
    std::unique_ptr<platform::PrinterData> printerData(void* printer) override {
        return printer == nullptr || plan.fails("open printer data") ? nullptr
                                                                     : std::make_unique<FaultyPrinterData>(plan, data);
    }
    std::optional<std::u16string> printerName(void* printer) override {
        return printer == nullptr || plan.fails("printer name") ? std::nullopt : std::optional(u"Production 1"s);
    }
    std::optional<std::u16string> jobParameters(void*, std::uint32_t) override {
        return plan.fails("job parameters") ? std::nullopt : std::optional(u""s);
    }
    std::unique_ptr<platform::PrinterData> byName(std::u16string_view) {
        return plan.fails("open printer by name") ? nullptr : std::make_unique<FaultyPrinterData>(plan, data);
    }
    platform::MemoryPrinterData data;
};

// Temporary files in memory; those opened for deletion on close are gone
// once the job is over.
struct FaultyTemporaryFiles final : platform::TemporaryFiles, Planned {
    using Planned::Planned;
    std::optional<std::u16string> createUnique(std::u16string_view directory, std::u16string_view prefix) override {
        if (plan.fails("create temporary file " + std::to_string(created++))) return std::nullopt;
        return files.createUnique(directory, prefix);
    }
    std::unique_ptr<platform::ReadableFile> openShared(std::u16string_view path) override {
        return plan.fails("open temporary file shared") ? nullptr : files.openShared(path);
    }
    std::unique_ptr<platform::ReadableFile> openExclusive(std::u16string_view path, bool deleteOnClose) override {
        if (plan.fails("open temporary file exclusive")) return nullptr;
        if (deleteOnClose) deletedOnClose.emplace(path);
        return files.openExclusive(path, deleteOnClose);
    }
    bool remove(std::u16string_view path) override {
        return !plan.fails("remove temporary file") && files.remove(path);
    }
    void sleep(std::uint32_t) override {}
    void clearLastError() override {}
    std::int64_t left() const {
        return std::ranges::count_if(files.contents,
                                     [this](const auto& file) { return !deletedOnClose.count(file.first); });
    }

    testing::MemoryTemporaryFiles files;
    std::set<std::u16string> deletedOnClose;
    int created = 0;
};

// Named blocks in memory, counting the views that are open.
struct FaultySharedMemory final : platform::SharedMemory, Planned {
    struct View final : platform::SharedMemoryBlock {
        View(std::unique_ptr<platform::SharedMemoryBlock> viewed, int& count)
            : block(std::move(viewed)), views(++count) {}
        ~View() override { --views; }
        std::uint8_t* data() override { return block->data(); }
        std::size_t size() const override { return block->size(); }
        std::unique_ptr<platform::SharedMemoryBlock> block;
        int& views;
    };

    using Planned::Planned;
    std::unique_ptr<platform::SharedMemoryBlock> create(std::u16string_view name, std::size_t size) override {
        return plan.fails("create shared memory") ? nullptr : std::make_unique<View>(memory.create(name, size), views);
    }
    std::unique_ptr<platform::SharedMemoryBlock> open(std::u16string_view name, std::size_t size) override {
        auto block = plan.fails("open shared memory") ? nullptr : memory.open(name, size);
        return block == nullptr ? nullptr : std::make_unique<View>(std::move(block), views);
    }

    testing::MapSharedMemory memory;
    int views = 0;
};

// Starts the worker "process" or thread in the test.
struct FaultyLauncher final : platform::WorkerLauncher, Planned {
    using Planned::Planned;
    std::u16string exportRunnerPath(void*) override { return u"/system/rundll32"; }
    std::u16string shortPath(std::u16string_view path) override { return std::u16string(path); }
    bool runProcess(std::u16string_view, std::u16string_view commandLine) override {
        return !plan.fails("start process") && (process(commandLine), true);
    }
    bool runThread(const std::function<void()>& work) override { return !plan.fails("start thread") && (work(), true); }
    std::function<void(std::u16string_view)> process;
};

// One IPv4 segment whose broadcast targets resolve; nothing leaves the process.
struct FaultySocketApi final : platform::SocketApi, Planned {
    explicit FaultySocketApi(FaultPlan& faults) : Planned(faults) {
        api.knowIPv4("255.255.255.255", testing::v4(255, 255, 255, 255));
        api.knowIPv4("192.168.1.255", testing::v4(192, 168, 1, 255));
        api.adapterList = std::vector{testing::ipv4Adapter("eth0", testing::v4(192, 168, 1, 20), 24)};
    }
    bool startLibrary() override { return !plan.fails("start socket library") && api.startLibrary(); }
    void stopLibrary() override { api.stopLibrary(); }
    platform::SocketHandle openDatagram(std::uint16_t family) override {
        return plan.fails("open socket") ? platform::kInvalidSocket : api.openDatagram(family);
    }
    bool enableBroadcast(platform::SocketHandle socket) override {
        return !plan.fails("enable broadcast") && api.enableBroadcast(socket);
    }
    std::int64_t sendTo(platform::SocketHandle socket, const std::uint8_t* data, std::size_t size,
                        const platform::SocketAddress& address) override {
        return plan.fails("send datagram") ? -1 : api.sendTo(socket, data, size, address);
    }
    void close(platform::SocketHandle socket) override { api.close(socket); }
    std::optional<std::vector<platform::SocketAddress>> resolve(std::string_view host) override {
        return plan.fails("resolve") ? std::nullopt : api.resolve(host);
    }
    std::optional<std::vector<platform::AdapterRecord>> adapters() override {
        return plan.fails("list adapters") ? std::nullopt : api.adapters();
    }
    testing::FakeSocketApi api;
};

struct FixedIdentity final : postscript::JobIdentity {
    std::string notificationId(std::u16string_view, std::u16string_view) override { return "JOB1"; }
    std::string userName() override { return "alice"; }
};

// A tab document as the worker prints it.
constexpr std::string_view kTabDocument =
    "\x1b%-12345X@PJL\r\n@PJL ENTER LANGUAGE = POSTSCRIPT\r\n%!PS-Adobe-3.0\r\n%%EndComments\r\n%%BeginSetup\r\n"
    "userdict /TVZXFeatures known not {userdict /TVZXFeatures 100 dict put} if\r\n"
    "featurebegin{\r\n%%BeginFeature: *ZVOpCreator PSDriver\r\nC\r\n%%EndFeature\r\n} featurecleanup\r\n"
    "featurebegin{\r\n%%BeginFeature: *ZVOpPPDVersion 7.0.410\r\nV\r\n%%EndFeature\r\n} featurecleanup\r\n"
    "featurebegin{\r\n%%BeginFeature: *PageSize ZXA4Tab1\r\nP\r\n%%EndFeature\r\n} featurecleanup\r\n"
    "featurebegin{\r\n%%BeginFeature: *ZVLayout None\r\nL\r\n%%EndFeature\r\n} featurecleanup\r\n%%EndSetup\r\n"
    "%%Page: 1 1\r\n%%EndPageSetup\r\n1 setlinecap 1 setlinejoin\r\n(tab) show\r\nshowpage\r\n%%Trailer\r\n%%EOF\r\n"
    "\x1b%-12345X";

// What one run of the job leaves.
struct JobRun {
    std::string stream;
    std::vector<DWORD> commandResults;
    std::size_t datagrams = 0;
    // Shared memory views, temporary files and sockets left open, socket
    // library users and stops owed, and driver helper references held.
    std::array<std::int64_t, 6> leftOpen{};
};

// The platform with every call going through the plan, the plug-in's own
// services built over it, and the job run through the plug-in object.
JobRun runJob(FaultPlan& plan) {
    FaultySpooler spooler(plan);
    FaultyTemporaryFiles files(plan);
    FaultySharedMemory memory(plan);
    FaultyLauncher launcher(plan);
    FaultySocketApi sockets(plan);
    net::SocketLibrary library(sockets);

    // The worker process prints the tab document into the file its record names.
    const auto worker = [&](std::span<std::uint8_t> record) {
        const auto exchange = tabs::readExchange(record);
        if (!exchange) return tabs::kWorkerFailed;
        files.files.contents[exchange->temporaryPath] = std::string(kTabDocument);
        return tabs::kWorkerSucceeded;
    };
    launcher.process = [&](std::u16string_view commandLine) {
        auto block = memory.open(commandLine.substr(commandLine.rfind(u' ') + 1), tabs::kExchangeRecordSize);
        if (block == nullptr) return;
        const std::span<std::uint8_t> record(block->data(), block->size());
        tabs::writeNumber(record, tabs::exchange::kStatus, worker(record));
    };
    tabs::TabSheetServices sheetServices{files, memory, launcher, worker, testing::countingRandom()};
    tabs::PlugInTabSheets tabSheets(
        spooler,
        [&](const tabs::TabSheetRequest& request, OutputSink& sink) {
            return tabs::createTabSheet(request, sheetServices, sink);
        },
        [](void*) { return std::optional<std::u16string>(u"/spool/"); });
    config::PrinterJobServices configuration(spooler);
    net::WakeService wake(
        configuration, [&](std::u16string_view name) { return spooler.byName(name); }, library,
        net::WakeUpTiming{[](std::chrono::milliseconds) {}, [] { return std::uint32_t{0}; }});
    postscript::PlugInFeatureTexts texts;
    FixedIdentity identity;
    const frame::ScopedEnvironment scope(frame::Environment{&spooler, &wake, &texts, &tabSheets, &identity});

    testing::FakeDriverHelpers helpers;
    helpers.refuseWrite = [&plan] { return plan.fails("spool write"); };
    JobRun run;
    {
        testing::FakeDevice device;
        device.blockSettings() = host::sampleTabSettings();
        IPrintOemPS2* plugin = testing::publishedPlugin(helpers);
        const auto command = [&](DWORD index) {
            DWORD result = 0;
            plugin->lpVtbl->Command(plugin, &device.devObj, index, nullptr, 0, &result);
            run.commandResults.push_back(result);
        };
        frame::hookStartDoc(&device.surface, const_cast<char16_t*>(u"Tabbed report"), 7);
        for (DWORD index :
             {PSINJECT_BEGINSTREAM, PSINJECT_PSADOBE, PSINJECT_COMMENTS, PSINJECT_BEGINSETUP, PSINJECT_ENDSETUP})
            command(index);
        for (int page = 1; page <= 3; ++page) {
            frame::hookStartPage(&device.surface);
            command(PSINJECT_BEGINPAGESETUP);
            command(PSINJECT_PAGETRAILER);
        }
        for (DWORD index : {PSINJECT_TRAILER, PSINJECT_ENDSTREAM}) command(index);
        frame::hookEndDoc(&device.surface, 0);
        plugin->lpVtbl->Release(plugin);
    }
    for (const std::string& piece : helpers.writes) run.stream += piece;
    run.datagrams = sockets.api.sent.size();
    run.leftOpen = {memory.views, files.left(), std::ssize(sockets.api.open), library.users(),
                    sockets.api.starts - sockets.api.stops, helpers.references};
    return run;
}

TEST(FailingSystemCalls, EachFailureEndsInAFallbackOrOneClearError) {
    FaultPlan clean;
    const JobRun full = runJob(clean);
    // Three sheets, each framed by a state save and restore, and the wake-up.
    ASSERT_EQ(count(full.stream, postscript::stateSave()), 3u);
    ASSERT_EQ(full.datagrams, 40u);

    // The documented fallback of every tab sheet is to be left out: the
    // streams of the job with any of its sheets missing, made by refusing
    // their temporary files.
    std::set<std::string> fallbacks;
    for (int missing = 0; missing < 8; ++missing) {
        FaultPlan plan;
        for (int sheet = 0; sheet < 3; ++sheet)
            if (missing & (1 << sheet)) plan.alwaysFailing.insert("create temporary file " + std::to_string(sheet));
        fallbacks.insert(runJob(plan).stream);
    }
    ASSERT_EQ(fallbacks.size(), 8u);

    // The calls of the wake-up, before the first spooler read of the job.
    const std::set<std::string> wakeCalls(clean.calls.begin(),
                                          std::find(clean.calls.begin(), clean.calls.end(), "job parameters"));
    for (int at = 0; at < static_cast<int>(clean.calls.size()); ++at) {
        FaultPlan plan{.failAt = at};
        const JobRun run = runJob(plan);
        const std::string& call = plan.calls.at(at);
        SCOPED_TRACE("call " + std::to_string(at) + ": " + call);
        // Nothing is left open or behind.
        EXPECT_EQ(run.leftOpen, (std::array<std::int64_t, 6>{}));
        // Only the one call whose text was lost says so.
        EXPECT_EQ(std::ranges::count(run.commandResults, ERROR_WRITE_FAULT), call == "spool write" ? 1 : 0);
        if (call == "spool write") {
            // Its later pieces are dropped, and a sheet that lost a piece
            // does not count as written, so no page device restore follows it.
            const std::size_t saves = count(run.stream, postscript::stateSave());
            const std::size_t restores = count(run.stream, postscript::stateRestore());
            EXPECT_TRUE(restores == saves || restores + 1 == saves) << run.stream;
            EXPECT_LE(count(run.stream, postscript::pageDeviceRestore()), restores) << run.stream;
            EXPECT_EQ(run.datagrams, full.datagrams);
        } else {
            // Only a sheet without its file, without a worker that can read
            // its block, or without the printer's name is left out; every
            // other failure has a way round it.
            const bool maySkipSheets =
                call.starts_with("create temporary file") || call == "open shared memory" || call == "printer name";
            EXPECT_TRUE(maySkipSheets ? fallbacks.count(run.stream) == 1 : run.stream == full.stream) << run.stream;
            // Waking is worth a try, never a stop: what fails is left out.
            EXPECT_TRUE(wakeCalls.count(call) != 0 || run.datagrams == full.datagrams);
        }
    }
}

}  // namespace
}  // namespace tvzx
