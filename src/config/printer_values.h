// Printer data values that the settings synchronisation reads, each with its
// stand-in when the value is missing: the installed options, the custom
// papers the driver's user interface remembers, and the default duplex.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "config/printer_access.h"
#include "rules/rule_engine.h"

namespace tvzx::config {

inline constexpr std::string_view kInstallableOptionsValue = "InstallableOptions";
inline constexpr std::string_view kLastCustomPapersValue = "LastCustomPapers";

// One remembered custom paper. Record layout (148 bytes, little-endian):
// kind (4), page-size index (4), 8 bytes kept as they are, the name as wide
// text up to its NUL in the remaining 132 bytes.
struct CustomPaper {
    std::uint32_t kind = 0;
    std::uint32_t pageSizeIndex = 0;
    std::array<std::uint8_t, 8> reserved{};
    std::u16string name;

    bool operator==(const CustomPaper&) const = default;
};

inline constexpr std::size_t kCustomPaperRecordSize = 148;
inline constexpr std::size_t kCustomPaperNameOffset = 16;
// Kind of a paper that the printer engine reported.
inline constexpr std::uint32_t kEngineCustomPaper = 1;

// Returns the installed-options block, read with a buffer of its size;
// zeros when the value is missing or larger.
rules::InstalledOptions readInstalledOptions(const PrinterAccess& printer);

// Returns the records of a "LastCustomPapers" value, each page-size index
// replaced by the custom size; none when the size is not a whole number of
// records.
std::vector<CustomPaper> parseCustomPapers(std::span<const std::uint8_t> value);

// Returns the printer's remembered custom papers; none when missing.
std::vector<CustomPaper> readCustomPapers(const PrinterAccess& printer);

}  // namespace tvzx::config
