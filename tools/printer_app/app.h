// The printer application's own state beside PAPPL's: where it keeps its
// files, and each printer's configuration. One object per process, handed
// to every PAPPL callback as its data.
#pragma once

#include <algorithm>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>

extern "C" {
#include <pappl/pappl.h>
}

#include "job_outputs.h"
#include "printer_config.h"

namespace tvzx::printer_app {

inline constexpr const char* kProgramName = "tvzx-printer-app";
inline constexpr const char* kDriverName = "tvzx";
inline constexpr const char* kDriverDescription = "TVZX Production Printer";
inline constexpr const char* kMakeAndModel = "TVZX Production Printer";
inline constexpr const char* kDocumentFormat = "application/postscript";
inline constexpr const char* kPdfFormat = "application/pdf";

// The jobs a printer has lately begun to print, so that a job PAPPL hands to
// two threads at once (see renderToDevice) prints once. Keeps the last
// kRemembered job ids.
class RecentJobs {
public:
    static constexpr std::size_t kRemembered = 64;
    // Returns true when the job was not among the recent ones, and remembers it.
    bool claim(int jobId) {
        if (std::find(ids_.begin(), ids_.end(), jobId) != ids_.end()) return false;
        if (ids_.size() == kRemembered) ids_.pop_front();
        ids_.push_back(jobId);
        return true;
    }

private:
    std::deque<int> ids_;
};

class App {
public:
    // The folder the state, the spool, the printers' configurations and
    // their saved settings files live in.
    std::string stateDirectory;
    bool dnssd = true;

    // Returns the state file PAPPL saves the system and its printers to.
    std::string stateFile() const;
    // Returns the folder of the printer's saved settings files.
    std::string settingsDirectory() const;
    // Returns the printer's configuration: its file, else the defaults.
    PrinterConfig config(pappl_printer_t* printer);
    // Keeps the printer's configuration in its file and rewrites the
    // printer data file the jobs read. Returns false when a file cannot be
    // written.
    bool saveConfig(pappl_printer_t* printer, const PrinterConfig& config);
    // Returns the printer data file of the printer, written from its
    // configuration when it does not exist yet.
    std::string printerDataPath(pappl_printer_t* printer);
    // Returns the text of a saved settings file of the printer; nothing when
    // the name is not a plain file name or no such file exists.
    std::optional<std::string> savedSettings(std::string_view name) const;
    // Returns a lasting copy of the text for PAPPL's tables, which keep
    // pointers.
    const char* intern(std::string_view text);
    // Returns the lock a job of the printer holds while it writes to the
    // printer's device.
    std::mutex& deviceLock(pappl_printer_t* printer);
    // Returns true when no other thread has begun to print this job of the
    // printer lately; from then on, false for it.
    bool claimJob(pappl_printer_t* printer, int jobId);
    // Returns the partial file a job of the printer writes its folder output
    // to (see JobOutputs); it becomes `file` when the job ends.
    std::string stageOutput(pappl_printer_t* printer, int jobId, const std::string& file);
    // A start and the end of a start of a printer's job, from PAPPL's events
    // (which come with the printer locked: these call nothing of PAPPL's).
    void outputStarted(int printerId, int jobId);
    void outputEnded(int printerId, int jobId);
    // Keeps every text value of the attributes alive for the life of the
    // process (see applyConfig); each distinct text is kept once.
    void pinTexts(ipp_t* attributes);

    App() = default;
    App(const App&) = delete;
    App& operator=(const App&) = delete;
    ~App();

private:
    std::string configPath(pappl_printer_t* printer) const;
    std::mutex mutex_;
    std::set<std::string, std::less<>> interned_;
    std::map<int, std::mutex> deviceLocks_;
    std::map<int, RecentJobs> recentJobs_;
    // Apart from mutex_, which is held while PAPPL is called.
    std::mutex outputsMutex_;
    std::map<int, JobOutputs> outputs_;
    std::set<std::string, std::less<>> pinnedTexts_;
    ipp_t* pins_ = nullptr;
};

// Fills the driver data and attributes of a printer with this configuration.
void fillDriverData(App& app, const PrinterConfig& config, pappl_pr_driver_data_t* data, ipp_t** attributes);

// Gives a printer the driver data of its configuration.
void applyConfig(App& app, pappl_printer_t* printer, const PrinterConfig& config);

// The job callbacks of the driver and the PDF filter.
bool printPostScript(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t* device);
bool startRasterJob(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t* device);
bool startRasterPage(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t* device, unsigned page);
bool writeRasterLine(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t* device, unsigned y,
                     const unsigned char* line);
bool endRasterPage(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t* device, unsigned page);
bool endRasterJob(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t* device);
bool printPdf(pappl_job_t* job, pappl_device_t* device, void* data);
// PAPPL's event callback: keeps jobs' folder output whole (see JobOutputs).
void jobEvent(pappl_system_t* system, pappl_printer_t* printer, pappl_job_t* job, pappl_event_t event, void* data);

// The family's web page of a printer's installed options, network address
// and default duplex ("?printer=ID"; the first printer without it).
inline constexpr const char* kOptionsPagePath = "/tvzx-options";
void addOptionsPage(App& app, pappl_system_t* system);

// Returns the application of the printer's system.
App& appOf(pappl_printer_t* printer);

}  // namespace tvzx::printer_app
