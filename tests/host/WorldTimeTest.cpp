// World time: TimeZone.lst, the daylight-saving rules and the city's time.
#include "timesvc/WorldTime.h"

#include "TempDir.h"
#include "core/DateTime.h"
#include "core/Encoding.h"
#include "core/FileSys.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace tempora;

namespace {

TDateTime Stamp(const std::string& text) {
    TDateTime t = 0;
    EXPECT_TRUE(ParseStamp(text, t)) << text;
    return t;
}

TCityData City(double offset, const std::string& start = {}, const std::string& end = {}) {
    TCityData city;
    city.name = "城";
    city.utcOffset = offset;
    EXPECT_NE(ParseDstRule(start, city.dstStart), TRuleParse::Impossible) << start;
    EXPECT_NE(ParseDstRule(end, city.dstEnd), TRuleParse::Impossible) << end;
    return city;
}

const std::vector<TCountryData>& Shipped() {
    static const std::vector<TCountryData> countries =
        LoadTimeZoneFile(std::string(TEMPORA_SOURCE_DIR) + "/data/TimeZone.lst");
    return countries;
}

const TCityData* ShippedCity(const std::string& otherName) {
    for (const TCountryData& country : Shipped()) {
        for (const TCityData& city : country.cities) {
            if (city.otherName == otherName)
                return &city;
        }
    }
    return nullptr;
}

}  // namespace

TEST(WorldTime, RulesReadNumericAndWeekdayDaysAndRejectImpossibleOnes) {
    struct Case {
        const char* field;
        TRuleParse result;
        TDstRule rule;
    };
    const Case cases[] = {
        {"3/29 2:00", TRuleParse::Rule, {3, 29, 0, 0, 2, 0}},
        {"3/Sun2 2:00", TRuleParse::Rule, {3, 0, 1, 2, 2, 0}},
        {"10/SunL 1:00", TRuleParse::Rule, {10, 0, 1, TDstRule::kLastWeek, 1, 0}},
        {"4/fril 23:59", TRuleParse::Rule, {4, 0, 6, TDstRule::kLastWeek, 23, 59}},
        {"4/Sat1 23:00", TRuleParse::Rule, {4, 0, 7, 1, 23, 0}},
        {"9/SunL 2:45", TRuleParse::Rule, {9, 0, 1, TDstRule::kLastWeek, 2, 45}},
        {"2/29 1:00", TRuleParse::Rule, {2, 29, 0, 0, 1, 0}},
        {"3/Sun2  2:00", TRuleParse::Rule, {3, 0, 1, 2, 2, 0}},
        {"3/29 x:00", TRuleParse::Rule, {3, 29, 0, 0, 0, 0}},  // no number reads as 0
        {"", TRuleParse::None, {}},
        {"3/29", TRuleParse::None, {}},
        {"3/29 2", TRuleParse::None, {}},
        {"3-29 2:00", TRuleParse::None, {}},
        {"13/1 2:00", TRuleParse::Impossible, {}},
        {"0/1 2:00", TRuleParse::Impossible, {}},
        {"3/0 2:00", TRuleParse::Impossible, {}},
        {"2/30 2:00", TRuleParse::Impossible, {}},
        {"3/Sun9 2:00", TRuleParse::Impossible, {}},
        {"3/Sun0 2:00", TRuleParse::Impossible, {}},
        {"3/Sun5 2:00", TRuleParse::Impossible, {}},
        {"3/Son2 2:00", TRuleParse::Impossible, {}},
        {"3/Sunday2 2:00", TRuleParse::Impossible, {}},
        {"x/1 2:00", TRuleParse::Impossible, {}},
        {"3/29 24:00", TRuleParse::Impossible, {}},
        {"3/29 2:60", TRuleParse::Impossible, {}},
        {"3/29 -1:00", TRuleParse::Impossible, {}},
    };
    for (const Case& c : cases) {
        TDstRule rule{9, 9, 9, 9, 9, 9};
        EXPECT_EQ(ParseDstRule(c.field, rule), c.result) << c.field;
        EXPECT_EQ(rule, c.rule) << c.field;
    }
}

