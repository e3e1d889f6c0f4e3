// The paper sizes Windows numbers (the DEVMODE's dmPaperSize codes 1 to 117)
// with the names of the forms the spooler lists for them. They size a paper
// that the DEVMODE names only by its code, and stand in for the spooler's
// form list where the spooler cannot give one.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "config/printer_access.h"

namespace tvzx::config {

struct WindowsPaper {
    std::int16_t code;
    std::u16string_view name;
    std::uint32_t width;   // thousandths of a millimetre
    std::uint32_t height;
};

inline constexpr std::int16_t kFirstWindowsPaper = 1;
inline constexpr std::int16_t kLastWindowsPaper = 117;

// Returns the built-in papers in code order (codes 48 and 49 are reserved
// and have none).
std::span<const WindowsPaper> windowsPapers();

// Returns the paper of a code; null for a code without one.
const WindowsPaper* windowsPaper(std::int16_t code);

}  // namespace tvzx::config
