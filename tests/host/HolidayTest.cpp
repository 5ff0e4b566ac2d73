#include "calendar/Holiday.h"
#include "core/FileSys.h"
#include "core/Encoding.h"
#include "core/LineFile.h"

#include <algorithm>
#include <limits>

#include "TempDir.h"
#include <gtest/gtest.h>

using namespace tempora;

namespace {

const HolidayInfo kNone{};

HolidayInfo Off(const char* name) {
    return {name, HolidayKind::DayOff};
}
HolidayInfo Work(const char* name) {
    return {name, HolidayKind::WorkDay};
}

}  // namespace

TEST(Holiday, ParsesGoodLinesAndSkipsDamagedOnes) {
    THolidayList list;
    const size_t read = list.LoadFromLines({
        "# 注释|行|1", "", "2024-02-10|春节|1",
        " 2024-02-04 | 春节 | 0 ",  // blanks around fields are fine
        "2024-02-11|春节|2",        // kind other than 0 or 1
        "2024-02-12|春节",          // too few fields
        "2024-02-13|春节|1|x",      // too many
        "2024-2-14|春节|1",         // not yyyy-mm-dd
        "2024-02-30|春节|1",        // no such day
        "2024-02-15||1",            // no name
        "2024-02-16 00:00:00|春节|1", "+024-02-17|春节|1", "2024-05-01|劳动节|0",
        "2024-05-01|劳动节|1",  // a later line replaces an earlier one
    });
    EXPECT_EQ(read, 3u);
    EXPECT_EQ(list.Of(EncodeDate(2024, 2, 10)), Off("春节"));
    EXPECT_EQ(list.Of(EncodeDateTime(2024, 2, 10, 18, 30, 0)), Off("春节"));
    EXPECT_EQ(list.Of(EncodeDate(2024, 2, 4)), Work("春节"));
    EXPECT_EQ(list.Of(EncodeDate(2024, 5, 1)), Off("劳动节"));
    for (int day = 11; day <= 17; ++day)
        EXPECT_EQ(list.Of(EncodeDate(2024, 2, day)), kNone);
    EXPECT_EQ(list.Of(std::numeric_limits<double>::quiet_NaN()), kNone);
    EXPECT_EQ(list.Of(1e300), kNone);
}

TEST(Holiday, ShippedListCoversTheNoticesOf2002To2026) {
    THolidayList list;
    ASSERT_TRUE(list.LoadFromFile(std::string(TEMPORA_SOURCE_DIR) + "/data/Holiday.lst"));
    EXPECT_EQ(list.Count(), 860u);  // every day of the source table
    struct Case {
        int y, m, d;
        HolidayInfo info;
    } cases[] = {
        {2002, 1, 1, Off("元旦节")},
        {2001, 12, 29, Work("元旦节")},
        {2015, 9, 3, Off("抗战胜利日")},
        {2020, 10, 1, Off("国庆中秋")},
        {2024, 2, 10, Off("春节")},
        {2024, 2, 4, Work("春节")},
        {2024, 2, 19, kNone},
        {2026, 10, 10, Work("国庆节")},
        {2027, 1, 1, kNone},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(FormatDateTime("yyyy-mm-dd", EncodeDate(c.y, c.m, c.d)));
        EXPECT_EQ(list.Of(EncodeDate(c.y, c.m, c.d)), c.info);
    }
}

namespace {

std::string ShippedFile() {
    return std::string(TEMPORA_SOURCE_DIR) + "/data/Holiday.lst";
}

// A year's notice as lines: its header, the three fixed days off that make
// it whole and the extra lines given.
std::vector<std::string> YearLines(int year, const std::string& header,
                                   std::vector<std::string> extra = {}) {
    const std::string y = std::to_string(year);
    std::vector<std::string> lines = {header, y + "-01-01|元旦|1", y + "-05-01|劳动节|1",
                                      y + "-10-01|国庆节|1"};
    lines.insert(lines.end(), extra.begin(), extra.end());
    return lines;
}

std::string Join(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += Utf8ToGbk(line) + "\r\n";
    return text;
}

THolidayList ListOf(const std::vector<std::string>& lines) {
    THolidayList list;
    list.LoadFromLines(lines);
    return list;
}

}  // namespace

