// One CUPS job as the simulated driver host prints it: the filter's
// arguments, the job's options and the queue's PPD (its installed options
// and defaults) turned into a render request and the printer's data.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <sys/types.h>

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

// A user as the system checks their rights to a file.
struct UserIdentity {
    uid_t uid = 0;
    std::vector<gid_t> groups;  // every group the user is a member of
};

enum class Access { Read, Search };

// Returns the user of the name with all their groups; nothing for a name
// the system does not know.
std::optional<UserIdentity> findUser(const std::string& name);

// Returns whether the user may read (a file) or search (a folder) what has
// this status, by its owner, group and other permission bits.
bool userMay(const UserIdentity& user, const struct stat& status, Access access);

// Returns the job. The PPD has the queue's defaults and the job's options
// marked already. A settings file the job names is read only when the
// job's user may read it. Throws OptionRefused.
QueueJob readQueueJob(const FilterArguments& arguments, ppd_file_t* ppd, int optionCount, cups_option_t* options);

// Settles the copies the printer makes: CUPS's PostScript filter makes
// collated copies itself for a printer without a Collate feature and says in
// the document how many it left to the printer (`left`); without that, the
// copies CUPS counted in the arguments. Returns the copies and sets them in
// the job.
std::uint32_t settleCopies(QueueJob& job, std::uint32_t counted, std::optional<std::uint32_t> left);

}  // namespace tvzx::cups_filter
