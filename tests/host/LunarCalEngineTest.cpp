#include "calendar/LunarCal.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

using namespace tempora;

namespace {

// The year-table walk the conversions are defined by, step by step, as the
// oracle for the engine's precomputed tables.
LunarDate WalkSolarToLunar(int64_t dayNumber) {
    if (dayNumber < 32 || dayNumber >= 73416)
        return {};
    int64_t offset = dayNumber - 32;
    int year = 1900, last = 0;
    while (offset > 0) {
        last = LunarYearDays(year);
        ++year;
        offset -= last;
    }
    if (offset < 0) {
        offset += last;
        --year;
    }
    const int leap = LeapMonthOf(year);
    bool isLeap = false;
    int month = 0;
    while (offset >= 0) {
        ++month;
        last = LunarMonthDays(year, month);
        offset -= last;
        if (offset >= 0 && month == leap) {
            last = LeapMonthDays(year);
            offset -= last;
            if (offset < 0)
                isLeap = true;
        }
    }
    offset += last;
    return {year, month, static_cast<int32_t>(offset + 1), isLeap};
}

std::string Text(const LunarDate& l) {
    return std::to_string(l.Year) + "-" + std::to_string(l.Month) + "-" + std::to_string(l.Day) +
           (l.IsLeap ? " leap" : "");
}

}  // namespace

TEST(LunarCalEngine, YearTableLookups) {
    // 1906 has a leap month after month 4; 1907's low bits F make it 30 days.
    EXPECT_EQ(LeapMonthOf(1906), 4);
    EXPECT_EQ(LeapMonthDays(1906), 30);
    EXPECT_EQ(LeapMonthOf(1907), 0);
    EXPECT_EQ(LeapMonthDays(1907), 0);
    EXPECT_EQ(LeapMonthOf(2020), 4);
    EXPECT_EQ(LeapMonthDays(2020), 29);
    EXPECT_EQ(LunarMonthDays(2020, 1), 29);  // 0x7954: bit 15 clear
    EXPECT_EQ(LunarMonthDays(2020, 2), 30);
    EXPECT_EQ(LunarMonthDays(2020, 0), LunarMonthDays(2020, 1));
    EXPECT_EQ(LunarYearDays(2020), 384);
    EXPECT_EQ(LunarYearDays(2024), 354);
    // Outside the table: nothing, and nothing read beyond it.
    EXPECT_EQ(LeapMonthOf(1899), 0);
    EXPECT_EQ(LeapMonthDays(2101), 0);
    EXPECT_EQ(LunarMonthDays(2101, 1), 0);
    EXPECT_EQ(LunarMonthDays(2000, 13), 0);
    EXPECT_EQ(LunarYearDays(1899), 0);
    EXPECT_EQ(LunarYearDays(2101), 0);
}

TEST(LunarCalEngine, SolarToLunarKnownDays) {
    const TDateTime nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        TDateTime date;
        LunarDate lunar;
    } cases[] = {
        {EncodeDate(1900, 1, 30), {}},
        {EncodeDate(1900, 1, 31), {1900, 1, 1, false}},
        {EncodeDate(2100, 12, 31), {2100, 12, 1, false}},
        {EncodeDate(2101, 1, 1), {}},
        {nan, {}},
        {-1e300, {}},
        {EncodeDate(2009, 1, 26), {2009, 1, 1, false}},
        {EncodeDate(2024, 2, 10), {2024, 1, 1, false}},
        {EncodeDateTime(2024, 2, 10, 23, 59, 59), {2024, 1, 1, false}},
        {EncodeDate(2024, 2, 9), {2023, 12, 30, false}},
        {EncodeDate(2020, 5, 22), {2020, 4, 30, false}},
        {EncodeDate(2020, 5, 23), {2020, 4, 1, true}},
        {EncodeDate(2020, 6, 20), {2020, 4, 29, true}},
        {EncodeDate(2020, 6, 21), {2020, 5, 1, false}},
        {EncodeDate(2009, 6, 27), {2009, 5, 5, true}},
        // Lunar new years known from the almanac.
        {EncodeDate(1912, 2, 18), {1912, 1, 1, false}},
        {EncodeDate(1950, 2, 17), {1950, 1, 1, false}},
        {EncodeDate(1985, 2, 20), {1985, 1, 1, false}},
        {EncodeDate(2000, 2, 5), {2000, 1, 1, false}},
        {EncodeDate(2025, 1, 29), {2025, 1, 1, false}},
        {EncodeDate(2026, 2, 17), {2026, 1, 1, false}},
        {EncodeDate(2033, 1, 31), {2033, 1, 1, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.date);
        EXPECT_EQ(Text(SolarToLunar(c.date)), Text(c.lunar));
    }
}

