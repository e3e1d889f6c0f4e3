#include "render_job.h"

#include <cstdlib>
#include <filesystem>

#include "dsc_keywords.h"
#include "feature_selection.h"
#include "host_error.h"
#include "plugin_driver.h"
#include "plugin_module.h"
#include "rules/installed_options.h"
#include "platform/module_exports.h"
#include "platform/module_path.h"
#include "platform/path_text.h"
#include "platform/user_account.h"
#include "ppd_file.h"
#include "settings/settings_lines.h"
#include "setup_code.h"
#include "utf16_text.h"

namespace tvzx::host {
namespace {

constexpr std::string_view kModuleFileName = "tvzx_ps.dll";
constexpr std::string_view kPpdFileName = "tvzx.ppd";
constexpr std::string_view kLineEnd = "\r\n";
// The version of the conventions a header written by the host follows.
constexpr std::string_view kDscVersion = "3.0";

// Returns the file the host runs from: the module that holds this code (the
// program, or the base module that prints tab documents), else the running
// program; nothing when neither can be told.
std::optional<std::filesystem::path> findHostFile() {
    const std::u16string path =
        platform::modulePath(platform::moduleHandleContaining(reinterpret_cast<const void*>(&findHostFile)));
    if (!path.empty()) return std::filesystem::path(platform::utf8Path(path));
#if defined(_WIN32)
    return std::nullopt;
#else
    std::error_code error;
    auto program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return std::nullopt;
    return program;
#endif
}

// Returns the host's file, looked up once a process: the module lookup
// walks the module's symbols.
const std::optional<std::filesystem::path>& hostFile() {
    static const std::optional<std::filesystem::path> file = findHostFile();
    return file;
}

// Returns the file of that name beside the host's file, if there is one.
std::optional<std::string> besideProgram(std::string_view name) {
    std::error_code error;
    const auto& program = hostFile();
    if (!program) return std::nullopt;
    const auto candidate = program->parent_path() / name;
    if (!std::filesystem::is_regular_file(candidate, error)) return std::nullopt;
    return candidate.string();
}

// Returns the packaged file for a program the package installed; nothing
// for a program of a build folder, which uses the files of its build.
std::optional<std::string> packaged(std::string_view path) {
    std::error_code error;
    const auto& program = hostFile();
    if (!program || !program->string().starts_with(TVZX_HOST_PACKAGE_PREFIX)) return std::nullopt;
    if (!std::filesystem::is_regular_file(std::filesystem::path(path), error)) return std::nullopt;
    return std::string(path);
}

// Passes the document through and calls the plug-in at its injection
// points, writing the driver's own texts where the driver writes them.
class JobStream final : public DscHandler {
public:
    JobStream(PluginDriver& driver, OutputSink& output, std::string setupText,
              const std::map<std::uint32_t, std::vector<SettingsEdit>>& pageSettings)
        : driver_(driver), output_(output), setupText_(std::move(setupText)), pageSettings_(pageSettings) {}

    void documentBytes(std::string_view bytes) override {
        output_.write(bytes);
        if (!bytes.empty()) atLineStart_ = bytes.back() == '\n' || bytes.back() == '\r';
    }

    void mark(const DscEvent& event) override {
        switch (event.mark) {
            case DscMark::DocumentStart:
                // Once the plug-in has seen the start, it must see the end.
                started_ = true;
                driver_.startDocument();
                driver_.command(win::PSINJECT_PSADOBE);
                // A document without structuring comments gets a header of
                // its own, and goes whole into its one page.
                unstructured_ = event.synthetic;
                if (unstructured_) writeLine(std::string(dsc::kPsAdobe) + std::string(kDscVersion));
                return;
            case DscMark::CommentsEnd:
                // The plug-in's comments belong to the header: a header that
                // ends without %%EndComments gets one after them.
                if (event.synthetic) startLine();
                driver_.command(win::PSINJECT_COMMENTS);
                if (event.synthetic) writeLine(dsc::kEndComments);
                return;
            case DscMark::PrologEnd:
                // The driver's procedures end the prolog; a document without
                // %%EndProlog gets one.
                output_.write(hostProlog());
                if (event.synthetic) writeLine(dsc::kEndProlog);
                return;
            case DscMark::SetupStart:
                if (event.synthetic) writeLine(dsc::kBeginSetup);
                driver_.command(win::PSINJECT_BEGINSETUP);
                output_.write(setupText_);
                return;
            case DscMark::SetupEnd:
                driver_.command(win::PSINJECT_ENDSETUP);
                if (event.synthetic) writeLine(dsc::kEndSetup);
                return;
            case DscMark::PageStart: {
                if (event.synthetic) writeLine(std::string(dsc::kPage) + " " + std::to_string(event.page) + " " +
                                               std::to_string(event.page));
                // A page of other settings gets a device of its own first.
                const auto edits = pageSettings_.find(++pages_);
                if (edits != pageSettings_.end())
                    driver_.resetDevice([&](settings::CoreData& record) { applySettingsEdits(record, edits->second); });
                driver_.startPage();
                return;
            }
            case DscMark::PageSetup:
                driver_.command(win::PSINJECT_BEGINPAGESETUP);
                if (unstructured_) writeLine(dsc::kUnstructuredDocument);
                return;
            case DscMark::PageTrailer:
                if (event.synthetic) startLine();
                if (unstructured_) writeLine(dsc::kEndDocument);
                driver_.command(win::PSINJECT_PAGETRAILER);
                return;
            case DscMark::TrailerStart:
                // The plug-in's trailer code stands in a trailer section,
                // whether the document has one or not.
                if (event.synthetic) {
                    startLine();
                    writeLine(dsc::kTrailer);
                }
                driver_.command(win::PSINJECT_TRAILER);
                return;
            case DscMark::DocumentEnd:
                if (event.synthetic) {
                    startLine();
                    writeLine(dsc::kEof);
                }
                ended_ = true;
                driver_.endDocument();
                return;
        }
    }

