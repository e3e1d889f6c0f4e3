// The log the notification library keeps: one line per announced job.
#pragma once

#include <string>
#include <string_view>

namespace tvzx::notify {

// The log's file name inside the user's temporary directory, the working
// directory of a job that names no printer.
inline constexpr std::u16string_view kJobLogName = u"tvzx_jobs.log";

// Returns the log line of one job: the identity, a tab and the document
// name, ended by a line feed. Backslashes and control characters of either
// text are written as "\\" and "\xNN", so every job stays on one line.
std::string jobLogLine(std::string_view jobIdentity, std::string_view documentText);

// Appends the line of one job to the log. Returns whether the whole line
// was written.
bool appendJobLog(std::string_view jobIdentity, std::string_view documentText);

}  // namespace tvzx::notify