TEST(WorldTime, RuleInstantsFallOnTheNamedDayOfEachYear) {
    struct Case {
        const char* field;
        int year;
        const char* instant;
    };
    const Case cases[] = {
        {"3/Sun2 2:00", 2026, "2026-03-08 02:00:00"},
        {"3/Sun2 2:00", 2027, "2027-03-14 02:00:00"},
        {"11/Sun1 1:00", 2026, "2026-11-01 01:00:00"},  // the 1st is a Sunday
        {"11/Sun1 1:00", 2027, "2027-11-07 01:00:00"},
        {"3/SunL 1:00", 2026, "2026-03-29 01:00:00"},  // March 2026 has five Sundays
        {"5/SunL 1:00", 2026, "2026-05-31 01:00:00"},  // the last day is one
        {"2/Sun4 0:30", 2026, "2026-02-22 00:30:00"},
        {"10/ThuL 23:00", 2026, "2026-10-29 23:00:00"},
        {"2/29 3:00", 2028, "2028-02-29 03:00:00"},
        {"2/29 3:00", 2027, "2027-02-28 03:00:00"},  // no 29th: the month's last day
        {"3/29 2:00", 2027, "2027-03-29 02:00:00"},
    };
    for (const Case& c : cases) {
        TDstRule rule;
        ASSERT_EQ(ParseDstRule(c.field, rule), TRuleParse::Rule) << c.field;
        EXPECT_EQ(FormatStamp(DstRuleInstant(rule, c.year)), c.instant) << c.field << " " << c.year;
    }
}

TEST(WorldTime, FractionalOffsetsTruncateTheHoursAndRoundTheMinutes) {
    struct Case {
        double offset;
        int minutes;
        const char* time;  // at 2026-01-01 00:00:00 UTC
    };
    const Case cases[] = {
        {5.75, 345, "2026年01月01日 05:45:00 "},   {5.5, 330, "2026年01月01日 05:30:00 "},
        {-3.5, -210, "2025年12月31日 20:30:00 "},  {12.75, 765, "2026年01月01日 12:45:00 "},
        {-9.5, -570, "2025年12月31日 14:30:00 "},  {1.0 / 3, 20, "2026年01月01日 00:20:00 "},
        {-0.999, -60, "2025年12月31日 23:00:00 "}, {0, 0, "2026年01月01日 00:00:00 "},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(OffsetMinutes(c.offset), c.minutes) << c.offset;
        EXPECT_EQ(CityLabels("国", City(c.offset), Stamp("2026-01-01 00:00:00")).time, c.time)
            << c.offset;
    }
}

