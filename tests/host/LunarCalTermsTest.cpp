#include "calendar/LunarCal.h"

#include <cmath>

#include <gtest/gtest.h>

using namespace tempora;

namespace {

TDateTime Stamp(const char* text) {
    TDateTime t = 0;
    EXPECT_TRUE(ParseStamp(text, t)) << text;
    return t;
}

double SecondsBetween(TDateTime a, TDateTime b) {
    return std::fabs(a - b) * 86400.0;
}

struct TermCase {
    int year, n;
    const char* instant;  // China Standard Time
};

template <size_t N>
void ExpectWithin(const TermCase (&cases)[N], double seconds) {
    for (const TermCase& c : cases) {
        const TDateTime t = SolarTermInstant(c.year, c.n);
        EXPECT_LE(SecondsBetween(t, Stamp(c.instant)), seconds)
            << SolarTermName(c.n) << " " << c.year << ": " << FormatStamp(t) << " vs " << c.instant;
    }
}

}  // namespace

TEST(LunarCalTerms, HongKongObservatory2013ToTheMinute) {
    // The observatory's table, rounded to the minute.
    const TermCase cases[] = {
        {2013, 0, "2013-01-05 12:34:00"},  {2013, 1, "2013-01-20 05:52:00"},
        {2013, 2, "2013-02-04 00:13:00"},  {2013, 3, "2013-02-18 20:02:00"},
        {2013, 4, "2013-03-05 18:15:00"},  {2013, 5, "2013-03-20 19:02:00"},
        {2013, 6, "2013-04-04 23:02:00"},  {2013, 7, "2013-04-20 06:03:00"},
        {2013, 8, "2013-05-05 16:18:00"},  {2013, 9, "2013-05-21 05:09:00"},
        {2013, 10, "2013-06-05 20:23:00"}, {2013, 11, "2013-06-21 13:04:00"},
        {2013, 12, "2013-07-07 06:35:00"}, {2013, 13, "2013-07-22 23:56:00"},
        {2013, 14, "2013-08-07 16:20:00"}, {2013, 15, "2013-08-23 07:02:00"},
        {2013, 16, "2013-09-07 19:16:00"}, {2013, 17, "2013-09-23 04:44:00"},
        {2013, 18, "2013-10-08 10:58:00"}, {2013, 19, "2013-10-23 14:10:00"},
        {2013, 20, "2013-11-07 14:14:00"}, {2013, 21, "2013-11-22 11:48:00"},
        {2013, 22, "2013-12-07 07:09:00"}, {2013, 23, "2013-12-22 01:11:00"},
    };
    ExpectWithin(cases, 60.0);
}

TEST(LunarCalTerms, PublishedInstantsToTheSecond) {
    const TermCase cases[] = {
        {2023, 11, "2023-06-21 22:57:37"}, {2024, 2, "2024-02-04 16:26:53"},
        {2024, 5, "2024-03-20 11:06:23"},  {2024, 23, "2024-12-21 17:20:20"},
        {2025, 2, "2025-02-03 22:10:13"},  {2025, 5, "2025-03-20 17:01:27"},
        {2021, 23, "2021-12-21 23:59:09"}, {2009, 2, "2009-02-04 00:49:50"},
    };
    ExpectWithin(cases, 60.0);
}

TEST(LunarCalTerms, AgreesWithAnIndependentRunOfTheSameMethod) {
    // The same series, nutation, aberration and ΔT evaluated independently;
    // a dropped or mis-scaled term shows here as seconds to minutes.
    const TermCase cases[] = {
        {2013, 0, "2013-01-05 12:33:38"},  {2013, 9, "2013-05-21 05:09:32"},
        {2013, 23, "2013-12-22 01:11:01"}, {2023, 11, "2023-06-21 22:57:43"},
        {2024, 2, "2024-02-04 16:27:04"},  {2024, 5, "2024-03-20 11:06:21"},
        {1900, 2, "1900-02-04 13:51:34"},  {1923, 3, "1923-02-19 23:59:51"},
        {1951, 23, "1951-12-23 00:00:06"}, {2000, 5, "2000-03-20 15:35:19"},
        {2050, 11, "2050-06-21 11:32:34"}, {2084, 5, "2084-03-19 23:58:58"},
        {2100, 23, "2100-12-22 03:50:30"},
    };
    ExpectWithin(cases, 1.5);
}

TEST(LunarCalTerms, TermsNearMidnightKeepTheirTrueDay) {
    struct Case {
        int year, n;
        int month, day;
    } cases[] = {
        {1911, 8, 5, 7},
        {1923, 3, 2, 19},
        {1951, 23, 12, 23},
        {1979, 1, 1, 20},
        {2008, 9, 5, 21},
        {2021, 23, 12, 21},
        {2051, 5, 3, 20},
        {2083, 2, 2, 3},
        {2084, 5, 3, 19},
        // Days a mean-year formula gets wrong.
        {2023, 11, 6, 21},
        {2026, 10, 6, 5},
        {2009, 2, 2, 4},
    };
    for (const Case& c : cases) {
        const TDateTime day = EncodeDate(c.year, c.month, c.day);
        EXPECT_EQ(SolarTermOfDay(day), SolarTermName(c.n)) << FormatStamp(day);
        EXPECT_EQ(SolarTermIndexOfDay(day), c.n);
        EXPECT_EQ(SolarTermOfDay(day - 1), "") << FormatStamp(day - 1);
        EXPECT_EQ(SolarTermOfDay(day + 1), "") << FormatStamp(day + 1);
    }
}

