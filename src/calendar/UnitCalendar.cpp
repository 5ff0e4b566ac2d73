#include "calendar/UnitCalendar.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "calendar/LunarCal.h"
#include "core/Scale.h"
#include "core/Text.h"

namespace tempora {

namespace {
TDateTime DayOf(TDateTime moment) {
    return static_cast<TDateTime>(DayNumber(moment));
}

TFontSpec Font(const char* name, int size, int ppi, uint32_t color, bool bold = false,
               bool italic = false, uint8_t charset = 134) {
    TFontSpec f;
    f.Name = name;
    f.Height = FontHeightOfSize(size, ppi);
    f.Color = color;
    f.Bold = bold;
    f.Italic = italic;
    f.Charset = charset;
    return f;
}
}  // namespace

void SetUpCalendarGrid(TLunarCal& g) {
    // At the grid's resolution, which the window gives it from its scale.
    const int ppi = g.PixelsPerInch();
    const TScale scale{ppi};
    g.SetSize(scale.Px(kCalendarGridWidth), scale.Px(kCalendarGridHeight));
    g.SetLunarCalStyle(csBottom);
    g.SetFtvCalStyle(csNone);
    g.SetShowHint(true);
    // The window draws its own month arrows beside the grid.
    g.SetShowArrow(false);
    g.SetVerticalScale(2.5);
    g.SetHorizonScale(2.5);
    g.SetAutoFontSize(false);
    g.SetSmoothText(true);
    g.SetShadowFont(true);
    g.SetFont(Font("宋体", 9, ppi, clWindowText, true));
    TLunarCalColors& c = g.CalColors();
    c.SetTitleBackColor(0x808000);
    c.SetWeekBackColor(0xFFFFFF);
    c.SetDayBackColor(0xFFFFFF);
    c.SetTrailingTextColor(0xC8C8C8);
    c.SetLunarTermColor(0x0000FF);
    c.SetSaturdayColor(0x0000FF);
    c.SetHightlightBackColor(0xE4BA5F);
    c.SetTitleTextFont(Font("楷体_GB2312", 14, ppi, 0xFF00FF, true));
    c.SetWeekTextFont(Font("宋体", 10, ppi, clActiveCaption));
    c.SetDayTextFont(Font("Arial", 16, ppi, 0x313131, true, false, 1));
    c.SetLunarTextFont(Font("宋体", 8, ppi, clWindowText));
    c.SetFtvTextFont(Font("宋体", 8, ppi, 0x008000));
    // 211 pixels at 100 %: the month's number fills the day area.
    TFontSpec back = Font("Times New Roman", 0, ppi, 0xE6E6E6, true, true, 1);
    back.Height = -scale.Px(211);
    c.SetBackMonthTextFont(back);
    g.SetMarkImage(std::make_shared<Bitmap>(CalendarMarkPicture()));
}

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

std::string FitInfoLine(std::string_view text, int width,
                        const std::function<int(std::string_view)>& measure) {
    if (measure(text) <= width)
        return std::string(text);
    // Character boundaries from the longest prefix down.
    std::vector<size_t> ends;
    for (size_t pos = 0; pos < text.size();) {
        pos += Utf8SequenceLength(text, pos);
        ends.push_back(std::min(pos, text.size()));
    }
    ends.pop_back();  // the whole text does not fit
    for (auto it = ends.rbegin(); it != ends.rend(); ++it) {
        const std::string cut = std::string(text.substr(0, *it)) + "…";
        if (measure(cut) <= width)
            return cut;
    }
    for (auto it = ends.rbegin(); it != ends.rend(); ++it) {
        if (measure(text.substr(0, *it)) <= width)
            return std::string(text.substr(0, *it));
    }
    return {};
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
