// tvzx_rundll: the export runner of a system without rundll32.exe. It takes
// the same command line, "MODULE,ENTRY ARGUMENTS", loads the module, and
// calls its export ENTRY with the Unicode suffix, as rundll32.exe does, in
// the form (window, instance, command line, show).
#include <cstdio>
#include <string>

#include "platform/dynamic_library.h"
#include "platform/path_text.h"

namespace {

using UnicodeEntry = void (*)(void* window, void* instance, char16_t* commandLine, int show);
constexpr int kShowNormal = 1;

}  // namespace

int main(int argc, char** argv) {
    // The words come split at blanks; the module path may itself hold some.
    std::string line;
    for (int i = 1; i < argc; ++i) line += (i > 1 ? " " : "") + std::string(argv[i]);
    const std::size_t comma = line.find(',');
    if (comma == std::string::npos) {
        std::fprintf(stderr, "usage: tvzx_rundll MODULE,ENTRY [ARGUMENTS]\n");
        return 2;
    }
    const std::string module = line.substr(0, comma);
    const std::size_t blank = line.find(' ', comma);
    const std::string entry = line.substr(comma + 1, blank == std::string::npos ? std::string::npos : blank - comma - 1);
    std::u16string arguments = tvzx::platform::utf16Path(blank == std::string::npos ? "" : line.substr(blank + 1));

    const auto library = tvzx::platform::systemLibraryLoader().load(tvzx::platform::utf16Path(module));
    if (library == nullptr) {
        std::fprintf(stderr, "tvzx_rundll: %s: cannot be loaded\n", module.c_str());
        return 1;
    }
    const auto call = reinterpret_cast<UnicodeEntry>(library->symbol((entry + "W").c_str()));
    if (call == nullptr) {
        std::fprintf(stderr, "tvzx_rundll: %s: no export %sW\n", module.c_str(), entry.c_str());
        return 1;
    }
    call(nullptr, nullptr, arguments.data(), kShowNormal);
    return 0;
}
