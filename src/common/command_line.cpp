#include "common/command_line.h"

namespace tvzx {

std::vector<std::u16string> splitCommandLine(std::u16string_view commandLine) {
    std::vector<std::u16string> words;
    std::u16string word;
    bool inWord = false;
    bool quoted = false;
    for (std::size_t i = 0; i < commandLine.size();) {
        const char16_t c = commandLine[i];
        if (!quoted && (c == u' ' || c == u'\t')) {
            if (inWord) words.push_back(std::move(word));
            word.clear();
            inWord = false;
            ++i;
            continue;
        }
        inWord = true;
        if (c == u'\\') {
            // Backslashes matter only in front of a double quote.
            std::size_t count = 0;
            while (i < commandLine.size() && commandLine[i] == u'\\') ++count, ++i;
            if (i < commandLine.size() && commandLine[i] == u'"') {
                word.append(count / 2, u'\\');
                if (count % 2 == 1) {
                    word.push_back(u'"');
                    ++i;
                }
            } else {
                word.append(count, u'\\');
            }
            continue;
        }
        if (c == u'"') quoted = !quoted;
        else word.push_back(c);
        ++i;
    }
    if (inWord) words.push_back(std::move(word));
    return words;
}

}  // namespace tvzx
