// The locale's paper size as the user's Windows locale states it.
#include "platform/system_locale.h"

#include <windows.h>

namespace tvzx::platform {
namespace {

// LOCALE_IPAPERSIZE is a short number; room for it and the terminator.
constexpr int kPaperSizeCapacity = 8;

}  // namespace

std::string localePaperSize() {
    wchar_t value[kPaperSizeCapacity] = {};
    const int length = GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_IPAPERSIZE, value, kPaperSizeCapacity);
    if (length <= 1) return {};
    // The value is decimal digits; anything else is no answer.
    std::string paper;
    for (int i = 0; i < length - 1; ++i) {
        if (value[i] < L'0' || value[i] > L'9') return {};
        paper.push_back(static_cast<char>(value[i]));
    }
    return paper;
}

}  // namespace tvzx::platform
