// The installed-options block edited by option names, as tvzx printer-data
// sets it: named choices change their bits, the rest keep the block's.
#include "ppd/installed_option_names.h"

#include <gtest/gtest.h>

namespace tvzx::ppd {
namespace {

using Edits = std::vector<std::pair<std::string, std::string>>;

// The example printer's block (data/printer_data.reg): stapler to perfect
// binder, post-inserter, offset tray, every hole pattern, duplex unit, job
// storage, three-tray deck and bypass.
constexpr rules::InstalledOptions kExample{1, 0x3F, 0x81, 0x00, 0x03, 0, 0, 6};

TEST(InstalledOptionNames, NamedChoicesChangeTheirBitsAndTheRestKeepTheBlocksOrCountEveryUnitOfAnUnknownOne) {
    const InstalledOptionsEdit edit = editInstalledOptions(
        kExample, Edits{{"PaperFeedUnit", "ThreeTrayDeck"}, {"PerfectBinder", "False"}, {"OffsetTray", "False"},
                        {"Trimmer", "True"}, {"Stapler", "False"}, {"Stapler", "True"}});
    ASSERT_FALSE(edit.refused);
    // A zero hole-pattern byte stood for every pattern, and still does as bits.
    EXPECT_EQ(edit.block, (rules::InstalledOptions{1, 0x5F, 0x01, 0x0F, 0x03, 0, 0, 1}));

    // An unknown block counts every unit and reads its paper-feed code.
    const InstalledOptionsEdit unknown = editInstalledOptions(rules::InstalledOptions{}, Edits{{"Stapler", "False"}});
    ASSERT_FALSE(unknown.refused);
    EXPECT_EQ(unknown.block, (rules::InstalledOptions{1, 0xFE, 0xFF, 0x0F, 0x03, 0, 0, 0}));
}

TEST(InstalledOptionNames, AnyRefusedEditLeavesTheBlockAsItWas) {
    const std::pair<std::string, std::string> refused[] = {
        {"Stapler2", "True"}, {"Stapler", "Yes"}, {"Stapler", "ThreeTrayDeck"}, {"PaperFeedUnit", "True"},
        {"ZVInstStapler", "False"}, {"stapler", "False"},
    };
    for (const auto& [name, choice] : refused) {
        const InstalledOptionsEdit edit = editInstalledOptions(kExample, Edits{{"Trimmer", "True"}, {name, choice}});
        EXPECT_EQ(edit.refused, name + "=" + choice);
        EXPECT_EQ(edit.block, kExample) << name;
    }
}

TEST(InstalledOptionNames, LinesNameEveryOptionAndReadBackIntoTheSameBlock) {
    const rules::InstalledOptions block{1, 0x01, 0x00, 0x02, 0x00, 0, 0, 9};
    const std::vector<std::string> lines = installedOptionLines(block);
    ASSERT_EQ(lines.size(), installableOptions().size());
    EXPECT_EQ(std::vector(lines.begin(), lines.begin() + 4),
              (std::vector<std::string>{"InstalledOption.Stapler=True", "InstalledOption.PunchUnit=False",
                                        "InstalledOption.TwoHolePunch=False", "InstalledOption.ThreeHolePunch=True"}));
    EXPECT_EQ(lines[lines.size() - 2], "InstalledOption.JobStorage=False");
    // A code beyond the table reads as its last unit.
    EXPECT_EQ(lines.back(), "InstalledOption.PaperFeedUnit=ThreeTrayDeckBypass");
    Edits edits;
    for (const std::string& line : lines) {
        const std::size_t assign = line.find('=');
        edits.emplace_back(line.substr(kInstalledOptionPrefix.size(), assign - kInstalledOptionPrefix.size()),
                           line.substr(assign + 1));
    }
    EXPECT_EQ(editInstalledOptions(kExample, edits).block, (rules::InstalledOptions{1, 0x01, 0x00, 0x02, 0x00, 0, 0, 6}));
}

}  // namespace
}  // namespace tvzx::ppd