TEST(WorldTime, SouthernRulesRunAcrossTheNewYear) {
    const TCityData city = City(10, "10/4 2:00", "3/28 3:00");
    struct Case {
        const char* utc;
        bool daylight;
    };
    const Case cases[] = {
        {"2026-01-15 00:00:00", true},  {"2026-06-15 00:00:00", false},
        {"2026-03-27 16:59:59", true},  {"2026-03-27 17:00:00", false},  // 3:00 standard
        {"2026-10-03 15:59:59", false}, {"2026-10-03 16:00:00", true},   // 2:00 standard
        {"2026-12-31 14:00:00", true},  {"2026-12-31 13:59:59", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CityTimeAt(city, Stamp(c.utc)).daylight, c.daylight) << c.utc;

    const TCityLabels july = CityLabels("澳大利亚", city, Stamp("2026-07-01 02:00:00"));
    EXPECT_EQ(july.time, "2026年07月01日 12:00:00 ");
    EXPECT_EQ(july.dstStart, "夏时制开始日期: 2026年10月04日 02:00");
    EXPECT_EQ(july.dstEnd, "夏时制结束日期: 2026年03月28日 03:00");
    EXPECT_EQ(CityLabels("澳大利亚", city, Stamp("2026-01-01 02:00:00")).time,
              "2026年01月01日 13:00:00 (夏时制)");
}

// The shipped rules against the switches of the world's time-zone database:
// one day and one second before each switch, at it, and one day after.
TEST(WorldTime, ShippedRulesSwitchWhenTheCitiesDoIn2026And2027) {
    struct Switch {
        const char* city;
        int standardHours;
        const char* utc;
        bool daylightAfter;
    };
    const Switch switches[] = {
        {"New York", -5, "2026-03-08 07:00:00", true},
        {"New York", -5, "2026-11-01 06:00:00", false},
        {"New York", -5, "2027-03-14 07:00:00", true},
        {"New York", -5, "2027-11-07 06:00:00", false},
        {"London", 0, "2026-03-29 01:00:00", true},
        {"London", 0, "2026-10-25 01:00:00", false},
        {"London", 0, "2027-03-28 01:00:00", true},
        {"London", 0, "2027-10-31 01:00:00", false},
        {"Sydney", 10, "2026-04-04 16:00:00", false},
        {"Sydney", 10, "2026-10-03 16:00:00", true},
        {"Sydney", 10, "2027-04-03 16:00:00", false},
        {"Sydney", 10, "2027-10-02 16:00:00", true},
        {"Santiago", -4, "2026-04-05 03:00:00", false},
        {"Santiago", -4, "2026-09-06 04:00:00", true},
        {"Santiago", -4, "2027-04-04 03:00:00", false},
        {"Santiago", -4, "2027-09-05 04:00:00", true},
    };
    constexpr double kSecond = 1.0 / 86400;
    for (const Switch& s : switches) {
        const TCityData* city = ShippedCity(s.city);
        ASSERT_NE(city, nullptr) << s.city;
        const TDateTime at = Stamp(s.utc);
        for (const double delta : {-1.0, -kSecond, 0.0, 1.0}) {
            const bool inDst = delta < 0 ? !s.daylightAfter : s.daylightAfter;
            const TDateTime utc = at + delta;
            const TCityTime t = CityTimeAt(*city, utc);
            const std::string where = std::string(s.city) + " " + FormatStamp(utc);
            EXPECT_EQ(t.daylight, inDst) << where;
            EXPECT_EQ(FormatStamp(t.local),
                      FormatStamp(utc + (s.standardHours + (inDst ? 1 : 0)) / 24.0))
                << where;
        }
    }
}

TEST(WorldTime, LinesSplitIntoFieldsWithBlanksAndMissingFieldsHandled) {
    const std::vector<TCountryData> countries = ParseTimeZoneLines({
        "  -3.5 |加拿大 |St. John's|圣约翰斯|UTC/GMT -3.5 小时 |北纬 47°34'|3/Sun2 2:00|11/Sun1 "
        "1:00  ",
        "", "   ", "8|中国|Beijing|北京",
        "x|中国|Nowhere|某地|zone||3/29 2:00",  // one rule alone keeps no daylight saving
        "8|中国|Beijing",                       // no city name
        "8||Beijing|北京",                      // no country
    });
    ASSERT_EQ(countries.size(), 2u);
    EXPECT_EQ(countries[0].name, "加拿大");
    ASSERT_EQ(countries[0].cities.size(), 1u);
    const TCityData& johns = countries[0].cities[0];
    EXPECT_EQ(johns.utcOffset, -3.5);
    EXPECT_EQ(johns.otherName, "St. John's");
    EXPECT_EQ(johns.name, "圣约翰斯");
    EXPECT_EQ(johns.zoneText, "UTC/GMT -3.5 小时");
    EXPECT_EQ(johns.positionText, "北纬 47°34'");
    EXPECT_TRUE(johns.HasDaylightSaving());
    EXPECT_EQ(johns.dstEnd, (TDstRule{11, 0, 1, 1, 1, 0}));

    ASSERT_EQ(countries[1].cities.size(), 2u);
    const TCityLabels beijing =
        CityLabels(countries[1].name, countries[1].cities[0], Stamp("2026-07-01 04:00:00"));
    EXPECT_EQ(beijing.title, "中国 - 北京 Beijing");
    EXPECT_EQ(beijing.time, "2026年07月01日 12:00:00 ");
    EXPECT_EQ(beijing.zone, "时区: ");
    EXPECT_EQ(beijing.position, "位置: ");
    EXPECT_EQ(beijing.dstStart, "");
    EXPECT_EQ(beijing.dstEnd, "");
    const TCityData& nowhere = countries[1].cities[1];
    EXPECT_EQ(nowhere.utcOffset, 0);
    EXPECT_FALSE(nowhere.HasDaylightSaving());
}

TEST(WorldTime, ConsecutiveLinesFormACountryAndABadLineSkipsOnlyItself) {
    const std::vector<TCountryData> countries = ParseTimeZoneLines({
        "1|德国|Berlin|柏林",
        "1|德国|Frankfurt|法兰克福|zone|pos|13/SunL 2:00|10/SunL 2:00",
        "1|德国|Munich|慕尼黑",
        "1|法国|Paris|巴黎",
        "1|法国|Lyon|里昂|zone|pos|3/Sun9 2:00|10/SunL 2:00",
        "1|法国|Nice|尼斯|zone|pos|3/SunL 2:00|10/0 2:00",
        "1|德国|Hamburg|汉堡",
    });
    ASSERT_EQ(countries.size(), 3u);
    EXPECT_EQ(countries[0].name, "德国");
    ASSERT_EQ(countries[0].cities.size(), 2u);
    EXPECT_EQ(countries[0].cities[0].name, "柏林");
    EXPECT_EQ(countries[0].cities[1].name, "慕尼黑");
    EXPECT_EQ(countries[1].name, "法国");
    ASSERT_EQ(countries[1].cities.size(), 1u);
    EXPECT_EQ(countries[2].name, "德国");
    ASSERT_EQ(countries[2].cities.size(), 1u);
    EXPECT_EQ(countries[2].cities[0].name, "汉堡");
}

TEST(WorldTime, OffsetsThatAreNoNumberReadAsZero) {
    struct Case {
        const char* field;
        double offset;
    };
    const Case cases[] = {
        {"8", 8},   {"+8", 8}, {"-12", -12}, {"5.75", 5.75}, {"-3.5", -3.5}, {"14", 14},
        {"8h", 0},  {"", 0},   {"--1", 0},   {"1.2.3", 0},   {".", 0},       {"99", 0},
        {"1e2", 0}, {"-", 0},  {"nan", 0},   {"24.5", 0},    {"5,75", 0},
    };
    for (const Case& c : cases) {
        const std::vector<TCountryData> countries =
            ParseTimeZoneLines({std::string(c.field) + "|国|City|城"});
        ASSERT_EQ(countries.size(), 1u) << c.field;
        EXPECT_EQ(countries[0].cities[0].utcOffset, c.offset) << c.field;
    }
}

TEST(WorldTime, DamagedTextsAreCutAndCleanedAndEncodingsRecognised) {
    std::string longName;
    for (int i = 0; i < 100; ++i)
        longName += "长";
    const std::vector<TCountryData> cut =
        ParseTimeZoneLines({"8|国|a\tb\x01"
                            "c|" +
                            longName + "|" + std::string(300, 'z')});
    ASSERT_EQ(cut.size(), 1u);
    const TCityData& city = cut[0].cities[0];
    EXPECT_EQ(city.otherName, "a b c");
    EXPECT_EQ(city.name, longName.substr(0, kMaxZoneFieldChars * 3));
    EXPECT_EQ(city.zoneText, std::string(kMaxZoneFieldChars, 'z'));

    const std::string line = "9|日本|Tokyo|东京|UTC/GMT +9 小时 (东九区)\r\n";
    for (const std::string& bytes : {Utf8ToGbk(line), line, "\xEF\xBB\xBF" + line}) {
        const std::vector<TCountryData> read = ParseTimeZoneText(bytes);
        ASSERT_EQ(read.size(), 1u);
        EXPECT_EQ(read[0].name, "日本");
        EXPECT_EQ(read[0].cities[0].zoneText, "UTC/GMT +9 小时 (东九区)");
    }
    // Junk yields what it yields, in whole UTF-8, and never a crash.
    const char kJunk[] = "\xFF\xFE\x81|\x00|\x80\x80|\xA1|\r\n|||\n\x81";
    const std::string junk(kJunk, sizeof kJunk - 1);
    for (const TCountryData& country : ParseTimeZoneText(junk)) {
        EXPECT_TRUE(IsValidUtf8(country.name));
        for (const TCityData& c : country.cities)
            EXPECT_TRUE(IsValidUtf8(c.name) && IsValidUtf8(c.otherName));
    }
    EXPECT_TRUE(ParseTimeZoneText("").empty());
}

TEST(WorldTime, TheShippedFileLoadsWholeAndAMissingFileGivesNoCities) {
    const std::vector<TCountryData>& countries = Shipped();
    size_t cities = 0, withDst = 0;
    for (const TCountryData& country : countries) {
        for (const TCityData& city : country.cities) {
            ++cities;
            withDst += city.HasDaylightSaving();
            EXPECT_FALSE(city.zoneText.empty()) << city.name;
            EXPECT_FALSE(city.positionText.empty()) << city.name;
        }
    }
    std::string raw;
    ASSERT_TRUE(ReadFileBytes(std::string(TEMPORA_SOURCE_DIR) + "/data/TimeZone.lst", raw));
    size_t lines = 0;
    for (const char c : raw)
        lines += c == '\n';
    EXPECT_EQ(cities, lines);  // not one line skipped
    EXPECT_GT(withDst, 0u);
    EXPECT_EQ(countries.front().name, "中国");

    test::TempDir dir;
    EXPECT_TRUE(LoadTimeZoneFile(dir.File("TimeZone.lst")).empty());
}
