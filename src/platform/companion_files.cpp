#include "platform/companion_files.h"

#include <array>

#include "platform/module_path.h"

namespace tvzx::platform {
namespace {

// What each kind appends to the base, indexed by kind. The system copy puts
// the base elsewhere but ends the same way as the base module.
constexpr std::array<std::u16string_view, 9> kCompanionEndings = {
    u"_ui.dll", u".chm", u"_ps.dll", u"_umpd.dll", u".dll", u"_pcl.dll", u".lng", u"_n.dll", u".dll",
};
static_assert(kCompanionEndings.size() == static_cast<std::size_t>(CompanionKind::SystemCopy) + 1);

constexpr std::u16string_view kLibraryExtension = u".dll";
// The file name must end in these letters, in any case.
constexpr std::u16string_view kLibraryLetters = u"dll";
// A path must be longer than this to name a library file.
constexpr std::size_t kShortestRefusedLength = 4;
constexpr char16_t kUnderscore = u'_';
constexpr char16_t kWindowsSeparator = u'\\';
constexpr char16_t kPosixSeparator = u'/';

char16_t lowerAscii(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + (u'a' - u'A')) : c; }

bool endsWithIgnoringCase(std::u16string_view text, std::u16string_view ending) {
    if (text.size() < ending.size()) return false;
    const std::u16string_view tail = text.substr(text.size() - ending.size());
    for (std::size_t i = 0; i < ending.size(); ++i)
        if (lowerAscii(tail[i]) != lowerAscii(ending[i])) return false;
    return true;
}

// Returns where the file name starts: after the last separator of either
// kind, as Windows accepts both.
std::size_t fileNameStart(std::u16string_view path) {
    const std::size_t separator = path.find_last_of(u"\\/");
    return separator == std::u16string_view::npos ? 0 : separator + 1;
}

// Returns the base of the companion names: the path up to the last
// underscore of the file name, or without its library extension when the
// file name has no underscore.
std::optional<std::u16string_view> baseOf(std::u16string_view path) {
    const std::size_t nameStart = fileNameStart(path);
    const std::u16string_view name = path.substr(nameStart);
    const std::size_t underscore = name.find_last_of(kUnderscore);
    if (underscore != std::u16string_view::npos) return path.substr(0, nameStart + underscore);
    // Without an underscore the name must carry the extension itself, or
    // there would be nothing to take off.
    if (!endsWithIgnoringCase(name, kLibraryExtension)) return std::nullopt;
    return path.substr(0, path.size() - kLibraryExtension.size());
}

}  // namespace

std::optional<std::u16string> companionFileName(std::u16string_view modulePath, std::uint32_t kind,
                                                std::u16string_view systemDirectory) {
    if (kind >= kCompanionEndings.size()) return std::nullopt;
    if (modulePath.size() <= kShortestRefusedLength) return std::nullopt;
    const std::u16string_view fileName = modulePath.substr(fileNameStart(modulePath));
    if (!endsWithIgnoringCase(fileName, kLibraryLetters)) return std::nullopt;
    const std::optional<std::u16string_view> base = baseOf(modulePath);
    if (!base) return std::nullopt;
    const std::u16string_view ending = kCompanionEndings[kind];
    if (kind != static_cast<std::uint32_t>(CompanionKind::SystemCopy)) return std::u16string(*base) + std::u16string(ending);
    // The system copy: the base's own file name inside the system directory.
    if (systemDirectory.empty()) return std::nullopt;
    std::u16string path(systemDirectory);
    if (path.back() != kWindowsSeparator && path.back() != kPosixSeparator) path.push_back(kWindowsSeparator);
    return path + std::u16string(base->substr(fileNameStart(*base))) + std::u16string(ending);
}

std::optional<std::u16string> companionFilePath(void* module, CompanionKind kind) {
    const std::u16string path = modulePath(module);
    if (path.empty()) return std::nullopt;
    const auto number = static_cast<std::uint32_t>(kind);
    // Only the system copy needs the system directory.
    if (kind == CompanionKind::SystemCopy) return companionFileName(path, number, systemDirectory());
    return companionFileName(path, number);
}

bool copyCompanionFileName(void* module, std::uint32_t kind, char16_t* buffer, std::size_t capacity) {
    if (buffer == nullptr || capacity == 0) return false;
    buffer[0] = u'\0';
    if (kind >= kCompanionEndings.size()) return false;
    const std::optional<std::u16string> name = companionFilePath(module, static_cast<CompanionKind>(kind));
    // The terminator needs its own place.
    if (!name || name->size() >= capacity) return false;
    name->copy(buffer, name->size());
    buffer[name->size()] = u'\0';
    return true;
}

std::unique_ptr<LoadedLibrary> loadCompanionLibrary(void* module, CompanionKind kind,
                                                              LibraryLoader& loader) {
    const std::optional<std::u16string> path = companionFilePath(module, kind);
    if (!path) return nullptr;
    return loader.load(*path);
}

}  // namespace tvzx::platform
