// Jobs through the simulated driver host and the plug-in, exactly as the
// CUPS filter prints them: PostScript as it comes, PDF made PostScript by
// Ghostscript, and raster pages (JPEG, PNG, PWG raster) as PostScript
// images. The job's attributes become the user's edits of its settings.
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <optional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "app.h"
#include "host/byte_source.h"
#include "host/host_error.h"
#include "job_attributes.h"
#include "raster_document.h"
#include "settings/core_data.h"
#include "settings/feature_tables.h"

namespace tvzx::printer_app {
namespace {

constexpr const char* kGhostscript = "gs";
constexpr const char* kPdfExtension = "ps";
constexpr std::string_view kJobPassword = "job-password";
constexpr std::string_view kAccountId = "job-account-id";
constexpr std::string_view kDpi = "dpi";
constexpr std::string_view kFinishings = "finishings";
constexpr std::string_view kSecret = "Password";
constexpr const char* kStapleNumber = "4";
constexpr const char* kPunchNumber = "5";
constexpr double kPointsPerHundredthMm = 72.0 / 2540.0;
constexpr std::string_view kFileScheme = "file:";
constexpr const char* kUnnamedJob = "untitled";
constexpr std::string_view kExtensionOption = "ext=";
constexpr const char* kDefaultExtension = "prn";

class JobCancelled : public std::runtime_error {
public:
    JobCancelled() : std::runtime_error("the job was cancelled") {}
};

// Writes the job's stream to the printer's device.
class DeviceSink final : public OutputSink {
public:
    explicit DeviceSink(pappl_device_t* device) : device_(device) {}
    void write(std::string_view bytes) override {
        if (failed_ || bytes.empty()) return;
        failed_ = papplDeviceWrite(device_, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size());
    }
    bool failed() const override { return failed_; }

private:
    pappl_device_t* device_;
    bool failed_ = false;
};

// A device of the job's own on a file device's URI, closed at the end.
class OwnDevice {
public:
    OwnDevice(pappl_job_t* job, const char* uri) {
        const char* name = papplJobGetName(job);
        device_ = papplDeviceOpen(uri, name != nullptr ? name : kUnnamedJob, logError, job);
    }
    ~OwnDevice() {
        if (device_ != nullptr) papplDeviceClose(device_);
    }
    OwnDevice(const OwnDevice&) = delete;
    OwnDevice& operator=(const OwnDevice&) = delete;
    // Returns the device; null when it could not be opened.
    pappl_device_t* get() const { return device_; }

private:
    static void logError(const char* message, void* job) {
        papplLogJob(static_cast<pappl_job_t*>(job), PAPPL_LOGLEVEL_ERROR, "%s", message);
    }
    pappl_device_t* device_ = nullptr;
};

// Returns whether the URI names PAPPL's file device.
bool isFileDevice(const char* uri) { return uri != nullptr && std::string_view(uri).starts_with(kFileScheme); }

// Returns the file a job of this name lands in when the file device's URI
// names a folder, named as PAPPL's file device names it ("FOLDER/NAME.prn",
// or the extension of "?ext="); nothing for any other device.
std::optional<std::string> folderOutputFile(const char* uri, const char* jobName) {
    if (!isFileDevice(uri)) return std::nullopt;
    char scheme[32], user[32], host[256], resource[1024];
    int port = 0;
    if (httpSeparateURI(HTTP_URI_CODING_ALL, uri, scheme, sizeof scheme, user, sizeof user, host, sizeof host, &port,
                        resource, sizeof resource) < HTTP_URI_STATUS_OK)
        return std::nullopt;
    std::string folder = resource;
    std::string extension = kDefaultExtension;
    if (const std::size_t query = folder.find('?'); query != std::string::npos) {
        const std::string_view options = std::string_view(folder).substr(query + 1);
        if (options.starts_with(kExtensionOption) && options.find('/') == std::string_view::npos)
            extension = options.substr(kExtensionOption.size());
        folder.resize(query);
    }
    struct stat status {};
    if (::stat(folder.c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) return std::nullopt;
    std::string name = std::string(jobName != nullptr ? jobName : kUnnamedJob) + "." + extension;
    for (char& c : name)
        if (static_cast<unsigned char>(c) < ' ' || static_cast<unsigned char>(c) >= 0x7f || c == '/') c = '_';
    return folder + "/" + name;
}

// Reads a document until the job is cancelled.
class CancellableSource final : public host::ByteSource {
public:
    CancellableSource(pappl_job_t* job, host::ByteSource& source) : job_(job), source_(source) {}
    std::size_t read(std::span<char> into) override {
        if (papplJobIsCanceled(job_)) throw JobCancelled();
        return source_.read(into);
    }

private:
    pappl_job_t* job_;
    host::ByteSource& source_;
};

// Writes to a file descriptor it owns.
class DescriptorSink final : public OutputSink {
public:
    explicit DescriptorSink(int descriptor) : descriptor_(descriptor) {}
    ~DescriptorSink() override {
        if (descriptor_ >= 0) ::close(descriptor_);
    }
    DescriptorSink(const DescriptorSink&) = delete;
    DescriptorSink& operator=(const DescriptorSink&) = delete;
    void write(std::string_view bytes) override {
        while (!failed_ && !bytes.empty()) {
            const ssize_t written = ::write(descriptor_, bytes.data(), bytes.size());
            if (written < 0 && errno == EINTR) continue;
            failed_ = written <= 0;
            if (!failed_) bytes.remove_prefix(static_cast<std::size_t>(written));
        }
    }
    bool failed() const override { return failed_; }

private:
    int descriptor_;
    bool failed_ = false;
};

std::string sidesKeyword(pappl_sides_t sides) {
    if (sides == PAPPL_SIDES_TWO_SIDED_LONG_EDGE) return "two-sided-long-edge";
    if (sides == PAPPL_SIDES_TWO_SIDED_SHORT_EDGE) return "two-sided-short-edge";
    return "one-sided";
}

// Returns the keyword of a vendor choice that leaves its setting at a fresh
// job's default: the attribute's first supported value.
bool isDefaultChoice(std::string_view name, std::string_view value) {
    for (const VendorAttribute& vendor : vendorAttributes())
        if (vendor.name == name) {
            if (vendor.kind != VendorKind::Choice) return false;
            const std::vector<std::string> values = supportedValues(name, rules::InstalledOptions{});
            return !values.empty() && values.front() == value;
        }
    return false;
}

// Returns the job's attributes as PAPPL resolved them (the job's own values,
// else the printer's defaults), in the order their edits are made.
std::vector<JobAttribute> jobAttributes(pappl_job_t* job, const pappl_pr_options_t* options) {
    std::vector<JobAttribute> attributes;
    const auto add = [&attributes](std::string_view name, std::string value) {
        if (!value.empty()) attributes.push_back({std::string(name), {std::move(value)}});
    };
    add(kMediaAttribute, options->media.size_name);
    add(kMediaSourceAttribute, options->media.source);
    add(kMediaTypeAttribute, options->media.type);
    if (options->orientation_requested >= IPP_ORIENT_PORTRAIT && options->orientation_requested <= IPP_ORIENT_REVERSE_PORTRAIT)
        add(kOrientationAttribute, std::to_string(static_cast<int>(options->orientation_requested)));
    add("sides", sidesKeyword(options->sides));
    add("print-quality", std::to_string(static_cast<int>(options->print_quality)));
    if (options->printer_resolution[0] > 0) add("printer-resolution", std::to_string(options->printer_resolution[0]) + std::string(kDpi));
    // The job's own finishings as it sent them: PAPPL keeps only the bits of
    // the values the printer reports, and would drop a staple the printer
    // cannot make without a word.
    JobAttribute finishings{std::string(kFinishings), {}};
    if (ipp_attribute_t* sent = papplJobGetAttribute(job, std::string(kFinishings).c_str())) {
        for (int i = 0; i < ippGetCount(sent); ++i) finishings.values.push_back(std::to_string(ippGetInteger(sent, i)));
    } else {
        if (options->finishings & PAPPL_FINISHINGS_STAPLE) finishings.values.push_back(kStapleNumber);
        if (options->finishings & PAPPL_FINISHINGS_PUNCH) finishings.values.push_back(kPunchNumber);
    }
    if (!finishings.values.empty()) attributes.push_back(std::move(finishings));
    add(host::kIppOutputBin, options->output_bin);
    for (int i = 0; i < options->num_vendor; ++i)
        if (!isDefaultChoice(options->vendor[i].name, options->vendor[i].value))
            add(options->vendor[i].name, options->vendor[i].value);
    for (std::string_view name : {kJobPassword, kAccountId})
        if (ipp_attribute_t* attribute = papplJobGetAttribute(job, std::string(name).c_str()))
            add(name, ippGetString(attribute, 0, nullptr) ? ippGetString(attribute, 0, nullptr) : "");
    add(kCopiesAttribute, std::to_string(options->copies > 0 ? options->copies : 1));
    return attributes;
}

// Prints the document through the host and the plug-in to the device.
// Returns false, with the reason in the job's log and message, when the job
// cannot be printed.
bool renderToDevice(pappl_job_t* job, const pappl_pr_options_t* options, pappl_device_t* device,
                    host::ByteSource& document) {
    pappl_printer_t* printer = papplJobGetPrinter(job);
    App& app = appOf(printer);
    const PrinterConfig config = app.config(printer);
    const char* user = papplJobGetUsername(job);
    JobContext context{user != nullptr ? user : "", [&app](std::string_view name) { return app.savedSettings(name); }, {}};
    const std::vector<JobAttribute> attributes = jobAttributes(job, options);
    const rules::InstalledOptions installed = installedOptions(config);
    JobEdits mapped;
    mapped.refusal = refusalFor(attributes, context, installed);
    if (!mapped.refusal) mapped = mapJobAttributes(attributes, context);
    if (mapped.refusal) {
        papplLogJob(job, PAPPL_LOGLEVEL_ERROR, "The job cannot be printed with %s=%s: %s", mapped.refusal->attribute.c_str(),
                    mapped.refusal->value ? mapped.refusal->value->c_str() : "***", mapped.refusal->reason.c_str());
        papplJobSetMessage(job, "%s: %s", mapped.refusal->attribute.c_str(), mapped.refusal->reason.c_str());
        papplJobSetReasons(job, PAPPL_JREASON_ERRORS_DETECTED, PAPPL_JREASON_NONE);
        return false;
    }
    host::RenderRequest request;
    request.settings = std::move(mapped.edits);
    request.edits.installed = installed;
    const char* name = papplJobGetName(job);
    request.documentName = name != nullptr ? name : "";
    request.jobId = static_cast<std::uint32_t>(papplJobGetID(job));
    if (!context.user.empty()) request.userName = std::string(context.user);
    request.printerName = papplPrinterGetName(printer);
    request.printerDataPath = app.printerDataPath(printer);
    // The settings the job got, for the log; a password never shows.
    for (const host::SettingsEdit& edit : request.settings) {
        std::string_view shown = edit.singleAssignment ? std::string_view(edit.text) : std::string_view(edit.origin);
        const std::string_view name = shown.substr(0, shown.find('='));
        const std::string masked = std::string(name) + "=***";
        if (edit.singleAssignment && name.find(kSecret) != std::string_view::npos) shown = masked;
        papplLogJob(job, PAPPL_LOGLEVEL_INFO, "Setting %.*s", static_cast<int>(shown.size()), shown.data());
    }

    // PAPPL 1.3 can start a printer's next job while the current one still
    // prints (it looks for a running job before taking the printer's lock),
    // and both get the printer's one device; it can even hand one job to two
    // threads. So one job at a time writes to the device, whole, and a job
    // prints once; and as PAPPL closes a file device at the end of each job,
    // which would pull it from under the other job, a job on a file device
    // writes through a device of its own: into a folder, a partial file that
    // becomes the job's file when the job ends (see JobOutputs); else the
    // file the URI names.
    std::lock_guard gate(app.deviceLock(printer));
    if (!app.claimJob(printer, papplJobGetID(job))) {
        papplLogJob(job, PAPPL_LOGLEVEL_WARN, "Another thread has printed this job already.");
        return true;
    }
    std::optional<OwnDevice> own;
    std::optional<DescriptorSink> toFile;
    std::optional<DeviceSink> toDevice;
    OutputSink* output = nullptr;
    const char* uri = papplPrinterGetDeviceURI(printer);
    if (const std::optional<std::string> file = folderOutputFile(uri, papplJobGetName(job))) {
        const std::string partial = app.stageOutput(printer, papplJobGetID(job), *file);
        const int descriptor = ::open(partial.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (descriptor < 0) {
            papplLogJob(job, PAPPL_LOGLEVEL_ERROR, "Cannot make %s: %s", partial.c_str(), std::strerror(errno));
            return false;
        }
        output = &toFile.emplace(descriptor);
    } else {
        if (isFileDevice(uri)) {
            own.emplace(job, uri);
            if (own->get() == nullptr) return false;
            device = own->get();
        }
        output = &toDevice.emplace(device);
    }
    CancellableSource input(job, document);
    try {
        const host::RenderResult result = host::renderDocument(request, input, *output);
        const std::uint32_t copies = static_cast<std::uint32_t>(options->copies > 0 ? options->copies : 1);
        papplJobSetImpressions(job, static_cast<int>(result.document.pages));
        papplJobSetImpressionsCompleted(job, static_cast<int>(result.document.pages * copies));
    } catch (const JobCancelled&) {
        return true;
    } catch (const std::exception& error) {
        papplLogJob(job, PAPPL_LOGLEVEL_ERROR, "The job cannot be printed: %s", error.what());
        papplJobSetMessage(job, "%s", error.what());
        return false;
    }
    if (output->failed()) {
        papplLogJob(job, PAPPL_LOGLEVEL_ERROR, "The printer did not take the whole job.");
        return false;
    }
    return true;
}

// A raster job on its way to PostScript: pages go to a spool file, which
// prints when the job ends.
struct RasterJob {
    std::string path;
    std::unique_ptr<DescriptorSink> file;
    std::unique_ptr<RasterDocument> document;
    ~RasterJob() {
        document.reset();
        file.reset();
        if (!path.empty()) ::unlink(path.c_str());
    }
};

RasterColors colorsOf(const cups_page_header2_t& header) {
    switch (header.cupsColorSpace) {
    case CUPS_CSPACE_K:
        return RasterColors::Black;
    case CUPS_CSPACE_RGB:
    case CUPS_CSPACE_SRGB:
    case CUPS_CSPACE_ADOBERGB:
        return RasterColors::Rgb;
    default:
        return RasterColors::Gray;
    }
}

// The Ghostscript child that makes PostScript of a PDF file; it is stopped
// if the job ends before it does.
class PdfToPostScript final : public host::ByteSource {
public:
    explicit PdfToPostScript(const char* pdf) {
        int pipeEnds[2];
        if (::pipe2(pipeEnds, O_CLOEXEC) != 0) throw host::HostError("cannot make a pipe for Ghostscript");
        child_ = ::fork();
        if (child_ == 0) {
            ::dup2(pipeEnds[1], STDOUT_FILENO);
            // Ghostscript's own messages go to standard error, never into
            // the document; it reads the file and nothing else (-dSAFER).
            const char* arguments[] = {kGhostscript, "-q", "-dNOPAUSE", "-dBATCH", "-dSAFER", "-sstdout=%stderr",
                                       "-sDEVICE=ps2write", "-sOutputFile=-", "-f", pdf, nullptr};
            ::execvp(kGhostscript, const_cast<char* const*>(arguments));
            ::_exit(127);
        }
        ::close(pipeEnds[1]);
        descriptor_ = pipeEnds[0];
        if (child_ < 0) {
            ::close(descriptor_);
            throw host::HostError("cannot start Ghostscript");
        }
    }
    ~PdfToPostScript() override {
        ::close(descriptor_);
        if (child_ > 0) {
            ::kill(child_, SIGTERM);
            ::waitpid(child_, nullptr, 0);
        }
    }
    PdfToPostScript(const PdfToPostScript&) = delete;
    PdfToPostScript& operator=(const PdfToPostScript&) = delete;

    std::size_t read(std::span<char> into) override {
        for (;;) {
            const ssize_t got = ::read(descriptor_, into.data(), into.size());
            if (got >= 0) {
                if (got == 0) finish();
                return static_cast<std::size_t>(got);
            }
            if (errno != EINTR) throw host::HostError("cannot read Ghostscript's output");
        }
    }

private:
    // A PDF Ghostscript could not read fails the job.
    void finish() {
        int status = 0;
        const pid_t child = child_;
        child_ = -1;
        if (::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
            throw host::DocumentRefused("Ghostscript could not read the PDF document");
    }

    pid_t child_ = -1;
    int descriptor_ = -1;
};

}  // namespace

bool printPostScript(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t* device) {
    try {
        host::FileSource document(papplJobGetFilename(job));
        return renderToDevice(job, options, device, document);
    } catch (const std::exception& error) {
        papplLogJob(job, PAPPL_LOGLEVEL_ERROR, "%s", error.what());
        return false;
    }
}

bool printPdf(pappl_job_t* job, pappl_device_t* device, void*) {
    pappl_pr_options_t* options = papplJobCreatePrintOptions(job, 0, false);
    bool printed = false;
    try {
        PdfToPostScript document(papplJobGetFilename(job));
        printed = renderToDevice(job, options, device, document);
    } catch (const std::exception& error) {
        papplLogJob(job, PAPPL_LOGLEVEL_ERROR, "%s", error.what());
    }
    papplJobDeletePrintOptions(options);
    return printed;
}

void jobEvent(pappl_system_t*, pappl_printer_t* printer, pappl_job_t* job, pappl_event_t event, void* data) {
    if (printer == nullptr || job == nullptr) return;
    App& app = *static_cast<App*>(data);
    // A job's start comes before PAPPL opens the device; its end, with the
    // job's state already final, before a client can see that state.
    if (event & PAPPL_EVENT_JOB_STATE_CHANGED) app.outputStarted(papplPrinterGetID(printer), papplJobGetID(job));
    if (event & PAPPL_EVENT_JOB_COMPLETED) app.outputEnded(papplPrinterGetID(printer), papplJobGetID(job));
}

bool startRasterJob(pappl_job_t* job, pappl_pr_options_t*, pappl_device_t*) {
    auto raster = std::make_unique<RasterJob>();
    char path[1024];
    const int descriptor = papplJobOpenFile(job, path, sizeof path, nullptr, kPdfExtension, "w");
    if (descriptor < 0) {
        papplLogJob(job, PAPPL_LOGLEVEL_ERROR, "Cannot make the job's spool file: %s", std::strerror(errno));
        return false;
    }
    raster->path = path;
    raster->file = std::make_unique<DescriptorSink>(descriptor);
    raster->document = std::make_unique<RasterDocument>(*raster->file);
    papplJobSetData(job, raster.release());
    return true;
}

bool startRasterPage(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t*, unsigned) {
    auto* raster = static_cast<RasterJob*>(papplJobGetData(job));
    if (raster == nullptr) return false;
    const auto& header = options->header;
    RasterPage page;
    page.width = header.cupsWidth;
    page.height = header.cupsHeight;
    page.bitsPerComponent = header.cupsBitsPerColor;
    page.colors = colorsOf(header);
    page.widthPoints = header.PageSize[0] > 0 ? header.PageSize[0]
                                              : static_cast<unsigned>(options->media.size_width * kPointsPerHundredthMm + 0.5);
    page.heightPoints = header.PageSize[1] > 0 ? header.PageSize[1]
                                               : static_cast<unsigned>(options->media.size_length * kPointsPerHundredthMm + 0.5);
    try {
        raster->document->beginPage(page);
    } catch (const std::exception& error) {
        papplLogJob(job, PAPPL_LOGLEVEL_ERROR, "%s", error.what());
        return false;
    }
    return true;
}

bool writeRasterLine(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t*, unsigned, const unsigned char* line) {
    auto* raster = static_cast<RasterJob*>(papplJobGetData(job));
    if (raster == nullptr) return false;
    raster->document->addLine({line, options->header.cupsBytesPerLine});
    return !raster->file->failed();
}

bool endRasterPage(pappl_job_t* job, pappl_pr_options_t*, pappl_device_t*, unsigned) {
    auto* raster = static_cast<RasterJob*>(papplJobGetData(job));
    if (raster == nullptr) return false;
    raster->document->endPage();
    return !raster->file->failed();
}

bool endRasterJob(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t* device) {
    std::unique_ptr<RasterJob> raster(static_cast<RasterJob*>(papplJobGetData(job)));
    papplJobSetData(job, nullptr);
    if (!raster) return false;
    raster->document->finish();
    const bool written = !raster->file->failed();
    raster->document.reset();
    raster->file.reset();
    if (!written) {
        papplLogJob(job, PAPPL_LOGLEVEL_ERROR, "Cannot write the job's spool file.");
        return false;
    }
    if (papplJobIsCanceled(job)) return true;
    try {
        host::FileSource document(raster->path);
        return renderToDevice(job, options, device, document);
    } catch (const std::exception& error) {
        papplLogJob(job, PAPPL_LOGLEVEL_ERROR, "%s", error.what());
        return false;
    }
}

}  // namespace tvzx::printer_app
