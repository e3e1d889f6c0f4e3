// tvzx render: a PostScript document through the plug-in module, as the
// PostScript driver prints it, into the printer-ready stream.
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "commands.h"
#include "platform/registry_printer.h"
#include "files.h"
#include "job_settings.h"
#include "preview.h"
#include "host/byte_source.h"
#include "host/file_descriptors.h"
#include "host/host_error.h"
#include "host/output_file.h"
#include "host/render_job.h"
#include "host/sample_document.h"
#include "host/sample_jobs.h"
#include "platform/path_text.h"

namespace tvzx::cli {
namespace {

// The input word that names standard input.
constexpr std::string_view kStandardInputWord = "-";
constexpr std::string_view kStandardInputName = "standard input";
constexpr std::string_view kDefaultSample = "plain";

struct RenderOptions {
    std::optional<std::string> input;
    std::string output;  // empty: standard output
    host::RenderRequest request;
    bool documentNamed = false;
    std::string printerData;  // registry export file of the printer's data
    JobSettingsOptions jobSettings;
    std::string sample = std::string(kDefaultSample);  // the built-in job printed without a document
    bool sampleNamed = false;
    std::string preview;  // prefix of the page pictures; empty: none
};

RenderOptions readOptions(Arguments arguments) {
    RenderOptions options;
    while (arguments.more()) {
        const std::string word = arguments.take();
        if (takeJobSettingsOption(word, arguments, options.jobSettings)) continue;
        if (word == "-o") options.output = arguments.value(word);
        else if (word == "--user") options.request.userName = arguments.value(word);
        else if (word == "--document") {
            options.request.documentName = arguments.value(word);
            options.documentNamed = true;
        } else if (word == "--job-id") options.request.jobId = jobIdOf(arguments.value(word));
        else if (word == "--module") options.request.modulePath = arguments.value(word);
        else if (word == "--printer") {
            options.request.printerName = arguments.value(word);
            if (options.request.printerName.empty()) throw UsageError("--printer: the printer needs a name");
        }
        else if (word == "--preview") options.preview = arguments.value(word);
        else if (word == "--sample") {
            options.sample = arguments.value(word);
            options.sampleNamed = true;
        }
        else if ((word.starts_with("-") && word != kStandardInputWord) || options.input) Arguments::unknown(word);
        else options.input = word;
    }
    options.printerData = options.jobSettings.printerData;
    options.request.settings = settingsEdits(options.jobSettings);
    if (options.output.empty() == false && options.output == options.input)
        throw UsageError("-o " + options.output + ": the output would overwrite the input");
    if (!options.preview.empty() && options.output.empty()) throw UsageError("--preview needs -o FILE");
    if (options.sampleNamed && options.input) throw UsageError("--sample prints a built-in job instead of " + *options.input);
    // Without a named document a document on a pipe or in a file prints; the
    // sample prints for a person at a terminal, where nothing would come.
    if (!options.input && !options.sampleNamed && !host::files::standardInputIsTerminal())
        options.input = std::string(kStandardInputWord);
    return options;
}

}  // namespace

std::string renderCommand(Arguments arguments) {
    RenderOptions options = readOptions(std::move(arguments));
    if (options.jobSettings.raw) options.request.edits.mode = rules::EditMode::AsItStands;
    const std::optional<host::SampleJob> sample = host::sampleJob(options.sample);
    if (!sample)
        throw UsageError("--sample " + options.sample + ": no such sample job (" + std::string(host::kSampleJobNames) + ")");
    // A sample with tab sheets prints through a printer: the sample printer
    // unless another is named. Its data file serves where there is no
    // spooler; a system's spooler knows the printer by its name.
    const bool printsSample = !options.input;
    const bool samplePrinter = printsSample && sample->needsPrinter;
    if (samplePrinter && options.printerData.empty()) options.printerData = host::samplePrinterDataPath();
    // The printer's handle carries the file of its data; a file that
    // cannot be read is refused here, where it can be reported.
    std::u16string filePrinter;
    if (!options.printerData.empty()) {
        const auto load = platform::loadRegistryPrinter(options.printerData);
        if (!load.printer) throw UsageError(load.error);
        filePrinter = load.printer->name();
        options.request.edits.installed = CommandPrinter(options.printerData).installed();
        options.request.printerDataPath = std::filesystem::absolute(options.printerData).string();
    }
    // The sample goes to the printer its data file describes: for the
    // sample printer's file, the host's own printer.
    if (samplePrinter && options.request.printerName.empty()) options.request.printerName = platform::utf8Path(filePrinter);
    // Without a document the built-in sample prints.
    std::unique_ptr<host::ByteSource> source;
    std::string inputName;
    try {
        if (options.input == kStandardInputWord) {
            // A document on standard input has no file name to go by.
            source = std::make_unique<host::StandardInputSource>();
            inputName = kStandardInputName;
        } else if (options.input) {
            source = std::make_unique<host::FileSource>(*options.input);
            inputName = *options.input;
            if (!options.documentNamed) options.request.documentName = std::filesystem::path(*options.input).filename().string();
        } else {
            source = std::make_unique<host::MemorySource>(host::sampleDocument());
            inputName = "sample document";
            if (!options.documentNamed) options.request.documentName = std::string(sample->documentName);
            options.request.startingSettings = sample->settings;
        }
        host::OutputFile output(options.output);
        host::renderDocument(options.request, *source, output);
        output.commit();
    } catch (const host::DocumentRefused& refusal) {
        throw UsageError(inputName + ": " + refusal.what());
    } catch (const host::HostError& error) {
        throw UsageError(error.what());
    }
    if (options.preview.empty()) return {};
    // One line per picture, so a person or a script can open them.
    std::string listing;
    for (const std::string& page : renderPreview(options.output, options.preview)) listing += page + "\n";
    return listing;
}

}  // namespace tvzx::cli
