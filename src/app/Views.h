// Where the docked views (calendar, clock, weather) open beside the bar, and
// where they go when the bar moves.
#pragma once

namespace tempora {

// View codes of the menu items and of CHILD/Index.
enum TViewCode : int { kViewNone = 0, kViewCalendar = 1, kViewClock = 2, kViewWeather = 3 };

// A bar whose top lies below the middle of its screen is low: its views open
// above it (their bottom at the bar's top), otherwise below it. The screen is
// the monitor the bar is on, `screenTop` its top edge (negative for a monitor
// above the primary one).
bool BarIsLow(int barTop, int screenHeight, int screenTop = 0);
int DockedViewTop(int barTop, int barHeight, int viewHeight, int screenHeight, int screenTop = 0);

// Screen rectangles; right and bottom exclusive.
struct TViewRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};
struct TViewPoint {
    int x = 0, y = 0;
    bool operator==(const TViewPoint&) const = default;
};

// The top-left that keeps `view` inside `workArea`: moved the least it must,
// and, when larger than the work area, with its top-left inside it.
TViewPoint KeepOnWorkArea(const TViewRect& view, const TViewRect& workArea);

// Where a view goes once the bar has moved. One docked to the bar (`docked`)
// keeps its left edge and goes on the side DockedViewTop gives for the bar's
// new place on its monitor (`monitor`); any view is then kept on the work
// area of that monitor, so that it never ends off the screen.
TViewPoint ReplacedView(const TViewRect& bar, const TViewRect& view, bool docked,
                        const TViewRect& monitor, const TViewRect& workArea);

}  // namespace tempora
