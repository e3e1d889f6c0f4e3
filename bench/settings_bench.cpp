// Costs of the job settings model: validating a record, writing the layout
// description, and reading a description to convert a foreign record.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "settings/core_data.h"
#include "settings/schema_hash.h"
#include "settings/text_form.h"

namespace {

using namespace tvzx::settings;

void validateDefaultRecord(benchmark::State& state) {
    CoreData record = defaultRecord();
    for (auto _ : state) {
        benchmark::DoNotOptimize(validateRecord(record));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(validateDefaultRecord);

void writeLayoutDescription(benchmark::State& state) {
    for (auto _ : state) {
        std::string text = writeDescription();
        benchmark::DoNotOptimize(text.data());
    }
}
BENCHMARK(writeLayoutDescription);

// A record of this very layout stands in for a foreign one: every field is
// described, found by name and converted, which is the worst case.
void readDescriptionAndConvert(benchmark::State& state) {
    const std::string wrapped = writeDescription();
    const CoreData foreign = defaultRecord();
    for (auto _ : state) {
        CoreData destination = defaultRecord();
        benchmark::DoNotOptimize(readAndConvert(destination, foreign.bytes, wrapped));
        benchmark::DoNotOptimize(destination.bytes.data());
    }
}
BENCHMARK(readDescriptionAndConvert);

}  // namespace
