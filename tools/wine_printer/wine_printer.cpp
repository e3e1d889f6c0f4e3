// tvzx_wine_printer: adds the printer that a registry export file describes
// to the spooler of the Wine prefix it runs in, for test prefixes only. The
// printer gets Wine's own PostScript driver (added first when the prefix has
// none) with the PPD it is given, prints to the port "FILE:", and every value
// of the file below the printer's key is set as printer data under the same
// key. It refuses to run outside Wine, so a Windows machine's spooler is
// never changed by it. With a driver's name the printer gets that driver,
// which the spooler must have already (the driver package's, added by
// tvzx_inf_check --install), in place of Wine's own.
//
//   tvzx_wine_printer PRINTER.reg DRIVER.ppd [DRIVER_NAME]
#include <windows.h>
#include <shellapi.h>
#include <winspool.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry_file.h"
#include "platform/registry_printer.h"
#include "platform/win32/wide_text.h"

namespace {

using tvzx::platform::win32::utf8Of;
using tvzx::platform::win32::wideOf;
using tvzx::platform::win32::wideOfUtf8;

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr const wchar_t* kDriverName = L"Wine PostScript Driver";
constexpr const wchar_t* kDriverFile = L"wineps.drv";
constexpr const wchar_t* kPortName = L"FILE:";
constexpr const wchar_t* kPrintProcessor = L"WinPrint";
constexpr const wchar_t* kDataType = L"RAW";
constexpr DWORD kDriverVersion = 3;
constexpr DWORD kDriverInfoLevel = 3;
constexpr DWORD kListLevel = 1;
constexpr DWORD kPrinterInfoLevel = 2;
constexpr char kKeySeparator = '\\';

constexpr const char* kUsage =
    "usage: tvzx_wine_printer PRINTER.reg DRIVER.ppd [DRIVER_NAME]\n"
    "Adds the printer of the registry export file to this Wine prefix's spooler, with\n"
    "Wine's PostScript driver, the PPD and the port FILE:, and sets the file's values\n"
    "as its printer data. For test prefixes only: it refuses to run outside Wine.\n";

// Returns whether the program runs under Wine, whose ntdll exports its version.
bool runsUnderWine() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// Returns the text of the last system error as a number, for messages.
std::string lastError() { return "error " + std::to_string(GetLastError()); }

// Returns the program's arguments as the system received them, in UTF-16.
std::vector<std::wstring> wideArguments() {
    std::vector<std::wstring> words;
    int count = 0;
    wchar_t** list = CommandLineToArgvW(GetCommandLineW(), &count);
    if (list == nullptr) return words;
    for (int i = 1; i < count; ++i) words.emplace_back(list[i]);
    LocalFree(list);
    return words;
}

// Returns the bytes of a file; nothing when it cannot be read.
std::optional<std::vector<std::uint8_t>> fileBytes(const std::wstring& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    if (!in) return std::nullopt;
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
    return bytes;
}

// Returns the part of a key path below the printer's key ("PrinterDriverData",
// "DsDriver", ...); nothing for a key that is not below it.
std::optional<std::string> keyBelowPrinter(std::string_view path, std::string_view printer) {
    std::string prefix;
    prefix += kKeySeparator;
    prefix += tvzx::platform::kPrintersKey;
    prefix += kKeySeparator;
    prefix += printer;
    prefix += kKeySeparator;
    // The registry compares key names without regard to ASCII case.
    for (std::size_t at = 0; at + prefix.size() < path.size(); ++at)
        if (tvzx::platform::sameRegistryName(path.substr(at, prefix.size()), prefix))
            return std::string(path.substr(at + prefix.size()));
    return std::nullopt;
}

// Closes a printer handle when done with it.
class HeldPrinter {
public:
    explicit HeldPrinter(HANDLE handle) : handle_(handle) {}
    ~HeldPrinter() {
        if (handle_ != nullptr) ClosePrinter(handle_);
    }
    HeldPrinter(const HeldPrinter&) = delete;
    HeldPrinter& operator=(const HeldPrinter&) = delete;
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

// Returns whether the spooler has a driver of this name.
bool driverInstalled(const wchar_t* name) {
    DWORD needed = 0;
    DWORD returned = 0;
    EnumPrinterDriversW(nullptr, nullptr, kListLevel, nullptr, 0, &needed, &returned);
    if (needed == 0) return false;
    // Blocks of 8 bytes keep the structures' pointers aligned.
    std::vector<std::uint64_t> buffer((needed + sizeof(std::uint64_t) - 1) / sizeof(std::uint64_t), 0);
    if (!EnumPrinterDriversW(nullptr, nullptr, kListLevel, reinterpret_cast<BYTE*>(buffer.data()), needed, &needed,
                             &returned))
        return false;
    const auto* drivers = reinterpret_cast<const DRIVER_INFO_1W*>(buffer.data());
    for (DWORD i = 0; i < returned; ++i)
        if (drivers[i].pName != nullptr && lstrcmpiW(drivers[i].pName, name) == 0) return true;
    return false;
}

// Adds Wine's PostScript driver with the PPD as its data file. Returns
// whether the spooler has the driver afterwards.
bool addDriver(const std::wstring& ppd) {
    if (driverInstalled(kDriverName)) return true;
    // The driver and its configuration are Wine's wineps.drv in the system
    // folder; the files are taken from where they are named.
    wchar_t system[MAX_PATH + 1] = {};
    const UINT length = GetSystemDirectoryW(system, MAX_PATH + 1);
    if (length == 0 || length > MAX_PATH) return false;
    std::wstring driverPath = std::wstring(system, length) + L"\\" + kDriverFile;
    std::wstring dataFile = ppd;
    std::wstring name = kDriverName;
    std::wstring dataType = kDataType;
    DRIVER_INFO_3W info{};
    info.cVersion = kDriverVersion;
    info.pName = name.data();
    info.pDriverPath = driverPath.data();
    info.pDataFile = dataFile.data();
    info.pConfigFile = driverPath.data();
    info.pDefaultDataType = dataType.data();
    return AddPrinterDriverExW(nullptr, kDriverInfoLevel, reinterpret_cast<BYTE*>(&info),
                               APD_COPY_NEW_FILES | APD_COPY_FROM_DIRECTORY) != FALSE;
}

// Adds the printer, or opens it when the prefix has it already. Returns its
// handle; null when neither worked.
HANDLE addPrinter(const std::wstring& printerName, const std::wstring& driverName) {
    std::wstring name = printerName;
    std::wstring port = kPortName;
    std::wstring driver = driverName;
    std::wstring processor = kPrintProcessor;
    std::wstring dataType = kDataType;
    PRINTER_INFO_2W info{};
    info.pPrinterName = name.data();
    info.pPortName = port.data();
    info.pDriverName = driver.data();
    info.pPrintProcessor = processor.data();
    info.pDatatype = dataType.data();
    info.Attributes = PRINTER_ATTRIBUTE_LOCAL;
    HANDLE printer = AddPrinterW(nullptr, kPrinterInfoLevel, reinterpret_cast<BYTE*>(&info));
    if (printer != nullptr || GetLastError() != ERROR_PRINTER_ALREADY_EXISTS) return printer;
    PRINTER_DEFAULTSW access{nullptr, nullptr, PRINTER_ALL_ACCESS};
    if (!OpenPrinterW(name.data(), &printer, &access)) return nullptr;
    return printer;
}

// Sets every value of the file below the printer's key as printer data
// under its key. Returns the number of values set; -1 after a refusal, which
// it reports.
int setPrinterData(HANDLE printer, const tvzx::platform::RegistryFile& file, const std::string& printerName) {
    int set = 0;
    for (const tvzx::platform::RegistryKey& key : file.keys) {
        const std::optional<std::string> below = keyBelowPrinter(key.path, printerName);
        if (!below || below->empty()) continue;
        const std::wstring keyName = wideOfUtf8(*below);
        for (const tvzx::platform::RegistryValue& value : key.values) {
            const std::wstring valueName = wideOfUtf8(value.name);
            const DWORD status = SetPrinterDataExW(printer, keyName.c_str(), valueName.c_str(), value.type,
                                                   const_cast<BYTE*>(value.data.data()),
                                                   static_cast<DWORD>(value.data.size()));
            if (status != ERROR_SUCCESS) {
                std::fprintf(stderr, "tvzx_wine_printer: %s\\%s: the spooler refused the value (error %lu)\n",
                             below->c_str(), value.name.c_str(), static_cast<unsigned long>(status));
                return -1;
            }
            ++set;
        }
    }
    return set;
}

}  // namespace

int main() {
    const std::vector<std::wstring> words = wideArguments();
    if (words.size() != 2 && words.size() != 3) {
        std::fputs(kUsage, stderr);
        return kExitUsage;
    }
    if (!runsUnderWine()) {
        std::fputs("tvzx_wine_printer: this is not Wine; it only sets up printers in Wine test prefixes\n", stderr);
        return kExitUsage;
    }
    const std::string regPath = utf8Of(words[0].c_str(), words[0].size());
    const std::optional<std::vector<std::uint8_t>> bytes = fileBytes(words[0]);
    if (!bytes) {
        std::fprintf(stderr, "tvzx_wine_printer: %s: cannot be read\n", regPath.c_str());
        return kExitFailure;
    }
    // The file is read as the plug-in reads a printer data file: one printer.
    tvzx::platform::RegistryParse parsed = tvzx::platform::parseRegistryFile(*bytes);
    if (parsed.error) {
        std::fprintf(stderr, "tvzx_wine_printer: %s:%zu: %s\n", regPath.c_str(), parsed.error->line,
                     parsed.error->message.c_str());
        return kExitFailure;
    }
    const tvzx::platform::RegistryPrinterLoad load = tvzx::platform::findRegistryPrinter(parsed.file);
    if (!load.printer) {
        std::fprintf(stderr, "tvzx_wine_printer: %s: %s\n", regPath.c_str(), load.error.c_str());
        return kExitFailure;
    }
    const std::u16string& name16 = load.printer->name();
    const std::wstring name = wideOf(name16);
    const std::string name8 = utf8Of(name.c_str(), name.size());

    // The printer needs its driver before it can be added; a named one must
    // be there already.
    const std::wstring driverName = words.size() == 3 ? words[2] : std::wstring(kDriverName);
    if (words.size() == 3 && !driverInstalled(driverName.c_str())) {
        std::fprintf(stderr, "tvzx_wine_printer: the spooler has no driver \"%s\"\n",
                     utf8Of(driverName.c_str(), driverName.size()).c_str());
        return kExitFailure;
    }
    if (words.size() == 2 && !addDriver(words[1])) {
        std::fprintf(stderr, "tvzx_wine_printer: the driver could not be added (%s)\n", lastError().c_str());
        return kExitFailure;
    }
    const HeldPrinter printer(addPrinter(name, driverName));
    if (printer.get() == nullptr) {
        std::fprintf(stderr, "tvzx_wine_printer: printer \"%s\" could not be added (%s)\n", name8.c_str(),
                     lastError().c_str());
        return kExitFailure;
    }
    const int values = setPrinterData(printer.get(), parsed.file, name8);
    if (values < 0) return kExitFailure;
    std::printf("printer \"%s\" in this Wine prefix: driver \"%s\", port %s, %d printer data value%s set\n",
                name8.c_str(), utf8Of(driverName.c_str(), driverName.size()).c_str(),
                utf8Of(kPortName, lstrlenW(kPortName)).c_str(), values, values == 1 ? "" : "s");
    return 0;
}
