#include "config/working_directory.h"

#include <memory>
#include <vector>

#include "config/printer_text.h"
#include "config/runtime_random.h"

namespace tvzx::config {
namespace {

constexpr std::u16string_view kScratchPrefix = u"tvz";
constexpr std::u16string_view kScratchExtension = u".tmp";
constexpr std::u16string_view kHexDigits = u"0123456789ABCDEF";
constexpr unsigned kSerialDigits = 8;

// Returns the spooler's directory from the printer's data; nothing when
// the value is missing or empty.
std::optional<std::u16string> spoolDirectoryOf(const platform::PrinterData& printer) {
    const std::optional<platform::PrinterDataValue> value = printer.read(kDefaultSpoolDirectoryValue);
    if (!value) return std::nullopt;
    std::u16string text = wideTextOf(value->data);
    if (text.empty()) return std::nullopt;
    return text;
}

enum class Candidate { Temporary, CommonAppData, SpoolDirectory };

// Returns the path of one candidate; nothing when the system has none.
std::optional<std::u16string> candidatePath(Candidate candidate, platform::FileSystem& files,
                                            const WorkingDirectoryQuery& query) {
    switch (candidate) {
    case Candidate::Temporary:
        return files.temporaryDirectory();
    case Candidate::CommonAppData:
        return files.commonAppDataDirectory();
    case Candidate::SpoolDirectory:
        if (query.printer == nullptr) return std::nullopt;
        return spoolDirectoryOf(*query.printer);
    }
    return std::nullopt;
}

}  // namespace

std::u16string scratchFileName(std::uint32_t serial) {
    std::u16string name(kScratchPrefix);
    for (unsigned digit = kSerialDigits; digit-- > 0;) name.push_back(kHexDigits[(serial >> (digit * 4)) & 0xF]);
    name += kScratchExtension;
    return name;
}

bool passesWriteTest(platform::FileSystem& files, std::u16string_view directory, std::uint32_t firstSerial,
                     std::uint32_t attempts) {
    if (directory.empty() || !files.isDirectory(directory)) return false;
    const std::u16string prefix = platform::withSeparator(directory);
    for (std::uint32_t attempt = 0; attempt < attempts; ++attempt) {
        const std::u16string path = prefix + scratchFileName(firstSerial + attempt);
        // The first unused name is the one tried; whether the file can be
        // made there decides, unless another process took the name in the
        // meantime (a job started in the same second draws the same names).
        if (files.exists(path)) continue;
        if (files.createScratchFile(path)) return true;
        if (!files.exists(path)) return false;
    }
    return false;
}

std::optional<std::u16string> workingDirectory(platform::FileSystem& files, const WorkingDirectoryQuery& query) {
    // Older systems prefer the user's own temporary directory; newer ones
    // keep it for last, behind the shared places.
    const bool temporaryFirst = query.versionClass < WindowsVersionClass::Version6_0;
    std::vector<Candidate> order;
    if (temporaryFirst) order.push_back(Candidate::Temporary);
    if (query.printer != nullptr) {
        order.push_back(Candidate::CommonAppData);
        order.push_back(Candidate::SpoolDirectory);
    }
    if (!temporaryFirst) order.push_back(Candidate::Temporary);
    for (Candidate candidate : order) {
        const std::optional<std::u16string> directory = candidatePath(candidate, files, query);
        if (!directory || !passesWriteTest(files, *directory, query.firstSerial, query.attempts)) continue;
        std::u16string result = platform::withSeparator(*directory);
        // A directory too long for the callers' buffers is passed over.
        if (result.size() >= kWorkingDirectoryCapacity) continue;
        return result;
    }
    return std::nullopt;
}

std::optional<std::u16string> systemWorkingDirectory(platform::Spooler& spooler, void* printer) {
    const std::unique_ptr<platform::PrinterData> data = printer != nullptr ? spooler.printerData(printer) : nullptr;
    WorkingDirectoryQuery query;
    query.versionClass = windowsVersionClass();
    query.printer = data.get();
    // Scratch names start somewhere new each time, so that a crowded
    // directory does not cost the same attempts again.
    query.firstSerial = (runtimeRandom() << 16) ^ runtimeRandom();
    return workingDirectory(platform::systemFileSystem(), query);
}

}  // namespace tvzx::config
