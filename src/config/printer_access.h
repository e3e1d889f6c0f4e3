// The printer access object: how the printer configuration is read through
// the spooler, with the answers the spooler's functions give. It is made per
// call around the printer handle the driver supplied and reads nothing
// without one.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/printer_data.h"
#include "platform/spooler.h"
#include "platform/spooler_queries.h"

namespace tvzx::config {

// Windows error codes of the reads.
inline constexpr std::uint32_t kErrorSuccess = 0;
inline constexpr std::uint32_t kErrorFileNotFound = 2;
inline constexpr std::uint32_t kErrorInvalidHandle = 6;
inline constexpr std::uint32_t kErrorNotSupported = 50;
inline constexpr std::uint32_t kErrorMoreData = 234;
inline constexpr std::uint32_t kErrorIncorrectSize = 1462;
inline constexpr std::uint32_t kErrorInvalidPrinterName = 1801;

// The spooler's answers beyond platform::Spooler, as the access object
// names them.
using platform::CapabilityAnswer;
using platform::Form;
using platform::kBinNameCharacters;
using platform::kBinNumberSize;
using platform::kCapabilityBinNames;
using platform::kCapabilityBins;
using platform::kCapabilityDriverBinNames;
using platform::kCapabilityDriverBins;
using platform::SpoolerQueries;

class PrinterAccess {
public:
    // Reads through the spooler with the handle the driver supplied; with a
    // null handle the spooler is never asked.
    PrinterAccess(platform::Spooler& spooler, void* printer);
    PrinterAccess(const PrinterAccess&) = delete;
    PrinterAccess& operator=(const PrinterAccess&) = delete;

    // Reads the printer data value of this name into buffer. Returns a
    // Windows error code: 0 with the value copied; 234 when it is larger than
    // size (needed then holds its size); 2 when it is missing; 1801 without a
    // handle; 1462 when size or the incoming needed exceeds 32 bits. The type
    // and needed size are stored when the value exists.
    std::uint32_t readValue(std::string_view name, std::uint32_t* type, std::uint8_t* buffer, std::uint64_t size,
                            std::uint64_t* needed) const;
    // Reads a value under a key of the printer, with the codes of readValue
    // (50 when the spooler cannot read keyed values).
    std::uint32_t readExtendedValue(std::string_view key, std::string_view name, std::uint32_t* type,
                                    std::uint8_t* buffer, std::uint64_t size, std::uint64_t* needed) const;
    // Returns the device's answer for one capability; count -1 without a
    // handle or when the spooler cannot answer.
    CapabilityAnswer deviceCapability(std::uint16_t capability) const;
    // Returns the spooler's forms; nothing without a handle or when the
    // spooler cannot list them.
    std::optional<std::vector<Form>> forms() const;

    // Returns the whole value of this name (asked for its size first);
    // nothing when it cannot be read.
    std::optional<platform::PrinterDataValue> value(std::string_view name) const;
    // Returns the whole value under a key of the printer; nothing when it
    // cannot be read.
    std::optional<platform::PrinterDataValue> extendedValue(std::string_view key, std::string_view name) const;
    // Returns the printer's data store; null without a handle or store.
    const platform::PrinterData* printerData() const { return data_.get(); }
    // Returns whether a printer handle was supplied.
    bool hasPrinter() const { return printer_ != nullptr; }

private:
    void* printer_;
    std::unique_ptr<platform::PrinterData> data_;
    SpoolerQueries* queries_;
};

}  // namespace tvzx::config
