// Whole-file reading and writing for the command-line tool.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tvzx::cli {

// Returns the file's bytes; throws UsageError naming the file when it cannot be read.
std::vector<std::uint8_t> readFileBytes(const std::string& path);
std::string readFileText(const std::string& path);

// Writes the bytes to a temporary file beside the target and renames it into
// place, so that a failed write leaves no partial file. Throws UsageError.
void writeFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace tvzx::cli
