#include "DateTime.h"

#include <cmath>
#include <cstdio>

namespace tempora {

namespace {

// Day 0 of the date-time value is 1899-12-30, which is day -25569 of the Unix epoch.
constexpr int64_t kUnixEpochDay = 25569;

// Days from 1970-01-01 to a proleptic Gregorian date (H. Hinnant's algorithm).
int64_t UnixDaysFromCivil(int64_t y, int m, int d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

DateParts CivilFromUnixDays(int64_t z) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    return {static_cast<int>(yoe + era * 400 + (m <= 2)), m, d};
}

// Milliseconds since 1899-12-30 00:00, rounded; the one place that turns the
// double into whole units so that date and time always agree.
// Values beyond years 1..9999 (or not numbers at all) are pinned to a bound
// far outside that range instead of overflowing.
int64_t TotalMillis(TDateTime t) {
    constexpr double kLimitDays = 1e7;
    if (!(t > -kLimitDays))
        t = -kLimitDays;  // also NaN
    if (t > kLimitDays)
        t = kLimitDays;
    // llround, without the library call: every date and time goes through
    // here. The product is below 2^53, so its whole part and the fraction
    // left are exact, and halves round away from zero as llround does.
    const double ms = t * 86400000.0;
    int64_t whole = static_cast<int64_t>(ms);
    const double fraction = ms - static_cast<double>(whole);
    if (fraction >= 0.5)
        ++whole;
    else if (fraction <= -0.5)
        --whole;
    return whole;
}

int64_t FloorDiv(int64_t a, int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

const char* const kWeekDayLong[7] = {"星期日", "星期一", "星期二", "星期三",
                                     "星期四", "星期五", "星期六"};
const char* const kWeekDayShort[7] = {"周日", "周一", "周二", "周三", "周四", "周五", "周六"};

const char* const kMonthShort[12] = {"1月", "2月", "3月", "4月",  "5月",  "6月",
                                     "7月", "8月", "9月", "10月", "11月", "12月"};
const char* const kMonthLong[12] = {"一月", "二月", "三月", "四月", "五月",   "六月",
                                    "七月", "八月", "九月", "十月", "十一月", "十二月"};

const char* const kDefaultLongTime = "h:nn:ss";
const char* const kDefaultShortDate = "yyyy/m/d";
const char* const kDefaultAm = "上午";
const char* const kDefaultPm = "下午";
std::string g_longTime = kDefaultLongTime;
std::string g_shortDate = kDefaultShortDate;
std::string g_am = kDefaultAm;
std::string g_pm = kDefaultPm;

void AppendNumber(std::string& out, int64_t value, int width) {
    std::string digits = std::to_string(value < 0 ? -value : value);
    if (value < 0)
        out += '-';
    if (static_cast<int>(digits.size()) < width)
        out.append(width - digits.size(), '0');
    out += digits;
}

int CountRun(const std::string& s, size_t i, char lower) {
    int n = 0;
    while (i + n < s.size() && (s[i + n] | 0x20) == lower)
        ++n;
    return n;
}

bool IsAmPmAt(const std::string& s, size_t i) {
    static const char kToken[] = "ampm";
    if (s.size() - i < 4)
        return false;
    for (size_t k = 0; k < 4; ++k) {
        if ((s[i + k] | 0x20) != kToken[k])
            return false;
    }
    return true;
}

// The end of the quoted text opened at i (the closing quote, or the end of an
// unterminated pattern).
size_t QuoteEnd(const std::string& s, size_t i) {
    const size_t end = s.find(s[i], i + 1);
    return end == std::string::npos ? s.size() : end;
}

// An ampm token anywhere outside quotes switches every hour of the pattern to
// the 12-hour clock, wherever the designator stands ("tt h:mm" as well as "h:mm tt").
// FormatDateTime never skips an 'a' except inside an ampm token, so looking at
// every position outside quotes finds exactly the tokens it will meet.
bool HasAmPm(const std::string& s) {
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '"' || s[i] == '\'')
            i = QuoteEnd(s, i);
        else if (IsAmPmAt(s, i))
            return true;
    }
    return false;
}

}  // namespace

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool IsValidDate(int year, int month, int day) {
    return year >= 1 && year <= 9999 && day >= 1 && day <= DaysInMonth(year, month);
}

bool IsValidTime(int hour, int minute, int second, int msec) {
    return hour >= 0 && hour < 24 && minute >= 0 && minute < 60 && second >= 0 && second < 60 &&
           msec >= 0 && msec < 1000;
}

int64_t DaysFromCivil(int year, int month, int day) {
    return UnixDaysFromCivil(year, month, day) + kUnixEpochDay;
}

DateParts CivilFromDays(int64_t days) {
    return CivilFromUnixDays(days - kUnixEpochDay);
}

TDateTime EncodeDate(int year, int month, int day) {
    return static_cast<double>(DaysFromCivil(year, month, day));
}

TDateTime EncodeTime(int hour, int minute, int second, int msec) {
    return ((hour * 60 + minute) * 60000.0 + second * 1000.0 + msec) / 86400000.0;
}

TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second, int msec) {
    return EncodeDate(year, month, day) + EncodeTime(hour, minute, second, msec);
}

int64_t DayNumber(TDateTime t) {
    return FloorDiv(TotalMillis(t), 86400000);
}

DateParts DecodeDate(TDateTime t) {
    return CivilFromDays(DayNumber(t));
}

TimeParts DecodeTime(TDateTime t) {
    const int64_t ms = TotalMillis(t) - DayNumber(t) * 86400000;
    TimeParts p;
    p.hour = static_cast<int>(ms / 3600000);
    p.minute = static_cast<int>(ms / 60000 % 60);
    p.second = static_cast<int>(ms / 1000 % 60);
    p.msec = static_cast<int>(ms % 1000);
    return p;
}

