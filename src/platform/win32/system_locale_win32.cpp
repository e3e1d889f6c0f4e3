// The locale's paper size as the user's Windows locale states it.
#include "platform/system_locale.h"

#include <windows.h>

namespace tvzx::platform {

std::string localePaperSize() {
    char value[8] = {};
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_IPAPERSIZE, value, sizeof value) <= 0) return {};
    return std::string(value);
}

}  // namespace tvzx::platform
