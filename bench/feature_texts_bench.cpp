// Costs of the feature dictionary texts: the setup text once per job, and the
// page text on every page, which also reads the job's page exception list.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "postscript/feature_texts.h"
#include "rules/page_exceptions.h"
#include "settings/core_data.h"

namespace {

using tvzx::settings::CoreData;
using tvzx::settings::FieldId;

// A job that uses what makes the texts long: a custom page without a named
// size, a custom target paper, and a tray of a named custom colour.
CoreData customJob() {
    CoreData record = tvzx::settings::buildDefaultRecord({'9', 0});
    record.setOption(FieldId::PageSize, tvzx::settings::kCustomPageSize);
    record.setNumber(FieldId::CustomPageSizeWidth, 1000000);
    record.setNumber(FieldId::CustomPageSizeHeight, 1500000);
    record.setOption(FieldId::TargetPaperSize, 27);
    record.setNumber(FieldId::CustomTargetPaperSizeWidth, 2970000);
    record.setNumber(FieldId::CustomTargetPaperSizeHeight, 4200000);
    record.setOption(FieldId::MediaColorTray2, 14);
    record.setText(FieldId::CustomMediaColorNameTray2, "Sky Blue");
    return record;
}

// The same job with a page exception on every tenth of 200 pages.
CoreData jobWithExceptions() {
    CoreData record = customJob();
    std::vector<tvzx::rules::PageException> exceptions;
    for (std::uint16_t page = 10; page <= 200; page += 10) {
        tvzx::rules::PageException exception;
        exception.paperSize = 0;
        exception.pageRanges = {{page, page}};
        exceptions.push_back(exception);
    }
    const auto encoded = tvzx::rules::encodePageExceptions(exceptions);
    std::copy(encoded.block.begin(), encoded.block.end(), record.field(FieldId::PageSpecificTrays).begin());
    return record;
}

void setupText(benchmark::State& state) {
    const CoreData record = customJob();
    tvzx::postscript::PlugInFeatureTexts texts;
    for (auto _ : state) {
        std::string text = texts.setupEntries(record);
        benchmark::DoNotOptimize(text.data());
    }
}
BENCHMARK(setupText);

void pageTextWithoutExceptions(benchmark::State& state) {
    const CoreData record = customJob();
    tvzx::postscript::PlugInFeatureTexts texts;
    for (auto _ : state) {
        std::string text = texts.pageText(record, 7);
        benchmark::DoNotOptimize(text.data());
    }
}
BENCHMARK(pageTextWithoutExceptions);

// The last exception is the one that covers the page: the whole list is read
// and searched.
void pageTextWithExceptions(benchmark::State& state) {
    const CoreData record = jobWithExceptions();
    tvzx::postscript::PlugInFeatureTexts texts;
    for (auto _ : state) {
        std::string text = texts.pageText(record, 200);
        benchmark::DoNotOptimize(text.data());
    }
}
BENCHMARK(pageTextWithExceptions);

}  // namespace
