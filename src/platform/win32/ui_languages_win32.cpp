// The user's preferred UI languages through GetUserPreferredUILanguages,
// looked up at run time since systems before Windows Vista lack it; there,
// or when it names none, the list is empty and the texts stay in English.
#include "platform/ui_languages.h"

#include <windows.h>

#include <string>

#include "platform/win32/run_time_function.h"

namespace tvzx::platform {
namespace {

using GetUserPreferredUILanguagesFunction = BOOL(WINAPI*)(DWORD, PULONG, PZZWSTR, PULONG);

// Asks for the languages as language identifiers, written as hexadecimal text.
constexpr DWORD kLanguageIdForm = 0x4;  // MUI_LANGUAGE_ID
constexpr unsigned kHexDigitBits = 4;
constexpr std::size_t kMostLanguageIdDigits = 4;

// Returns the lookup of GetUserPreferredUILanguages, made on first use so
// that it exists before any caller, however early.
win32::RunTimeFunction<GetUserPreferredUILanguagesFunction>& getUserPreferredUiLanguages() {
    static win32::RunTimeFunction<GetUserPreferredUILanguagesFunction> function{L"kernel32.dll",
                                                                               "GetUserPreferredUILanguages"};
    return function;
}

// Returns the language identifier written as hexadecimal digits; nothing for
// any other text.
std::optional<std::uint16_t> languageIdOfHex(std::wstring_view text) {
    if (text.empty() || text.size() > kMostLanguageIdDigits) return std::nullopt;
    std::uint16_t value = 0;
    for (const wchar_t c : text) {
        unsigned digit = 0;
        if (c >= L'0' && c <= L'9') digit = static_cast<unsigned>(c - L'0');
        else if (c >= L'a' && c <= L'f') digit = static_cast<unsigned>(c - L'a' + 10);
        else if (c >= L'A' && c <= L'F') digit = static_cast<unsigned>(c - L'A' + 10);
        else return std::nullopt;
        value = static_cast<std::uint16_t>((value << kHexDigitBits) | digit);
    }
    return value;
}

// Returns the languages of the preferred list; empty when the system has no
// such list or it is empty.
std::vector<std::uint16_t> listedLanguages() {
    const GetUserPreferredUILanguagesFunction getLanguages = getUserPreferredUiLanguages().get();
    if (getLanguages == nullptr) return {};

    // The first call sizes the list, the second fills it.
    ULONG count = 0;
    ULONG length = 0;
    if (!getLanguages(kLanguageIdForm, &count, nullptr, &length) || length == 0) return {};
    std::wstring buffer(length, L'\0');
    if (!getLanguages(kLanguageIdForm, &count, buffer.data(), &length)) return {};
    if (length < buffer.size()) buffer.resize(length);

    // The list is a sequence of NUL-terminated texts ending with an empty one.
    std::vector<std::uint16_t> languages;
    for (std::size_t start = 0; start < buffer.size();) {
        const std::size_t end = buffer.find(L'\0', start);
        const std::size_t stop = end == std::wstring::npos ? buffer.size() : end;
        if (stop == start) break;
        if (const std::optional<std::uint16_t> id = languageIdOfHex(std::wstring_view(buffer).substr(start, stop - start)))
            languages.push_back(*id);
        start = stop + 1;
    }
    return languages;
}

}  // namespace

std::vector<std::uint16_t> preferredUiLanguages() { return listedLanguages(); }

}  // namespace tvzx::platform
