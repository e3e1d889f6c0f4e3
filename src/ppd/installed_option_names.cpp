#include "ppd/installed_option_names.h"

#include <algorithm>

namespace tvzx::ppd {
namespace {

constexpr std::string_view kTrueChoice = "True";
constexpr std::string_view kFalseChoice = "False";
constexpr std::string_view kAssign = "=";

// Returns the installable option of this name; null when none has it.
const InstallableOption* optionNamed(std::string_view name) {
    for (const InstallableOption& option : installableOptions())
        if (installableOptionName(option) == name) return &option;
    return nullptr;
}

// Returns whether the choice is one the option offers.
bool offers(const InstallableOption& option, std::string_view choice) {
    if (option.unit) return choice == kTrueChoice || choice == kFalseChoice;
    const auto choices = paperFeedUnitChoices();
    return std::find(choices.begin(), choices.end(), choice) != choices.end();
}

}  // namespace

std::string_view installableOptionName(const InstallableOption& option) {
    std::string_view name = option.keyword;
    if (name.starts_with(kInstallableKeywordPrefix)) name.remove_prefix(kInstallableKeywordPrefix.size());
    return name;
}

std::string_view choiceInBlock(const rules::InstalledOptions& block, const InstallableOption& option) {
    if (option.unit) return rules::hasCapability(block, *option.unit) ? kTrueChoice : kFalseChoice;
    const auto choices = paperFeedUnitChoices();
    return choices[std::min<std::size_t>(block[rules::kPaperFeedUnitByte], choices.size() - 1)];
}

InstalledOptionsEdit editInstalledOptions(const rules::InstalledOptions& current,
                                          std::span<const std::pair<std::string, std::string>> edits) {
    // Every edit is checked before the block changes, so a refused one
    // leaves nothing half done.
    for (const auto& [name, choice] : edits) {
        const InstallableOption* option = optionNamed(name);
        if (option == nullptr || !offers(*option, choice))
            return {current, name + std::string(kAssign) + choice};
    }
    // The options not named keep their choices from the current block; the
    // last edit of an option wins.
    const MarkedChoice marked = [&current, edits](std::string_view keyword) -> std::optional<std::string> {
        for (auto edit = edits.rbegin(); edit != edits.rend(); ++edit) {
            const InstallableOption* option = optionNamed(edit->first);
            if (option->keyword == keyword) return edit->second;
        }
        for (const InstallableOption& option : installableOptions())
            if (option.keyword == keyword) return std::string(choiceInBlock(current, option));
        return std::nullopt;
    };
    return {installedOptionsFromChoices(marked), std::nullopt};
}

std::vector<std::string> installedOptionLines(const rules::InstalledOptions& block) {
    std::vector<std::string> lines;
    for (const InstallableOption& option : installableOptions())
        lines.push_back(std::string(kInstalledOptionPrefix) + std::string(installableOptionName(option)) +
                        std::string(kAssign) + std::string(choiceInBlock(block, option)));
    return lines;
}

}  // namespace tvzx::ppd
