#include "preview.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "command_line.h"

namespace tvzx::cli {
namespace {

// Quotes one word for the system's command interpreter.
std::string quoted(const std::string& word) {
#if defined(_WIN32)
    return "\"" + word + "\"";
#else
    std::string text = "'";
    for (const char c : word) text += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return text + "'";
#endif
}

std::string pageFile(const std::string& prefix, int page) {
    char number[16];
    std::snprintf(number, sizeof number, "-%02d.png", page);
    return prefix + number;
}

}  // namespace

std::vector<std::string> renderPreview(const std::string& printerReadyFile, const std::string& prefix) {
    // Pictures of an earlier run would pass for pages of this one.
    for (int page = 1; std::filesystem::exists(pageFile(prefix, page)); ++page)
        std::filesystem::remove(pageFile(prefix, page));
    const std::string command = std::string(kPreviewInterpreter) +
                                " -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=png16m -r" +
                                std::to_string(kPreviewResolution) + " " + quoted("-sOutputFile=" + prefix + "-%02d.png") +
                                " " + quoted(printerReadyFile);
    if (std::system(command.c_str()) != 0)
        throw UsageError("--preview: " + std::string(kPreviewInterpreter) + " could not render " + printerReadyFile);
    std::vector<std::string> pages;
    for (int page = 1; std::filesystem::exists(pageFile(prefix, page)); ++page) pages.push_back(pageFile(prefix, page));
    return pages;
}

}  // namespace tvzx::cli