TEST(LunarCalTerms, EveryTermOf1900To2100FallsInItsMonthInOrder) {
    // Earliest and latest day of each term over two centuries.
    const int earliest[24] = {4, 19, 3, 18, 4, 19, 4, 19, 4, 20, 4, 20,
                              6, 22, 6, 22, 6, 22, 7, 22, 6, 21, 6, 21};
    const int latest[24] = {7, 21, 5, 20, 7, 22, 6, 21, 7, 22, 7, 22,
                            8, 24, 9, 24, 9, 24, 9, 24, 8, 23, 8, 23};
    TDateTime previous = SolarTermInstant(1899, 23);
    for (int year = 1900; year <= 2100; ++year) {
        for (int n = 0; n < kSolarTermCount; ++n) {
            const TDateTime t = SolarTermInstant(year, n);
            const DateParts d = DecodeDate(t);
            ASSERT_EQ(d.year, year);
            ASSERT_EQ(d.month, n / 2 + 1) << SolarTermName(n) << " " << year;
            ASSERT_GE(d.day, earliest[n]) << SolarTermName(n) << " " << year;
            ASSERT_LE(d.day, latest[n]) << SolarTermName(n) << " " << year;
            // 15° of longitude take 14.7 to 15.8 days.
            ASSERT_GT(t - previous, 14.5) << SolarTermName(n) << " " << year;
            ASSERT_LT(t - previous, 16.0) << SolarTermName(n) << " " << year;
            ASSERT_EQ(SolarTermOfDay(static_cast<double>(DayNumber(t))), SolarTermName(n));
            previous = t;
        }
    }
}

TEST(LunarCalTerms, TermOfDayComparesTheValueAsPassed) {
    EXPECT_EQ(SolarTermOfDay(EncodeDate(2024, 2, 4)), "立春");
    EXPECT_EQ(SolarTermOfDay(EncodeDateTime(2024, 2, 4, 12, 0, 0)), "");
    EXPECT_EQ(SolarTermOfDay(EncodeDate(2024, 2, 5)), "");
    EXPECT_EQ(SolarTermOfDay(EncodeDate(2009, 2, 3)), "");
    EXPECT_EQ(SolarTermOfDay(EncodeDate(2009, 2, 4)), "立春");
    EXPECT_EQ(SolarTermOfDay(EncodeDate(2024, 12, 21)), "冬至");
    EXPECT_EQ(SolarTermOfDay(EncodeDate(2024, 1, 6)), "小寒");
    EXPECT_EQ(SolarTermIndexOfDay(EncodeDate(2024, 1, 7)), -1);
    EXPECT_EQ(SolarTermOfDay(std::nan("")), "");
    EXPECT_EQ(SolarTermOfDay(1e300), "");
}

TEST(LunarCalTerms, OutOfRangeArgumentsGiveNoInstant) {
    EXPECT_EQ(SolarTermInstant(2024, -1), 0.0);
    EXPECT_EQ(SolarTermInstant(2024, 24), 0.0);
    EXPECT_EQ(SolarTermInstant(0, 0), 0.0);
    EXPECT_EQ(SolarTermInstant(10000, 0), 0.0);
    EXPECT_EQ(SolarTermName(-1), "");
    EXPECT_EQ(SolarTermName(24), "");
    EXPECT_EQ(SolarTermName(0), "小寒");
    EXPECT_EQ(SolarTermName(23), "冬至");
    // Years beyond the kept range are computed on each call, the same way.
    const DateParts winter1800 = DecodeDate(SolarTermInstant(1800, 23));
    EXPECT_EQ(winter1800.month, 12);
    EXPECT_GE(winter1800.day, 21);
    EXPECT_LE(winter1800.day, 23);
}

// The table the calendar answers from must be what the solver gives today. On
// the build that wrote it the two are identical; another maths library may
// stop the iteration one step apart, a fraction of a millisecond.
TEST(LunarCalTerms, TableHoldsTheSolvedInstants) {
    for (int year = kTermTableFirstYear - 1; year <= kTermTableLastYear + 1; ++year) {
        for (int n = 0; n < kSolarTermCount; ++n) {
            const TDateTime solved = SolveSolarTermInstant(year, n);
            ASSERT_LE(SecondsBetween(SolarTermInstant(year, n), solved), 0.001)
                << year << " " << SolarTermName(n) << ": regenerate the table with"
                << " tempora-cal term-table > src/calendar/LunarCal.TermTable.inc";
        }
    }
    EXPECT_EQ(SolveSolarTermInstant(2024, 24), 0.0);
    EXPECT_EQ(SolveSolarTermInstant(0, 0), 0.0);
}