TEST(LunarCalEngine, EveryDayMatchesTheTableWalkAndRoundTrips) {
    LunarDate previous;
    for (int64_t day = 32; day < 73416; ++day) {
        const LunarDate l = SolarToLunar(static_cast<double>(day));
        ASSERT_EQ(l, WalkSolarToLunar(day)) << FormatStamp(static_cast<double>(day));
        // Consecutive days count up within a month or start the next one.
        if (day > 32) {
            const bool nextDay = l.Year == previous.Year && l.Month == previous.Month &&
                                 l.IsLeap == previous.IsLeap && l.Day == previous.Day + 1;
            ASSERT_TRUE(nextDay || l.Day == 1) << FormatStamp(static_cast<double>(day));
        }
        previous = l;
        if (day >= EncodeDate(1901, 2, 19) && day <= EncodeDate(2099, 12, 31)) {
            ASSERT_TRUE(IsValidLunarDate(l));
            ASSERT_EQ(LunarToSolar(l), static_cast<double>(day)) << Text(l);
        }
    }
}

TEST(LunarCalEngine, LunarToSolarRejectsDatesThatDoNotExist) {
    const LunarDate invalid[] = {
        {2100, 1, 1, false},                       // the inverse stops a year short of each end
        {1900, 6, 1, false},  {2020, 5, 1, true},  // not the leap month
        {2020, 4, 30, true},                       // the leap month has 29 days
        {2020, 1, 30, false},                      // 29-day month
        {2020, 13, 1, false}, {2020, 1, 31, false}, {2020, 0, 5, false},
        {2020, 1, 0, false},  {2020, 1, -3, false}, {2021, 0, 0, true},
    };
    for (const LunarDate& l : invalid) {
        SCOPED_TRACE(Text(l));
        EXPECT_FALSE(IsValidLunarDate(l));
        EXPECT_EQ(LunarToSolar(l), kNoSolarDate);
    }
    EXPECT_EQ(kNoSolarDate, EncodeDate(1, 1, 1));
    EXPECT_EQ(LunarToSolar({2020, 4, 29, true}), EncodeDate(2020, 6, 20));
    EXPECT_EQ(LunarToSolar({1906, 4, 30, true}), LunarToSolar({1906, 5, 1, false}) - 1);
}

