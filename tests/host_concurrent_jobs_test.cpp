// Many jobs at once through one loaded module, as a spooler renders the jobs
// of several printers on several threads: every job's stream must be the
// stream of the same job rendered alone, apart from the job identity. A job
// that picked up another job's user, document, printer or settings differs.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <thread>

#include "host/render_job.h"
#include "host/sample_document.h"
#include "host/sample_jobs.h"

namespace {

namespace fs = std::filesystem;

// The distinct jobs each run kJobs / kDistinctJobs times, never next to
// themselves in the order the threads take them; every tenth prints tab sheets.
constexpr std::size_t kJobs = 400, kThreads = 8, kDistinctJobs = 50, kPrinters = 4, kTabJobEvery = 10;

// A printer data file written from the registry export format: each printer
// has a name of its own and its own default duplex.
std::string printerFile(std::size_t printer) {
    return "Windows Registry Editor Version 5.00\r\n\r\n"
           "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\TVZX Parallel " +
           std::to_string(printer) + "\\PrinterDriverData]\r\n\"DefaultDuplex\"=dword:0000000" +
           std::to_string(printer % 2) + "\r\n";
}

tvzx::host::RenderRequest distinctJob(std::size_t index, const std::vector<std::string>& printers) {
    tvzx::host::RenderRequest request;
    request.userName = "user" + std::to_string(index);
    request.documentName = "Document " + std::to_string(index * 7);
    request.jobId = static_cast<std::uint32_t>(100 + index);
    request.printerDataPath = printers[index % printers.size()];
    if (index % kTabJobEvery == 0) request.startingSettings = tvzx::host::sampleTabSettings();
    static const char* const kPapers[] = {"PageSize=A4", "PageSize=Letter", "PageSize=A3"};
    for (const std::string& setting : {std::string(kPapers[index % 3]), "NumCopies=" + std::to_string(1 + index % 9),
                                       std::string(index % 4 == 1 ? "Orientation=Land" : ""),
                                       std::string(index % 5 == 2 ? "Staple=2StaplesWide" : "")})
        if (!setting.empty()) request.settings.push_back({"--set", setting, true});
    return request;
}

std::string render(const tvzx::host::RenderRequest& request) {
    tvzx::host::MemorySource source(tvzx::host::sampleDocument());
    tvzx::StringSink sink;
    tvzx::host::renderDocument(request, source, sink);
    // The job identity is made anew for every job.
    return std::regex_replace(sink.text, std::regex("@PJL SET DRIVERJOBID=\"[^\"]*\""), "@PJL SET DRIVERJOBID=\"*\"");
}

TEST(ConcurrentJobs, EachOfManyJobsOnManyThreadsEqualsTheSameJobAlone) {
    const fs::path dir = fs::temp_directory_path() / ("tvzx-concurrent-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::vector<std::string> printers;
    for (std::size_t printer = 0; printer < kPrinters; ++printer) {
        printers.push_back((dir / ("printer" + std::to_string(printer) + ".reg")).string());
        std::ofstream(printers.back(), std::ios::binary) << printerFile(printer);
    }
    std::vector<tvzx::host::RenderRequest> jobs;
    std::vector<std::string> alone;
    for (std::size_t index = 0; index < kDistinctJobs; ++index)
        alone.push_back(render(jobs.emplace_back(distinctJob(index, printers))));
    // Each job carries its own user and document; the tab jobs their tabs.
    EXPECT_NE(alone[3].find("%%TARVO-ForEx: user3\r\n"), std::string::npos);
    EXPECT_NE(alone[3].find("Document 21"), std::string::npos);
    EXPECT_NE(alone[kTabJobEvery].find("%%Title: Inserted Tab before 2"), std::string::npos);

    std::vector<std::string> together(kJobs), failures(kJobs);
    std::atomic<std::size_t> next{0};
    std::vector<std::thread> threads;
    for (std::size_t thread = 0; thread < kThreads; ++thread)
        threads.emplace_back([&] {
            for (std::size_t job = next++; job < kJobs; job = next++) {
                try {
                    together[job] = render(jobs[job % kDistinctJobs]);
                } catch (const std::exception& error) {
                    failures[job] = error.what();
                }
            }
        });
    for (std::thread& thread : threads) thread.join();

    std::size_t differing = 0;
    for (std::size_t job = 0; job < kJobs; ++job) {
        EXPECT_EQ(failures[job], "") << "job " << job;
        if (together[job] != alone[job % kDistinctJobs]) ++differing;
    }
    EXPECT_EQ(differing, 0u) << "of " << kJobs << " jobs";
    fs::remove_all(dir);
}

}  // namespace
