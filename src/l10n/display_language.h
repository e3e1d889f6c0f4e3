// The display language of the plug-in's texts.
#pragma once

namespace tvzx::l10n {

// Returns the index of the display language (0 for English).
int currentLanguageIndex();

}  // namespace tvzx::l10n
