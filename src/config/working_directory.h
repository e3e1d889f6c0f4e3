// The directory the plug-in writes its temporary files to: the first of a
// few candidates where a file can really be created.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "config/windows_version.h"
#include "platform/file_system.h"
#include "platform/printer_data.h"
#include "platform/spooler.h"

namespace tvzx::config {

// Room for the directory with its terminator, in characters.
inline constexpr std::size_t kWorkingDirectoryCapacity = 65536;
// How many unused scratch names the write test tries before it gives up.
inline constexpr std::uint32_t kScratchNameAttempts = 47110815;
// The printer data value that names the spooler's directory.
inline constexpr std::string_view kDefaultSpoolDirectoryValue = "DefaultSpoolDirectory";

// Returns the name of the scratch file of this serial number: "tvz", eight
// upper-case hexadecimal digits and ".tmp".
std::u16string scratchFileName(std::uint32_t serial);

// Returns whether a file can be created in the directory: it exists, and a
// new scratch file under a name not yet used (serials from `firstSerial`,
// at most `attempts` tried) can be created and is removed again.
bool passesWriteTest(platform::FileSystem& files, std::u16string_view directory, std::uint32_t firstSerial,
                     std::uint32_t attempts = kScratchNameAttempts);

struct WorkingDirectoryQuery {
    WindowsVersionClass versionClass = WindowsVersionClass::Undetermined;
    // The printer's data store; null without a printer handle, which also
    // leaves out the machine's shared application data.
    const platform::PrinterData* printer = nullptr;
    std::uint32_t firstSerial = 0;
    std::uint32_t attempts = kScratchNameAttempts;
};

// Returns the first candidate that passes the write test, ending in a path
// separator: the user's temporary directory on systems older than class 4;
// with a printer, the machine's shared application data; the printer's
// "DefaultSpoolDirectory"; the user's temporary directory on class 4 and
// later. A candidate whose result would not fit kWorkingDirectoryCapacity
// does not pass. Nothing when none passes.
std::optional<std::u16string> workingDirectory(platform::FileSystem& files, const WorkingDirectoryQuery& query);

// Returns the working directory of the running system for the printer
// behind `printer` (may be null), as the spooler reports its data.
std::optional<std::u16string> systemWorkingDirectory(platform::Spooler& spooler, void* printer);

}  // namespace tvzx::config
