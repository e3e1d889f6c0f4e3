#include "tabs/exchange_record.h"

#include <algorithm>

#include "common/byte_order.h"

namespace tvzx::tabs {
namespace {

using namespace exchange;

std::span<std::uint8_t> bytesOf(std::span<std::uint8_t> record, ExchangeField field) {
    return record.subspan(field.offset, field.size);
}

std::span<const std::uint8_t> bytesOf(std::span<const std::uint8_t> record, ExchangeField field) {
    return record.subspan(field.offset, field.size);
}

// Stores UTF-16 text little-endian with its NUL; what does not fit before the
// NUL is dropped. The rest of the field is zeroed.
void writeWide(std::span<std::uint8_t> record, ExchangeField field, std::u16string_view text) {
    std::span<std::uint8_t> bytes = bytesOf(record, field);
    std::fill(bytes.begin(), bytes.end(), 0);
    const std::size_t characters = std::min(text.size(), field.size / 2 - 1);
    for (std::size_t i = 0; i < characters; ++i) writeLittleEndian(bytes.data() + 2 * i, 2, text[i]);
}

// Returns the UTF-16 text before the field's first NUL; nothing when the
// field holds no NUL.
std::optional<std::u16string> readWide(std::span<const std::uint8_t> record, ExchangeField field) {
    const std::span<const std::uint8_t> bytes = bytesOf(record, field);
    std::u16string text;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto unit = static_cast<char16_t>(readLittleEndian(bytes.data() + i, 2));
        if (unit == u'\0') return text;
        text.push_back(unit);
    }
    return std::nullopt;
}

}  // namespace

std::uint64_t readNumber(std::span<const std::uint8_t> record, ExchangeField field) {
    return readLittleEndian(bytesOf(record, field).data(), std::min<std::size_t>(field.size, 8));
}

void writeNumber(std::span<std::uint8_t> record, ExchangeField field, std::uint64_t value) {
    writeLittleEndian(bytesOf(record, field).data(), std::min<std::size_t>(field.size, 8), value);
}

bool writeExchange(const TabExchange& exchange, std::span<std::uint8_t> record) {
    if (record.size() != kExchangeRecordSize) return false;
    writeNumber(record, kModule, exchange.module);
    writeNumber(record, kPrinter, exchange.printer);
    writeWide(record, kPrinterName, exchange.printerName);
    writeWide(record, kTemporaryPath, exchange.temporaryPath);
    writeWide(record, kDocumentName, exchange.documentName);
    writeNumber(record, kOrientation, exchange.orientation);
    writeNumber(record, kPrintQuality, exchange.printQuality);
    writeNumber(record, kYResolution, exchange.yResolution);
    writeNumber(record, kScale, exchange.scale);
    std::copy(exchange.settings.bytes.begin(), exchange.settings.bytes.end(), bytesOf(record, kSettings).begin());
    writeNumber(record, kJobId, exchange.jobId);
    std::copy(exchange.tabInformation.begin(), exchange.tabInformation.end(),
              bytesOf(record, kTabInformation).begin());
    // The label is a byte text; its NUL must stay inside the field.
    std::span<std::uint8_t> label = bytesOf(record, kLabel);
    std::fill(label.begin(), label.end(), 0);
    const std::size_t labelSize = std::min(exchange.label.size(), kLabel.size - 1);
    std::copy_n(exchange.label.begin(), labelSize, label.begin());
    writeNumber(record, kStatus, exchange.status);
    return true;
}

std::optional<TabExchange> readExchange(std::span<const std::uint8_t> record) {
    if (record.size() != kExchangeRecordSize) return std::nullopt;
    TabExchange exchange;
    auto printerName = readWide(record, kPrinterName);
    auto temporaryPath = readWide(record, kTemporaryPath);
    auto documentName = readWide(record, kDocumentName);
    const std::span<const std::uint8_t> label = bytesOf(record, kLabel);
    const auto labelEnd = std::find(label.begin(), label.end(), 0);
    if (!printerName || !temporaryPath || !documentName || labelEnd == label.end()) return std::nullopt;
    exchange.module = readNumber(record, kModule);
    exchange.printer = readNumber(record, kPrinter);
    exchange.printerName = std::move(*printerName);
    exchange.temporaryPath = std::move(*temporaryPath);
    exchange.documentName = std::move(*documentName);
    exchange.orientation = static_cast<std::uint16_t>(readNumber(record, kOrientation));
    exchange.printQuality = static_cast<std::uint16_t>(readNumber(record, kPrintQuality));
    exchange.yResolution = static_cast<std::uint16_t>(readNumber(record, kYResolution));
    exchange.scale = static_cast<std::uint16_t>(readNumber(record, kScale));
    const std::span<const std::uint8_t> settings = bytesOf(record, kSettings);
    std::copy(settings.begin(), settings.end(), exchange.settings.bytes.begin());
    exchange.jobId = static_cast<std::uint32_t>(readNumber(record, kJobId));
    const std::span<const std::uint8_t> information = bytesOf(record, kTabInformation);
    std::copy(information.begin(), information.end(), exchange.tabInformation.begin());
    exchange.label.assign(label.begin(), labelEnd);
    exchange.status = static_cast<std::uint32_t>(readNumber(record, kStatus));
    return exchange;
}

}  // namespace tvzx::tabs