    // Ends a document that was started but not finished, as an aborted
    // one. The job has failed already: a further failure adds nothing.
    void abandon() noexcept {
        if (started_ && !ended_) {
            try {
                driver_.endDocument(true);
            } catch (...) {
            }
        }
        ended_ = true;
    }

private:
    void writeLine(std::string_view text) {
        output_.write(std::string(text) + std::string(kLineEnd));
        atLineStart_ = true;
    }

    // Ends the document's last line where it lacks its line end, so that a
    // comment the host writes after it starts a line of its own.
    void startLine() {
        if (!atLineStart_) output_.write(kLineEnd);
        atLineStart_ = true;
    }

    PluginDriver& driver_;
    OutputSink& output_;
    std::string setupText_;
    const std::map<std::uint32_t, std::vector<SettingsEdit>>& pageSettings_;
    std::uint32_t pages_ = 0;
    bool started_ = false;
    bool ended_ = false;
    bool unstructured_ = false;
    bool atLineStart_ = true;
};

}  // namespace

std::string defaultModulePath() {
    if (auto beside = besideProgram(kModuleFileName)) return *beside;
    if (auto installed = packaged(TVZX_HOST_PACKAGE_MODULE)) return *installed;
#ifdef TVZX_HOST_MODULE_PATH
    return TVZX_HOST_MODULE_PATH;
#else
    return std::string(kModuleFileName);
#endif
}

std::string defaultPpdPath() {
    if (auto beside = besideProgram(kPpdFileName)) return *beside;
    if (auto installed = packaged(TVZX_HOST_PACKAGE_PPD)) return *installed;
    return TVZX_HOST_PPD_PATH;
}

std::vector<rules::RuleChange> applySettingsEdits(settings::CoreData& record, const std::vector<SettingsEdit>& edits,
                                                  const EditOptions& options) {
    if (options.installed) rules::applyInstalledOptions(record, *options.installed);
    // A saved record is loaded as it was saved: checked as the driver checks
    // a stored record, but no rule runs on it.
    bool loaded = false;
    for (const SettingsEdit& edit : edits) {
        if (edit.singleAssignment) continue;
        if (const auto error = settings::applySettingsText(record, edit.text)) throw HostError(edit.origin + ": " + *error);
        loaded = true;
    }
    if (loaded) settings::validateRecord(record);
    // Each assignment is a user's edit, whose dependent settings follow.
    rules::PrinterConfig printer;
    rules::RuleInputs inputs;
    if (options.installed) {
        printer.installed = *options.installed;
        inputs.printerConfig = &printer;
    }
    rules::UserEdits userEdits(record, options.mode, inputs);
    for (const SettingsEdit& edit : edits) {
        if (!edit.singleAssignment) continue;
        if (const auto error = userEdits.apply(edit.text)) throw HostError(edit.origin + ": " + *error);
    }
    return userEdits.ruleChanges();
}

RenderResult renderDocument(const RenderRequest& request, ByteSource& input, OutputSink& output) {
    const PpdFile ppd(request.ppdPath.empty() ? defaultPpdPath() : request.ppdPath);
    PluginModule module(request.modulePath.empty() ? defaultModulePath() : request.modulePath);
    // The plug-in learns the user from the thread it is called on.
    const platform::ScopedUserImpersonation user(request.userName.value_or(std::string()));

    DriverHelpers helpers(output, ppd);
    DriverJob job;
    job.printerName = request.printerName.empty() ? std::u16string(kPrinterName) : utf16FromUtf8(request.printerName);
    job.spoolerPrinter = !request.printerName.empty();
    job.printerDataPath = request.printerDataPath;
    job.documentName = utf16FromUtf8(request.documentName);
    job.jobId = request.jobId;
    job.editSettings = [&](settings::CoreData& record) {
        if (request.startingSettings) record = *request.startingSettings;
        applySettingsEdits(record, request.settings, request.edits);
    };
    PluginDriver driver(module, helpers, job);

    // The setup section carries the driver's opening and the job's features
    // as the plug-in's converted settings select them.
    const settings::CoreData& record = driver.settings();
    JobStream stream(driver, output, setupPrelude() + setupFeatures(record, ppd, jobFeatureSelections(record)),
                     request.pageSettings);
    RenderResult result;
    result.settings = record;
    try {
        result.document = scanDocument(input, stream);
    } catch (...) {
        stream.abandon();
        throw;
    }
    result.nupAnswer = driver.nupAnswer();
    // The job ends with the plug-in taken down and every helper reference
    // it took given back.
    driver.finish();
    return result;
}

}  // namespace tvzx::host
