// A job sent to a printer by name: the host opens it through the system's
// spooler and hands the plug-in that handle. A printer the spooler does not
// know stops the job before anything is written; the printer that the data
// file describes gives the same job as the simulated printer.
#include <gtest/gtest.h>

#include <regex>

#include "host/host_error.h"
#include "host/render_job.h"
#include "host/sample_document.h"

namespace {

constexpr const char* kUnknownPrinter = "TVZX No Such Printer";

TEST(SpoolerPrinter, AnUnknownPrinterStopsTheJobBeforeItStarts) {
    tvzx::host::RenderRequest request;
    request.printerName = kUnknownPrinter;
    tvzx::host::MemorySource source(tvzx::host::sampleDocument());
    tvzx::StringSink sink;
    try {
        tvzx::host::renderDocument(request, source, sink);
        FAIL() << "the job ran without its printer";
    } catch (const tvzx::host::HostError& error) {
        EXPECT_NE(std::string(error.what()).find(kUnknownPrinter), std::string::npos) << error.what();
    }
    EXPECT_TRUE(sink.text.empty());
}

#if !defined(_WIN32)
std::string render(const std::string& printerName) {
    tvzx::host::RenderRequest request;
    request.documentName = "Report2024";
    request.printerName = printerName;
    request.printerDataPath = std::string(TVZX_SOURCE_DIR) + "/data/sample_printer.reg";
    tvzx::host::MemorySource source(tvzx::host::sampleDocument());
    tvzx::StringSink sink;
    tvzx::host::renderDocument(request, source, sink);
    // The job identity changes with every job; everything else must not.
    return std::regex_replace(sink.text, std::regex("@PJL SET DRIVERJOBID=\"[^\"]*\""), "@PJL SET DRIVERJOBID=\"*\"");
}

// Without a spooler the printer data file describes the printer: it opens
// by its name, and only by its name.
TEST(SpoolerPrinter, ThePrinterOfTheDataFileGivesTheSimulatedPrintersJob) {
    EXPECT_EQ(render("TVZX Printer"), render(""));
    EXPECT_THROW(render("TVZX Printer 2"), tvzx::host::HostError);
}
#endif

}  // namespace
