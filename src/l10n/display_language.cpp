#include "l10n/display_language.h"

#include "l10n/text_lookup.h"
#include "platform/ui_languages.h"

namespace tvzx::l10n {

std::span<const LanguageCode> userLanguageCodes() {
    // The user's languages are asked for once; a change during the process's
    // life is not followed, so every job of it speaks the same language.
    static const std::vector<LanguageCode> codes = [] {
        const std::vector<LanguageId> languages = platform::preferredUiLanguages();
        return preferredLanguageCodes(languages);
    }();
    return codes;
}

int currentLanguageIndex() { return languageIndexOfCodes(userLanguageCodes()); }

std::vector<int> languagesToSearch() {
    const int display = currentLanguageIndex();
    const int count = languageCount();
    std::vector<int> order;
    order.reserve(static_cast<std::size_t>(count));
    order.push_back(display);
    for (int index = 0; index < count; ++index)
        if (index != display) order.push_back(index);
    return order;
}

}  // namespace tvzx::l10n
