// Access to the printer's data values, as the spooler keeps them.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tvzx::platform {

struct PrinterDataValue {
    std::uint32_t type = 0;  // registry value type
    std::vector<std::uint8_t> data;
};

class PrinterData {
public:
    virtual ~PrinterData() = default;
    // Returns the value of this name from the printer's driver data key;
    // nothing when it does not exist or cannot be read.
    virtual std::optional<PrinterDataValue> read(std::string_view name) const = 0;
};

// Printer data held in memory: what tests and the command-line tool give.
class MemoryPrinterData final : public PrinterData {
public:
    void set(std::string name, PrinterDataValue value) { values_[std::move(name)] = std::move(value); }
    std::optional<PrinterDataValue> read(std::string_view name) const override {
        auto it = values_.find(std::string(name));
        if (it == values_.end()) return std::nullopt;
        return it->second;
    }

private:
    std::map<std::string, PrinterDataValue> values_;
};

}  // namespace tvzx::platform
