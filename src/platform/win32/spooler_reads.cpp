#include "platform/win32/spooler_reads.h"

#include <cstddef>
#include <string>

#include "platform/win32/wide_text.h"

namespace tvzx::platform::win32 {
namespace {

// A value may grow between asking its size and reading it; a few more
// rounds catch up with a writer before giving up.
constexpr int kReadAttempts = 3;
constexpr DWORD kPrinterInfoLevel = 2;
// The DEVMODE must at least reach past its own size fields to be read.
constexpr std::size_t kSmallestDevMode = offsetof(DEVMODEW, dmDriverExtra) + sizeof(WORD);

// Reads a whole value in the spooler's two steps: its size, then its bytes.
template <typename Read>
std::optional<PrinterDataValue> wholeValue(Read read) {
    DWORD type = 0;
    DWORD needed = 0;
    DWORD result = read(&type, nullptr, 0, &needed);
    for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
        if (result != ERROR_SUCCESS && result != ERROR_MORE_DATA) return std::nullopt;
        PrinterDataValue value;
        value.data.resize(needed);
        const DWORD size = needed;
        result = read(&type, value.data.empty() ? nullptr : value.data.data(), size, &needed);
        if (result == ERROR_SUCCESS) {
            value.data.resize(needed < size ? needed : size);
            value.type = type;
            return value;
        }
    }
    return std::nullopt;
}

// Returns whether the text holds a NUL, which would end the name early and
// so read another value.
bool holdsNul(std::string_view text) { return text.find('\0') != std::string_view::npos; }

}  // namespace

std::optional<PrinterDataValue> readPrinterValue(HANDLE printer, std::string_view name) {
    if (printer == nullptr || holdsNul(name)) return std::nullopt;
    std::wstring wideName = wideOfUtf8(name);
    return wholeValue([&](DWORD* type, BYTE* data, DWORD size, DWORD* needed) {
        return GetPrinterDataW(printer, wideName.data(), type, data, size, needed);
    });
}

std::optional<PrinterDataValue> readPrinterKeyValue(HANDLE printer, std::string_view key, std::string_view name) {
    if (printer == nullptr || holdsNul(key) || holdsNul(name)) return std::nullopt;
    const std::wstring wideKey = wideOfUtf8(key);
    const std::wstring wideName = wideOfUtf8(name);
    return wholeValue([&](DWORD* type, BYTE* data, DWORD size, DWORD* needed) {
        return GetPrinterDataExW(printer, wideKey.c_str(), wideName.c_str(), type, data, size, needed);
    });
}

std::optional<PrinterInfo2> PrinterInfo2::of(HANDLE printer) {
    if (printer == nullptr) return std::nullopt;
    DWORD needed = 0;
    GetPrinterW(printer, kPrinterInfoLevel, nullptr, 0, &needed);
    for (int attempt = 0; attempt < kReadAttempts && needed >= sizeof(PRINTER_INFO_2W); ++attempt) {
        PrinterInfo2 result;
        result.buffer_.assign((needed + sizeof(std::uint64_t) - 1) / sizeof(std::uint64_t), 0);
        result.size_ = needed;
        auto* bytes = reinterpret_cast<BYTE*>(result.buffer_.data());
        if (GetPrinterW(printer, kPrinterInfoLevel, bytes, needed, &needed)) return result;
        // The information grew in between: ask again with its new size.
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return std::nullopt;
    }
    return std::nullopt;
}

std::optional<std::vector<std::uint8_t>> PrinterInfo2::devMode() const {
    const DEVMODEW* devMode = info().pDevMode;
    if (devMode == nullptr || devMode->dmSize < kSmallestDevMode) return std::nullopt;
    const std::size_t total = static_cast<std::size_t>(devMode->dmSize) + devMode->dmDriverExtra;
    // The spooler places the DEVMODE inside the buffer it filled; one that
    // would run past the buffer's end is not read.
    const auto start = reinterpret_cast<std::uintptr_t>(buffer_.data());
    const auto at = reinterpret_cast<std::uintptr_t>(devMode);
    if (at >= start && at <= start + size_ && total > start + size_ - at) return std::nullopt;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(devMode);
    return std::vector<std::uint8_t>(bytes, bytes + total);
}

}  // namespace tvzx::platform::win32
