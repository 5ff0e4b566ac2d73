#include "core/ClockSource.h"
#include "core/DateTime.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>
#include <cstdint>
#include <vector>

using namespace tempora;

TEST(DateTime, EncodeDecodeKnownDays) {
    struct Case {
        int y, m, d;
        double serial;
        int isoWeekDay;
    } cases[] = {
        {1899, 12, 30, 0, 6},    {1900, 1, 1, 2, 1},     {1900, 3, 1, 61, 4},
        {2000, 2, 29, 36585, 2}, {2024, 2, 4, 45326, 7}, {1800, 1, 1, -36522, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.serial);
        EXPECT_EQ(EncodeDate(c.y, c.m, c.d), c.serial);
        const DateParts p = DecodeDate(c.serial + 0.75);
        EXPECT_EQ(p.year, c.y);
        EXPECT_EQ(p.month, c.m);
        EXPECT_EQ(p.day, c.d);
        EXPECT_EQ(DayOfWeekISO(c.serial), c.isoWeekDay);
    }
}

TEST(DateTime, RoundTripEveryDayAndLeapRules) {
    for (int64_t n = DaysFromCivil(1600, 1, 1); n <= DaysFromCivil(2400, 12, 31); ++n) {
        const DateParts p = CivilFromDays(n);
        ASSERT_TRUE(IsValidDate(p.year, p.month, p.day));
        ASSERT_EQ(DaysFromCivil(p.year, p.month, p.day), n);
    }
    EXPECT_EQ(DaysInMonth(1900, 2), 28);
    EXPECT_EQ(DaysInMonth(2000, 2), 29);
    EXPECT_EQ(DaysInMonth(2023, 13), 0);
    EXPECT_FALSE(IsValidDate(2023, 2, 29));
}

// Date and time both come from the value rounded to whole milliseconds,
// halves away from zero (as llround), over the whole range of years.
TEST(DateTime, MillisecondsRoundLikeLlround) {
    std::vector<double> values;
    for (double day : {-693593.0, -1.0, 0.0, 45000.0, 2958465.0}) {
        for (double ms : {0.0, 0.4999, 0.5, 0.5001, 999.5, 86399999.5, 86399999.4}) {
            values.push_back(day + ms / 86400000.0);
            values.push_back(-(day + ms / 86400000.0));
        }
    }
    uint64_t seed = 42;
    for (int i = 0; i < 20000; ++i) {
        seed = seed * 6364136223846793005u + 1442695040888963407u;
        values.push_back(static_cast<double>(static_cast<int64_t>(seed >> 11) % 6000000000000) /
                             1e6 -
                         3000000.0);
    }
    for (double t : values) {
        const int64_t ms = std::llround(t * 86400000.0);
        const int64_t day = ms / 86400000 - (ms % 86400000 < 0 ? 1 : 0);
        const int64_t inDay = ms - day * 86400000;
        const TimeParts tp = DecodeTime(t);
        ASSERT_EQ(tp.hour * 3600000 + tp.minute * 60000 + tp.second * 1000 + tp.msec, inDay)
            << std::hexfloat << t;
        const DateParts got = DecodeDate(t), want = DecodeDate(static_cast<double>(day));
        ASSERT_EQ(std::tie(got.year, got.month, got.day), std::tie(want.year, want.month, want.day))
            << std::hexfloat << t;
    }
}

TEST(DateTime, TimeOfDayRoundsToMillisecondsWithoutSpillingIntoTheNextDay) {
    const TDateTime t = EncodeDateTime(2024, 12, 31, 23, 59, 59, 999);
    const TimeParts tp = DecodeTime(t);
    EXPECT_EQ(tp.hour, 23);
    EXPECT_EQ(tp.minute, 59);
    EXPECT_EQ(tp.second, 59);
    EXPECT_EQ(tp.msec, 999);
    EXPECT_EQ(DecodeDate(t).day, 31);
    // A value a hair below midnight is midnight of the next day, for date and time alike.
    const TDateTime nearly = EncodeDate(2025, 1, 1) - 1e-10;
    EXPECT_EQ(DecodeDate(nearly).year, 2025);
    EXPECT_EQ(DecodeTime(nearly).hour, 0);
    // Values no calendar has decode to something, without overflow.
    for (double wild : {1e300, -1e300, std::nan("")}) {
        EXPECT_FALSE(FormatStamp(wild).empty());
        EXPECT_FALSE(IsValidDate(DecodeDate(wild).year, 1, 1));
    }
    // Negative values: the fraction is still the time of that day.
    EXPECT_EQ(DecodeTime(EncodeDate(1899, 1, 1) + 0.5).hour, 12);
}

