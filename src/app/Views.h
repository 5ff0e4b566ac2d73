// Where the docked views (calendar, clock, weather) open beside the bar.
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

}  // namespace tempora
