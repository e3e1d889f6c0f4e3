// The fixed texts around tab sheets. What they do in an interpreter is
// proven by the interpreter tests; here: the lines every text keeps in the
// stream.
#include <gtest/gtest.h>

#include <algorithm>

#include "postscript/tab_texts.h"

namespace tvzx::postscript {
namespace {

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t at = 0, end; at < text.size(); at = end + 2) {
        end = std::min(text.find("\r\n", at), text.size());
        lines.push_back(text.substr(at, end - at));
    }
    return lines;
}

// Every text stands on lines of its own and keeps within the 255 characters
// a DSC reader allows per line.
TEST(TabTexts, EveryTextIsWholeLines) {
    for (const std::string& text : {tabFlagText(true), erasePageOverride(), pageSaveCapture(), pageSetupCallback(false),
                                    pageSetupCallback(true), qxpFixCall(), stateSave(), noEjectText(), stateRestore(),
                                    pageDeviceRestore()}) {
        SCOPED_TRACE(text);
        EXPECT_TRUE(text.starts_with("\r\n") && text.ends_with("\r\n"));
        const std::vector<std::string> lines = linesOf(text);
        for (std::size_t i = 1; i < lines.size(); ++i) {
            EXPECT_TRUE(!lines[i].empty() && lines[i].size() <= 255 && lines[i].find_first_of("\r\n") == lines[i].npos)
                << "line " << i << ": " << lines[i];
        }
    }
}

}  // namespace
}  // namespace tvzx::postscript
