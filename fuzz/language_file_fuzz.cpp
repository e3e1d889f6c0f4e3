// The language file reader on arbitrary deciphered text: the bytes are read
// as UTF-16 little-endian, as a deciphered file is, then parsed and looked up.
#include <cstddef>
#include <cstdint>
#include <string>

#include "l10n/language_file.h"
#include "l10n/text_lookup.h"
#include "l10n/text_table.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tvzx::l10n;
    std::u16string text;
    text.reserve(size / 2);
    for (std::size_t i = 0; i + 1 < size; i += 2) text.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));

    const LanguageFile file = LanguageFile::parse(text);
    // A file without a header line cannot add a language.
    if (!file.hasHeader() && file.languageCount() != 0) __builtin_trap();
    for (const FileLanguage& language : file.languages())
        if (!isFileLanguageCode(language.code)) __builtin_trap();

    // Every file language answers every identifier with a NUL-terminated text.
    const int count = kBuiltInLanguageCount + static_cast<int>(file.languageCount());
    for (int index = kBuiltInLanguageCount; index <= count; ++index) {
        for (const std::uint32_t id : {0u, 1u, 12u, 1971u, 1972u, kTextRowCount, kTextRowCount + 1}) {
            const std::u16string_view found = textIn(file, index, id);
            if (found.data() == nullptr || found.data()[found.size()] != u'\0') __builtin_trap();
        }
    }
    return 0;
}
