// Windows command lines: one text that the started program splits into its
// words itself.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tvzx {

// Splits a command line into its words by the Windows rules: blanks and tabs
// separate words, double quotes group, 2n backslashes before a double quote
// give n backslashes and 2n+1 give n and a literal double quote; other
// backslashes stand for themselves. Returns the words.
std::vector<std::u16string> splitCommandLine(std::u16string_view commandLine);

}  // namespace tvzx
