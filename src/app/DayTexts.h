// The day's calendar as the bar tells it: the hint of its time panel and
// tray icon, the balloon at a hidden start, and the mark reminder. Built
// once per date, not every second: the lunar engine runs once a day.
#pragma once

#include <string>

#include "calendar/CalendarData.h"
#include "core/DateTime.h"

namespace tempora {

// "公历: 2026年12月21日 星期一\r\n农历: …\r\n干支: …", then, when the day has
// them, "节气: 冬至 (12月21日 23:03)" with the term's moment (China time),
// "节日: …" and "假日: 元旦 (休)" or "(班)" for a public holiday, all as
// `data` knows them.
std::string DayHintText(TDateTime t, const TCalendarData& data);

// The balloon shown once when the program starts hidden without mark
// messages: date, lunar date, GanZhi, the term and the public holiday.
std::string DateBalloonText(TDateTime now, const TCalendarData& data);
inline constexpr char kDateBalloonTitle[] = "嘀嗒桌面时钟 3.7.7";

// The popup text of a day's Gregorian mark.
std::string MarkReminderText(TDateTime now, const std::string& note);

}  // namespace tempora
