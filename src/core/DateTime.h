// Date-time values: days since 1899-12-30 as a double, the fraction being the
// time of day. Local time unless a caller says otherwise.
#pragma once

#include <cstdint>
#include <string>

namespace tempora {

using TDateTime = double;

struct DateParts {
    int year = 1899, month = 12, day = 30;
};
struct TimeParts {
    int hour = 0, minute = 0, second = 0, msec = 0;
};

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);  // 0 for a month outside 1..12
bool IsValidDate(int year, int month, int day);
bool IsValidTime(int hour, int minute, int second, int msec = 0);

// Whole days since 1899-12-30 (may be negative); valid dates only.
int64_t DaysFromCivil(int year, int month, int day);
DateParts CivilFromDays(int64_t days);

TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int minute, int second, int msec = 0);
TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second,
                         int msec = 0);
// The calendar day of a value; times before 1899-12-30 count from the day's start as well.
int64_t DayNumber(TDateTime t);
DateParts DecodeDate(TDateTime t);
// Rounded to the nearest millisecond; 23:59:59.9996 stays on its own day.
TimeParts DecodeTime(TDateTime t);
// 1 = Monday ... 7 = Sunday.
int DayOfWeekISO(TDateTime t);
// 1 = Sunday ... 7 = Saturday, the classic numbering.
int DayOfWeek(TDateTime t);

// Delphi-style pattern, letters in either case:
//   yyyy yy          year, four or two digits
//   m mm             month (minutes when the letter token before it is an hour)
//   mmm mmmm         month name, "3月" / "三月"
//   d dd             day; ddd dddd weekday, 周一…周日 / 星期一…星期日
//   h hh n nn s ss   hour, minute, second; zzz milliseconds
//   ampm             the AM or PM designator of SetLocaleFormats; a pattern
//                    holding one shows its hours on the 12-hour clock (12, 1 … 11)
// Text in double or single quotes is copied literally, so is anything else.
std::string FormatDateTime(const std::string& pattern, TDateTime t);

// The patterns used across the program.
std::string FormatHMS(TDateTime t);            // "hh:mm:ss"
std::string FormatChineseDate(TDateTime t);    // "yyyy年mm月dd日 dddd"
std::string FormatMMDD(TDateTime t);           // "mmdd"
std::string FormatStamp(TDateTime t);          // "yyyy-mm-dd hh:mm:ss"
std::string FormatChineseMinute(TDateTime t);  // "yyyy年mm月dd日 hh:mm"

// The system's long time and short date formats (patterns as above) and the
// designators that the ampm token shows before and after noon. The Windows
// shell sets them from the user's locale; an empty argument selects zh-CN's
// default: "h:nn:ss", "yyyy/m/d", "上午", "下午".
void SetLocaleFormats(const std::string& longTime, const std::string& shortDate,
                      const std::string& amDesignator = {}, const std::string& pmDesignator = {});
std::string FormatLongTime(TDateTime t);
std::string FormatShortDate(TDateTime t);

// Parses "yyyy-mm-dd" or "yyyy-mm-dd hh:mm:ss"; false on anything else.
bool ParseStamp(const std::string& text, TDateTime& out);

// Unix seconds <-> date-time (no time zone applied).
TDateTime FromUnixSeconds(double seconds);
double ToUnixSeconds(TDateTime t);

}  // namespace tempora
