#include "l10n/display_language.h"

namespace tvzx::l10n {

// Until the text table takes the user's preferred UI languages into account,
// every text is shown in English.
int currentLanguageIndex() { return 0; }

}  // namespace tvzx::l10n