TEST(Holiday, WorkingDayRuleOverTheShippedYears) {
    THolidayList list;
    ASSERT_TRUE(list.LoadFromFile(ShippedFile()));
    struct Case {
        int y, m, d;
        bool working;
    } cases[] = {
        {2026, 2, 14, true},    // 班 Saturday before the Spring Festival
        {2024, 5, 11, true},    // 班 Saturday after Labour Day
        {2001, 12, 29, true},   // 班 Saturday in the December before its year
        {2024, 2, 12, false},   // 休 Monday
        {2023, 1, 2, false},    // New Year on a Sunday: the Monday after is off
        {2022, 1, 3, false},    // New Year on a Saturday: the Monday after is off
        {2022, 12, 31, false},  // the next year's New Year starts on a Saturday
        {2024, 4, 5, false},    // 休 Friday
        {2024, 3, 13, true},    // a plain Wednesday
        {2024, 3, 16, false},   // a plain Saturday
        {2027, 1, 1, true},     // a Friday of a year without data: its weekday decides
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(FormatDateTime("yyyy-mm-dd", EncodeDate(c.y, c.m, c.d)));
        const TDateTime noon = EncodeDateTime(c.y, c.m, c.d, 12, 0, 0);
        EXPECT_EQ(IsWorkingDay(noon, &list), c.working);
        EXPECT_EQ(DayRuleAllows(DayRule::WorkingDays, noon, &list), c.working);
        EXPECT_EQ(DayRuleAllows(DayRule::DaysOff, noon, &list), !c.working);
        EXPECT_TRUE(DayRuleAllows(DayRule::Any, noon, &list));
    }
    // Without a list only the weekday counts.
    EXPECT_TRUE(IsWorkingDay(EncodeDate(2024, 2, 12), nullptr));
    EXPECT_FALSE(IsWorkingDay(EncodeDate(2026, 2, 14), nullptr));
}

TEST(Holiday, CoverageFromHeadersAndFromOldFilesWithoutThem) {
    THolidayList shipped;
    ASSERT_TRUE(shipped.LoadFromFile(ShippedFile()));
    std::vector<int> years;
    for (int y = 2002; y <= 2026; ++y)
        years.push_back(y);
    EXPECT_EQ(shipped.CoveredYears(), years);
    EXPECT_FALSE(shipped.Covers(2001));
    EXPECT_FALSE(shipped.Covers(2027));
    // The December make-up day belongs to the next year's notice.
    ASSERT_NE(shipped.YearOf(EncodeDate(2001, 12, 29)), nullptr);
    EXPECT_EQ(shipped.YearOf(EncodeDate(2001, 12, 29)), shipped.YearOf(EncodeDate(2002, 1, 1)));
    EXPECT_EQ(shipped.YearOf(EncodeDate(2024, 3, 13)), nullptr);

    // A file of an older version: no headers, a year typed in part by hand.
    const THolidayList old =
        ListOf({"2029-12-29|元旦|0", "2030-01-01|元旦|1", "2030-05-01|劳动节|1",
                "2030-10-01|国庆节|1", "2031-02-10|春节|1"});
    EXPECT_EQ(old.CoveredYears(), std::vector<int>{2030});
    EXPECT_EQ(old.YearOf(EncodeDate(2029, 12, 29)), old.YearOf(EncodeDate(2030, 1, 1)));
    EXPECT_EQ(old.Of(EncodeDate(2031, 2, 10)), Off("春节"));

    // Headers carry the notice; written out and read back, nothing is lost.
    const THolidayList dated =
        ListOf(YearLines(2030, "@2030|国办发明电〔2029〕9号|2029-11-05", {"2029-12-30|元旦|0"}));
    const THolidayYear* notice = dated.YearOf(EncodeDate(2029, 12, 30));
    ASSERT_NE(notice, nullptr);
    EXPECT_EQ(notice->source, "国办发明电〔2029〕9号");
    EXPECT_EQ(notice->published, "2029-11-05");
    EXPECT_EQ(ListOf(dated.Lines()).Years(), dated.Years());
}

