// Text as the Windows calls take it (wchar_t, UTF-16) and as the plug-in
// keeps it (char16_t for UTF-16, char for UTF-8). On Windows both wide
// character types are 16-bit UTF-16 code units, so a wide buffer is read as
// the plug-in's text unit for unit.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cwchar>
#include <string>
#include <string_view>

namespace tvzx::platform::win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide characters are UTF-16 code units");

// Returns whether the text holds a NUL, which would end it early for the
// system calls and so name something else than the caller meant.
inline bool holdsNul(std::u16string_view text) { return text.find(u'\0') != std::u16string_view::npos; }

// Returns the text as a NUL-terminated wide string for the system calls.
inline std::wstring wideOf(std::u16string_view text) {
    return std::wstring(reinterpret_cast<const wchar_t*>(text.data()), text.size());
}

// Returns `length` wide characters as the plug-in's UTF-16 text.
inline std::u16string textOf(const wchar_t* text, std::size_t length) {
    if (text == nullptr) return {};
    return std::u16string(reinterpret_cast<const char16_t*>(text), length);
}

// Returns a NUL-terminated wide string as UTF-16 text; empty for null.
inline std::u16string textOf(const wchar_t* text) {
    if (text == nullptr) return {};
    return textOf(text, std::wcslen(text));
}

// Returns the wide form of UTF-8 text; malformed bytes become U+FFFD, as the
// system converts them.
inline std::wstring wideOfUtf8(std::string_view text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int needed = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    if (needed <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(needed), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), needed);
    return wide;
}

// Returns the UTF-8 form of `length` wide characters; an unpaired surrogate
// becomes U+FFFD.
inline std::string utf8Of(const wchar_t* text, std::size_t length) {
    if (text == nullptr || length == 0) return {};
    const int size = static_cast<int>(length);
    const int needed = WideCharToMultiByte(CP_UTF8, 0, text, size, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return {};
    std::string out(static_cast<std::size_t>(needed), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, size, out.data(), needed, nullptr, nullptr);
    return out;
}

}  // namespace tvzx::platform::win32
