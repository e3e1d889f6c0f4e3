// The tvzx commands. Each returns what it prints on standard output and
// throws UsageError for a refused argument or input, having written nothing.
#pragma once

#include <string>
#include <vector>

#include "command_line.h"

namespace tvzx::cli {

std::string versionCommand(Arguments arguments);
std::string settingsCommand(std::vector<std::string> words);
std::string renderCommand(Arguments arguments);
std::string ppdCommand(Arguments arguments);
std::string ticketCommand(Arguments arguments);
std::string inspectCommand(Arguments arguments);
std::string wakeCommand(Arguments arguments);
std::string textCommand(Arguments arguments);
std::string lngCommand(std::vector<std::string> words);
std::string printerDataCommand(Arguments arguments);

}  // namespace tvzx::cli