TEST(Holiday, MergeAddsNewYearsAndReplacesOnlyFromALaterNotice) {
    const std::vector<std::string> user2030 = YearLines(2030, "@2030|甲|2029-11-01");
    const std::vector<std::string> changed = {"2030-02-02|春节|0"};
    struct Case {
        const char* what;
        std::vector<std::string> incoming;
        std::vector<THolidayChange> changes;
    } cases[] = {
        {"a new year is added", YearLines(2031, "@2031"), {{2031, false}}},
        {"the same year again changes nothing", user2030, {}},
        {"a changed year without a date is kept", YearLines(2030, "@2030", changed), {}},
        {"a changed year from an earlier notice is kept",
         YearLines(2030, "@2030|乙|2029-10-01", changed),
         {}},
        {"a changed year from the same notice is kept",
         YearLines(2030, "@2030|甲|2029-11-01", changed),
         {}},
        {"a changed year from a later notice replaces",
         YearLines(2030, "@2030|丙|2029-12-01", changed),
         {{2030, true}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        THolidayList list = ListOf(user2030);
        const THolidayList incoming = ListOf(c.incoming);
        EXPECT_EQ(list.PlanMerge(incoming), c.changes);
        list.Merge(incoming);
        for (const THolidayChange& change : c.changes)
            EXPECT_EQ(list.Years().at(change.year), incoming.Years().at(change.year));
        // The user's year stays unless it was replaced.
        const bool replaced = !c.changes.empty() && c.changes.front().replaces;
        EXPECT_EQ(list.Of(EncodeDate(2030, 2, 2)).kind != HolidayKind::None, replaced);
        EXPECT_TRUE(list.Covers(2030));
    }

    // A year held in part is replaced by a whole one, never the other way.
    THolidayList partial = ListOf({"@2030", "2030-02-02|春节|1"});
    EXPECT_EQ(partial.Merge(ListOf(user2030)), (std::vector<THolidayChange>{{2030, true}}));
    EXPECT_TRUE(partial.Covers(2030));
    THolidayList whole = ListOf(user2030);
    EXPECT_TRUE(whole.Merge(ListOf({"@2030|丁|2030-01-01", "2030-02-02|春节|1"})).empty());
    EXPECT_TRUE(whole.Covers(2030));
}

TEST(Holiday, StrictCheckTakesAWholeFileInGbkOrUtf8) {
    const std::vector<std::string> lines = [] {
        std::vector<std::string> all = YearLines(2030, "@2030|国办发明电〔2029〕9号|2029-11-05",
                                                 {"2029-12-29|元旦|0", "# 注释", ""});
        const std::vector<std::string> next = YearLines(2031, "@2031");
        all.insert(all.end(), next.begin(), next.end());
        return all;
    }();
    std::string utf8;
    for (const std::string& line : lines)
        utf8 += line + "\n";
    for (const std::string& bytes : {Join(lines), "\xEF\xBB\xBF" + utf8}) {
        THolidayList list;
        const THolidayCheck check = CheckHolidayFile(bytes, list);
        ASSERT_TRUE(check.ok) << check.message;
        EXPECT_EQ(list.CoveredYears(), (std::vector<int>{2030, 2031}));
        EXPECT_EQ(list.Of(EncodeDate(2029, 12, 29)), Work("元旦"));
        EXPECT_EQ(list.YearOf(EncodeDate(2030, 1, 1))->source, "国办发明电〔2029〕9号");
    }
    // An old file without headers passes too.
    THolidayList shipped;
    std::string old;
    ASSERT_TRUE(ReadFileBytes(ShippedFile(), old));
    EXPECT_TRUE(CheckHolidayFile(old, shipped).ok);
}

TEST(Holiday, StrictCheckRefusesABadFileWholeNamingTheFirstBadLine) {
    const std::string whole = Join(YearLines(2030, "@2030"));  // lines 1-4
    struct Case {
        const char* what;
        std::string bytes;
        size_t line;
        const char* says;
    } cases[] = {
        {"a line that is no entry", whole + Join({"随便写点什么"}), 5, "无法识别"},
        {"too few fields", whole + Join({"2030-02-02|春节"}), 5, "日期|名称"},
        {"a year of two digits", Join({"@30"}) + whole, 1, "年份格式不明"},
        {"a year with letters", Join({"@2030年|x|"}), 1, "年份格式不明"},
        {"a notice date that does not exist", Join({"@2030|x|2029-13-01"}), 1, "通知日期无效"},
        {"a date that does not exist", whole + Join({"2030-02-30|春节|1"}), 5, "日期不存在"},
        {"a date in another form", whole + Join({"2030/02/03|春节|1"}), 5, "日期格式不明"},
        {"a kind other than 1 or 0", whole + Join({"2030-02-03|春节|休"}), 5,
         "应为 1（休）或 0（班）"},
        {"no name", whole + Join({"2030-02-03||1"}), 5, "缺少名称"},
        {"a day both 休 and 班", whole + Join({"2030-02-03|春节|1", "2030-02-03|春节|0"}), 6,
         "既是休又是班"},
        {"an entry outside its year", whole + Join({"2031-01-01|元旦|1"}), 5, "不在 2030 年"},
        {"a year given twice", whole + Join({"@2030"}), 5, "出现两次"},
        {"a year cut short", Join({"@2031", "2031-02-10|春节|1"}) + whole, 1,
         "2031 年的安排不完整"},
        {"a year cut short without headers", Join({"2031-02-10|春节|1"}), 1, "2031 年的安排不完整"},
        {"binary junk", whole + std::string("\x7f\x45\x4c\x46\x02\x01\x00\x00|1", 10), 5, "非文本"},
        {"bytes that are no GBK", whole + "2030-02-03|\x81\x20|1\r\n", 5, "非文本"},
        {"UTF-8 that is broken",
         "\xEF\xBB\xBF"
         "2030-01-01|\xE5\x85|1\n",
         1, "非文本"},
        {"nothing but comments", Join({"# 空"}), 0, "没有任何年份"},
        {"a file far too big", std::string(kHolidayFileLimit + 1, '#'), 0, "文件过大"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        THolidayList list = ListOf(YearLines(2029, "@2029"));
        const THolidayList before = list;
        const THolidayCheck check = CheckHolidayFile(c.bytes, list);
        EXPECT_FALSE(check.ok);
        EXPECT_EQ(check.line, c.line);
        EXPECT_NE(check.message.find(c.says), std::string::npos) << check.message;
        if (c.line != 0) {
            EXPECT_EQ(check.message.rfind("第 " + std::to_string(c.line) + " 行：", 0), 0u);
        }
        EXPECT_EQ(list.Years(), before.Years());
    }
}
