// tvzx_inf_check: checks a driver package folder as Windows setup reads it,
// and adds its driver to the spooler of a Wine test prefix.
//
//   tvzx_inf_check FOLDER [--version X.Y.Z] [--install]
//
// The INF (tvzx.inf) is opened with the setup API as an INF of the printer
// class; every section a line names must exist; every file of every CopyFiles
// section must be listed among the source files and lie in the folder; the
// plug-in configuration file must follow its grammar and name a module of
// the folder; the models must carry the PPD's names. --install then adds the
// driver the INF describes, with the folder's files, to the spooler; it
// refuses to run outside Wine, whose PostScript driver stands in for the
// system's. One line per check, "ok: WHAT" or "FAILED: WHAT (WHY)"; the exit
// status is 1 when a check failed, 2 for a usage error.
#include <windows.h>
#include <setupapi.h>
#include <shellapi.h>
#include <winspool.h>

#include <algorithm>
#include <cstdio>
#include <cwctype>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

constexpr const wchar_t* kInfName = L"tvzx.inf";
constexpr const wchar_t* kPrinterClass = L"Printer";
constexpr const wchar_t* kPrinterClassGuid = L"{4D36E979-E325-11CE-BFC1-08002BE10318}";
constexpr const wchar_t* kVersionSection = L"Version";
constexpr const wchar_t* kManufacturerSection = L"Manufacturer";
constexpr const wchar_t* kArchitecture = L"NTamd64";
constexpr const wchar_t* kSourceNamesSection = L"SourceDisksNames.amd64";
constexpr const wchar_t* kSourceFilesSection = L"SourceDisksFiles.amd64";
constexpr const wchar_t* kPackageSection = L"PrinterPackageInstallation.amd64";
constexpr const wchar_t* kDestinationSection = L"DestinationDirs";
constexpr const wchar_t* kDefaultDestination = L"DefaultDestDir";
// The printer driver directory of the environment being installed.
constexpr const wchar_t* kDriverDirectoryId = L"66000";
// The PostScript core driver the package depends on.
constexpr const wchar_t* kPostScriptCore = L"{D20EA372-DD35-4950-9ED8-A6335AFE79F1}";
constexpr const wchar_t* kSystemInf = L"NTPRINT.INF";
constexpr const wchar_t* kPostScriptSections[] = {L"PSCRIPT.OEM", L"PSCRIPT_DATA"};
constexpr const wchar_t* kPostScriptData = L"PSCRIPT_DATA";
constexpr const wchar_t* kCopyFiles = L"CopyFiles";
constexpr const wchar_t* kDataFile = L"DataFile";
constexpr const wchar_t* kDataSectionKey = L"DataSection";
constexpr const wchar_t* kInclude = L"Include";
constexpr const wchar_t* kNeeds = L"Needs";
constexpr const wchar_t* kPackageAware = L"PackageAware";
constexpr const wchar_t* kCoreDependencies = L"CoreDriverDependencies";
constexpr const wchar_t* kTrue = L"TRUE";
constexpr wchar_t kSingleFile = L'@';
constexpr wchar_t kStringMark = L'%';

// The plug-in configuration file's section and entries.
constexpr const char* kOemSection = "[OEMFiles]";
constexpr const char* kOemEntries[] = {"OEMDriverFile", "OEMConfigFile"};
constexpr const char* kRenderingEntry = "OEMDriverFile";
constexpr char kCommentMark = '#';

// The PPD's names of the printer.
constexpr const char* kNickName = "*NickName:";
constexpr const char* kManufacturer = "*Manufacturer:";

// The stand-in for the system's PostScript driver in a Wine prefix.
constexpr const wchar_t* kWineDriver = L"wineps.drv";
constexpr const wchar_t* kRawDataType = L"RAW";
constexpr DWORD kDriverVersion = 3;
constexpr DWORD kDriverInfoLevel = 3;

constexpr const char* kUsage =
    "usage: tvzx_inf_check FOLDER [--version X.Y.Z] [--install]\n"
    "Checks the driver package in FOLDER through the setup API; --install adds its\n"
    "driver to this Wine prefix's spooler (test prefixes only).\n";

std::string utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
    return out;
}

std::wstring wide(const std::string& text) {
    if (text.empty()) return {};
    const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size);
    return out;
}

