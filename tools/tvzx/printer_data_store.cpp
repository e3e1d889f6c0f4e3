#include "printer_data_store.h"

#include <algorithm>
#include <filesystem>

#include "command_line.h"
#include "files.h"
#include "platform/registry_file.h"
#include "platform/registry_printer.h"

#ifdef _WIN32
#include <windows.h>
#include <winspool.h>

#include "platform/win32/wide_text.h"
#endif

namespace tvzx::cli {
namespace {

// The printer's keys in a registry export file; the file is written whole
// at commit, so a refused value leaves it as it was.
class FileStore final : public PrinterDataStore {
public:
    FileStore(std::string path, platform::RegistryFile file, std::string printerPath)
        : path_(std::move(path)), file_(std::move(file)), printerPath_(std::move(printerPath)) {}

    std::optional<platform::PrinterDataValue> read(std::string_view key, std::string_view name) const override {
        const platform::RegistryKey* found = file_.findKey(keyPath(key));
        if (found == nullptr) return std::nullopt;
        const platform::RegistryValue* value = found->find(name);
        if (value == nullptr) return std::nullopt;
        return platform::PrinterDataValue{value->type, value->data};
    }

    void write(std::string_view key, std::string_view name, const platform::PrinterDataValue& value) override {
        const std::string path = keyPath(key);
        auto found = std::find_if(file_.keys.begin(), file_.keys.end(),
                                  [&path](const platform::RegistryKey& k) { return platform::sameRegistryName(k.path, path); });
        if (found == file_.keys.end()) found = file_.keys.insert(file_.keys.end(), platform::RegistryKey{path, {}});
        for (platform::RegistryValue& existing : found->values)
            if (platform::sameRegistryName(existing.name, name)) {
                existing.type = value.type;
                existing.data = value.data;
                return;
            }
        found->values.push_back({std::string(name), value.type, value.data});
    }

    void commit() override { writeFileAtomically(path_, platform::formatRegistryFile(file_)); }

private:
    std::string keyPath(std::string_view key) const { return printerPath_ + "\\" + std::string(key); }

    std::string path_;
    platform::RegistryFile file_;
    std::string printerPath_;
};

#ifdef _WIN32
// What the spooler's refusals mean to the one running the command.
std::string refusalText(const std::string& printerName, DWORD error) {
    if (error == ERROR_ACCESS_DENIED)
        return "printer \"" + printerName + "\": changing its data needs administrator rights; run the command as an administrator";
    if (error == ERROR_INVALID_PRINTER_NAME) return "the spooler has no printer \"" + printerName + "\"";
    return "printer \"" + printerName + "\": the spooler refused (error " + std::to_string(error) + ")";
}

// A spooler printer opened for administration, closed when the store goes.
class SpoolerStore final : public PrinterDataStore {
public:
    SpoolerStore(HANDLE printer, std::string name) : printer_(printer), name_(std::move(name)) {}
    ~SpoolerStore() override { ClosePrinter(printer_); }
    SpoolerStore(const SpoolerStore&) = delete;
    SpoolerStore& operator=(const SpoolerStore&) = delete;

    std::optional<platform::PrinterDataValue> read(std::string_view key, std::string_view name) const override {
        const std::wstring wideKey = platform::win32::wideOfUtf8(key);
        const std::wstring wideName = platform::win32::wideOfUtf8(name);
        DWORD type = 0;
        DWORD needed = 0;
        // The first call asks for the size, the second reads.
        DWORD status = GetPrinterDataExW(printer_, wideKey.c_str(), wideName.c_str(), &type, nullptr, 0, &needed);
        if (status != ERROR_MORE_DATA && status != ERROR_SUCCESS) return std::nullopt;
        platform::PrinterDataValue value{0, std::vector<std::uint8_t>(needed)};
        status = GetPrinterDataExW(printer_, wideKey.c_str(), wideName.c_str(), &type, value.data.data(), needed, &needed);
        if (status != ERROR_SUCCESS) return std::nullopt;
        value.type = type;
        value.data.resize(needed);
        return value;
    }

    void write(std::string_view key, std::string_view name, const platform::PrinterDataValue& value) override {
        const std::wstring wideKey = platform::win32::wideOfUtf8(key);
        const std::wstring wideName = platform::win32::wideOfUtf8(name);
        std::vector<std::uint8_t> data = value.data;
        const DWORD status = SetPrinterDataExW(printer_, wideKey.c_str(), wideName.c_str(), value.type, data.data(),
                                               static_cast<DWORD>(data.size()));
        if (status != ERROR_SUCCESS) throw UsageError(refusalText(name_, status) + " for " + std::string(name));
    }

    // The spooler keeps every value as it is set.
    void commit() override {}

private:
    HANDLE printer_;
    std::string name_;
};
#endif

}  // namespace

std::unique_ptr<PrinterDataStore> openFileStore(const std::string& path, const std::string& printerName) {
    std::string printerPath = std::string(kPrintersPath) + printerName;
    if (!std::filesystem::exists(path)) return std::make_unique<FileStore>(path, platform::RegistryFile{}, printerPath);
    // An existing file keeps the keys it has; it must be this printer's.
    platform::RegistryParse parsed = platform::parseRegistryFile(readFileBytes(path));
    if (parsed.error) throw UsageError(path + ":" + std::to_string(parsed.error->line) + ": " + parsed.error->message);
    const platform::RegistryPrinterLoad load = platform::findRegistryPrinter(parsed.file);
    if (load.printer) {
        const auto name = platform::utf16FromUtf8(printerName);
        if (!name || *name != load.printer->name())
            throw UsageError(path + ": holds the data of another printer, not of \"" + printerName + "\"");
        // The printer's key stays where the file has it.
        const std::string dataKey = "\\" + std::string(platform::kDriverDataKey);
        for (const platform::RegistryKey& key : parsed.file.keys)
            if (key.path.size() > dataKey.size() &&
                platform::sameRegistryName(std::string_view(key.path).substr(key.path.size() - dataKey.size()), dataKey)) {
                printerPath = key.path.substr(0, key.path.size() - dataKey.size());
                break;
            }
    }
    return std::make_unique<FileStore>(path, std::move(parsed.file), std::move(printerPath));
}

std::unique_ptr<PrinterDataStore> openSpoolerStore(const std::string& printerName) {
#ifdef _WIN32
    std::wstring name = platform::win32::wideOfUtf8(printerName);
    PRINTER_DEFAULTSW access{nullptr, nullptr, PRINTER_ALL_ACCESS};
    HANDLE printer = nullptr;
    if (!OpenPrinterW(name.data(), &printer, &access) || printer == nullptr)
        throw UsageError(refusalText(printerName, GetLastError()));
    return std::make_unique<SpoolerStore>(printer, printerName);
#else
    throw UsageError("this system has no print spooler for printer \"" + printerName +
                     "\"; name the printer's data file with --printer-data");
#endif
}

}  // namespace tvzx::cli
