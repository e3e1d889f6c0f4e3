#include "app.h"

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace tvzx::printer_app {
namespace {

constexpr std::string_view kStateFileName = "/tvzx-printer-app.state";
constexpr std::string_view kSettingsFolder = "/settings";
constexpr std::string_view kSettingsExtension = ".settings";
constexpr std::string_view kConfigExtension = ".conf";
constexpr std::string_view kDataExtension = ".reg";
constexpr std::size_t kMaxNameLength = 64;
// The name of the attribute that holds the kept texts.
constexpr const char* kPinAttribute = "tvzx-kept-text";

bool readFile(const std::string& path, std::string& text) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    std::ostringstream bytes;
    bytes << file.rdbuf();
    text = bytes.str();
    return true;
}

// Writes the file through a temporary one renamed over it, so a reader
// never sees half of it.
bool writeFile(const std::string& path, const std::string& text) {
    const std::string temporary = path + ".new";
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        if (!file) return false;
        file << text;
        if (!file.flush()) return false;
    }
    return std::rename(temporary.c_str(), path.c_str()) == 0;
}

// A saved settings file is named by letters, digits, '-' and '_' alone, so
// a name never leaves the folder.
bool isPlainName(std::string_view name) {
    if (name.empty() || name.size() > kMaxNameLength) return false;
    for (char c : name)
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_'))
            return false;
    return true;
}

}  // namespace

std::string App::stateFile() const { return stateDirectory + std::string(kStateFileName); }

std::string App::settingsDirectory() const { return stateDirectory + std::string(kSettingsFolder); }

std::string App::configPath(pappl_printer_t* printer) const {
    return stateDirectory + "/printer-" + std::to_string(papplPrinterGetID(printer));
}

PrinterConfig App::config(pappl_printer_t* printer) {
    std::lock_guard lock(mutex_);
    std::string text;
    if (!readFile(configPath(printer) + std::string(kConfigExtension), text)) return PrinterConfig{};
    std::string error;
    std::optional<PrinterConfig> config = parsePrinterConfig(text, error);
    if (!config) {
        papplLogPrinter(printer, PAPPL_LOGLEVEL_ERROR, "Ignoring the printer's configuration: %s", error.c_str());
        return PrinterConfig{};
    }
    return *config;
}

bool App::saveConfig(pappl_printer_t* printer, const PrinterConfig& config) {
    std::lock_guard lock(mutex_);
    const std::string base = configPath(printer);
    return writeFile(base + std::string(kConfigExtension), formatPrinterConfig(config)) &&
           writeFile(base + std::string(kDataExtension), printerDataFile(papplPrinterGetName(printer), config));
}

std::string App::printerDataPath(pappl_printer_t* printer) {
    const std::string path = configPath(printer) + std::string(kDataExtension);
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) saveConfig(printer, config(printer));
    return path;
}

std::optional<std::string> App::savedSettings(std::string_view name) const {
    if (!isPlainName(name)) return std::nullopt;
    std::string text;
    if (!readFile(settingsDirectory() + "/" + std::string(name) + std::string(kSettingsExtension), text)) return std::nullopt;
    return text;
}

const char* App::intern(std::string_view text) {
    std::lock_guard lock(mutex_);
    auto found = interned_.find(text);
    if (found == interned_.end()) found = interned_.emplace(text).first;
    return found->c_str();
}

std::mutex& App::deviceLock(pappl_printer_t* printer) {
    std::lock_guard lock(mutex_);
    return deviceLocks_[papplPrinterGetID(printer)];
}

bool App::claimJob(pappl_printer_t* printer, int jobId) {
    std::lock_guard lock(mutex_);
    return recentJobs_[papplPrinterGetID(printer)].claim(jobId);
}

std::string App::stageOutput(pappl_printer_t* printer, int jobId, const std::string& file) {
    const int printerId = papplPrinterGetID(printer);
    std::lock_guard lock(outputsMutex_);
    return outputs_[printerId].stage(jobId, file);
}

void App::outputStarted(int printerId, int jobId) {
    std::lock_guard lock(outputsMutex_);
    if (auto found = outputs_.find(printerId); found != outputs_.end()) found->second.started(jobId);
}

void App::outputEnded(int printerId, int jobId) {
    std::lock_guard lock(outputsMutex_);
    if (auto found = outputs_.find(printerId); found != outputs_.end()) found->second.ended(jobId);
}

void App::pinTexts(ipp_t* attributes) {
    std::lock_guard lock(mutex_);
    if (pins_ == nullptr) pins_ = ippNew();
    // Each value is added to an attribute set of our own, which takes a
    // reference on libcups's shared copy of the same text.
    const auto pin = [this](const char* text) {
        if (text == nullptr || pinnedTexts_.contains(std::string_view(text))) return;
        pinnedTexts_.emplace(text);
        ippAddString(pins_, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, kPinAttribute, nullptr, text);
    };
    for (ipp_attribute_t* attribute = ippFirstAttribute(attributes); attribute != nullptr;
         attribute = ippNextAttribute(attributes)) {
        switch (ippGetValueTag(attribute)) {
        case IPP_TAG_TEXT: case IPP_TAG_NAME: case IPP_TAG_KEYWORD: case IPP_TAG_URI: case IPP_TAG_URISCHEME:
        case IPP_TAG_CHARSET: case IPP_TAG_LANGUAGE: case IPP_TAG_MIMETYPE: case IPP_TAG_TEXTLANG:
        case IPP_TAG_NAMELANG:
            for (int i = 0; i < ippGetCount(attribute); ++i) {
                const char* language = nullptr;
                pin(ippGetString(attribute, i, &language));
                pin(language);
            }
            break;
        default:
            break;
        }
    }
}

App::~App() { ippDelete(pins_); }

}  // namespace tvzx::printer_app
