#include "config/printer_access.h"

#include <cstring>
#include <algorithm>
#include <limits>

namespace tvzx::config {
namespace {

constexpr std::uint64_t kLargest32 = std::numeric_limits<std::uint32_t>::max();

// The spooler's sizes are 32-bit: a larger size cannot have been meant.
bool sizesFit(std::uint64_t size, const std::uint64_t* needed) {
    return size <= kLargest32 && (needed == nullptr || *needed <= kLargest32);
}

// Hands a value over as the spooler's reads do.
std::uint32_t copyOut(const std::optional<platform::PrinterDataValue>& value, std::uint32_t* type, std::uint8_t* buffer,
                      std::uint64_t size, std::uint64_t* needed) {
    if (!value) return kErrorFileNotFound;
    if (type != nullptr) *type = value->type;
    if (needed != nullptr) *needed = value->data.size();
    if (value->data.size() > size || (buffer == nullptr && !value->data.empty())) return kErrorMoreData;
    if (buffer != nullptr && !value->data.empty()) std::memcpy(buffer, value->data.data(), value->data.size());
    return kErrorSuccess;
}

// Reads a whole value in the spooler's two steps: its size, then its bytes.
template <typename Read>
std::optional<platform::PrinterDataValue> wholeValue(Read read) {
    std::uint64_t needed = 0;
    std::uint32_t type = 0;
    const std::uint32_t probe = read(&type, nullptr, 0, &needed);
    if (probe != kErrorSuccess && probe != kErrorMoreData) return std::nullopt;
    platform::PrinterDataValue value;
    value.data.resize(static_cast<std::size_t>(needed));
    if (read(&value.type, value.data.data(), needed, &needed) != kErrorSuccess) return std::nullopt;
    value.data.resize(static_cast<std::size_t>(needed));
    return value;
}

}  // namespace

PrinterAccess::PrinterAccess(platform::Spooler& spooler, void* printer)
    : printer_(printer),
      data_(printer != nullptr ? spooler.printerData(printer) : nullptr),
      queries_(dynamic_cast<SpoolerQueries*>(&spooler)) {}

std::uint32_t PrinterAccess::readValue(std::string_view name, std::uint32_t* type, std::uint8_t* buffer,
                                       std::uint64_t size, std::uint64_t* needed) const {
    if (printer_ == nullptr) return kErrorInvalidPrinterName;
    if (!sizesFit(size, needed)) return kErrorIncorrectSize;
    if (data_ == nullptr) return kErrorInvalidHandle;
    return copyOut(data_->read(name), type, buffer, size, needed);
}

std::uint32_t PrinterAccess::readExtendedValue(std::string_view key, std::string_view name, std::uint32_t* type,
                                               std::uint8_t* buffer, std::uint64_t size, std::uint64_t* needed) const {
    if (printer_ == nullptr) return kErrorInvalidPrinterName;
    if (!sizesFit(size, needed)) return kErrorIncorrectSize;
    if (queries_ == nullptr) return kErrorNotSupported;
    return copyOut(queries_->readKeyValue(printer_, key, name), type, buffer, size, needed);
}

CapabilityAnswer PrinterAccess::deviceCapability(std::uint16_t capability) const {
    if (printer_ == nullptr || queries_ == nullptr) return {};
    return queries_->deviceCapability(printer_, capability);
}

std::optional<std::vector<Form>> PrinterAccess::forms() const {
    if (printer_ == nullptr || queries_ == nullptr) return std::nullopt;
    return queries_->forms(printer_);
}

std::optional<platform::PrinterDataValue> PrinterAccess::value(std::string_view name) const {
    return wholeValue([&](std::uint32_t* type, std::uint8_t* buffer, std::uint64_t size, std::uint64_t* needed) {
        return readValue(name, type, buffer, size, needed);
    });
}

std::optional<platform::PrinterDataValue> PrinterAccess::extendedValue(std::string_view key, std::string_view name) const {
    return wholeValue([&](std::uint32_t* type, std::uint8_t* buffer, std::uint64_t size, std::uint64_t* needed) {
        return readExtendedValue(key, name, type, buffer, size, needed);
    });
}

}  // namespace tvzx::config
