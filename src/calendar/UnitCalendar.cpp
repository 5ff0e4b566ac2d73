#include "calendar/UnitCalendar.h"

#include <algorithm>
#include <vector>

#include "calendar/LunarCal.h"

namespace tempora {

namespace {
TDateTime DayOf(TDateTime moment) {
    return static_cast<TDateTime>(DayNumber(moment));
}
}  // namespace

TCalendarInfo CalendarInfoOf(TDateTime date, const TFestivalList& festivals,
                             const std::string& marksText) {
    const TDateTime day = DayOf(date);
    const DateParts d = DecodeDate(day);
    TCalendarInfo info;
    info.yearCaption = std::to_string(d.year) + "年";
    info.monthCaption = FormatDateTime("mm", day) + "月";
    info.lunar = "农历： " + LunarDateText(day);
    if (const std::string term = SolarTermOfDay(day); !term.empty())
        info.lunar += " (" + term + ")";
    info.ganZhi = "干支： " + GanZhiLineText(day);
    info.festival = "节日： " + festivals.FestivalTextOf(day).text;
    info.marks = "标记： " + marksText;
    return info;
}

std::string LunarDateText(TDateTime date) {
    const LunarDate lunar = SolarToLunar(date);
    if (lunar.Day == 0)
        return {};
    return LunarYearText(lunar.Year) + LunarMonthText(lunar.Month, lunar.IsLeap) +
           LunarDayText(lunar.Day);
}

std::array<int, 13> YearMenuYears(int displayedYear) {
    const int centre = std::clamp(displayedYear, kLunarFirstYear + 6, kLunarLastYear - 6);
    std::array<int, 13> years{};
    for (int i = 0; i < 13; ++i)
        years[i] = centre - 6 + i;
    return years;
}

Bitmap CalendarMarkPicture() {
    Bitmap b;
    b.Create(17, 17, Bitmap::kKeyColor);
    // A ribbon 7 wide and 12 high with a notch at its foot, and a darker rim.
    const std::vector<Bitmap::Point> ribbon = {{2, 0}, {9, 0}, {9, 12}, {6, 9}, {5, 9}, {2, 12}};
    b.Polygon(ribbon, 0x2A7BE8, 0x1A4FA8);
    return b;
}

std::string GetLunarText(TDateTime moment) {
    return LunarDateLineText(moment);
}

std::string GetGanZhiText(TDateTime moment) {
    return GanZhiLineText(moment);
}

std::string GetTermText(TDateTime moment) {
    return SolarTermOfDay(DayOf(moment));
}

std::string GetFestivalText(TDateTime moment, const TFestivalList& festivals) {
    return festivals.FestivalTextOf(DayOf(moment)).text;
}

}  // namespace tempora
