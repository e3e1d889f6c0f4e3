// The locale's paper size from the C library's LC_PAPER dimensions.
#include "platform/system_locale.h"

#include <clocale>
#include <cstdint>

#if defined(__GLIBC__)
#include <langinfo.h>
#include <locale.h>
#endif

namespace tvzx::platform {

std::string localePaperSize() {
#if defined(__GLIBC__) && defined(_NL_PAPER_HEIGHT)
    // A private locale object keeps the process's global locale untouched.
    locale_t paper = newlocale(LC_PAPER_MASK, "", static_cast<locale_t>(0));
    if (paper == static_cast<locale_t>(0)) paper = newlocale(LC_PAPER_MASK, "C", static_cast<locale_t>(0));
    if (paper == static_cast<locale_t>(0)) return {};
    // glibc answers the paper height in millimetres as an integer in the pointer.
    const auto height = static_cast<int>(reinterpret_cast<std::intptr_t>(nl_langinfo_l(_NL_PAPER_HEIGHT, paper)));
    freelocale(paper);
    switch (height) {
        case 279: return "1";
        case 356: return "5";
        case 420: return "8";
        default: return "9";
    }
#else
    return {};
#endif
}

}  // namespace tvzx::platform
