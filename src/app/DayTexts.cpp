#include "app/DayTexts.h"

#include <cstdio>

#include "calendar/LunarCal.h"
#include "calendar/UnitCalendar.h"
#include "core/Text.h"

namespace tempora {

namespace {

// " (12月21日 23:03)": when the day's term begins, in China time.
std::string TermMoment(TDateTime day) {
    const int n = SolarTermIndexOfDay(day);
    if (n < 0)
        return {};
    const TDateTime at = SolarTermInstant(DecodeDate(day).year, n);
    const DateParts d = DecodeDate(at);
    const TimeParts tp = DecodeTime(at);
    char text[48];
    std::snprintf(text, sizeof text, " (%d月%d日 %02d:%02d)", d.month, d.day, tp.hour, tp.minute);
    return text;
}

std::string HolidayLine(TDateTime day, const TCalendarData& data) {
    const HolidayInfo holiday = data.HolidayOf(day);
    if (holiday.kind == HolidayKind::None)
        return {};
    return "\r\n假日: " + holiday.name + (holiday.kind == HolidayKind::DayOff ? " (休)" : " (班)");
}

}  // namespace

std::string DayHintText(TDateTime t, const TCalendarData& data) {
    const TDateTime day = static_cast<TDateTime>(DayNumber(t));
    // The lunar line is the date alone: the term has its own line, with its moment.
    std::string hint = "公历: " + FormatChineseDate(t) + "\r\n农历: " + LunarDateText(day) +
                       "\r\n干支: " + GetGanZhiText(t);
    if (const std::string term(Trim(GetTermText(t))); !term.empty())
        hint += "\r\n节气: " + term + TermMoment(day);
    if (const std::string festival(Trim(data.FestivalTextOf(t))); !festival.empty())
        hint += "\r\n节日: " + festival;
    return hint + HolidayLine(day, data);
}

std::string DateBalloonText(TDateTime now, const TCalendarData& data) {
    std::string text = "公历: " + FormatChineseDate(now) + "\r\n农历: " + GetLunarText(now) +
                       "\r\n干支: " + GetGanZhiText(now);
    if (const std::string term = GetTermText(now); !term.empty())
        text += "\r\n节气: " + term;
    return text + HolidayLine(static_cast<TDateTime>(DayNumber(now)), data);
}

std::string MarkReminderText(TDateTime now, const std::string& note) {
    return "日历标记：\r\n" + FormatChineseDate(now) + "\r\n\r\n" + note;
}

}  // namespace tempora