int DayOfWeekISO(TDateTime t) {
    // 1899-12-30 was a Saturday (ISO 6).
    const int64_t r = (DayNumber(t) + 5) % 7;
    return static_cast<int>(r < 0 ? r + 7 : r) + 1;
}

int DayOfWeek(TDateTime t) {
    return DayOfWeekISO(t) % 7 + 1;
}

std::string FormatDateTime(const std::string& pattern, TDateTime t) {
    const DateParts d = DecodeDate(t);
    const TimeParts tp = DecodeTime(t);
    const bool twelveHour = HasAmPm(pattern);
    std::string out;
    // Letters of any kind end an hour's reach over "m"; separators and quoted text do not.
    bool afterHour = false;
    for (size_t i = 0; i < pattern.size();) {
        const char c = pattern[i];
        const char lc = static_cast<char>(c | 0x20);
        if (c == '"' || c == '\'') {
            const size_t stop = QuoteEnd(pattern, i);
            out.append(pattern, i + 1, stop - i - 1);
            i = stop == pattern.size() ? stop : stop + 1;
            continue;
        }
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) {
            out += c;
            ++i;
            continue;
        }
        int n = CountRun(pattern, i, lc);
        switch (lc) {
            case 'a':
                // Literal a's go one by one so that "aampm" still holds a token.
                n = IsAmPmAt(pattern, i) ? 4 : 1;
                if (n == 4) {
                    out += tp.hour < 12 ? g_am : g_pm;
                } else {
                    out += c;
                }
                break;
            case 'y':
                if (n >= 3) {
                    AppendNumber(out, d.year, 4);
                } else {
                    AppendNumber(out, d.year % 100, 2);
                }
                break;
            case 'm':
                n = n > 4 ? 4 : n;
                if (n == 4) {
                    out += kMonthLong[d.month - 1];
                } else if (n == 3) {
                    out += kMonthShort[d.month - 1];
                } else {
                    AppendNumber(out, afterHour ? tp.minute : d.month, n);
                }
                break;
            case 'd':
                if (n >= 4) {
                    out += kWeekDayLong[DayOfWeek(t) - 1];
                    n = 4;
                } else if (n == 3) {
                    out += kWeekDayShort[DayOfWeek(t) - 1];
                } else {
                    AppendNumber(out, d.day, n);
                }
                break;
            case 'h':
                n = n > 2 ? 2 : n;
                AppendNumber(out, twelveHour ? (tp.hour + 11) % 12 + 1 : tp.hour, n);
                break;
            case 'n':
                n = n > 2 ? 2 : n;
                AppendNumber(out, tp.minute, n);
                break;
            case 's':
                n = n > 2 ? 2 : n;
                AppendNumber(out, tp.second, n);
                break;
            case 'z':
                n = n > 3 ? 3 : n;
                AppendNumber(out, tp.msec, n == 3 ? 3 : 1);
                break;
            default:
                out.append(pattern, i, static_cast<size_t>(n));
                break;
        }
        afterHour = lc == 'h';
        i += static_cast<size_t>(n);
    }
    return out;
}

std::string FormatHMS(TDateTime t) {
    return FormatDateTime("hh:nn:ss", t);
}
std::string FormatChineseDate(TDateTime t) {
    return FormatDateTime("yyyy年mm月dd日 dddd", t);
}
std::string FormatMMDD(TDateTime t) {
    return FormatDateTime("mmdd", t);
}
std::string FormatStamp(TDateTime t) {
    return FormatDateTime("yyyy-mm-dd hh:nn:ss", t);
}
std::string FormatChineseMinute(TDateTime t) {
    return FormatDateTime("yyyy年mm月dd日 hh:nn", t);
}

void SetLocaleFormats(const std::string& longTime, const std::string& shortDate,
                      const std::string& amDesignator, const std::string& pmDesignator) {
    g_longTime = longTime.empty() ? kDefaultLongTime : longTime;
    g_shortDate = shortDate.empty() ? kDefaultShortDate : shortDate;
    g_am = amDesignator.empty() ? kDefaultAm : amDesignator;
    g_pm = pmDesignator.empty() ? kDefaultPm : pmDesignator;
}
std::string FormatLongTime(TDateTime t) {
    return FormatDateTime(g_longTime, t);
}
std::string FormatShortDate(TDateTime t) {
    return FormatDateTime(g_shortDate, t);
}

bool ParseStamp(const std::string& text, TDateTime& out) {
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
    int used = 0;
    const char* p = text.c_str();
    if (std::sscanf(p, "%4d-%2d-%2d%n", &y, &mo, &d, &used) != 3 || used != 10)
        return false;
    if (text.size() != 10) {
        int more = 0;
        if (text.size() != 19 || text[10] != ' ' ||
            std::sscanf(p + 11, "%2d:%2d:%2d%n", &h, &mi, &s, &more) != 3 || more != 8) {
            return false;
        }
    }
    for (size_t i = 0; i < text.size(); ++i) {
        const bool sep = i == 4 || i == 7 || i == 10 || i == 13 || i == 16;
        if (!sep && (text[i] < '0' || text[i] > '9'))
            return false;
    }
    if (!IsValidDate(y, mo, d) || !IsValidTime(h, mi, s))
        return false;
    out = EncodeDateTime(y, mo, d, h, mi, s);
    return true;
}

TDateTime FromUnixSeconds(double seconds) {
    return seconds / 86400.0 + kUnixEpochDay;
}
double ToUnixSeconds(TDateTime t) {
    return (t - kUnixEpochDay) * 86400.0;
}

}  // namespace tempora
