// A spooler for the printer configuration tests: one printer whose data,
// keyed values, device capabilities and forms the test sets, counting every
// question it is asked.
#pragma once

#include "common/byte_order.h"
#include "config/printer_access.h"
#include "platform/windows_types.h"

namespace tvzx::testing {

// Appends a UTF-16 unit or a 16-bit number little-endian.
inline void appendLe16(std::vector<std::uint8_t>& bytes, std::uint16_t unit) {
    bytes.insert(bytes.end(), {static_cast<std::uint8_t>(unit & 0xFF), static_cast<std::uint8_t>(unit >> 8)});
}

class PrinterSpooler final : public platform::Spooler, public config::SpoolerQueries {
public:
    std::unique_ptr<platform::PrinterData> printerData(void* printer) override {
        ++questions;
        return printer == nullptr ? nullptr : std::make_unique<platform::MemoryPrinterData>(data);
    }
    std::optional<std::u16string> printerName(void*) override { return ++questions, u"Production 1"; }
    std::optional<std::u16string> jobParameters(void*, std::uint32_t) override { return ++questions, std::nullopt; }
    std::optional<platform::PrinterDataValue> readKeyValue(void*, std::string_view key, std::string_view name) override {
        ++questions;
        const auto it = keyed.find(std::string(key) + "\\" + std::string(name));
        return it == keyed.end() ? std::nullopt : std::optional(it->second);
    }
    config::CapabilityAnswer deviceCapability(void*, std::uint16_t capability) override {
        ++questions;
        const auto it = capabilities.find(capability);
        return it == capabilities.end() ? config::CapabilityAnswer{} : it->second;
    }
    std::optional<std::vector<config::Form>> forms(void*) override { return ++questions, formList; }

    void setBinary(const std::string& name, std::vector<std::uint8_t> bytes) { data.set(name, {win::REG_BINARY, bytes}); }
    void setDword(const std::string& name, std::uint32_t number) {
        std::vector<std::uint8_t> bytes(4);
        writeLe32(bytes.data(), number);
        data.set(name, {win::REG_DWORD, std::move(bytes)});
    }
    // Answers the standard or driver pair of bin capabilities: numbers of two
    // bytes, names in fields of kBinNameCharacters units.
    void setBins(std::uint16_t numbersCapability, std::uint16_t namesCapability, const std::vector<std::uint16_t>& numbers,
                 const std::vector<std::u16string>& names) {
        config::CapabilityAnswer& numberAnswer = capabilities[numbersCapability] = {static_cast<std::int32_t>(numbers.size()), {}};
        for (std::uint16_t n : numbers) appendLe16(numberAnswer.output, n);
        config::CapabilityAnswer& nameAnswer = capabilities[namesCapability] = {static_cast<std::int32_t>(names.size()), {}};
        for (const std::u16string& name : names)
            for (std::size_t i = 0; i < config::kBinNameCharacters; ++i) appendLe16(nameAnswer.output, i < name.size() ? name[i] : 0);
    }

    platform::MemoryPrinterData data;
    std::map<std::string, platform::PrinterDataValue> keyed;  // "Key\Name"
    std::map<std::uint16_t, config::CapabilityAnswer> capabilities;
    std::optional<std::vector<config::Form>> formList;
    int questions = 0;
};

// A printer handle the fake spooler accepts: any non-null pointer.
inline void* printerHandle() {
    static int printer = 0;
    return &printer;
}

// Returns UTF-16LE bytes of a text with its NUL, as the registry keeps texts.
inline std::vector<std::uint8_t> wideBytes(std::u16string_view text) {
    std::vector<std::uint8_t> bytes;
    for (char16_t c : text) appendLe16(bytes, c);
    appendLe16(bytes, 0);
    return bytes;
}

}  // namespace tvzx::testing
