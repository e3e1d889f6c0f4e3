#include "tabs/tab_sheet.h"

#include <chrono>
#include <random>
#include <vector>

#include "platform/critical_section.h"
#include "postscript/tab_texts.h"
#include "tabs/body_extraction.h"

namespace tvzx::tabs {
namespace {

// Removes the temporary file when the tab sheet is done with it.
class TemporaryFileRemoval {
public:
    TemporaryFileRemoval(platform::TemporaryFiles& files, std::u16string path) : files_(files), path_(std::move(path)) {}
    ~TemporaryFileRemoval() { files_.remove(path_); }
    TemporaryFileRemoval(const TemporaryFileRemoval&) = delete;
    TemporaryFileRemoval& operator=(const TemporaryFileRemoval&) = delete;

private:
    platform::TemporaryFiles& files_;
    std::u16string path_;
};

// Runs the worker in its own process through the export runner, with the
// record in a named block. Returns false when the block or the process could
// not be made; the record then holds what it held before.
bool runWorkerProcess(const TabSheetRequest& request, TabSheetServices& services, std::vector<std::uint8_t>& record) {
    const std::u16string name = blockName(services.random);
    auto block = services.memory.create(name, kExchangeRecordSize);
    if (block == nullptr || block->size() < kExchangeRecordSize) return false;
    std::copy(record.begin(), record.end(), block->data());
    const std::u16string runner = services.launcher.exportRunnerPath(request.module);
    const std::u16string commandLine =
        workerCommandLine(runner, services.launcher.shortPath(request.moduleFile), name);
    if (runner.empty() || !services.launcher.runProcess(runner, commandLine)) return false;
    // The worker reports its status in the block.
    std::copy_n(block->data(), kExchangeRecordSize, record.begin());
    return true;
}

// Waits until the worker's file can be opened and holds something. Returns
// whether it did within the limit.
bool waitForFile(const std::u16string& path, TabSheetServices& services) {
    std::uint32_t waited = 0;
    for (;;) {
        if (auto file = services.files.openShared(path); file != nullptr && file->size() > 0) return true;
        const std::uint32_t pause = kFileWaitPauseMs + services.random() % kFileWaitJitterMs;
        // No look would come before the limit is over.
        if (waited + pause >= kFileWaitLimitMs) return false;
        services.files.sleep(pause);
        waited += pause;
    }
}

// Returns the body of the tab document in the file; nothing when it cannot
// be read or lacks a marker.
std::optional<std::string> bodyOfFile(const std::u16string& path, TabSheetServices& services) {
    auto file = services.files.openExclusive(path, true);
    if (file == nullptr) file = services.files.openExclusive(path, false);
    if (file == nullptr) return std::nullopt;
    return extractTabBody(*file);
}

}  // namespace

std::uint32_t processRandom() {
    static platform::CriticalSection section;
    static std::minstd_rand generator(static_cast<std::minstd_rand::result_type>(
        std::chrono::system_clock::now().time_since_epoch().count()));
    const platform::CriticalSectionGuard guard(section);
    return static_cast<std::uint32_t>(generator());
}

TabSheetServices systemTabSheetServices(std::function<std::uint32_t(std::span<std::uint8_t>)> worker) {
    return TabSheetServices{platform::systemTemporaryFiles(), platform::systemSharedMemory(),
                            platform::systemWorkerLauncher(), std::move(worker), processRandom};
}

std::u16string blockName(const std::function<std::uint32_t()>& random) {
    std::u16string name;
    for (std::size_t i = 0; i < kBlockNameLength; ++i) name.push_back(static_cast<char16_t>(u'A' + random() % 26));
    return name;
}

std::string beginDocumentComment(std::u16string_view documentName) {
    constexpr char16_t kFirstPrintable = 0x20;
    constexpr char16_t kLastPrintable = 0x7E;
    std::string line(kBeginDocument);
    line += '(';
    for (const char16_t c : documentName) {
        // Unbalanced parentheses would end the text early.
        if (c == u'(' || c == u')' || c == u'\\') line += '\\';
        line += (c >= kFirstPrintable && c <= kLastPrintable) ? static_cast<char>(c) : '?';
    }
    line += ")\r\n";
    return line;
}

std::u16string workerCommandLine(std::u16string_view runner, std::u16string_view moduleFile,
                                 std::u16string_view block) {
    std::u16string line = u"\"";
    line += runner;
    line += u"\" ";
    line += moduleFile;
    line += u',';
    line += kWorkerEntry;
    line += u' ';
    line += block;
    return line;
}

bool createTabSheet(const TabSheetRequest& request, TabSheetServices& services, OutputSink& sink) {
    // The worker prints into a file of its own in the working directory.
    const auto path = services.files.createUnique(request.workingDirectory, kTemporaryPrefix);
    if (!path) return false;
    const TemporaryFileRemoval removal(services.files, *path);

    std::vector<std::uint8_t> record(kExchangeRecordSize);
    TabExchange exchange = request.exchange;
    exchange.module = reinterpret_cast<std::uintptr_t>(request.module);
    exchange.temporaryPath = *path;
    exchange.status = 0;
    if (!writeExchange(exchange, record)) return false;

    // A separate process prints the tab document; a thread does when no
    // process can be started.
    if (!runWorkerProcess(request, services, record) && services.worker)
        services.launcher.runThread([&] { writeNumber(record, exchange::kStatus, services.worker(record)); });

    // A worker that reported failure printed nothing that could still come;
    // one that ended without a word gets the full wait.
    if (readNumber(record, exchange::kStatus) == kWorkerFailed) return false;
    if (!waitForFile(*path, services)) return false;
    const std::optional<std::string> body = bodyOfFile(*path, services);
    services.files.clearLastError();
    if (!body) return false;

    sink.write(postscript::stateSave());
    if (request.noEject) sink.write(postscript::noEjectText());
    // The tab document keeps its own header and trailer comments; the
    // brackets tell a reader of the job's comments to pass over them.
    sink.write(beginDocumentComment(exchange.documentName));
    sink.write(*body);
    // The end comment needs a line of its own.
    if (!body->ends_with('\n') && !body->ends_with('\r')) sink.write("\r\n");
    sink.write(std::string(kEndDocument) + "\r\n");
    sink.write(postscript::stateRestore());
    // A sheet the output did not take is not there: its page device owes no
    // restore.
    return !sink.failed();
}

}  // namespace tvzx::tabs
