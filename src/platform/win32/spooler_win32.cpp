// The spooler's answers through the printer handle the driver supplied.
#include "platform/spooler.h"

#include <windows.h>
#include <winspool.h>

#include <vector>

namespace tvzx::platform {
namespace {

std::u16string fromWide(const wchar_t* text) {
    std::u16string result;
    if (text == nullptr) return result;
    for (; *text != L'\0'; ++text) result.push_back(static_cast<char16_t>(*text));
    return result;
}

std::wstring toWide(std::string_view text) {
    return std::wstring(text.begin(), text.end());
}

class HandlePrinterData final : public PrinterData {
public:
    explicit HandlePrinterData(HANDLE printer) : printer_(printer) {}

    std::optional<PrinterDataValue> read(std::string_view name) const override {
        const std::wstring wideName = toWide(name);
        DWORD type = 0;
        DWORD needed = 0;
        // First ask for the size, then read into a buffer of that size.
        const DWORD probe = GetPrinterDataW(printer_, const_cast<LPWSTR>(wideName.c_str()), &type, nullptr, 0, &needed);
        if (probe != ERROR_MORE_DATA && probe != ERROR_SUCCESS) return std::nullopt;
        PrinterDataValue value;
        value.data.resize(needed);
        if (GetPrinterDataW(printer_, const_cast<LPWSTR>(wideName.c_str()), &type, value.data.data(), needed,
                            &needed) != ERROR_SUCCESS)
            return std::nullopt;
        value.data.resize(needed);
        value.type = type;
        return value;
    }

private:
    HANDLE printer_;
};

class WindowsSpooler final : public Spooler {
public:
    std::unique_ptr<PrinterData> printerData(void* printer) override {
        if (printer == nullptr) return nullptr;
        return std::make_unique<HandlePrinterData>(printer);
    }

    std::optional<std::u16string> printerName(void* printer) override {
        if (printer == nullptr) return std::nullopt;
        DWORD needed = 0;
        GetPrinterW(printer, 2, nullptr, 0, &needed);
        if (needed == 0) return std::nullopt;
        std::vector<BYTE> buffer(needed);
        if (!GetPrinterW(printer, 2, buffer.data(), needed, &needed)) return std::nullopt;
        return fromWide(reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data())->pPrinterName);
    }

    std::optional<std::u16string> jobParameters(void* printer, std::uint32_t jobId) override {
        if (printer == nullptr) return std::nullopt;
        DWORD needed = 0;
        GetJobW(printer, jobId, 2, nullptr, 0, &needed);
        if (needed == 0) return std::nullopt;
        std::vector<BYTE> buffer(needed);
        if (!GetJobW(printer, jobId, 2, buffer.data(), needed, &needed)) return std::nullopt;
        return fromWide(reinterpret_cast<const JOB_INFO_2W*>(buffer.data())->pParameters);
    }
};

}  // namespace

Spooler& systemSpooler() {
    static WindowsSpooler spooler;
    return spooler;
}

}  // namespace tvzx::platform
