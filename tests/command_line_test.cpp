// Splitting a Windows command line into the words the started program sees.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/command_line.h"

namespace tvzx {
namespace {

using Words = std::vector<std::u16string>;

// Returns the words as UTF-8 for readable failure messages (the tests use
// ASCII only).
std::vector<std::string> narrow(const Words& words) {
    std::vector<std::string> out;
    for (const std::u16string& word : words) out.emplace_back(word.begin(), word.end());
    return out;
}

std::vector<std::string> split(std::u16string_view commandLine) { return narrow(splitCommandLine(commandLine)); }

using Expected = std::vector<std::string>;

TEST(CommandLine, WorkerStartLine) {
    EXPECT_EQ(split(u"\"C:\\Windows\\System32\\rundll32.exe\" C:\\PROGRA~1\\TVZX\\TVZX_PS.DLL,CreateTabFileEx ABCDEFGHIJKLMNOPQRST"),
              (Expected{"C:\\Windows\\System32\\rundll32.exe", "C:\\PROGRA~1\\TVZX\\TVZX_PS.DLL,CreateTabFileEx",
                        "ABCDEFGHIJKLMNOPQRST"}));
    EXPECT_EQ(split(u"\"C:\\Program Files\\Print Tools\\run.exe\" \"second word\" third"),
              (Expected{"C:\\Program Files\\Print Tools\\run.exe", "second word", "third"}));
}

TEST(CommandLine, BlanksTabsAndEmptyInput) {
    EXPECT_EQ(split(u""), Expected{});
    EXPECT_EQ(split(u" \t  \t"), Expected{});
    EXPECT_EQ(split(u"  one\t\ttwo \t three  "), (Expected{"one", "two", "three"}));
    EXPECT_EQ(split(u"\"a\tb\" \"c  d\""), (Expected{"a\tb", "c  d"}));
    // Quotes group but do not end a word; an empty pair is an empty word.
    EXPECT_EQ(split(u"ab\"c d\"e f"), (Expected{"abc de", "f"}));
    EXPECT_EQ(split(u"a \"\" b"), (Expected{"a", "", "b"}));
    EXPECT_EQ(split(u"\"\""), (Expected{""}));
    // An unclosed quote runs to the end of the line.
    EXPECT_EQ(split(u"a \"b c "), (Expected{"a", "b c "}));
}

TEST(CommandLine, BackslashRules) {
    // Backslashes not before a quote stand for themselves.
    EXPECT_EQ(split(u"C:\\dir\\file a\\\\b c\\"), (Expected{"C:\\dir\\file", "a\\\\b", "c\\"}));
    // 2n backslashes before a quote: n backslashes, the quote groups.
    EXPECT_EQ(split(u"a\\\\\"b c\""), (Expected{"a\\b c"}));
    EXPECT_EQ(split(u"\"C:\\dir\\\\\" next"), (Expected{"C:\\dir\\", "next"}));
    // 2n+1 backslashes before a quote: n backslashes and a literal quote.
    EXPECT_EQ(split(u"a\\\"b"), (Expected{"a\"b"}));
    EXPECT_EQ(split(u"a\\\\\\\"b c"), (Expected{"a\\\"b", "c"}));
    EXPECT_EQ(split(u"\"say \\\"hi\\\"\" x"), (Expected{"say \"hi\"", "x"}));
    // A lone escaped quote is a word of its own.
    EXPECT_EQ(split(u"\\\""), (Expected{"\""}));
}

TEST(CommandLine, WideCharactersPassThrough) {
    const Words words = splitCommandLine(u"\"D:\\\u00C4rger \u4E2D\" \u00E9");
    ASSERT_EQ(words.size(), 2u);
    EXPECT_TRUE(words[0] == u"D:\\\u00C4rger \u4E2D");
    EXPECT_TRUE(words[1] == u"\u00E9");
}

}  // namespace
}  // namespace tvzx
