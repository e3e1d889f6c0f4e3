// Line ends of texts written by other systems: CR LF, CR or LF.
#pragma once

#include <string>
#include <string_view>

namespace tvzx::host {

// Returns the text with each line end (CR LF, CR or LF) replaced by
// `lineEnd`; the runs between line ends are copied whole.
std::string withLineEnds(std::string_view text, std::string_view lineEnd);

}  // namespace tvzx::host
