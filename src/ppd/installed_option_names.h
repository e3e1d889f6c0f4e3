// The printer's installed options by name, as an administrator sets them
// without the driver's user interface: "InstalledOption.<Name>=<Choice>",
// where Name is an installable option's PPD keyword without its "ZVInst"
// prefix and Choice one of the PPD's choices ("True", "False", or a
// paper-feed unit such as "ThreeTrayDeck"). The block is built through the
// same tables as the CUPS filter's PPD mapping, so both give one printer the
// same bytes.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ppd/marked_choices.h"
#include "rules/installed_options.h"

namespace tvzx::ppd {

// The prefix of an installed-option setting's name.
inline constexpr std::string_view kInstalledOptionPrefix = "InstalledOption.";
// The prefix the installable options' PPD keywords share.
inline constexpr std::string_view kInstallableKeywordPrefix = "ZVInst";

// Returns the option's name: its keyword without the shared prefix.
std::string_view installableOptionName(const InstallableOption& option);

// Returns the choice the block gives an installable option: "True" or
// "False" for a unit (every unit counts when the block does not describe
// the printer), the paper-feed unit's choice by its code (a code beyond the
// table reads as the last).
std::string_view choiceInBlock(const rules::InstalledOptions& block, const InstallableOption& option);

struct InstalledOptionsEdit {
    rules::InstalledOptions block{};
    // "Name=Choice" of the first edit naming no option or no choice of its
    // option; the block is the starting one then.
    std::optional<std::string> refused;
};

// Returns the block with each named option set to its choice, every other
// option keeping what `current` gives it. The result always describes the
// printer (byte 0 is 1). Edits are (name, choice) pairs, names without the
// "InstalledOption." prefix; a later edit of the same option wins.
InstalledOptionsEdit editInstalledOptions(const rules::InstalledOptions& current,
                                          std::span<const std::pair<std::string, std::string>> edits);

// Returns one "InstalledOption.<Name>=<Choice>" line per installable option,
// in PPD order, for the block.
std::vector<std::string> installedOptionLines(const rules::InstalledOptions& block);

}  // namespace tvzx::ppd