TEST(DateTime, Formats) {
    const TDateTime t = EncodeDateTime(2009, 3, 1, 8, 0, 5);
    EXPECT_EQ(FormatHMS(t), "08:00:05");
    EXPECT_EQ(FormatChineseDate(t), "2009年03月01日 星期日");
    EXPECT_EQ(FormatMMDD(t), "0301");
    EXPECT_EQ(FormatStamp(t), "2009-03-01 08:00:05");
    EXPECT_EQ(FormatChineseMinute(t), "2009年03月01日 08:00");
    EXPECT_EQ(FormatDateTime("hh:mm", t), "08:00");  // mm after an hour is minutes
    EXPECT_EQ(FormatDateTime("d/m/yy \"at\" h", t), "1/3/09 at 8");
    EXPECT_EQ(FormatLongTime(t), "8:00:05");
    EXPECT_EQ(FormatShortDate(t), "2009/3/1");
    EXPECT_EQ(FormatDateTime("dddd", EncodeDate(2024, 2, 5)), "星期一");
}

TEST(DateTime, TwelveHourClockMonthNamesAndMinutes) {
    const TDateTime midnight = EncodeDateTime(2009, 12, 1, 0, 5, 0);
    const TDateTime noon = EncodeDateTime(2009, 12, 1, 12, 5, 0);
    const TDateTime evening = EncodeDateTime(2009, 12, 1, 23, 5, 0);
    struct Case {
        const char* pattern;
        const char *midnight, *noon, *evening;
    } cases[] = {
        {"AmPm h:mm", "上午 12:05", "下午 12:05", "下午 11:05"},
        {"hh:nn ampm", "12:05 上午", "12:05 下午", "11:05 下午"},
        {"hh:nn 'ampm'", "00:05 ampm", "12:05 ampm", "23:05 ampm"},
        {"aampm h", "a上午 12", "a下午 12", "a下午 11"},
        // Minutes follow an hour across separators, not across another letter.
        {"h时m分", "0时5分", "12时5分", "23时5分"},
        {"hh:nn dd/mm", "00:05 01/12", "12:05 01/12", "23:05 01/12"},
        {"mmm mmmm mmmmm", "12月 十二月 十二月12", "12月 十二月 十二月12", "12月 十二月 十二月12"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pattern);
        EXPECT_EQ(FormatDateTime(c.pattern, midnight), c.midnight);
        EXPECT_EQ(FormatDateTime(c.pattern, noon), c.noon);
        EXPECT_EQ(FormatDateTime(c.pattern, evening), c.evening);
    }
    SetLocaleFormats("ampm h:nn", "dd.mm.yy", "AM", "PM");
    EXPECT_EQ(FormatLongTime(noon), "PM 12:05");
    EXPECT_EQ(FormatShortDate(noon), "01.12.09");
    SetLocaleFormats("", "");
    EXPECT_EQ(FormatLongTime(noon), "12:05:00");
    EXPECT_EQ(FormatShortDate(noon), "2009/12/1");
    EXPECT_EQ(FormatDateTime("ampm", noon), "下午");
}

TEST(DateTime, ParseStampAcceptsOnlyWellFormedValues) {
    TDateTime t = 0;
    ASSERT_TRUE(ParseStamp("2009-03-01 08:00:05", t));
    EXPECT_EQ(FormatStamp(t), "2009-03-01 08:00:05");
    ASSERT_TRUE(ParseStamp("2024-02-29", t));
    EXPECT_EQ(t, EncodeDate(2024, 2, 29));
    for (const char* bad :
         {"", "2023-02-29", "2009-3-1", "2009-03-01 8:00:05", "2009-03-01 24:00:00",
          "2009-03-01x08:00:05", "2009-03-01 08:00:05 ", "+009-03-01"}) {
        EXPECT_FALSE(ParseStamp(bad, t)) << bad;
    }
}

TEST(ClockSource, FakeClockDrivesNow) {
    FakeClock fake(1707035213000LL, 480);  // 2024-02-04 08:26:53 UTC
    ClockSource::Install(&fake);
    EXPECT_EQ(FormatStamp(ClockSource::Current().NowLocal()), "2024-02-04 16:26:53");
    EXPECT_EQ(FormatStamp(ClockSource::Current().NowUtc()), "2024-02-04 08:26:53");
    fake.Advance(1000);
    EXPECT_EQ(FormatHMS(ClockSource::Current().NowLocal()), "16:26:54");
    ClockSource::Install(nullptr);
    EXPECT_GT(ClockSource::Current().UtcMillis(), 1700000000000LL);
}
