// The tvzx commands. Each returns what it prints on standard output and
// throws UsageError for a refused argument or input, having written nothing.
#pragma once

#include <string>
#include <vector>

#include "command_line.h"

namespace tvzx::cli {

std::string versionCommand(Arguments arguments);
std::string settingsCommand(std::vector<std::string> words);

}  // namespace tvzx::cli
