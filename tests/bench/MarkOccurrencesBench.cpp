#include "calendar/MarkOccurrences.h"

#include <benchmark/benchmark.h>

using namespace tempora;

namespace {

// The mark editor's list: the next ten dates of a mark from a day, here a
// lunar mark that counts its leap month too, a lunar thirtieth, and a
// Gregorian 29 February that some years lack.
void BM_NextTenMarkDates(benchmark::State& state, const char* name, TMarkRule rule) {
    TDateTime from = EncodeDate(2000, 1, 1);
    for (auto _ : state) {
        benchmark::DoNotOptimize(NextMarkDates(name, rule, from, 10));
        from = from >= EncodeDate(2080, 1, 1) ? EncodeDate(2000, 1, 1) : from + 37;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK_CAPTURE(BM_NextTenMarkDates, LunarAlsoLeap, "10408",
                  TMarkRule{TLeapPolicy::AlsoLeap, TShortMonthRule::LastDay});
BENCHMARK_CAPTURE(BM_NextTenMarkDates, LunarThirtiethSkip, "11230",
                  TMarkRule{TLeapPolicy::OrdinaryOnly, TShortMonthRule::SkipYear});
BENCHMARK_CAPTURE(BM_NextTenMarkDates, GregorianLeapDay, "00229",
                  TMarkRule{TLeapPolicy::OrdinaryOnly, TShortMonthRule::SkipYear});

}  // namespace
