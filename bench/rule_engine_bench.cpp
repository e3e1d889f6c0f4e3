// Costs of the rules engine: one setting changed through its setter, with the
// corrections and the page exception pass it sets off.
#include <benchmark/benchmark.h>

#include <vector>

#include "rules/page_exceptions.h"
#include "rules/rule_engine.h"
#include "settings/core_data.h"

namespace {

using namespace tvzx;
using settings::CoreData;
using settings::FieldId;

std::uint32_t bookletOption() { return *settings::fieldDef(FieldId::Layout).options->find("Booklet"); }

// Layout Booklet on the default record: the booklet forces duplex and clears
// staples, punching and folds; the list of page exceptions is empty.
void setLayoutToBooklet(benchmark::State& state) {
    const CoreData& defaults = settings::defaultRecord();
    const std::uint32_t booklet = bookletOption();
    for (auto _ : state) {
        CoreData record = defaults;
        benchmark::DoNotOptimize(rules::setSetting(record, FieldId::Layout, booklet));
        benchmark::DoNotOptimize(record.bytes.data());
    }
}
BENCHMARK(setLayoutToBooklet);

// The same with a hundred blank inserts whose own finishing the booklet
// clears, so the pass decodes, corrects and encodes the whole list.
void setLayoutToBookletWithPageExceptions(benchmark::State& state) {
    std::vector<rules::PageException> records(100);
    for (std::size_t i = 0; i < records.size(); ++i) {
        records[i].kind = static_cast<std::uint8_t>(rules::ExceptionKind::BlankInsert);
        records[i].finishing1 = 3;
        records[i].tray = 2;
        records[i].pageRanges = {{static_cast<std::uint16_t>(i + 1), static_cast<std::uint16_t>(i + 1)}};
    }
    CoreData start = settings::defaultRecord();
    const auto encoded = rules::encodePageExceptions(records);
    std::copy(encoded.block.begin(), encoded.block.end(), start.field(FieldId::PageSpecificTrays).begin());
    const std::uint32_t booklet = bookletOption();
    for (auto _ : state) {
        CoreData record = start;
        benchmark::DoNotOptimize(rules::setSetting(record, FieldId::Layout, booklet));
        benchmark::DoNotOptimize(record.bytes.data());
    }
}
BENCHMARK(setLayoutToBookletWithPageExceptions);

}  // namespace
