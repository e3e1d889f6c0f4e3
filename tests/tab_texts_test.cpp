// The fixed texts around tab sheets. What they do in an interpreter is
// proven by the interpreter tests; here: their exact short forms, the forms
// that differ by an argument, and the shape every text keeps in the stream.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "postscript/tab_texts.h"

namespace tvzx::postscript {
namespace {

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find("\r\n", at);
        if (end == std::string::npos) {
            lines.push_back(text.substr(at));
            break;
        }
        lines.push_back(text.substr(at, end - at));
        at = end + 2;
    }
    return lines;
}

TEST(TabTexts, ShortFormsExactly) {
    EXPECT_EQ(tabFlagText(true),
              "\r\nuserdict /TVZXFeatures 2 copy known {pop pop}{100 dict put} ifelse\r\n"
              "TVZXFeatures /QXP1Tab true put\r\n");
    EXPECT_EQ(tabFlagText(false),
              "\r\nuserdict /TVZXFeatures 2 copy known {pop pop}{100 dict put} ifelse\r\n"
              "TVZXFeatures /QXP1Tab false put\r\n");
    EXPECT_EQ(noEjectText(), "\r\nuserdict /TARVONEP true put userdict /showpage {} put\r\n");
    EXPECT_EQ(pageSaveCapture(),
              "\r\nuserdict /pagesave known {userdict /pagesave get}{null}ifelse dup null eq {false}\r\n"
              "{true exch restore}ifelse TVZXFeatures /TARVOSaveAfterTab 3 -1 roll put\r\n");
    EXPECT_EQ(qxpFixCall(),
              "\r\nuserdict /TVZXFeatures known { userdict /TVZXFeatures get dup /QXP1Tab known\r\n"
              "TVZXFeatures /TARVOQXPFix known and {/TARVOQXPFix get exec} {pop}ifelse }if\r\n");
}

TEST(TabTexts, ShiftedCallbackMovesThePageBeforeItsLastLine) {
    const std::vector<std::string> plain = linesOf(pageSetupCallback(false));
    const std::vector<std::string> shifted = linesOf(pageSetupCallback(true));
    ASSERT_EQ(plain.size(), 7u);
    EXPECT_EQ(plain[1], "userdict /TVZXPluginEndPageSetupCallBack {");
    EXPECT_EQ(plain[6], "} bind executeonly put");
    std::vector<std::string> expected = plain;
    expected.insert(expected.begin() + 6,
                    {"<< /ZXLetterSTab 36 /ZXA4STab1 36 /ZXA4STab2 42 >>",
                     "TVZXFeatures /TVZXPSname known { TVZXFeatures /TVZXPSname get 2 copy known {get 0 exch",
                     "translate}{pop pop} ifelse } { pop } ifelse"});
    EXPECT_EQ(shifted, expected);
}

TEST(TabTexts, SaveAndRestoreOpenAndCloseAsTheTabSheetCodeExpects) {
    const std::vector<std::string> save = linesOf(stateSave());
    ASSERT_EQ(save.size(), 15u);
    EXPECT_EQ(save[1], "userdict /TARVOZXSAVE TVZXFeatures length dict put");
    EXPECT_EQ(save[14], "if pop} forall");
    const std::vector<std::string> restore = linesOf(stateRestore());
    ASSERT_EQ(restore.size(), 27u);
    EXPECT_EQ(restore[1], "clear userdict {type /savetype eq {dup userdict exch undef} if pop} forall");
    EXPECT_EQ(restore[24], "ifelse put");
    // The tab sheet ends through the tab-sheet code when the interpreter has it.
    EXPECT_EQ(restore[25], "/TarvoTABdict where { /TarvoTABdict get dup /Tarvo_TP2 known { /Tarvo_TP2 get exec }");
    EXPECT_EQ(restore[26], "{ pop } ifelse } if");
    const std::vector<std::string> device = linesOf(pageDeviceRestore());
    ASSERT_EQ(device.size(), 17u);
    EXPECT_EQ(device[1], "userdict /TARVOCPDSAVE known { userdict /TARVOSPDSAVE known {userdict");
    EXPECT_EQ(device[15], "TVZXFeatures /Tarvo_P5 known TVZXFeatures /TVZXPSname known and { TVZXFeatures begin");
    EXPECT_EQ(device[16], "TVZXPSname /Tarvo_P5 load end exec } if");
}

// Every text stands on lines of its own, keeps within the 255 characters a
// DSC reader allows per line, and closes every procedure, array, dictionary
// and string it opens.
TEST(TabTexts, EveryTextIsWholeLinesOfBalancedPostScript) {
    const std::vector<std::pair<const char*, std::function<std::string()>>> texts = {
        {"flag", [] { return tabFlagText(true); }},
        {"erasepage override", erasePageOverride},
        {"page-save capture", pageSaveCapture},
        {"plain callback", [] { return pageSetupCallback(false); }},
        {"shifted callback", [] { return pageSetupCallback(true); }},
        {"QXP fix call", qxpFixCall},
        {"state save", stateSave},
        {"no eject", noEjectText},
        {"state restore", stateRestore},
        {"page-device restore", pageDeviceRestore},
    };
    for (const auto& [name, make] : texts) {
        const std::string text = make();
        EXPECT_TRUE(text.starts_with("\r\n")) << name;
        EXPECT_TRUE(text.ends_with("\r\n")) << name;
        const std::vector<std::string> lines = linesOf(text);
        for (std::size_t i = 1; i < lines.size(); ++i) {
            EXPECT_FALSE(lines[i].empty()) << name << " line " << i;
            EXPECT_LE(lines[i].size(), 255u) << name << " line " << i;
            EXPECT_EQ(lines[i].find_first_of("\r\n"), std::string::npos) << name << " line " << i;
        }
        int braces = 0, brackets = 0, angles = 0, parens = 0;
        for (const char c : text) {
            braces += c == '{' ? 1 : c == '}' ? -1 : 0;
            brackets += c == '[' ? 1 : c == ']' ? -1 : 0;
            angles += c == '<' ? 1 : c == '>' ? -1 : 0;
            parens += c == '(' ? 1 : c == ')' ? -1 : 0;
            EXPECT_GE(braces, 0) << name;
        }
        EXPECT_EQ(braces, 0) << name;
        EXPECT_EQ(brackets, 0) << name;
        EXPECT_EQ(angles, 0) << name;
        EXPECT_EQ(parens, 0) << name;
    }
}

}  // namespace
}  // namespace tvzx::postscript
