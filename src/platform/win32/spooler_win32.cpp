// The spooler's answers through the printer handle the driver supplied:
// printer data (also under a key), the printer's level-2 information, job
// parameters, device capabilities and the form list.
#include "platform/spooler.h"

#include <windows.h>
#include <winspool.h>

#include <algorithm>
#include <cstddef>
#include <vector>

#include "platform/spooler_queries.h"
#include "platform/win32/spooler_reads.h"
#include "platform/win32/wide_text.h"

namespace tvzx::platform {
namespace {

constexpr DWORD kJobInfoLevel = 2;
constexpr DWORD kFormInfoLevel = 1;
constexpr int kReadAttempts = 3;

// Sizes of one element of the capabilities whose output the plug-in reads:
// bin numbers are 16-bit, bin names 24 wide characters.
constexpr std::size_t kBinNumberBytes = kBinNumberSize;
constexpr std::size_t kBinNameBytes = kBinNameCharacters * sizeof(wchar_t);
// Room for a few more elements than first counted, should the device list
// grow between counting and filling.
constexpr std::size_t kSpareElements = 8;

// Returns the size of one output element of a capability; 0 for one whose
// output the plug-in does not read (only its count is asked for).
std::size_t capabilityElementSize(std::uint16_t capability) {
    switch (capability) {
        case kCapabilityBins:
        case kCapabilityDriverBins:
            return kBinNumberBytes;
        case kCapabilityBinNames:
        case kCapabilityDriverBinNames:
            return kBinNameBytes;
        default:
            return 0;
    }
}

class HandlePrinterData final : public PrinterData {
public:
    explicit HandlePrinterData(HANDLE printer) : printer_(printer) {}

    std::optional<PrinterDataValue> read(std::string_view name) const override {
        return win32::readPrinterValue(printer_, name);
    }

private:
    HANDLE printer_;
};

class WindowsSpooler final : public Spooler, public SpoolerQueries {
public:
    std::unique_ptr<PrinterData> printerData(void* printer) override {
        if (printer == nullptr) return nullptr;
        return std::make_unique<HandlePrinterData>(printer);
    }

    std::optional<std::u16string> printerName(void* printer) override {
        const auto info = win32::PrinterInfo2::of(printer);
        if (!info) return std::nullopt;
        return win32::textOf(info->info().pPrinterName);
    }

    std::optional<std::u16string> jobParameters(void* printer, std::uint32_t jobId) override {
        if (printer == nullptr) return std::nullopt;
        DWORD needed = 0;
        GetJobW(printer, jobId, kJobInfoLevel, nullptr, 0, &needed);
        for (int attempt = 0; attempt < kReadAttempts && needed >= sizeof(JOB_INFO_2W); ++attempt) {
            // Blocks of 8 bytes keep the structure's pointers aligned.
            std::vector<std::uint64_t> buffer((needed + sizeof(std::uint64_t) - 1) / sizeof(std::uint64_t), 0);
            if (GetJobW(printer, jobId, kJobInfoLevel, reinterpret_cast<BYTE*>(buffer.data()), needed, &needed))
                return win32::textOf(reinterpret_cast<const JOB_INFO_2W*>(buffer.data())->pParameters);
            if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return std::nullopt;
        }
        return std::nullopt;
    }

    std::optional<std::vector<std::uint8_t>> printerDevMode(void* printer) override {
        const auto info = win32::PrinterInfo2::of(printer);
        if (!info) return std::nullopt;
        return info->devMode();
    }

    void* openPrinter(std::u16string_view name) override {
        if (name.empty() || win32::holdsNul(name)) return nullptr;
        std::wstring wideName = win32::wideOf(name);
        HANDLE printer = nullptr;
        if (!OpenPrinterW(wideName.data(), &printer, nullptr)) return nullptr;
        return printer;
    }

    void closePrinter(void* printer) override {
        if (printer != nullptr) ClosePrinter(printer);
    }

    std::optional<PrinterDataValue> readKeyValue(void* printer, std::string_view key, std::string_view name) override {
        return win32::readPrinterKeyValue(printer, key, name);
    }

    CapabilityAnswer deviceCapability(void* printer, std::uint16_t capability) override {
        CapabilityAnswer answer;
        if (printer == nullptr) return answer;
        // The device is named by the printer's name and port; a missing one
        // is asked as an empty text.
        const auto info = win32::PrinterInfo2::of(printer);
        const wchar_t* name = info && info->info().pPrinterName != nullptr ? info->info().pPrinterName : L"";
        const wchar_t* port = info && info->info().pPortName != nullptr ? info->info().pPortName : L"";
        // First the count, then the elements into room for that many.
        answer.count = DeviceCapabilitiesW(name, port, capability, nullptr, nullptr);
        const std::size_t elementSize = capabilityElementSize(capability);
        if (answer.count <= 0 || elementSize == 0) return answer;
        const std::size_t room = (static_cast<std::size_t>(answer.count) + kSpareElements) * elementSize;
        std::vector<std::uint64_t> output((room + sizeof(std::uint64_t) - 1) / sizeof(std::uint64_t), 0);
        const int filled = DeviceCapabilitiesW(name, port, capability, reinterpret_cast<wchar_t*>(output.data()), nullptr);
        answer.count = filled;
        if (filled <= 0) return answer;
        const std::size_t written = std::min(static_cast<std::size_t>(filled) * elementSize, room);
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(output.data());
        answer.output.assign(bytes, bytes + written);
        return answer;
    }

    std::optional<std::vector<Form>> forms(void* printer) override {
        if (printer == nullptr) return std::nullopt;
        DWORD needed = 0;
        DWORD returned = 0;
        // The first call learns the size of the list.
        if (EnumFormsW(printer, kFormInfoLevel, nullptr, 0, &needed, &returned)) return std::vector<Form>{};
        for (int attempt = 0; attempt < kReadAttempts && GetLastError() == ERROR_INSUFFICIENT_BUFFER; ++attempt) {
            std::vector<std::uint64_t> buffer((needed + sizeof(std::uint64_t) - 1) / sizeof(std::uint64_t), 0);
            if (EnumFormsW(printer, kFormInfoLevel, reinterpret_cast<BYTE*>(buffer.data()), needed, &needed,
                           &returned))
                return formsOf(reinterpret_cast<const FORM_INFO_1W*>(buffer.data()), returned);
        }
        return std::nullopt;
    }

private:
    static std::vector<Form> formsOf(const FORM_INFO_1W* list, DWORD count) {
        std::vector<Form> forms;
        forms.reserve(count);
        for (DWORD i = 0; i < count; ++i) {
            // A negative size is no size.
            const auto width = list[i].Size.cx > 0 ? static_cast<std::uint32_t>(list[i].Size.cx) : 0u;
            const auto height = list[i].Size.cy > 0 ? static_cast<std::uint32_t>(list[i].Size.cy) : 0u;
            forms.push_back({win32::textOf(list[i].pName), width, height});
        }
        return forms;
    }
};

}  // namespace

Spooler& systemSpooler() {
    static WindowsSpooler spooler;
    return spooler;
}

}  // namespace tvzx::platform
