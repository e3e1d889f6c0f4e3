// Windows takes UTF-16 paths as they are; the UTF-8 forms serve logs and
// messages.
#include "platform/path_text.h"

#include <windows.h>

namespace tvzx::platform {

std::string utf8Path(std::u16string_view path) {
    if (path.empty()) return {};
    const auto* wide = reinterpret_cast<const wchar_t*>(path.data());
    const int size = static_cast<int>(path.size());
    const int needed = WideCharToMultiByte(CP_UTF8, 0, wide, size, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return {};
    std::string out(static_cast<std::size_t>(needed), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, size, out.data(), needed, nullptr, nullptr);
    return out;
}

std::u16string utf16Path(std::string_view path) {
    if (path.empty()) return {};
    const int size = static_cast<int>(path.size());
    const int needed = MultiByteToWideChar(CP_UTF8, 0, path.data(), size, nullptr, 0);
    if (needed <= 0) return {};
    std::u16string out(static_cast<std::size_t>(needed), u'\0');
    MultiByteToWideChar(CP_UTF8, 0, path.data(), size, reinterpret_cast<wchar_t*>(out.data()), needed);
    return out;
}

}  // namespace tvzx::platform
