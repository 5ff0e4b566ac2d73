#include <cmath>

#include <benchmark/benchmark.h>

#include "calendar/LunarCal.Grid.h"
#include "calendar/UnitCalendar.h"
#include "core/Bitmap.h"
#include "core/ClockSource.h"
#include "core/Scale.h"
#include "display/SmoothFont.h"

using namespace tempora;

namespace {

// The calendar window's grid, 326 x 272 at 100 %, on February 2026 (Spring
// Festival: festivals, terms, days off and a working day), smooth text with
// shadows.
struct InstalledClock {
    explicit InstalledClock(const ClockSource& clock) { ClockSource::Install(&clock); }
    ~InstalledClock() { ClockSource::Install(nullptr); }
};

struct WindowGrid {
    // At `percent` of 100 % (the grid's size and fonts).
    explicit WindowGrid(int percent = 100) : cal(glyphs, TScale::kBaseDpi * percent / 100) {
        SetUpCalendarGrid(cal);
        cal.SetHolidayLookup([](TDateTime d) {
            if (d >= EncodeDate(2026, 2, 15) && d <= EncodeDate(2026, 2, 23))
                return HolidayInfo{"春节", HolidayKind::DayOff};
            if (d == EncodeDate(2026, 2, 14) || d == EncodeDate(2026, 2, 28))
                return HolidayInfo{"春节", HolidayKind::WorkDay};
            return HolidayInfo{};
        });
        cal.SetDate(EncodeDate(2026, 2, 17));
    }
    FakeClock clock{std::llround(ToUnixSeconds(EncodeDateTime(2026, 2, 10, 4, 0, 0)) * 1000.0)};
    InstalledClock installed{clock};
    TBlockGlyphs glyphs;
    TLunarCal cal;
    Bitmap picture;
};

// Everything: week row, back month, 42 cells with their texts and badges.
// Argument: the display's scale in percent.
void BM_LunarGridFullPaint(benchmark::State& state) {
    WindowGrid g(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        g.cal.Paint(g.picture);
        benchmark::DoNotOptimize(g.picture.Pixels());
    }
}
BENCHMARK(BM_LunarGridFullPaint)->Arg(100)->Arg(200)->Unit(benchmark::kMicrosecond);

// A key press within the month: the two cells the grid invalidates.
void BM_LunarGridSelectionRepaint(benchmark::State& state) {
    WindowGrid g;
    g.cal.Paint(g.picture);
    TCalRect dirty[2];
    int n = 0;
    g.cal.OnInvalidate = [&](const TCalRect& r) { dirty[n++ % 2] = r; };
    int step = 1;
    for (auto _ : state) {
        g.cal.SetDate(g.cal.Date() + step);
        step = -step;
        for (const TCalRect& r : dirty)
            g.cal.Paint(g.picture, r);
        benchmark::DoNotOptimize(g.picture.Pixels());
    }
}
BENCHMARK(BM_LunarGridSelectionRepaint)->Unit(benchmark::kMicrosecond);

}  // namespace
