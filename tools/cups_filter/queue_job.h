// One CUPS job as the simulated driver host prints it: the filter's
// arguments, the job's options and the queue's PPD (its installed options
// and defaults) turned into a render request and the printer's data.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include <cups/cups.h>
#include <cups/ppd.h>

#include "host/render_job.h"

namespace tvzx::cups_filter {

// An option value the job cannot be printed with. The message names the
// option and its value (never a password's).
class OptionRefused : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct FilterArguments {
    std::uint32_t jobId = 0;
    std::string user;
    std::string title;
    std::uint32_t copies = 1;
    std::string options;
    std::string printer;  // the queue's name
};

struct QueueJob {
    host::RenderRequest request;
    // The printer's data as a registry export, for the printer named in the
    // request: installed options, default duplex and network address.
    std::string printerData;
    // The job's settings, one "Name=Value" edit a line, passwords masked:
    // what the log may show.
    std::string settingsLog;
};

// Returns the job. The PPD has the queue's defaults and the job's options
// marked already. Throws OptionRefused.
QueueJob readQueueJob(const FilterArguments& arguments, ppd_file_t* ppd, int optionCount, cups_option_t* options);

// Sets the copies the printer makes, in place of the count of the arguments.
void setCopies(QueueJob& job, std::uint32_t copies);

}  // namespace tvzx::cups_filter
