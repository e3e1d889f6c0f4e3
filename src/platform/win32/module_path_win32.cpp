// The loader's file name of a module, expanded to its long form.
#include "platform/module_path.h"

#include <windows.h>

#include <vector>

#include "platform/win32/wide_text.h"

namespace tvzx::platform {
namespace {

// Longest path the wide file functions accept.
constexpr DWORD kLongestPath = 32768;

}  // namespace

std::u16string modulePath(void* module) {
    if (module == nullptr) return {};
    std::vector<wchar_t> name(kLongestPath);
    const DWORD length = GetModuleFileNameW(static_cast<HMODULE>(module), name.data(), kLongestPath);
    // A full buffer means the name was cut short.
    if (length == 0 || length >= kLongestPath) return {};
    std::vector<wchar_t> longName(kLongestPath);
    const DWORD longLength = GetLongPathNameW(name.data(), longName.data(), kLongestPath);
    if (longLength == 0 || longLength >= kLongestPath) return win32::textOf(name.data(), length);
    return win32::textOf(longName.data(), longLength);
}

std::u16string systemDirectory() {
    wchar_t directory[MAX_PATH + 1] = {};
    const UINT length = GetSystemDirectoryW(directory, MAX_PATH + 1);
    if (length == 0 || length > MAX_PATH) return {};
    return win32::textOf(directory, length);
}

}  // namespace tvzx::platform
