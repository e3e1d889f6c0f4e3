// The record the plug-in hands to the tab worker in named shared memory:
// 193824 bytes, little-endian, laid out byte for byte as the worker process
// (another copy of this module) reads it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "settings/core_data.h"

namespace tvzx::tabs {

// One field of the record: where it starts and how many bytes it takes.
struct ExchangeField {
    std::size_t offset;
    std::size_t size;
};

inline constexpr std::size_t kNameCharacters = 4097;   // printer and document names, NUL included
inline constexpr std::size_t kPathCharacters = 65537;  // temporary file path, NUL included
inline constexpr std::size_t kLabelBytes = 19451;      // tab label, NUL included

namespace exchange {
inline constexpr ExchangeField kModule{0, 8};
inline constexpr ExchangeField kPrinter{kModule.offset + kModule.size, 8};
inline constexpr ExchangeField kPrinterName{kPrinter.offset + kPrinter.size, 2 * kNameCharacters};
inline constexpr ExchangeField kTemporaryPath{kPrinterName.offset + kPrinterName.size, 2 * kPathCharacters};
inline constexpr ExchangeField kDocumentName{kTemporaryPath.offset + kTemporaryPath.size, 2 * kNameCharacters};
inline constexpr ExchangeField kOrientation{kDocumentName.offset + kDocumentName.size, 2};
inline constexpr ExchangeField kPrintQuality{kOrientation.offset + kOrientation.size, 2};
inline constexpr ExchangeField kYResolution{kPrintQuality.offset + kPrintQuality.size, 2};
inline constexpr ExchangeField kScale{kYResolution.offset + kYResolution.size, 2};
inline constexpr ExchangeField kSettings{kScale.offset + kScale.size, settings::kRecordSize};
inline constexpr ExchangeField kReservedAfterSettings{kSettings.offset + kSettings.size, 3};
inline constexpr ExchangeField kJobId{kReservedAfterSettings.offset + kReservedAfterSettings.size, 4};
inline constexpr ExchangeField kTabInformation{kJobId.offset + kJobId.size, 4};
inline constexpr ExchangeField kLabel{kTabInformation.offset + kTabInformation.size, kLabelBytes};
inline constexpr ExchangeField kReservedAfterLabel{kLabel.offset + kLabel.size, 1};
inline constexpr ExchangeField kStatus{kReservedAfterLabel.offset + kReservedAfterLabel.size, 4};
}  // namespace exchange

inline constexpr std::size_t kExchangeRecordSize = exchange::kStatus.offset + exchange::kStatus.size;
static_assert(exchange::kTemporaryPath.offset == 8210 && exchange::kDocumentName.offset == 139284);
static_assert(exchange::kSettings.offset == 147486 && exchange::kJobId.offset == 174360);
static_assert(exchange::kLabel.offset == 174368 && exchange::kStatus.offset == 193820);
static_assert(kExchangeRecordSize == 193824);

// The worker's status while it runs, and its results.
inline constexpr std::uint32_t kWorkerRunning = 1;
inline constexpr std::uint32_t kWorkerSucceeded = 0;
inline constexpr std::uint32_t kWorkerFailed = 1;

// The orientation and scale the record carries when the job's DEVMODE does
// not set them.
inline constexpr std::uint16_t kDefaultOrientation = 1;
inline constexpr std::uint16_t kDefaultScale = 0xFFFF;

struct TabExchange {
    std::uint64_t module = 0;
    std::uint64_t printer = 0;
    std::u16string printerName;
    std::u16string temporaryPath;
    std::u16string documentName;
    std::uint16_t orientation = kDefaultOrientation;
    std::uint16_t printQuality = 0;
    std::uint16_t yResolution = 0;
    std::uint16_t scale = kDefaultScale;
    settings::CoreData settings;
    std::uint32_t jobId = 0;
    std::array<std::uint8_t, 4> tabInformation{};
    std::string label;
    std::uint32_t status = 0;
};

// Writes every field into the record; texts longer than their field are cut
// so that the terminating NUL always fits. Reserved bytes are left as they
// are. Returns false (writing nothing) when the record is not
// kExchangeRecordSize bytes.
bool writeExchange(const TabExchange& exchange, std::span<std::uint8_t> record);

// Returns the fields of the record; nothing when it is not
// kExchangeRecordSize bytes or a name, the path or the label has no NUL
// inside its field.
std::optional<TabExchange> readExchange(std::span<const std::uint8_t> record);

// Returns a little-endian number of the record's field (at most 8 bytes).
std::uint64_t readNumber(std::span<const std::uint8_t> record, ExchangeField field);
// Stores a little-endian number into the record's field (at most 8 bytes).
void writeNumber(std::span<std::uint8_t> record, ExchangeField field, std::uint64_t value);

}  // namespace tvzx::tabs
