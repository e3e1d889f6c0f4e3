// The print spooler of a system that has none: the part of the spooler's
// behaviour the simulated driver host and the plug-in must agree on. It is
// one shared library that the host, the plug-in module and the tab worker
// all load, so that they see one copy of it within a process:
// - the user a thread renders for, as the spooler impersonates the user of
//   the job it renders on that thread;
// - printer handles, each of which carries the printer's name and the
//   registry export file that holds its data;
// - the printers known by name, kept as one link per printer in a folder of
//   the user's temporary files, so that a worker process finds the printer
//   its job prints through.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tvzx::platform::standin {

// Makes the calling thread render for this user (UTF-8) until
// revertToSelf; an empty name reverts.
void impersonate(std::string_view user);
// Ends the calling thread's impersonation.
void revertToSelf();
// Returns the user the calling thread renders for; nothing when it runs as
// the process's own user.
std::optional<std::string> impersonatedUser();

struct PrinterRecord {
    std::string name;      // UTF-8
    std::string dataPath;  // the registry export file; empty: no data
};

// Lists the printer of this name with the data file at this path (made
// absolute), replacing an earlier printer of that name. Returns false when
// the list cannot be written.
bool addPrinter(std::string_view name, std::string_view dataPath);
// Opens the printer of this name: a printer open in this process first,
// else the listed one. Returns a handle for closePrinter; null when no
// printer has that name.
void* openPrinter(std::string_view name);
// Opens a printer that need not be listed. Returns a handle for
// closePrinter; never null.
void* openPrinter(PrinterRecord record);
// Closes a handle that openPrinter returned; any other value is ignored.
void closePrinter(void* handle);
// Returns the printer behind an open handle; nothing for a null, closed or
// foreign one.
std::optional<PrinterRecord> printerOf(const void* handle);

}  // namespace tvzx::platform::standin
