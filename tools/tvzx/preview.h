// Pictures of a rendered job: the printer-ready file run through
// Ghostscript, one PNG file per printed sheet.
#pragma once

#include <string>
#include <vector>

namespace tvzx::cli {

// The interpreter the preview runs and the resolution of its pictures.
inline constexpr char kPreviewInterpreter[] = "gs";
inline constexpr int kPreviewResolution = 72;

// Renders the printer-ready file into PREFIX-01.png, PREFIX-02.png, ...
// Returns the files written, in page order. Throws UsageError when the
// interpreter cannot be run or reports an error.
std::vector<std::string> renderPreview(const std::string& printerReadyFile, const std::string& prefix);

}  // namespace tvzx::cli
