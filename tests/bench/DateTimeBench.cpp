#include "core/DateTime.h"

#include <benchmark/benchmark.h>

static void BM_FormatChineseDate(benchmark::State& state) {
    double t = tempora::EncodeDateTime(2024, 2, 4, 16, 26, 53);
    for (auto _ : state) {
        benchmark::DoNotOptimize(tempora::FormatChineseDate(t));
        t += 1.0;
    }
}
BENCHMARK(BM_FormatChineseDate);