TEST(LunarCalEngine, GanZhiChangesYearAtTheInstantAndMonthOnTheDayOfTheTerm) {
    struct Case {
        TDateTime moment;
        const char* text;
    } cases[] = {
        {EncodeDate(2010, 2, 1), "己丑(牛)年丁丑月壬午日"},
        // 立春 2024 is at 16:27 on the 4th: the month turns that day, the year at the instant.
        {EncodeDate(2024, 2, 3), "癸卯(兔)年乙丑月丁酉日"},
        {EncodeDate(2024, 2, 4), "癸卯(兔)年丙寅月戊戌日"},
        {EncodeDateTime(2024, 2, 4, 16, 26, 0), "癸卯(兔)年丙寅月戊戌日"},
        {EncodeDateTime(2024, 2, 4, 16, 28, 0), "甲辰(龙)年丙寅月戊戌日"},
        {EncodeDate(2024, 2, 5), "甲辰(龙)年丙寅月己亥日"},
        // 立春 2009 is at 00:49 on the 4th, not on the 3rd.
        {EncodeDate(2009, 2, 3), "戊子(鼠)年乙丑月己卯日"},
        {EncodeDate(2009, 2, 4), "戊子(鼠)年丙寅月庚辰日"},
        {EncodeDateTime(2009, 2, 4, 1, 0, 0), "己丑(牛)年丙寅月庚辰日"},
        // 芒种 2026 falls on 5 June, which starts the 午 month.
        {EncodeDate(2026, 6, 4), "丙午(马)年癸巳月己酉日"},
        {EncodeDate(2026, 6, 5), "丙午(马)年甲午月庚戌日"},
        {EncodeDate(1900, 1, 1), "己亥(猪)年丙子月甲戌日"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(FormatStamp(c.moment));
        EXPECT_EQ(GanZhiLineText(c.moment), c.text);
    }
    EXPECT_EQ(GanZhiOf(EncodeDate(1900, 1, 1)).DayCycle, 10);
    EXPECT_EQ(GanZhiOf(EncodeDate(1899, 12, 31)), GanZhiDate{});
    EXPECT_EQ(GanZhiOf(std::numeric_limits<double>::quiet_NaN()), GanZhiDate{});
    EXPECT_EQ(GanZhiOf(1e300), GanZhiDate{});
}

TEST(LunarCalEngine, WeekOfYearBothRules) {
    struct Case {
        int y, m, d;
        bool iso;
        int week;
    } cases[] = {
        {2012, 1, 1, false, 1},    {2012, 1, 8, false, 2},   {2011, 12, 31, false, 53},
        {2012, 1, 1, true, 52},    {2012, 1, 2, true, 1},    {2012, 12, 31, false, 53},
        {2000, 12, 31, false, 54}, {2020, 12, 31, true, 53}, {2019, 12, 30, true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(FormatDateTime("yyyy-mm-dd", EncodeDate(c.y, c.m, c.d)));
        EXPECT_EQ(WeekOfYear(EncodeDate(c.y, c.m, c.d), c.iso), c.week);
    }
    EXPECT_EQ(WeekOfYear(std::numeric_limits<double>::quiet_NaN(), true), 0);
}

TEST(LunarCalEngine, Texts) {
    EXPECT_EQ(LunarYearText(2009), "二零零九年");
    EXPECT_EQ(LunarYearText(2010), "二零一零年");
    EXPECT_EQ(LunarYearText(1900), "一九零零年");
    EXPECT_EQ(LunarYearText(2100), "二一零零年");
    EXPECT_EQ(LunarYearText(0), "日零零零年");
    EXPECT_EQ(LunarYearText(-7), "日零零零年");
    EXPECT_EQ(LunarYearText(123456), "日零零零年");

    EXPECT_EQ(LunarMonthText(1, false), "正月");
    EXPECT_EQ(LunarMonthText(4, true), "闰四月");
    EXPECT_EQ(LunarMonthText(10, false), "十月");
    EXPECT_EQ(LunarMonthText(11, false), "十一月");
    EXPECT_EQ(LunarMonthText(12, false), "腊月");
    EXPECT_EQ(LunarMonthText(0, false), "月");
    EXPECT_EQ(LunarMonthText(13, false), "月");

    const char* days[] = {"",     "初一", "初二", "初三", "初四", "初五", "初六", "初七",
                          "初八", "初九", "初十", "十一", "十二", "十三", "十四", "十五",
                          "十六", "十七", "十八", "十九", "二十", "廿一", "廿二", "廿三",
                          "廿四", "廿五", "廿六", "廿七", "廿八", "廿九", "三十", ""};
    for (int d = 0; d <= 31; ++d)
        EXPECT_EQ(LunarDayText(d), days[d]) << d;
    EXPECT_EQ(LunarDayText(-1), "");

    EXPECT_EQ(GanZhiText(0), "甲子");
    EXPECT_EQ(GanZhiText(59), "癸亥");
    EXPECT_EQ(GanZhiText(60), "甲子");
    EXPECT_EQ(GanZhiText(-1), "癸亥");
    EXPECT_EQ(ZodiacText(160), "龙");  // 2024 - 1864
    EXPECT_EQ(ZodiacText(-1), "猪");
    EXPECT_EQ(WeekdayText(0), "星期日");
    EXPECT_EQ(WeekdayText(6), "星期六");
    EXPECT_EQ(WeekdayText(7), "星期日");
    EXPECT_EQ(WeekdayText(-1), "星期六");
    EXPECT_EQ(EnglishWeekdayText(3, false), "Wed");
    EXPECT_EQ(EnglishWeekdayText(10, true), "Wednesday");
}

TEST(LunarCalEngine, LunarDateLineAddsTheTermOnlyAtMidnight) {
    EXPECT_EQ(LunarDateLineText(EncodeDate(2024, 2, 4)), "二零二三年腊月廿五 立春");
    EXPECT_EQ(LunarDateLineText(EncodeDateTime(2024, 2, 4, 15, 0, 0)), "二零二三年腊月廿五 ");
    EXPECT_EQ(LunarDateLineText(EncodeDate(2020, 5, 23)), "二零二零年闰四月初一 ");
    EXPECT_EQ(LunarDateLineText(EncodeDate(1900, 1, 1)), "日零零零年月 ");
}
