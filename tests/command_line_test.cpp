// Splitting a Windows command line into the words the started program sees.
#include <gtest/gtest.h>

#include "common/command_line.h"

namespace tvzx {
namespace {

using Words = std::vector<std::u16string>;

TEST(CommandLine, SplitsIntoTheWordsTheProgramSees) {
    const std::pair<std::u16string_view, Words> cases[] = {
        // The worker's start line.
        {u"\"C:\\Windows\\System32\\rundll32.exe\" C:\\PROGRA~1\\TVZX\\TVZX_PS.DLL,CreateTabFileEx ABCDEFGHIJKLMNOPQRST",
         {u"C:\\Windows\\System32\\rundll32.exe", u"C:\\PROGRA~1\\TVZX\\TVZX_PS.DLL,CreateTabFileEx", u"ABCDEFGHIJKLMNOPQRST"}},
        {u"\"D:\\\u00C4rger \u4E2D\" \u00E9", {u"D:\\\u00C4rger \u4E2D", u"\u00E9"}},
        // Blanks and tabs.
        {u"", {}}, {u" \t  \t", {}}, {u"  one\t\ttwo \t three  ", {u"one", u"two", u"three"}},
        {u"\"a\tb\" \"c  d\"", {u"a\tb", u"c  d"}},
        // Quotes group but do not end a word; an empty pair is an empty word;
        // an unclosed quote runs to the end of the line.
        {u"ab\"c d\"e f", {u"abc de", u"f"}}, {u"a \"\" b", {u"a", u"", u"b"}}, {u"\"\"", {u""}},
        {u"a \"b c ", {u"a", u"b c "}},
        // Backslashes not before a quote stand for themselves.
        {u"C:\\dir\\file a\\\\b c\\", {u"C:\\dir\\file", u"a\\\\b", u"c\\"}},
        // 2n backslashes before a quote: n backslashes, the quote groups.
        {u"a\\\\\"b c\"", {u"a\\b c"}}, {u"\"C:\\dir\\\\\" next", {u"C:\\dir\\", u"next"}},
        // 2n+1 backslashes before a quote: n backslashes and a literal quote.
        {u"a\\\"b", {u"a\"b"}}, {u"a\\\\\\\"b c", {u"a\\\"b", u"c"}}, {u"\"say \\\"hi\\\"\" x", {u"say \"hi\"", u"x"}},
        {u"\\\"", {u"\""}},
    };
    for (const auto& [line, words] : cases)
        EXPECT_TRUE(splitCommandLine(line) == words) << std::string(line.begin(), line.end());
}

}  // namespace
}  // namespace tvzx
