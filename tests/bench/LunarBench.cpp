#include "calendar/LunarCal.Festivals.h"
#include "calendar/LunarCal.h"

#include <benchmark/benchmark.h>

#include <vector>

using namespace tempora;

namespace {

const TDateTime kFirst = EncodeDate(1901, 1, 1);
const TDateTime kLast = EncodeDate(2099, 12, 31);

// Walks every day of 1901-2099, one per iteration, over and over.
class DayCycle {
public:
    TDateTime Next() {
        const TDateTime day = day_;
        day_ = day_ >= kLast ? kFirst : day_ + 1;
        return day;
    }

private:
    TDateTime day_ = kFirst;
};

void BM_SolarToLunar(benchmark::State& state) {
    DayCycle days;
    for (auto _ : state)
        benchmark::DoNotOptimize(SolarToLunar(days.Next()));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SolarToLunar);

void BM_LunarToSolar(benchmark::State& state) {
    std::vector<LunarDate> dates;
    for (TDateTime d = EncodeDate(1901, 2, 19); d <= kLast; d += 1)
        dates.push_back(SolarToLunar(d));
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(LunarToSolar(dates[i]));
        i = i + 1 == dates.size() ? 0 : i + 1;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LunarToSolar);

void BM_GanZhiOf(benchmark::State& state) {
    DayCycle days;
    for (auto _ : state)
        benchmark::DoNotOptimize(GanZhiOf(days.Next()));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_GanZhiOf);

void BM_SolarTermOfDay(benchmark::State& state) {
    DayCycle days;
    for (auto _ : state)
        benchmark::DoNotOptimize(SolarTermOfDay(days.Next()));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SolarTermOfDay);

// A year outside the generated table solves each instant from the series:
// the cost of one instant.
void BM_SolarTermInstantComputed(benchmark::State& state) {
    int n = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(SolarTermInstant(1800, n));
        n = (n + 1) % kSolarTermCount;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SolarTermInstantComputed);

void BM_FestivalTextOf(benchmark::State& state) {
    TFestivalList list;
    list.LoadWindowTables();
    DayCycle days;
    for (auto _ : state)
        benchmark::DoNotOptimize(list.FestivalTextOf(days.Next()));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FestivalTextOf);

// Everything one repaint of a 42-day month grid asks for: the lunar text
// (term, month name or day), the festival text and the mark colour of each cell.
void BM_MonthGridTexts(benchmark::State& state) {
    TFestivalList list;
    list.LoadWindowTables();
    list.AddMark(TFestivalList::ftSolar, "0214", 0x80FFFF);
    list.AddMark(TFestivalList::ftLunar, "0115", 0x80FFFF);
    const TDateTime firstCell = EncodeDate(2024, 1, 28);  // February 2024
    for (auto _ : state) {
        for (int i = 0; i < 42; ++i) {
            const TDateTime day = firstCell + i;
            std::string lunar = SolarTermOfDay(day);
            if (lunar.empty()) {
                const LunarDate l = SolarToLunar(day);
                lunar = l.Day == 1 ? LunarMonthText(l.Month, l.IsLeap) : LunarDayText(l.Day);
            }
            benchmark::DoNotOptimize(lunar);
            benchmark::DoNotOptimize(list.FestivalTextOf(day));
            benchmark::DoNotOptimize(list.MarkColorOf(day));
        }
    }
    state.SetItemsProcessed(state.iterations() * 42);
}
BENCHMARK(BM_MonthGridTexts);

// The hover hint, built each time the pointer enters another cell.
void BM_CalendarHintText(benchmark::State& state) {
    TFestivalList list;
    list.LoadWindowTables();
    DayCycle days;
    for (auto _ : state)
        benchmark::DoNotOptimize(CalendarHintText(days.Next(), list, false));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CalendarHintText);

}  // namespace
