// Cost of enciphering one ticket password: key derivation, padding, AES-256
// over five blocks and the hex text.
#include <benchmark/benchmark.h>

#include <string>

#include "pjl/ticket_cipher.h"

namespace {

void encipherPasswordForTicket(benchmark::State& state) {
    const std::string password(64, 'p');
    for (auto _ : state) {
        std::string text = tvzx::pjl::encipherForTicket(password);
        benchmark::DoNotOptimize(text.data());
    }
}
BENCHMARK(encipherPasswordForTicket);

}  // namespace