// Returns the text in upper case, for names the setup API compares without case.
std::wstring upper(std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(std::towupper(c));
    return text;
}

// Counts and prints the checks.
class Report {
public:
    void check(bool good, const std::string& what, const std::string& why = {}) {
        if (good) {
            std::printf("ok: %s\n", what.c_str());
        } else {
            std::printf("FAILED: %s (%s)\n", what.c_str(), why.c_str());
            ++failed_;
        }
    }
    bool failed() const { return failed_ != 0; }

private:
    int failed_ = 0;
};

// One line of an INF section: its key and its fields, strings substituted.
struct InfLine {
    std::wstring key;
    std::vector<std::wstring> fields;
};

// The INF opened through the setup API, closed when done.
class Inf {
public:
    explicit Inf(const std::wstring& path) {
        handle_ = SetupOpenInfFileW(path.c_str(), kPrinterClass, INF_STYLE_WIN4, &errorLine_);
        if (handle_ == INVALID_HANDLE_VALUE) error_ = GetLastError();
    }
    ~Inf() {
        if (handle_ != INVALID_HANDLE_VALUE) SetupCloseInfFile(handle_);
    }
    Inf(const Inf&) = delete;
    Inf& operator=(const Inf&) = delete;

    bool open() const { return handle_ != INVALID_HANDLE_VALUE; }
    UINT errorLine() const { return errorLine_; }
    DWORD error() const { return error_; }
    HINF handle() const { return handle_; }

    // Returns whether the section exists (an empty one counts).
    bool has(const std::wstring& section) const { return SetupGetLineCountW(handle_, section.c_str()) >= 0; }

    // Returns the lines of a section in order; with a key, only its lines.
    std::vector<InfLine> lines(const std::wstring& section, const wchar_t* key = nullptr) const {
        std::vector<InfLine> found;
        INFCONTEXT context{};
        if (!SetupFindFirstLineW(handle_, section.c_str(), key, &context)) return found;
        do {
            InfLine line;
            line.key = field(context, 0);
            const DWORD count = SetupGetFieldCount(&context);
            for (DWORD i = 1; i <= count; ++i) line.fields.push_back(field(context, i));
            found.push_back(std::move(line));
        } while (key != nullptr ? SetupFindNextMatchLineW(&context, key, &context) : SetupFindNextLine(&context, &context));
        return found;
    }

    // Returns every field of every line of this key in the section.
    std::vector<std::wstring> values(const std::wstring& section, const wchar_t* key) const {
        std::vector<std::wstring> all;
        for (const InfLine& line : lines(section, key)) all.insert(all.end(), line.fields.begin(), line.fields.end());
        return all;
    }

    // Returns the first field of the key's line; empty when there is none.
    std::wstring value(const std::wstring& section, const wchar_t* key) const {
        const std::vector<std::wstring> all = values(section, key);
        return all.empty() ? std::wstring() : all.front();
    }

private:
    static std::wstring field(INFCONTEXT& context, DWORD index) {
        DWORD size = 0;
        if (!SetupGetStringFieldW(&context, index, nullptr, 0, &size) || size == 0) return {};
        std::wstring text(size, L'\0');
        if (!SetupGetStringFieldW(&context, index, text.data(), size, &size)) return {};
        text.resize(size > 0 ? size - 1 : 0);
        return text;
    }

    HINF handle_ = INVALID_HANDLE_VALUE;
    UINT errorLine_ = 0;
    DWORD error_ = 0;
};

