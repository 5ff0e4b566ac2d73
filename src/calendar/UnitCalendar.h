// What the calendar window shows and offers that needs no window: the lines
// under the grid, the display modes, the year menu's years, and the day's
// calendar texts the bar asks the window for.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>

#include "calendar/LunarCal.Festivals.h"
#include "calendar/LunarCal.Grid.h"
#include "core/Bitmap.h"
#include "core/DateTime.h"

namespace tempora {

// The display modes of the mode menu, in its order (the items' tags).
enum TCalendarMode : int { cmLunar = 0, cmGanZhi = 1, cmFestival = 2 };
inline constexpr std::array<const char*, 3> kCalendarModeCaptions = {"公历-农历", "公历-干支",
                                                                     "公历-节日"};

// The captions above the grid and the four info lines under it for the
// selected `date`; `marksText` is the day's mark line text.
struct TCalendarInfo {
    std::string yearCaption;   // 2026年
    std::string monthCaption;  // 02月
    std::string lunar;         // 农历： 二零二六年正月初一, + " (立春)" on a term day
    std::string ganZhi;        // 干支： 丙午(马)年庚寅月…日
    std::string festival;      // 节日： …
    std::string marks;         // 标记： …
    bool operator==(const TCalendarInfo&) const = default;
};
TCalendarInfo CalendarInfoOf(TDateTime date, const TFestivalList& festivals,
                             const std::string& marksText);

// `text` as it fits in `width` pixels as `measure` measures it: whole, or
// cut between two characters with "…" after them (without it when even one
// character and the ellipsis do not fit).
std::string FitInfoLine(std::string_view text, int width,
                        const std::function<int(std::string_view)>& measure);

// The 13 years the year menu offers around the displayed year: six either
// side, kept within 1900..2100.
std::array<int, 13> YearMenuYears(int displayedYear);

// The 17 x 17 picture in the lower left of a marked day: a small orange
// bookmark ribbon on magenta (see-through); its lowest rows stay empty, as
// the grid draws it 14 pixels above the cell's bottom.
Bitmap CalendarMarkPicture();

// The calendar window's grid: its size there and its look (styles, scales,
// fonts, colours, the mark picture), at the grid's PixelsPerInch. The window, its tests and the
// grid's benchmark all start from this one set-up.
inline constexpr int kCalendarGridWidth = 326, kCalendarGridHeight = 272;
void SetUpCalendarGrid(TLunarCal& grid);

// The lunar date of a day, 二零二六年正月初一; empty outside the lunar tables.
std::string LunarDateText(TDateTime date);

// The day's texts as the bar's date line and hints take them: the lunar date
// line (with the term of a 00:00 moment), the GanZhi line, the solar term
// of the moment's day, and that day's festivals from `festivals`.
std::string GetLunarText(TDateTime moment);
std::string GetGanZhiText(TDateTime moment);
std::string GetTermText(TDateTime moment);
std::string GetFestivalText(TDateTime moment, const TFestivalList& festivals);

}  // namespace tempora
