// pstotvzx: the CUPS filter of the printer family. CUPS runs it after its
// own PostScript filter (the PPD's *cupsFilter2 line) as
//   pstotvzx job-id user title copies options [file]
// with the queue's PPD named by the PPD variable. It prints the document
// through the simulated driver host and the plug-in module, as the Windows
// driver does, and streams the printer-ready job to standard output as the
// document is read; the job's options are all checked before its first byte.
// Standard error speaks CUPS's language: INFO: progress, one ERROR: line
// naming the problem, DEBUG: detail and PAGE: for accounting.
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <charconv>
#include <memory>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include <cups/cups.h>
#include <cups/ppd.h>

#include "platform/registry_printer.h"
#include "host/byte_source.h"
#include "host/host_error.h"
#include "host/output_file.h"
#include "host/render_job.h"
#include "host/spooler_features.h"
#include "postscript/injection.h"
#include "queue_job.h"

namespace {

using namespace tvzx;

constexpr int kSuccess = 0;
constexpr int kFailure = 1;
constexpr int kFirstArgumentCount = 6;  // program, job-id, user, title, copies, options
constexpr int kWithFileArgumentCount = 7;
constexpr const char* kPpdVariable = "PPD";
constexpr const char* kPrinterVariable = "PRINTER";
constexpr const char* kTemporaryVariable = "TMPDIR";
// The printer's name when CUPS names no queue (a filter run by hand).
constexpr const char* kUnnamedPrinter = "TVZX Printer";
// How long a read from a pipe that found little waits before the next.
constexpr std::chrono::microseconds kPipeFillPause{500};

volatile std::sig_atomic_t cancelled = 0;

void onTerminate(int) { cancelled = 1; }

class JobCancelled {};

// Reads the document from a file or standard input until the job is
// cancelled.
class JobDocument final : public host::ByteSource {
public:
    explicit JobDocument(const char* path) {
        if (path != nullptr) {
            source_ = std::make_unique<host::FileSource>(path);
        } else {
            source_ = std::make_unique<host::StandardInputSource>();
            struct stat status {};
            fromPipe_ = fstat(STDIN_FILENO, &status) == 0 && S_ISFIFO(status.st_mode);
        }
    }
    std::size_t read(std::span<char> into) override {
        if (cancelled) throw JobCancelled();
        // CUPS's PostScript filter writes a page at a time, and a read
        // waiting on the pipe wakes both programs for each page. After a
        // read that found the pipe nearly empty, a short pause lets it fill,
        // so that the document comes in large pieces; a writer faster than
        // this filter keeps the pipe full and is never kept waiting.
        if (fromPipe_ && lastReadShort_) std::this_thread::sleep_for(kPipeFillPause);
        const std::size_t count = source_->read(into);
        lastReadShort_ = count > 0 && count < into.size() / 2;
        // A read that SIGTERM ended early ends the job.
        if (cancelled) throw JobCancelled();
        return count;
    }

private:
    std::unique_ptr<host::ByteSource> source_;
    bool fromPipe_ = false;
    bool lastReadShort_ = false;
};

// Removes its file when the job ends, however it ends.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::string& text) {
        const char* directory = std::getenv(kTemporaryVariable);
        std::string pattern = std::string(directory != nullptr && *directory != '\0' ? directory : "/tmp") + "/tvzx-printer-XXXXXX";
        const int descriptor = mkstemp(pattern.data());
        if (descriptor < 0) throw host::HostError("cannot make a temporary file in " + pattern);
        path_ = pattern;
        const bool written = ::write(descriptor, text.data(), text.size()) == static_cast<ssize_t>(text.size());
        ::close(descriptor);
        if (!written) throw host::HostError("cannot write the temporary file " + path_);
    }
    ~TemporaryFile() {
        if (!path_.empty()) std::remove(path_.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// Owns the PPD and the job's parsed options.
struct CupsJob {
    ppd_file_t* ppd = nullptr;
    int optionCount = 0;
    cups_option_t* options = nullptr;
    ~CupsJob() {
        cupsFreeOptions(optionCount, options);
        if (ppd != nullptr) ppdClose(ppd);
    }
};

std::uint32_t numberOf(const char* text, const char* what) {
    std::uint32_t value = 0;
    const std::string_view view(text);
    const auto [end, error] = std::from_chars(view.data(), view.data() + view.size(), value);
    if (error != std::errc() || end != view.data() + view.size()) throw host::HostError(std::string(what) + " is not a number");
    return value;
}

// The job on its way to the printer, which remembers whether what it has
// written so far ends with the universal exit.
class PrinterStream final : public OutputSink {
public:
    explicit PrinterStream(host::OutputFile& output) : output_(output) {}
    void write(std::string_view bytes) override {
        output_.write(bytes);
        const std::size_t keep = postscript::kUniversalExit.size();
        if (bytes.size() >= keep) {
            tail_.assign(bytes.substr(bytes.size() - keep));
        } else {
            tail_ += bytes;
            if (tail_.size() > keep) tail_.erase(0, tail_.size() - keep);
        }
    }
    bool started() const { return output_.size() > 0; }
    bool exited() const { return tail_ == postscript::kUniversalExit; }

private:
    host::OutputFile& output_;
    std::string tail_;
};

// A job that fails part-way may have reached the printer in part: unless
// the plug-in has closed it already, the universal exit ends whatever it
// began, so that the printer is ready for the next job. A printer that can
// no longer be written to gets nothing more.
void endPartialJob(host::OutputFile& output, PrinterStream& stream) {
    try {
        if (stream.started() && !stream.exited()) stream.write(postscript::kUniversalExit);
        output.commit();
    } catch (const std::exception&) {
        // The failure that ended the job is the one reported.
    }
}

int run(int argc, char** argv) {
    cups_filter::FilterArguments arguments;
    arguments.jobId = numberOf(argv[1], "the job id");
    arguments.user = argv[2];
    arguments.title = argv[3];
    arguments.copies = numberOf(argv[4], "the copy count");
    arguments.options = argv[5];
    const char* printer = std::getenv(kPrinterVariable);
    arguments.printer = printer != nullptr && *printer != '\0' ? printer : kUnnamedPrinter;

    const char* ppdPath = std::getenv(kPpdVariable);
    if (ppdPath == nullptr || *ppdPath == '\0') throw host::HostError("the queue has no PPD file (PPD is not set)");
    CupsJob cups;
    cups.ppd = ppdOpenFile(ppdPath);
    if (cups.ppd == nullptr) throw host::HostError(std::string("cannot read the PPD file ") + ppdPath);
    cups.optionCount = cupsParseOptions(arguments.options.c_str(), 0, &cups.options);
    ppdMarkDefaults(cups.ppd);
    cupsMarkOptions(cups.ppd, cups.optionCount, cups.options);

    cups_filter::QueueJob job = cups_filter::readQueueJob(arguments, cups.ppd, cups.optionCount, cups.options);
    job.request.ppdPath = ppdPath;
    // The settings the job got, passwords masked, for the scheduler's log.
    const std::string_view log = job.settingsLog;
    for (std::size_t at = 0, end = 0; at < log.size(); at = end + 1) {
        end = log.find('\n', at);
        std::fprintf(stderr, "DEBUG: pstotvzx: setting %.*s\n", static_cast<int>(end - at), log.data() + at);
    }

    // The plug-in and the tab sheets' worker read the queue's printer data
    // from the file the job's printer is opened from.
    const TemporaryFile printerData(job.printerData);
    job.request.printerDataPath = printerData.path();

    std::fprintf(stderr, "INFO: Preparing the job for the printer\n");
    JobDocument input(argc == kWithFileArgumentCount ? argv[6] : nullptr);
    host::SpoolerFeatureFilter document(input);
    // CUPS's PostScript filter makes collated copies itself for a printer
    // without a Collate feature, and then leaves one copy to the printer.
    const std::uint32_t copies = cups_filter::settleCopies(job, arguments.copies, document.printerCopies());
    if (copies != arguments.copies)
        std::fprintf(stderr, "DEBUG: pstotvzx: the document holds the copies; the printer makes %u\n", copies);
    // The printer gets the job as it is made: nothing of it is kept here,
    // whatever its size.
    host::OutputFile output("", host::Delivery::AsWritten);
    PrinterStream stream(output);
    host::RenderResult result;
    try {
        result = host::renderDocument(job.request, document, stream);
        output.commit();
    } catch (...) {
        endPartialJob(output, stream);
        throw;
    }
    // The total counts each copy; CUPS's PostScript filter counted pages as
    // they passed, and this line settles the count.
    std::fprintf(stderr, "PAGE: total %llu\n", static_cast<unsigned long long>(result.document.pages * copies));
    std::fprintf(stderr, "INFO: Job sent to the printer\n");
    return kSuccess;
}

}  // namespace

int main(int argc, char** argv) {
    // A cancelled job gets SIGTERM and stops at its next read; a printer that
    // goes away mid-job shows as a failed write, not as a signal.
    std::signal(SIGPIPE, SIG_IGN);
    struct sigaction terminate{};
    terminate.sa_handler = onTerminate;
    sigaction(SIGTERM, &terminate, nullptr);
    std::setbuf(stderr, nullptr);

    if (argc != kFirstArgumentCount && argc != kWithFileArgumentCount) {
        std::fprintf(stderr, "Usage: pstotvzx job-id user title copies options [file]\n");
        return kFailure;
    }
    try {
        return run(argc, argv);
    } catch (const JobCancelled&) {
        std::fprintf(stderr, "INFO: Job cancelled\n");
    } catch (const cups_filter::OptionRefused& refusal) {
        std::fprintf(stderr, "ERROR: %s\n", refusal.what());
    } catch (const host::DocumentRefused& refusal) {
        std::fprintf(stderr, "ERROR: the document cannot be printed: %s\n", refusal.what());
    } catch (const std::exception& error) {
        std::fprintf(stderr, "ERROR: %s\n", error.what());
    }
    return kFailure;
}