// Returns the file's bytes; nothing when it cannot be read.
std::optional<std::string> fileText(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    if (!in) return std::nullopt;
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool fileExists(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// Returns the lines of a text, without their CR LF or LF.
std::vector<std::string> textLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

// Returns the quoted value of a PPD main keyword; nothing when it is missing.
std::optional<std::string> ppdValue(const std::string& ppd, const std::string& keyword) {
    for (const std::string& line : textLines(ppd)) {
        if (!line.starts_with(keyword)) continue;
        const std::size_t open = line.find('"');
        const std::size_t close = line.rfind('"');
        if (open == std::string::npos || close <= open) return std::nullopt;
        return line.substr(open + 1, close - open - 1);
    }
    return std::nullopt;
}

// Returns whether a field still holds a string key the [Strings] section lacks.
bool unresolved(const std::wstring& text) {
    return text.size() >= 2 && text.front() == kStringMark && text.back() == kStringMark;
}

// What the package's INF says, gathered while checking it.
struct Package {
    std::wstring folder;
    std::vector<std::wstring> models;  // the driver names
    std::wstring manufacturer;
    std::wstring installSection;
    std::vector<std::wstring> files;  // every file of every CopyFiles entry, in order
    std::wstring dataFile;
};

void checkVersion(const Inf& inf, const std::wstring& version, Report& report) {
    const std::wstring driverVer = inf.value(kVersionSection, L"DriverVer");
    report.check(upper(inf.value(kVersionSection, L"ClassGuid")) == kPrinterClassGuid, "[Version] ClassGuid is the printer class's",
                 utf8(inf.value(kVersionSection, L"ClassGuid")));
    const std::wstring provider = inf.value(kVersionSection, L"Provider");
    report.check(!provider.empty() && !unresolved(provider), "[Version] Provider names the publisher", utf8(provider));
    report.check(!inf.value(kVersionSection, L"CatalogFile").empty(), "[Version] CatalogFile is named", "none");
    const std::vector<std::wstring> parts = inf.values(kVersionSection, L"DriverVer");
    const bool versionGood = parts.size() == 2 && (version.empty() || parts[1] == version + L".0");
    report.check(versionGood, "[Version] DriverVer carries the version " + utf8(version),
                 parts.size() == 2 ? utf8(parts[0] + L"," + parts[1]) : "not a date and a version");
}

// Checks the manufacturer and model sections; gathers the models.
void checkModels(const Inf& inf, Package& package, Report& report) {
    const std::vector<InfLine> makers = inf.lines(kManufacturerSection);
    report.check(!makers.empty(), "[Manufacturer] names a manufacturer", "no line");
    for (const InfLine& maker : makers) {
        package.manufacturer = maker.key;
        report.check(!unresolved(maker.key), "[Manufacturer] name is a defined string", utf8(maker.key));
        if (maker.fields.empty()) {
            report.check(false, "[Manufacturer] line names its models section", "no section");
            continue;
        }
        const std::wstring base = maker.fields[0];
        const bool decorated = std::any_of(maker.fields.begin() + 1, maker.fields.end(),
                                           [](const std::wstring& d) { return upper(d) == upper(kArchitecture); });
        report.check(decorated, "[Manufacturer] " + utf8(base) + " carries the NTamd64 decoration", "missing");
        for (std::size_t i = 1; i < maker.fields.size(); ++i) {
            const std::wstring section = base + L"." + maker.fields[i];
            report.check(inf.has(section), "section [" + utf8(section) + "] exists", "missing");
            for (const InfLine& model : inf.lines(section)) {
                package.models.push_back(model.key);
                const std::string name = utf8(model.key);
                report.check(!model.key.empty() && !unresolved(model.key), "model \"" + name + "\" has a name", "undefined string");
                report.check(model.fields.size() >= 2 && !model.fields[1].empty(),
                             "model \"" + name + "\" has a hardware identifier", "none");
                if (model.fields.empty()) continue;
                package.installSection = model.fields[0];
                report.check(inf.has(model.fields[0]), "install section [" + utf8(model.fields[0]) + "] exists", "missing");
            }
        }
    }
}

// Checks the install section and the sections it names; gathers the files.
void checkInstall(const Inf& inf, Package& package, Report& report) {
    const std::wstring& install = package.installSection;
    if (install.empty()) return;
    for (const std::wstring& entry : inf.values(install, kCopyFiles)) {
        if (!entry.empty() && entry.front() == kSingleFile) {
            package.files.push_back(entry.substr(1));
            continue;
        }
        report.check(inf.has(entry), "CopyFiles section [" + utf8(entry) + "] exists", "missing");
        for (const InfLine& line : inf.lines(entry)) package.files.push_back(line.key);
    }
    report.check(!package.files.empty(), "[" + utf8(install) + "] copies files", "none");
    package.dataFile = inf.value(install, kDataFile);
    const bool dataCopied = std::any_of(package.files.begin(), package.files.end(),
                                        [&](const std::wstring& f) { return upper(f) == upper(package.dataFile); });
    report.check(!package.dataFile.empty() && dataCopied, "DataFile " + utf8(package.dataFile) + " is among the copied files",
                 "not copied");
    // The PostScript driver's own sections are in the system's INF.
    report.check(upper(inf.value(install, kInclude)) == kSystemInf, "Include names NTPRINT.INF", utf8(inf.value(install, kInclude)));
    report.check(upper(inf.value(install, kDataSectionKey)) == kPostScriptData, "DataSection is PSCRIPT_DATA",
                 utf8(inf.value(install, kDataSectionKey)));
    std::set<std::wstring> needs;
    for (const std::wstring& need : inf.values(install, kNeeds)) needs.insert(upper(need));
    for (const wchar_t* section : kPostScriptSections)
        report.check(needs.count(section) == 1, "Needs names " + utf8(section), "missing");
    // Where the system has NTPRINT.INF, its sections are looked up too.
    UINT line = 0;
    if (SetupOpenAppendInfFileW(kSystemInf, inf.handle(), &line)) {
        for (const wchar_t* section : kPostScriptSections)
            report.check(inf.has(section), "NTPRINT.INF section [" + utf8(section) + "] exists", "missing");
    }

    report.check(upper(inf.value(kPackageSection, kPackageAware)) == kTrue, "[PrinterPackageInstallation.amd64] PackageAware=TRUE",
                 utf8(inf.value(kPackageSection, kPackageAware)));
    std::set<std::wstring> cores;
    for (const std::wstring& core : inf.values(kPackageSection, kCoreDependencies)) cores.insert(upper(core));
    report.check(cores.count(kPostScriptCore) == 1, "the package depends on the PostScript core driver", "not named");
    report.check(inf.value(kDestinationSection, kDefaultDestination) == kDriverDirectoryId,
                 "DestinationDirs sends the files to the printer driver directory (66000)",
                 utf8(inf.value(kDestinationSection, kDefaultDestination)));
}

// Every copied file has a source line on a named disk and lies in the folder.
void checkFiles(const Inf& inf, const Package& package, Report& report) {
    std::set<std::wstring> disks;
    for (const InfLine& disk : inf.lines(kSourceNamesSection)) disks.insert(disk.key);
    for (const std::wstring& file : package.files) {
        const std::vector<std::wstring> source = inf.values(kSourceFilesSection, file.c_str());
        report.check(!source.empty() && disks.count(source[0]) == 1,
                     utf8(file) + " is in [SourceDisksFiles.amd64] on a disk of [SourceDisksNames.amd64]",
                     source.empty() ? "no line" : "disk " + utf8(source[0]) + " unnamed");
        report.check(fileExists(package.folder + L"\\" + file), utf8(file) + " is in the package", "missing");
    }
}

// The plug-in configuration file: an [OEMFiles] section of entries numbered
// from 1 per kind, "=" without blanks around it, file names without paths,
// each a file of the package.
void checkPluginConfiguration(const Package& package, Report& report) {
    std::vector<std::wstring> inis;
    for (const std::wstring& file : package.files)
        if (upper(file).ends_with(L".INI")) inis.push_back(file);
    report.check(inis.size() == 1, "one plug-in configuration file is copied", std::to_string(inis.size()) + " .ini files");
    if (inis.size() != 1) return;
    const std::string name = utf8(inis[0]);
    const std::optional<std::string> text = fileText(package.folder + L"\\" + inis[0]);
    if (!text) {
        report.check(false, name + " can be read", "cannot");
        return;
    }
    bool inSection = false;
    bool sawSection = false;
    std::map<std::string, std::vector<int>> numbers;
    std::string fault;
    std::string rendering;
    for (const std::string& line : textLines(*text)) {
        if (line.empty() || line.front() == kCommentMark) continue;
        if (line.front() == '[') {
            inSection = line == kOemSection;
            sawSection = sawSection || inSection;
            continue;
        }
        if (!inSection) continue;
        const std::size_t assign = line.find('=');
        if (assign == std::string::npos || assign == 0 || line[assign - 1] == ' ' || line[assign - 1] == '\t' ||
            assign + 1 >= line.size() || line[assign + 1] == ' ' || line[assign + 1] == '\t') {
            fault = "'" + line + "' is not ENTRY=FILE without blanks around '='";
            break;
        }
        const std::string entry = line.substr(0, assign);
        const std::string file = line.substr(assign + 1);
        const char* const* kind = std::find_if(std::begin(kOemEntries), std::end(kOemEntries),
                                               [&entry](const char* k) { return entry.starts_with(k); });
        const std::string digits = kind == std::end(kOemEntries) ? std::string() : entry.substr(std::string(*kind).size());
        if (digits.empty() || digits.front() == '0' || digits.find_first_not_of("0123456789") != std::string::npos) {
            fault = "'" + entry + "' is no numbered OEMDriverFile or OEMConfigFile entry";
            break;
        }
        if (file.find_first_of("\\/:") != std::string::npos || file.find_first_of(" \t") != std::string::npos) {
            fault = "'" + file + "' is not a bare file name";
            break;
        }
        numbers[*kind].push_back(std::stoi(digits));
        const bool packaged = std::any_of(package.files.begin(), package.files.end(),
                                          [&file](const std::wstring& f) { return upper(f) == upper(wide(file)); });
        if (!packaged || !fileExists(package.folder + L"\\" + wide(file))) {
            fault = file + " is not a file the package installs";
            break;
        }
        if (std::string(*kind) == kRenderingEntry && std::stoi(digits) == 1) rendering = file;
    }
    for (auto& [kind, list] : numbers) {
        std::sort(list.begin(), list.end());
        for (std::size_t i = 0; i < list.size() && fault.empty(); ++i)
            if (list[i] != static_cast<int>(i + 1)) fault = kind + " entries are not numbered 1 to " + std::to_string(list.size());
    }
    if (fault.empty() && !sawSection) fault = "no [OEMFiles] section";
    if (fault.empty() && rendering.empty()) fault = "no OEMDriverFile1 entry";
    report.check(fault.empty(), name + " names the rendering plug-in " + rendering, fault);
}

// The models carry the PPD's nickname; the manufacturer is the PPD's.
void checkPpd(const Package& package, Report& report) {
    if (package.dataFile.empty()) return;
    const std::optional<std::string> ppd = fileText(package.folder + L"\\" + package.dataFile);
    const std::optional<std::string> nickName = ppd ? ppdValue(*ppd, kNickName) : std::nullopt;
    const std::optional<std::string> manufacturer = ppd ? ppdValue(*ppd, kManufacturer) : std::nullopt;
    report.check(nickName.has_value(), utf8(package.dataFile) + " has a *NickName", "none");
    for (const std::wstring& model : package.models)
        report.check(nickName && utf8(model) == *nickName, "model \"" + utf8(model) + "\" is the PPD's *NickName",
                     "PPD: " + nickName.value_or("none"));
    report.check(manufacturer && utf8(package.manufacturer) == *manufacturer,
                 "manufacturer \"" + utf8(package.manufacturer) + "\" is the PPD's", "PPD: " + manufacturer.value_or("none"));
}

bool runsUnderWine() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// Returns the files the spooler keeps for an installed driver (its data file
// and dependent files); nothing when it has no driver of that name.
std::optional<std::vector<std::wstring>> installedFiles(const std::wstring& name) {
    DWORD needed = 0;
    DWORD returned = 0;
    EnumPrinterDriversW(nullptr, nullptr, kDriverInfoLevel, nullptr, 0, &needed, &returned);
    // Blocks of 8 bytes keep the structures' pointers aligned.
    std::vector<std::uint64_t> buffer(needed / sizeof(std::uint64_t) + 1, 0);
    if (needed == 0 || !EnumPrinterDriversW(nullptr, nullptr, kDriverInfoLevel, reinterpret_cast<BYTE*>(buffer.data()),
                                            static_cast<DWORD>(buffer.size() * sizeof(std::uint64_t)), &needed, &returned))
        return std::nullopt;
    const auto* drivers = reinterpret_cast<const DRIVER_INFO_3W*>(buffer.data());
    for (DWORD i = 0; i < returned; ++i) {
        if (drivers[i].pName == nullptr || name != drivers[i].pName) continue;
        std::vector<std::wstring> files;
        if (drivers[i].pDataFile != nullptr) files.emplace_back(drivers[i].pDataFile);
        for (const wchar_t* file = drivers[i].pDependentFiles; file != nullptr && *file != L'\0'; file += lstrlenW(file) + 1)
            files.emplace_back(file);
        return files;
    }
    return std::nullopt;
}

// Adds the package's driver to the spooler: the INF's model name, its data
// file and its other files as dependent files, taken from the folder. Wine's
// PostScript driver takes the place of the system's, which NTPRINT.INF would
// bring.
void install(const Package& package, Report& report) {
    if (package.models.empty() || package.dataFile.empty()) {
        report.check(false, "driver installed", "the INF names no model or data file");
        return;
    }
    wchar_t system[MAX_PATH + 1] = {};
    const UINT length = GetSystemDirectoryW(system, MAX_PATH + 1);
    std::wstring driverPath = std::wstring(system, length) + L"\\" + kWineDriver;
    std::wstring name = package.models.front();
    std::wstring dataFile = package.folder + L"\\" + package.dataFile;
    std::wstring dataType = kRawDataType;
    std::wstring dependent;
    for (const std::wstring& file : package.files)
        if (upper(file) != upper(package.dataFile)) dependent += package.folder + L"\\" + file + L'\0';
    dependent += L'\0';
    DRIVER_INFO_3W info{};
    info.cVersion = kDriverVersion;
    info.pName = name.data();
    info.pDriverPath = driverPath.data();
    info.pDataFile = dataFile.data();
    info.pConfigFile = driverPath.data();
    info.pDependentFiles = dependent.data();
    info.pDefaultDataType = dataType.data();
    const BOOL added = AddPrinterDriverExW(nullptr, kDriverInfoLevel, reinterpret_cast<BYTE*>(&info),
                                           APD_COPY_ALL_FILES | APD_COPY_FROM_DIRECTORY);
    report.check(added != FALSE, "driver \"" + utf8(name) + "\" added to the spooler from the package",
                 "error " + std::to_string(GetLastError()));
    if (!added) return;
    // The spooler copied every file into its driver directory, in the
    // folder of the driver's version.
    wchar_t directory[MAX_PATH + 1] = {};
    DWORD needed = 0;
    GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(directory), sizeof directory, &needed);
    const std::optional<std::vector<std::wstring>> files = installedFiles(name);
    report.check(files.has_value(), "the spooler lists driver \"" + utf8(name) + "\"", "not listed");
    if (!files) return;
    for (const std::wstring& packaged : package.files) {
        const std::wstring copy = std::wstring(directory) + L"\\" + std::to_wstring(kDriverVersion) + L"\\" + packaged;
        const bool listed = std::any_of(files->begin(), files->end(), [&](const std::wstring& f) { return upper(f) == upper(copy); });
        report.check(listed && fileExists(copy), utf8(packaged) + " is in the driver directory", utf8(copy) + " missing");
    }
}

}  // namespace

