// World time: the cities of TimeZone.lst grouped by country, and the time
// and daylight saving of a city at a UTC instant.
//
// TimeZone.lst holds one city per line (GBK, CR LF):
//   offset|country|other name|name|zone text|position text|DST start|DST end
// The offset is in hours and may be negative or fractional (5.75, -3.5). A
// daylight-saving rule is "month/day hour:minute" in the city's standard
// time; the day is a number (3/29 2:00) or a weekday of the month, Mon..Sun
// followed by 1..4 for the first to fourth or L for the last one
// (3/Sun2 2:00 is the second Sunday of March).
#pragma once

#include "core/DateTime.h"

#include <string>
#include <string_view>
#include <vector>

namespace tempora {

struct TDstRule {
    int month = 0;    // 1..12; 0 when the city has no such rule
    int day = 0;      // 1..31 for a fixed day, else 0
    int weekday = 0;  // 1 = Sunday .. 7 = Saturday for a weekday rule, else 0
    int week = 0;     // 1..4, or kLastWeek, for a weekday rule
    int hour = 0, minute = 0;

    static constexpr int kLastWeek = 5;
    bool IsSet() const { return month != 0; }
    bool operator==(const TDstRule&) const = default;
};

struct TCityData {
    std::string name;
    std::string otherName;
    std::string zoneText;
    std::string positionText;
    // The city keeps daylight saving only when both rules are set.
    TDstRule dstStart;
    TDstRule dstEnd;
    double utcOffset = 0;  // hours

    bool HasDaylightSaving() const { return dstStart.IsSet() && dstEnd.IsSet(); }
};

struct TCountryData {
    std::string name;
    std::vector<TCityData> cities;
};

inline constexpr const char* kTimeZoneFileName = "TimeZone.lst";
// Text fields longer than this many characters are cut to it.
inline constexpr size_t kMaxZoneFieldChars = 64;
// Offsets beyond this many hours either way count as no number (0).
inline constexpr double kMaxUtcOffset = 24;

enum class TRuleParse { None, Rule, Impossible };

// Reads one rule field. None when the field lacks "/", then " ", then ":"
// (an empty field among others); Impossible when all are there but the rule
// names no date and time of any year (month 13, day 0, Sun9, 25:00). A
// number that is no number reads as 0.
TRuleParse ParseDstRule(std::string_view field, TDstRule& rule);

// The cities of TimeZone.lst's lines (UTF-8). Blank lines, lines without a
// country or city name and lines with an impossible rule are skipped; every
// other line joins the country of the line before when the country names
// match, else starts a new country (a name may so appear twice). Control
// characters in texts become blanks.
std::vector<TCountryData> ParseTimeZoneLines(const std::vector<std::string>& utf8Lines);
// The raw bytes of the file: GBK as shipped, or UTF-8 when the file starts
// with a UTF-8 byte order mark or is valid UTF-8 holding non-ASCII bytes.
std::vector<TCountryData> ParseTimeZoneText(std::string_view bytes);
// Empty when the file is missing or cannot be read.
std::vector<TCountryData> LoadTimeZoneFile(const std::string& path);

// The instant a rule names in `year`, in the city's standard time; a fixed
// day beyond the month's length (29 February) falls on its last day.
TDateTime DstRuleInstant(const TDstRule& rule, int year);

// The offset in whole minutes: the hours truncated toward zero, the
// fraction of an hour rounded to the minute (-3.5 is -210).
int OffsetMinutes(double utcOffsetHours);
// The city's standard time (no daylight hour) at a UTC instant.
TDateTime CityStandardTime(const TCityData& city, TDateTime utc);

// Whether daylight saving applies at a moment of the city's standard time:
// from the start rule's instant up to, not including, the end rule's, both
// taken in that moment's year; when the end comes before the start in the
// year, the period runs across the new year.
bool IsDaylightTime(const TCityData& city, TDateTime standardTime);

struct TCityTime {
    TDateTime local = 0;  // the time shown: standard time, plus an hour in daylight saving
    bool daylight = false;
    TDateTime dstStart = 0;  // this year's switch instants (standard time); 0 without DST
    TDateTime dstEnd = 0;
};
TCityTime CityTimeAt(const TCityData& city, TDateTime utc);

// The texts the world-time dialog shows for a city at a UTC instant.
struct TCityLabels {
    std::string title;  // country + " - " + name + " " + other name
    std::string time;   // "yyyy年mm月dd日 hh:mm:ss", a blank, "(夏时制)" in daylight saving
    std::string zone;   // "时区: " + zone text
    std::string position;  // "位置: " + position text
    // The difference to Beijing time (UTC+8) now, daylight saving included:
    // "比北京时间快 3 小时", "比北京时间慢 2 小时 15 分", "与北京时间相同".
    std::string beijing;
    // "夏时制开始日期: " / "夏时制结束日期: " + "yyyy年mm月dd日 hh:mm" of
    // this year's switches; both empty for a city without daylight saving.
    std::string dstStart;
    std::string dstEnd;
};
// The text of TCityLabels::beijing for a city `cityOffsetMinutes` ahead of UTC.
std::string BeijingDifferenceText(int cityOffsetMinutes);
TCityLabels CityLabels(const std::string& country, const TCityData& city, TDateTime utc);

}  // namespace tempora
