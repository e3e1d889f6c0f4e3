// tvzx render: a PostScript document through the plug-in module, as the
// PostScript driver prints it, into the printer-ready stream.
#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "commands.h"
#include "config/registry_printer.h"
#include "files.h"
#include "host/byte_source.h"
#include "host/host_error.h"
#include "host/output_file.h"
#include "host/render_job.h"
#include "host/sample_document.h"

namespace tvzx::cli {
namespace {

struct RenderOptions {
    std::optional<std::string> input;
    std::string output;  // empty: standard output
    host::RenderRequest request;
    bool documentNamed = false;
    std::string printerData;  // registry export file of the printer's data
};

std::uint32_t jobIdOf(const std::string& text) {
    std::uint32_t id = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), id);
    if (error != std::errc() || end != text.data() + text.size()) throw UsageError("--job-id: '" + text + "' is not a job id");
    return id;
}

RenderOptions readOptions(Arguments arguments) {
    RenderOptions options;
    while (arguments.more()) {
        const std::string word = arguments.take();
        if (word == "-o") options.output = arguments.value(word);
        else if (word == "--set") options.request.settings.push_back({"--set", arguments.value(word), true});
        else if (word == "--settings") {
            const std::string path = arguments.value(word);
            options.request.settings.push_back({path, readFileText(path), false});
        } else if (word == "--user") options.request.userName = arguments.value(word);
        else if (word == "--document") {
            options.request.documentName = arguments.value(word);
            options.documentNamed = true;
        } else if (word == "--job-id") options.request.jobId = jobIdOf(arguments.value(word));
        else if (word == "--module") options.request.modulePath = arguments.value(word);
        else if (word == "--printer-data") options.printerData = arguments.value(word);
        else if (word.starts_with("-") || options.input) Arguments::unknown(word);
        else options.input = word;
    }
    if (options.output.empty() == false && options.output == options.input)
        throw UsageError("-o " + options.output + ": the output would overwrite the input");
    return options;
}

}  // namespace

std::string renderCommand(Arguments arguments) {
    RenderOptions options = readOptions(std::move(arguments));
    // The module reads the printer's data from the file the variable names;
    // a file it could not read is refused here, where it can be reported.
    if (!options.printerData.empty()) {
        if (const auto load = config::loadRegistryPrinter(options.printerData); !load.printer) throw UsageError(load.error);
        ::setenv(std::string(config::kPrinterDataVariable).c_str(), std::filesystem::absolute(options.printerData).c_str(), 1);
    }
    // Without a document the built-in sample prints.
    std::unique_ptr<host::ByteSource> source;
    std::string inputName;
    try {
        if (options.input) {
            source = std::make_unique<host::FileSource>(*options.input);
            inputName = *options.input;
            if (!options.documentNamed) options.request.documentName = std::filesystem::path(*options.input).filename().string();
        } else {
            source = std::make_unique<host::MemorySource>(host::sampleDocument());
            inputName = "sample document";
            if (!options.documentNamed) options.request.documentName = std::string(host::kSampleDocumentName);
        }
        host::OutputFile output(options.output);
        host::renderDocument(options.request, *source, output);
        output.commit();
    } catch (const host::DocumentRefused& refusal) {
        throw UsageError(inputName + ": " + refusal.what());
    } catch (const host::HostError& error) {
        throw UsageError(error.what());
    }
    return {};
}

}  // namespace tvzx::cli
