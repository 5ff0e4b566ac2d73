#include "calendar/LunarCal.Festivals.h"
#include "core/Text.h"

#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

using namespace tempora;

namespace {

constexpr int32_t kRed = 0x0000FF;
constexpr int32_t kPurple = 0x800080;
constexpr int32_t kNavy = 0x800000;

TFestivalList WindowList() {
    TFestivalList list;
    list.LoadWindowTables();
    return list;
}

}  // namespace

TEST(LunarCalFestivals, FestivalTextOfJoinsMonthEndLunarGregorianAndWeekRules) {
    const TFestivalList list = WindowList();
    struct Case {
        int y, m, d;
        const char* text;
    } cases[] = {
        {2024, 2, 9, "除夕"},              // last day of the 12th month, a 30-day month
        {2023, 1, 21, "除夕"},             // ... and of a 29-day one
        {2024, 2, 10, "春节 国际气象节"},  // lunar first, then Gregorian
        {2020, 10, 1, "中秋节 国际音乐日"},
        {2024, 5, 12, "国际护士节 母亲节"},  // Gregorian, then the second Sunday of May
        {2024, 1, 28, "世界麻风日"},         // fourth and last Sunday of January
        {2024, 1, 7, "黑人日"},
        {2023, 9, 24, "世界海事日"},  // fourth Sunday, also in the last seven days: last wins
        {2024, 9, 29, "世界海事日"},  // fifth Sunday
        {2024, 9, 22, "国际聋人节 世界儿童日"},
        {2024, 11, 28, "感恩节"},
        {2009, 5, 28, "端午节"},  // month 5, day 5
        {2009, 6, 27, "端午节"},  // leap month 5, day 5
        {2024, 3, 2, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(FormatDateTime("yyyy-mm-dd", EncodeDate(c.y, c.m, c.d)));
        const FestivalMatch f = list.FestivalTextOf(EncodeDate(c.y, c.m, c.d));
        EXPECT_EQ(f.text, c.text);
        EXPECT_EQ(f.color, *c.text ? 0 : kNoColor);
    }
}

TEST(LunarCalFestivals, BuiltInTablesCarryTheirColorsAndTheirOwnMothersDay) {
    const TFestivalList list;
    EXPECT_EQ(list.SolarFestivals().Count(), 99u);
    EXPECT_EQ(list.LunarFestivals().Count(), 13u);
    EXPECT_EQ(list.WeekFestivals().Count(), 12u);
    EXPECT_EQ(list.FestivalTextOf(EncodeDate(2024, 5, 12)),
              (FestivalMatch{"国际护士节 国际母亲节", kRed}));
    EXPECT_EQ(list.FestivalTextOf(EncodeDate(2024, 2, 9)), (FestivalMatch{"除夕", kPurple}));
    EXPECT_EQ(list.FestivalTextOf(EncodeDate(2024, 6, 16)), (FestivalMatch{"父亲节", kNavy}));
    // The colour is that of the first festival found.
    EXPECT_EQ(list.FestivalTextOf(EncodeDate(2020, 10, 1)).color, kPurple);
    EXPECT_EQ(WindowList().WeekFestivalOf(EncodeDate(2024, 5, 12)), (FestivalMatch{"母亲节", 0}));
}

TEST(LunarCalFestivals, MonthEndKeyFollowsTheLeapMonthNotTheRegularOne) {
    TFestivalList list;
    ASSERT_TRUE(list.AddFestival(TFestivalList::ftLunar, "0500", 7, "四月尾"));
    // 2020 has a leap fourth month: the regular fourth month's last day is
    // followed by the leap month of the same number.
    EXPECT_EQ(list.FestivalTextOf(EncodeDate(2020, 5, 22)).text, "");
    EXPECT_EQ(list.FestivalTextOf(EncodeDate(2020, 6, 20)), (FestivalMatch{"四月尾", 7}));
    // Past the end of the table the next day has no lunar month at all.
    EXPECT_EQ(list.FestivalTextOf(EncodeDate(2100, 12, 31)).text, "");
}

TEST(LunarCalFestivals, AddFestivalReplacesByKeyAndRefusesBadInput) {
    TFestivalList list;
    EXPECT_TRUE(list.AddFestival(TFestivalList::ftSolar, "0101", 5, "  元旦  "));
    EXPECT_EQ(list.SolarFestivalOf(EncodeDate(2024, 1, 1)), (FestivalMatch{"元旦", 5}));
    EXPECT_EQ(list.SolarFestivals().Count(), 99u);

    const size_t before = list.SolarFestivals().Count();
    EXPECT_FALSE(list.AddFestival(TFestivalList::ftSolar, "0102", 5, ""));
    EXPECT_FALSE(list.AddFestival(TFestivalList::ftSolar, "0102", 5, "   "));
    EXPECT_FALSE(list.AddFestival(TFestivalList::ftSolar, "", 5, "x"));
    EXPECT_FALSE(list.AddFestival(TFestivalList::ftSolar, "01=02", 5, "x"));
    EXPECT_FALSE(list.AddFestival(3, "0102", 5, "x"));
    EXPECT_FALSE(list.AddFestival(-1, "0102", 5, "x"));
    EXPECT_EQ(list.SolarFestivals().Count(), before);
    EXPECT_EQ(list.SolarFestivalOf(EncodeDate(2024, 1, 2)), FestivalMatch{});

    // A festival whose colour happens to be -1 still counts as found.
    EXPECT_TRUE(list.AddFestival(TFestivalList::ftWeek, "0320", -1, "三月第二个周日"));
    EXPECT_EQ(list.FestivalTextOf(EncodeDate(2024, 3, 10)).text, "三月第二个周日");
}

TEST(LunarCalFestivals, MarksAndTheirColors) {
    TFestivalList list;
    const TDateTime day = EncodeDate(2024, 2, 10);  // lunar 0101, a Saturday
    EXPECT_EQ(list.MarkColorOf(day), kNoColor);

    EXPECT_TRUE(list.AddMark(TFestivalList::ftWeek, "0226", 3));  // second Saturday of February
    EXPECT_EQ(list.MarkColorOf(day), 3);
    EXPECT_TRUE(list.AddMark(TFestivalList::ftWeek, "0276", 4));  // (29 - 10) div 7 + 5
    EXPECT_EQ(list.WeekMarkColorOf(day), 4);
    EXPECT_TRUE(list.AddMark(TFestivalList::ftSolar, "0210", 2));
    EXPECT_EQ(list.MarkColorOf(day), 2);
    EXPECT_TRUE(list.AddMark(TFestivalList::ftLunar, "0101", 1));
    EXPECT_EQ(list.MarkColorOf(day), 1);

    // Adding again changes the colour, without a second line.
    EXPECT_TRUE(list.AddMark(TFestivalList::ftLunar, "0101", 9));
    EXPECT_EQ(list.LunarMarks().Count(), 1u);
    EXPECT_EQ(list.MarkColorOf(day), 9);

    list.DeleteMark(TFestivalList::ftLunar, "0101");
    list.DeleteMark(TFestivalList::ftLunar, "0101");
    list.DeleteMark(7, "0210");
    EXPECT_EQ(list.MarkColorOf(day), 2);
    EXPECT_FALSE(list.AddMark(3, "0210", 1));
    EXPECT_FALSE(list.AddMark(TFestivalList::ftSolar, "", 1));

    // A leap-month day matches the marks of the regular month's number.
    list.AddMark(TFestivalList::ftLunar, "0405", 6);
    EXPECT_EQ(list.MarkColorOf(EncodeDate(2020, 5, 27)), 6);  // leap 4th month, day 5
}

TEST(LunarCalFestivals, ListsStaySortedWithoutDuplicates) {
    TColorStringList list{"b", "A", "c=x"};
    EXPECT_FALSE(list.Add("a", 1));
    EXPECT_TRUE(list.Add("c", 1));
    ASSERT_EQ(list.Count(), 4u);
    EXPECT_EQ(list[0].text, "A");
    EXPECT_EQ(list[1].text, "b");
    EXPECT_EQ(list[2].text, "c");
    EXPECT_EQ(list[3].text, "c=x");
    EXPECT_EQ(list.IndexOf("B"), 1);
    EXPECT_EQ(list.IndexOf("d"), -1);
    ASSERT_NE(list.FindKey("C"), nullptr);
    EXPECT_EQ(list.FindKey("C")->text, "c=x");
    EXPECT_EQ(list.FindKey("b"), nullptr);
    list.Delete(-1);
    list.Delete(4);
    EXPECT_EQ(list.Count(), 4u);

    // Replacing a whole table keeps the given lines (plain text: colour 0).
    TFestivalList festivals;
    festivals.SetSolarFestivals(TColorStringList{"0102=测试"});
    EXPECT_EQ(festivals.SolarFestivals().Count(), 1u);
    EXPECT_EQ(festivals.FestivalTextOf(EncodeDate(2023, 1, 2)), (FestivalMatch{"测试", 0}));
}

// The look-ups search by the first bytes of a line first: they must find
// what a walk over every line finds, for texts that begin alike, shorter
// ones, a NUL byte, letters of both cases, and after deletions.
TEST(LunarCalFestivals, LookUpsFindWhatAWalkOverTheLinesFinds) {
    using namespace std::string_literals;
    const std::vector<std::string> texts = {"",          "a",    "ab",     "ab\0"s,    "ab\0c"s,
                                            "abc",       "ABCD", "abcd=x", "abcde",    "abd",
                                            "0101=元旦", "0101", "01015",  "\xff\xfe", "b=1"};
    TColorStringList list;
    for (const std::string& t : texts)
        list.Add(t, 0);
    auto check = [&](const std::string& context) {
        for (const std::string& q : texts) {
            int walked = -1;
            const TColorStringList::Line* keyed = nullptr;
            for (size_t i = 0; i < list.Count(); ++i) {
                const std::string& line = list[i].text;
                if (walked < 0 && line.size() == q.size() && EqualsNoCase(line, q))
                    walked = static_cast<int>(i);
                if (keyed == nullptr && line.size() > q.size() && line[q.size()] == '=' &&
                    EqualsNoCase(std::string_view(line).substr(0, q.size()), q)) {
                    keyed = &list[i];
                }
            }
            EXPECT_EQ(list.IndexOf(q), walked) << context << " IndexOf " << q;
            EXPECT_EQ(list.FindKey(q), keyed) << context << " FindKey " << q;
        }
        for (size_t i = 1; i < list.Count(); ++i)
            EXPECT_LT(CompareNoCase(list[i - 1].text, list[i].text), 0) << context;
    };
    check("whole");
    list.Delete(list.IndexOf("ab"));
    list.Delete(list.IndexOf("ABCD"));
    list.Add("ABC=y", 0);
    check("after changes");
}

TEST(LunarCalFestivals, HintTextOfADay) {
    EXPECT_EQ(CalendarHintText(EncodeDate(2024, 2, 10), WindowList(), false),
              "公元= 2024年2月10日 星期六  第6周\n"
              "农历= 二零二四年正月初一\n"
              "干支= 甲辰(龙)年丙寅月甲辰日\n"
              "节日= 春节 国际气象节");
    EXPECT_EQ(CalendarHintText(EncodeDate(2024, 3, 2), WindowList(), true),
              "公元= 2024年3月2日 星期六  第9周\n"
              "农历= 二零二四年正月廿二\n"
              "干支= 甲辰(龙)年丙寅月乙丑日");
}

TEST(LunarCalFestivals, OutOfRangeDatesMatchNothing) {
    const TFestivalList list;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (TDateTime x : {nan, 1e300, -1e300}) {
        EXPECT_EQ(list.FestivalTextOf(x), FestivalMatch{});
        EXPECT_EQ(list.MarkColorOf(x), kNoColor);
    }
    EXPECT_EQ(list.LunarFestivalOf(LunarDate{}), FestivalMatch{});
    EXPECT_EQ(list.LunarFestivalOf(LunarDate{2000, -123456, 1000000, false}), FestivalMatch{});
}
