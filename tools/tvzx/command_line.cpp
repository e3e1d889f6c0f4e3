#include "command_line.h"

namespace tvzx::cli {

std::string Arguments::take() { return words_.at(next_++); }

std::string Arguments::value(std::string_view option) {
    if (!more()) throw UsageError("option " + std::string(option) + " needs a value");
    return take();
}

void Arguments::unknown(std::string_view argument) {
    throw UsageError("unknown argument '" + std::string(argument) + "'");
}

}  // namespace tvzx::cli
