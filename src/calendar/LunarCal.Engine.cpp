#include "LunarCal.h"

#include <algorithm>
#include <cmath>

namespace tempora {

constexpr std::array<uint16_t, kLunarLastYear - kLunarFirstYear + 1> LunarInfo = {
    0x4BD8, 0x4AE0, 0xA570, 0x54D5, 0xD260, 0xD950, 0x5554, 0x56AF, 0x9AD0, 0x55D2,  // 1900
    0x4AE0, 0xA5B6, 0xA4D0, 0xD250, 0xD295, 0xB54F, 0xD6A0, 0xADA2, 0x95B0, 0x4977,  // 1910
    0x497F, 0xA4B0, 0xB4B5, 0x6A50, 0x6D40, 0xAB54, 0x2B6F, 0x9570, 0x52F2, 0x4970,  // 1920
    0x6566, 0xD4A0, 0xEA50, 0x6A95, 0x5ADF, 0x2B60, 0x86E3, 0x92EF, 0xC8D7, 0xC95F,  // 1930
    0xD4A0, 0xD8A6, 0xB55F, 0x56A0, 0xA5B4, 0x25DF, 0x92D0, 0xD2B2, 0xA950, 0xB557,  // 1940
    0x6CA0, 0xB550, 0x5355, 0x4DAF, 0xA5B0, 0x4573, 0x52BF, 0xA9A8, 0xE950, 0x6AA0,  // 1950
    0xAEA6, 0xAB50, 0x4B60, 0xAAE4, 0xA570, 0x5260, 0xF263, 0xD950, 0x5B57, 0x56A0,  // 1960
    0x96D0, 0x4DD5, 0x4AD0, 0xA4D0, 0xD4D4, 0xD250, 0xD558, 0xB540, 0xB6A0, 0x95A6,  // 1970
    0x95BF, 0x49B0, 0xA974, 0xA4B0, 0xB27A, 0x6A50, 0x6D40, 0xAF46, 0xAB60, 0x9570,  // 1980
    0x4AF5, 0x4970, 0x64B0, 0x74A3, 0xEA50, 0x6B58, 0x5AC0, 0xAB60, 0x96D5, 0x92E0,  // 1990
    0xC960, 0xD954, 0xD4A0, 0xDA50, 0x7552, 0x56A0, 0xABB7, 0x25D0, 0x92D0, 0xCAB5,  // 2000
    0xA950, 0xB4A0, 0xBAA4, 0xAD50, 0x55D9, 0x4BA0, 0xA5B0, 0x5176, 0x52BF, 0xA930,  // 2010
    0x7954, 0x6AA0, 0xAD50, 0x5B52, 0x4B60, 0xA6E6, 0xA4E0, 0xD260, 0xEA65, 0xD530,  // 2020
    0x5AA0, 0x76A3, 0x96D0, 0x4AFB, 0x4AD0, 0xA4D0, 0xD0B6, 0xD25F, 0xD520, 0xDD45,  // 2030
    0xB5A0, 0x56D0, 0x55B2, 0x49B0, 0xA577, 0xA4B0, 0xAA50, 0xB255, 0x6D2F, 0xADA0,  // 2040
    0x4B63, 0x937F, 0x49F8, 0x4970, 0x64B0, 0x68A6, 0xEA5F, 0x6B20, 0xA6C4, 0xAAEF,  // 2050
    0x92E0, 0xD2E3, 0xC960, 0xD557, 0xD4A0, 0xDA50, 0x5D55, 0x56A0, 0xA6D0, 0x55D4,  // 2060
    0x52D0, 0xA9B8, 0xA950, 0xB4A0, 0xB6A6, 0xAD50, 0x55A0, 0xABA4, 0xA5B0, 0x52B0,  // 2070
    0xB273, 0x6930, 0x7337, 0x6AA0, 0xAD50, 0x4B55, 0x4B6F, 0xA570, 0x54E4, 0xD260,  // 2080
    0xE968, 0xD520, 0xDAA0, 0x6AA6, 0x56DF, 0x4AE0, 0xA9D4, 0xA4D0, 0xD150, 0xF252,  // 2090
    0xD520,                                                                          // 2100
};

namespace {

constexpr int kYears = kLunarLastYear - kLunarFirstYear + 1;
// 31 January 1900, lunar 1900-01-01.
constexpr int64_t kFirstLunarDay = 32;
// 1 January 2101, the first day after the range.
constexpr int64_t kEndLunarDay = 73416;

constexpr bool InTable(int year) {
    return year >= kLunarFirstYear && year <= kLunarLastYear;
}

constexpr int LeapOf(int year) {
    const int low = LunarInfo[year - kLunarFirstYear] & 0xF;
    return low == 0xF ? 0 : low;
}

constexpr int LeapDays(int year) {
    if (LeapOf(year) == 0)
        return 0;
    // A leap month in 2100 would need the word of 2101; the table has none.
    if (year == kLunarLastYear)
        return 29;
    return (LunarInfo[year - kLunarFirstYear + 1] & 0xF) == 0xF ? 30 : 29;
}

constexpr int MonthDays(int year, int month) {
    const int bit = month < 2 ? 15 : 15 - (month - 1);
    return (LunarInfo[year - kLunarFirstYear] >> bit) & 1 ? 30 : 29;
}

constexpr int YearDays(int year) {
    int days = 348;
    for (int bit = 15; bit >= 4; --bit)
        days += (LunarInfo[year - kLunarFirstYear] >> bit) & 1;
    return days + LeapDays(year);
}

// Day of each lunar new year counted from 31 January 1900; the last entry is
// the end of lunar 2100.
constexpr std::array<int32_t, kYears + 1> kNewYearOffset = [] {
    std::array<int32_t, kYears + 1> offsets{};
    for (int i = 0; i < kYears; ++i)
        offsets[i + 1] = offsets[i] + YearDays(kLunarFirstYear + i);
    return offsets;
}();

static_assert(kFirstLunarDay + kNewYearOffset[kYears] > kEndLunarDay - 1,
              "the table must reach past 31 December 2100");

int64_t CivilDay(int year, int month, int day) {
    return DaysFromCivil(year, month, day);
}

bool FiniteWithin(TDateTime x, double lo, double hi) {
    return x >= lo && x < hi;
}

}  // namespace

int LeapMonthOf(int year) {
    return InTable(year) ? LeapOf(year) : 0;
}

int LeapMonthDays(int year) {
    return InTable(year) ? LeapDays(year) : 0;
}

int LunarMonthDays(int year, int month) {
    if (!InTable(year) || month > 12)
        return 0;
    return MonthDays(year, month);
}

int LunarYearDays(int year) {
    return InTable(year) ? YearDays(year) : 0;
}

LunarDate SolarToLunar(TDateTime x) {
    // Written so that NaN fails the test too.
    if (!FiniteWithin(x, static_cast<double>(kFirstLunarDay), static_cast<double>(kEndLunarDay))) {
        return {};
    }
    int64_t offset = DayNumber(x) - kFirstLunarDay;
    const auto next = std::upper_bound(kNewYearOffset.begin(), kNewYearOffset.end(),
                                       static_cast<int32_t>(offset));
    const int index = static_cast<int>(next - kNewYearOffset.begin()) - 1;
    const int year = kLunarFirstYear + index;
    offset -= kNewYearOffset[index];

    const int leap = LeapOf(year);
    for (int month = 1; month <= 12; ++month) {
        const int regular = MonthDays(year, month);
        if (offset < regular)
            return {year, month, static_cast<int32_t>(offset) + 1, false};
        offset -= regular;
        if (month == leap) {
            const int leapDays = LeapDays(year);
            if (offset < leapDays)
                return {year, month, static_cast<int32_t>(offset) + 1, true};
            offset -= leapDays;
        }
    }
    return {};  // not reached: the year's months cover the whole year
}

bool IsValidLunarDate(const LunarDate& lunar) {
    if (lunar.Year > 2099 || lunar.Year < 1901 || lunar.Month > 12 || lunar.Day > 30)
        return false;
    // Month 0 and day 0 (or below) would otherwise pass as the first month or
    // as a day before the month.
    if (lunar.Month < 1 || lunar.Day < 1)
        return false;
    if (lunar.IsLeap) {
        return LeapOf(lunar.Year) == lunar.Month && LeapDays(lunar.Year) >= lunar.Day;
    }
    return MonthDays(lunar.Year, lunar.Month) >= lunar.Day;
}

TDateTime LunarToSolar(const LunarDate& lunar) {
    if (!IsValidLunarDate(lunar))
        return kNoSolarDate;
    const int year = lunar.Year;
    const int leap = LeapOf(year);
    int64_t sum = 0;
    for (int i = 1; i < lunar.Month; ++i) {
        sum += MonthDays(year, i);
        if (i == leap)
            sum += LeapDays(year);
    }
    sum += lunar.Day - 1;
    if (lunar.IsLeap)
        sum += MonthDays(year, lunar.Month);
    return static_cast<double>(kFirstLunarDay + kNewYearOffset[year - kLunarFirstYear] + sum);
}

GanZhiDate GanZhiOf(TDateTime x) {
    static const double kFirst = static_cast<double>(CivilDay(1900, 1, 1));
    static const double kEnd = static_cast<double>(CivilDay(10000, 1, 1));
    if (!FiniteWithin(x, kFirst, kEnd))
        return {};
    const DateParts d = DecodeDate(x);
    const int y = d.year;
    const int m = d.month;
    const TDateTime t = SolarTermInstant(y, 2 * m - 2);

    GanZhiDate g;
    g.YearCycle = y - 1864;  // 1864 was a 甲子 year
    if (m == 1 || (m == 2 && x < t))
        g.YearCycle = y - 1865;
    g.MonthCycle = (y - 1900) * 12 + m + 11;
    if (static_cast<double>(DayNumber(t)) <= x)
        g.MonthCycle = (y - 1900) * 12 + m + 12;
    g.DayCycle = static_cast<int32_t>(DayNumber(x) - CivilDay(1900, 1, 1) + 10);  // 甲戌
    return g;
}

int WeekOfYear(TDateTime x, bool useISO8601) {
    static const double kFirst = static_cast<double>(CivilDay(1, 1, 1));
    static const double kEnd = static_cast<double>(CivilDay(10000, 1, 1));
    if (!FiniteWithin(x, kFirst, kEnd))
        return 0;
    const int64_t day = DayNumber(x);
    if (useISO8601) {
        // The week belongs to the year of its Thursday.
        const int64_t thursday = day - DayOfWeekISO(x) + 4;
        const DateParts t = CivilFromDays(thursday);
        return static_cast<int>((thursday - CivilDay(t.year, 1, 1)) / 7 + 1);
    }
    const DateParts d = CivilFromDays(day);
    const int64_t jan1 = CivilDay(d.year, 1, 1);
    const int jan1Weekday = DayOfWeek(static_cast<double>(jan1)) - 1;  // Sunday = 0
    return static_cast<int>((day - jan1 + jan1Weekday) / 7 + 1);
}

}  // namespace tempora
