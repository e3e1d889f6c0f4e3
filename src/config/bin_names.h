// Which tray a DEVMODE's paper source (dmDefaultSource) stands for. The
// source is a bin number of the device; the device capabilities list the
// bin numbers with their names, and a name is matched to an InputSlot
// option by the option's tray name.
//
// Tie-breaks: the first bin in the device's list that carries the number
// decides; its name from the device is tried before the name the printer
// publishes at the same position ("printBinNames"); a name matches the first
// InputSlot option, in table order, whose localized tray name, PPD option or
// option name it equals when case and blanks are ignored ("TRAY 1", "Tray1").
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "config/printer_access.h"

namespace tvzx::config {

// The bin number that lets the printer choose the tray.
inline constexpr std::int16_t kAutomaticBin = 7;
// The driver's own capabilities describe the trays when both list this many.
inline constexpr std::int32_t kDriverBinCount = 7;
// The printer's key of published properties, and the bin names among them.
inline constexpr std::string_view kPublishedDriverKey = "DsDriver";
inline constexpr std::string_view kPublishedBinNamesValue = "printBinNames";

struct PrinterBins {
    std::vector<std::uint16_t> numbers;
    std::vector<std::u16string> names;  // at the same positions as the numbers

    bool operator==(const PrinterBins&) const = default;
};

// Returns the bins of a pair of capability answers: numbers of 16 bits,
// names of 24 wide characters up to their NUL; only whole elements count.
PrinterBins binsOfAnswers(const CapabilityAnswer& numbers, const CapabilityAnswer& names);

// Returns the device's bins: the driver's own pair of capabilities when both
// answer 7 bins, else the standard pair.
PrinterBins readPrinterBins(const PrinterAccess& printer);

// Returns the bin names the printer publishes under its "DsDriver" key (a
// text list); none when missing.
std::vector<std::u16string> readPublishedBinNames(const PrinterAccess& printer);

// Returns the texts of a text-list value (UTF-16LE, each text ending in NUL,
// the list in an empty text).
std::vector<std::u16string> textListOf(std::span<const std::uint8_t> value);

// Returns the InputSlot option that a bin name names, in the given display
// language; nothing when it names none.
std::optional<std::uint32_t> inputSlotNamed(std::u16string_view binName, int languageIndex);

// Returns the InputSlot option of a bin number; nothing when the device has
// no such bin or its names name no tray.
std::optional<std::uint32_t> inputSlotForBin(std::uint16_t bin, const PrinterBins& bins,
                                             std::span<const std::u16string> publishedNames, int languageIndex);

}  // namespace tvzx::config
