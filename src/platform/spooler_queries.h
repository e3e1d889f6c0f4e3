// What the printer configuration asks a spooler beyond platform::Spooler:
// values under a key of the printer, the device's capabilities and the form
// list, with the capability numbers it asks for.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/printer_data.h"

namespace tvzx::platform {

// Device capabilities of the input bins: the standard bin numbers (16 bits
// each) and bin names (24 wide characters each), and the driver's own pair
// that lists the printer's trays.
inline constexpr std::uint16_t kCapabilityBins = 6;
inline constexpr std::uint16_t kCapabilityBinNames = 12;
inline constexpr std::uint16_t kCapabilityDriverBins = 1000;
inline constexpr std::uint16_t kCapabilityDriverBinNames = 1001;
inline constexpr std::size_t kBinNumberSize = 2;
inline constexpr std::size_t kBinNameCharacters = 24;

// One form of the spooler's form list; sizes in thousandths of a millimetre.
struct Form {
    std::u16string name;
    std::uint32_t width = 0;
    std::uint32_t height = 0;

    bool operator==(const Form&) const = default;
};

// A device capability's answer: the count the call returns (-1 when it
// fails) and the elements it wrote, little-endian as on Windows.
struct CapabilityAnswer {
    std::int32_t count = -1;
    std::vector<std::uint8_t> output;
};

// What the printer access object asks the spooler beyond Spooler: values
// under a key of the printer, the device's capabilities and the form list.
// A spooler that can answer them implements this interface as well; with
// any other spooler these reads find nothing.
class SpoolerQueries {
public:
    virtual ~SpoolerQueries() = default;
    // Returns the value of this name under the printer's key of this name;
    // nothing when either is missing.
    virtual std::optional<PrinterDataValue> readKeyValue(void* printer, std::string_view key,
                                                         std::string_view name) = 0;
    // Returns the device's answer for one capability, asked with the
    // printer's name and port.
    virtual CapabilityAnswer deviceCapability(void* printer, std::uint16_t capability) = 0;
    // Returns the spooler's forms (level 1); nothing when they cannot be listed.
    virtual std::optional<std::vector<Form>> forms(void* printer) = 0;
};

}  // namespace tvzx::platform