int main() {
    int count = 0;
    wchar_t** words = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::wstring> args;
    for (int i = 1; i < count; ++i) args.emplace_back(words[i]);
    LocalFree(words);
    Package package;
    std::wstring version;
    bool installing = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == L"--version" && i + 1 < args.size()) version = args[++i];
        else if (args[i] == L"--install") installing = true;
        else if (package.folder.empty() && !args[i].starts_with(L"-")) package.folder = args[i];
        else package.folder.clear(), i = args.size();
    }
    if (package.folder.empty()) {
        std::fputs(kUsage, stderr);
        return kExitUsage;
    }
    if (installing && !runsUnderWine()) {
        std::fputs("tvzx_inf_check: --install is for Wine test prefixes only\n", stderr);
        return kExitUsage;
    }
    Report report;
    const Inf inf(package.folder + L"\\" + kInfName);
    report.check(inf.open(), "tvzx.inf opens as a Windows INF of the printer class",
                 "line " + std::to_string(inf.errorLine()) + ", error " + std::to_string(inf.error()));
    if (!inf.open()) return kExitFailed;
    checkVersion(inf, version, report);
    checkModels(inf, package, report);
    checkInstall(inf, package, report);
    for (const wchar_t* section : {kDestinationSection, kSourceNamesSection, kSourceFilesSection, kPackageSection})
        report.check(inf.has(section), "section [" + utf8(section) + "] exists", "missing");
    checkFiles(inf, package, report);
    checkPluginConfiguration(package, report);
    checkPpd(package, report);
    if (installing && !report.failed()) install(package, report);
    return report.failed() ? kExitFailed : 0;
}
