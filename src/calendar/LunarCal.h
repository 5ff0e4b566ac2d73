// The Chinese calendar engine: lunar dates for the lunar years 1900-2100
// (31 January 1900 to 31 December 2100), the sexagenary (GanZhi) cycles, the
// 24 solar terms from the real Sun, week numbers, and their Chinese texts.
// Stateless apart from the solar-term cache, which each year fills once
// (safe from any thread).
#pragma once

#include "core/DateTime.h"

#include <array>
#include <cstdint>
#include <string>

namespace tempora {

inline constexpr int kLunarFirstYear = 1900;
inline constexpr int kLunarLastYear = 2100;

// One word per lunar year 1900-2100: bits 15..4 say which of the months 1..12
// have 30 days (bit 15 = month 1), bits 3..0 the month a leap month follows
// (0 or 15: none). The leap month has 30 days when the next year's low bits are 15.
extern const std::array<uint16_t, kLunarLastYear - kLunarFirstYear + 1> LunarInfo;

// A lunar date; all zero stands for a date outside the supported range.
struct LunarDate {
    int32_t Year = 0;
    int32_t Month = 0;  // 1..12; a leap month carries the number of the month it follows
    int32_t Day = 0;    // 1..30
    bool IsLeap = false;
    bool operator==(const LunarDate&) const = default;
};

// Unreduced cycle numbers: stem = n mod 10, branch = n mod 12; 0 is 甲子.
struct GanZhiDate {
    int32_t YearCycle = 0;
    int32_t MonthCycle = 0;
    int32_t DayCycle = 0;
    bool operator==(const GanZhiDate&) const = default;
};

// Table look-ups; a year outside 1900-2100 (or a month above 12) gives 0.
int LeapMonthOf(int year);                // 0..12, 0 = no leap month
int LeapMonthDays(int year);              // 0, 29 or 30
int LunarMonthDays(int year, int month);  // 29 or 30; a month below 2 reads month 1
int LunarYearDays(int year);

// All zero outside 31 January 1900 .. 31 December 2100; the time of day is ignored.
LunarDate SolarToLunar(TDateTime x);
// Lunar years 1901-2099 only; anything else (including a leap flag on a month
// that is not the year's leap month) gives 1 January of year 1.
TDateTime LunarToSolar(const LunarDate& lunar);
bool IsValidLunarDate(const LunarDate& lunar);
inline constexpr TDateTime kNoSolarDate = -693593.0;  // 0001-01-01

// The year changes at the instant of 立春, the month on the calendar day of the
// month's first term; dates before 1900 (or after 9999) give zeros.
GanZhiDate GanZhiOf(TDateTime x);

// ISO 8601 weeks when useISO8601; otherwise weeks start on Sunday and week 1
// holds 1 January. 0 outside the years 1..9999.
int WeekOfYear(TDateTime x, bool useISO8601);

// Solar terms, index n = 0 (小寒) .. 23 (冬至); terms 2m-2 and 2m-1 fall in
// Gregorian month m.
inline constexpr int kSolarTermCount = 24;
// Empty outside 0..23.
std::string SolarTermName(int n);
// The instant, in China Standard Time, at which the Sun's apparent longitude
// reaches the term's longitude (小寒 285°, 大寒 300°, ... 冬至 270°). Years
// 1899-2101 come from a table, the rest are solved on each call; 0 for n
// outside 0..23 or a year outside 1..9999.
TDateTime SolarTermInstant(int year, int n);
// The years the table holds.
inline constexpr int kTermTableFirstYear = kLunarFirstYear - 1;
inline constexpr int kTermTableLastYear = kLunarLastYear + 1;
// The same instant, always solved from the series: what the table must hold.
TDateTime SolveSolarTermInstant(int year, int n);
// The term whose calendar day is x: its index, or -1. x is compared as
// passed, so a value with a time of day matches no term.
int SolarTermIndexOfDay(TDateTime x);
// Its name, or empty.
std::string SolarTermOfDay(TDateTime x);

// Texts. Cycle and weekday numbers are reduced into their tables, negative
// ones too; a year outside 0..9999 reads as 0.
std::string GanZhiText(int n);                       // 甲子
std::string ZodiacText(int n);                       // 鼠
std::string LunarYearText(int year);                 // 二零零九年; 日零零零年 for 0
std::string LunarMonthText(int month, bool isLeap);  // 正月, 闰四月, 腊月; "月" for 0
std::string LunarDayText(int day);                   // 初一 .. 三十; empty outside 1..30
std::string WeekdayText(int n);                      // 星期日 for 0 .. 星期六 for 6
std::string EnglishWeekdayText(int n, bool longName);

// 二零零九年正月初一 + " " + the term of the moment (empty unless the moment is
// 00:00 of a term day).
std::string LunarDateLineText(TDateTime moment);
// 己丑(牛)年丁丑月壬午日
std::string GanZhiLineText(TDateTime moment);

}  // namespace tempora
