// Costs of localization: a text lookup in a built-in and in a file language,
// the preferred-language walk, and reading a language file.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "l10n/language_codes.h"
#include "l10n/language_file.h"
#include "l10n/language_file_cipher.h"
#include "l10n/text_lookup.h"
#include "l10n/text_table.h"

namespace {

using namespace tvzx::l10n;

// A language table with a text for every key of the built-in table in three
// file languages.
std::u16string fullLanguageTable() {
    std::u16string text = u"L10N_LBL_LANGUAGECODE\t0x0816\t0x0419\t0x0413\n";
    for (std::uint32_t id = 0; id < kTextRowCount; ++id) {
        const std::u16string_view key = textKey(id);
        if (key.empty()) continue;
        const std::u16string_view english = tableText(id, TextColumn::English);
        text.append(key);
        for (int language = 0; language < 3; ++language) {
            text += u'\t';
            text.append(english);
        }
        text += u'\n';
    }
    return text;
}

void builtInText(benchmark::State& state) {
    std::uint32_t id = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(getText(static_cast<int>(id % kBuiltInLanguageCount), id));
        id = (id + 7) % kTextRowCount;
    }
}
BENCHMARK(builtInText);

void fileLanguageText(benchmark::State& state) {
    const LanguageFile file = LanguageFile::parse(fullLanguageTable());
    std::uint32_t id = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(textIn(file, kBuiltInLanguageCount + static_cast<int>(id % 3), id));
        id = (id + 7) % kTextRowCount;
    }
}
BENCHMARK(fileLanguageText);

// A user whose first languages the plug-in has no texts for.
void preferredLanguageWalk(benchmark::State& state) {
    const std::vector<LanguageId> languages = {0x0816, 0x0419, 0x0457, 0x0404, 0x0409};
    for (auto _ : state) benchmark::DoNotOptimize(languageIndexFor(languages));
}
BENCHMARK(preferredLanguageWalk);

void readFullLanguageFile(benchmark::State& state) {
    const std::vector<std::uint8_t> packed = encipherLanguageFile(fullLanguageTable());
    for (auto _ : state) {
        const LanguageFile file = readLanguageFile(packed);
        benchmark::DoNotOptimize(file.languageCount());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(packed.size()));
}
BENCHMARK(readFullLanguageFile);

}  // namespace
