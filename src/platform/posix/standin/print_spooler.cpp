#include "platform/posix/standin/print_spooler.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>

namespace tvzx::platform::standin {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kListFolderPrefix = "tvzx-printers-";
constexpr mode_t kPrivateFolder = 0700;

thread_local std::optional<std::string> threadUser;

// The handles open in this process, each owning its printer's record.
struct OpenPrinters {
    std::mutex lock;
    std::map<const void*, std::unique_ptr<PrinterRecord>> handles;
};

OpenPrinters& openPrinters() {
    // Never destroyed: a handle may be closed while the process exits.
    static auto* printers = new OpenPrinters();
    return *printers;
}

// Returns the folder of the listed printers, made when missing; nothing
// when it cannot be made or belongs to another user.
std::optional<fs::path> listFolder() {
    const char* configured = std::getenv("TMPDIR");
    const fs::path base = configured != nullptr && *configured != '\0' ? configured : "/tmp";
    const fs::path folder = base / (std::string(kListFolderPrefix) + std::to_string(geteuid()));
    ::mkdir(folder.c_str(), kPrivateFolder);
    struct stat status {};
    if (::lstat(folder.c_str(), &status) != 0 || !S_ISDIR(status.st_mode) || status.st_uid != geteuid())
        return std::nullopt;
    return folder;
}

// Returns the entry name of a printer: its name's bytes in hex, which no
// name can turn into a path.
std::string entryName(std::string_view printer) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string entry;
    for (unsigned char byte : printer) {
        entry += kDigits[byte >> 4];
        entry += kDigits[byte & 0x0F];
    }
    return entry;
}

void* registerHandle(std::unique_ptr<PrinterRecord> record) {
    OpenPrinters& printers = openPrinters();
    const std::lock_guard hold(printers.lock);
    void* handle = record.get();
    printers.handles.emplace(handle, std::move(record));
    return handle;
}

}  // namespace

void impersonate(std::string_view user) {
    if (user.empty()) threadUser.reset();
    else threadUser = std::string(user);
}

void revertToSelf() { threadUser.reset(); }

std::optional<std::string> impersonatedUser() { return threadUser; }

bool addPrinter(std::string_view name, std::string_view dataPath) {
    if (name.empty() || dataPath.empty()) return false;
    const auto folder = listFolder();
    if (!folder) return false;
    std::error_code error;
    const fs::path target = fs::absolute(fs::path(dataPath), error);
    if (error) return false;
    const fs::path entry = *folder / entryName(name);
    // A printer listed as it is already stays as it is.
    if (fs::read_symlink(entry, error) == target && !error) return true;
    // The link is made under a name of this thread's own and then renamed
    // over the entry, so a reader sees the old printer or the new, whole.
    const fs::path staging = *folder / (entryName(name) + "." + std::to_string(getpid()) + "." +
                                        std::to_string(reinterpret_cast<std::uintptr_t>(&threadUser)));
    ::unlink(staging.c_str());
    if (::symlink(target.c_str(), staging.c_str()) != 0) return false;
    if (std::rename(staging.c_str(), entry.c_str()) != 0) {
        ::unlink(staging.c_str());
        return false;
    }
    return true;
}

void* openPrinter(std::string_view name) {
    if (name.empty()) return nullptr;
    std::optional<PrinterRecord> open;
    {
        // A printer this process has open is the one its jobs mean.
        OpenPrinters& printers = openPrinters();
        const std::lock_guard hold(printers.lock);
        for (const auto& [handle, record] : printers.handles)
            if (record->name == name && !record->dataPath.empty()) open = *record;
    }
    if (open) return registerHandle(std::make_unique<PrinterRecord>(std::move(*open)));
    const auto folder = listFolder();
    if (!folder) return nullptr;
    std::error_code error;
    const fs::path target = fs::read_symlink(*folder / entryName(name), error);
    if (error) return nullptr;
    return registerHandle(std::make_unique<PrinterRecord>(PrinterRecord{std::string(name), target.string()}));
}

void* openPrinter(PrinterRecord record) { return registerHandle(std::make_unique<PrinterRecord>(std::move(record))); }

void closePrinter(void* handle) {
    OpenPrinters& printers = openPrinters();
    const std::lock_guard hold(printers.lock);
    printers.handles.erase(handle);
}

std::optional<PrinterRecord> printerOf(const void* handle) {
    if (handle == nullptr) return std::nullopt;
    OpenPrinters& printers = openPrinters();
    const std::lock_guard hold(printers.lock);
    const auto found = printers.handles.find(handle);
    if (found == printers.handles.end()) return std::nullopt;
    return *found->second;
}

}  // namespace tvzx::platform::standin
