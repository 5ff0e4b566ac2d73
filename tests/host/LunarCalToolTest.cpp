// The calendar command-line tool, driven in-process.
#include "../../tools/tempora-cal/CalTool.cpp"

#include "core/ClockSource.h"
#include "core/Encoding.h"
#include "TempDir.h"

#include <algorithm>
#include <sstream>

#include <gtest/gtest.h>

using namespace tempora;

namespace {

struct ToolRun {
    int code;
    std::string out, err;
};

ToolRun CalTool(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const std::vector<std::string> withData = [&] {
        std::vector<std::string> all{"--data", std::string(TEMPORA_SOURCE_DIR) + "/data"};
        all.insert(all.end(), args.begin(), args.end());
        return all;
    }();
    const int code = RunCalTool(withData, "/nonexistent", out, err);
    return {code, out.str(), err.str()};
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

}  // namespace

TEST(LunarCalTool, TsvHasOneRowPerDayWithEveryColumn) {
    const ToolRun r = CalTool({"tsv", "2024-02-03", "2024-02-10"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const std::vector<std::string> lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(lines[0],
              "date\tlunar_year\tlunar_month\tlunar_day\tleap\tgz_year\tgz_month\tgz_day\tzodiac"
              "\tterm\tterm_instant\tfestival\tholiday");
    EXPECT_EQ(lines[1], "2024-02-03\t2023\t12\t24\t0\t癸卯\t乙丑\t丁酉\t兔\t\t\t小年\t");
    EXPECT_EQ(lines[2],
              "2024-02-04\t2023\t12\t25\t0\t癸卯\t丙寅\t戊戌\t兔\t立春\t2024-02-04 16:27:04\t\t"
              "春节(班)");
    EXPECT_EQ(lines[8],
              "2024-02-10\t2024\t1\t1\t0\t甲辰\t丙寅\t甲辰\t龙\t\t\t春节 国际气象节\t春节");

    const std::vector<std::string> leap = Lines(CalTool({"tsv", "2020-05-23", "2020-05-23"}).out);
    ASSERT_EQ(leap.size(), 2u);
    EXPECT_EQ(leap[1], "2020-05-23\t2020\t4\t1\t1\t庚子\t辛巳\t丙寅\t鼠\t\t\t国际牛奶日\t");
}

TEST(LunarCalTool, DayMonthAndTermsInChinese) {
    const ToolRun day = CalTool({"day", "2024-02-04"});
    ASSERT_EQ(day.code, 0);
    EXPECT_EQ(day.out,
              "公元: 2024年2月4日 星期日  第6周\n"
              "农历: 二零二三年腊月廿五\n"
              "干支: 癸卯(兔)年丙寅月戊戌日\n"
              "节气: 立春 2024-02-04 16:27:04\n"
              "假日: 春节 调休上班\n");

    const ToolRun month = CalTool({"month", "2024-02"});
    ASSERT_EQ(month.code, 0);
    const std::vector<std::string> lines = Lines(month.out);
    ASSERT_GE(lines.size(), 12u);
    EXPECT_EQ(lines[0], "                    2024年2月");
    EXPECT_EQ(lines[1], "  日     一     二     三     四     五     六");
    EXPECT_EQ(lines[2], "                              1      2      3");
    EXPECT_EQ(lines[3], "                            廿二   廿三   小年");
    EXPECT_EQ(lines[4], "  4班    5      6      7      8      9     10休");
    EXPECT_EQ(lines[5], "立春   廿六   廿七   廿八   廿九   除夕   春节");
    EXPECT_EQ(lines.back(),
              "假日: 春节  放假 10日 11日 12日 13日 14日 15日 16日 17日  调休上班 4日 18日");

    const ToolRun terms = CalTool({"terms", "2023"});
    ASSERT_EQ(terms.code, 0);
    const std::vector<std::string> t = Lines(terms.out);
    ASSERT_EQ(t.size(), 24u);
    EXPECT_EQ(t[11], "夏至  2023-06-21 22:57:43  星期三");
}

TEST(LunarCalTool, BadInputGivesAOneLineErrorAndFailure) {
    const std::vector<std::vector<std::string>> bad = {
        {"tsv", "2024-02-10", "2024-02-01"},  // reversed
        {"tsv", "1900-01-30", "1900-02-01"},  // before the lunar range
        {"tsv", "2100-12-31", "2101-01-01"},  // after it
        {"tsv", "2024-02-30", "2024-03-01"},
        {"tsv", "2024-2-1", "2024-03-01"},
        {"tsv", "2024-02-01"},
        {"day", "tomorrow"},
        {"day", "2024-02-01", "extra"},
        {"month", "2024-13"},
        {"month", "2101-01"},
        {"month", "2024-1"},
        {"terms", "1899"},
        {"terms", "20x4"},
        {"moon", "2024"},
        {"--data"},
        {"world", "extra"},
        {"--at", "2026-13-01 00:00:00", "world"},
        {"--at", "2026-07-01 12:00", "world"},
        {"--at", "2026-07-01 12:00:00", "day", "2024-02-01"},
        {"--at"},
        {"workdays", "2026-02-20", "2026-02-10"},
        {"workdays", "2026-02-30", "2026-03-01"},
        {"workdays", "2026-02-01"},
        {"holidays-coverage", "2026"},
    };
    for (const auto& args : bad) {
        SCOPED_TRACE(args[0] + (args.size() > 1 ? " " + args[1] : ""));
        std::ostringstream out, err;
        EXPECT_EQ(RunCalTool(args, ".", out, err), 2);
        EXPECT_EQ(out.str(), "");
        ASSERT_FALSE(err.str().empty());
        EXPECT_EQ(err.str().find('\n'), err.str().size() - 1);
    }
    std::ostringstream out, err;
    EXPECT_EQ(RunCalTool({}, ".", out, err), 2);
    EXPECT_NE(err.str().find("Holiday.lst"), std::string::npos);
}

TEST(LunarCalTool, WorkdaysAndCoverageFollowTheHolidayList) {
    // Around the 2026 Spring Festival: 班 on Saturday the 14th and the 28th,
    // 休 from Sunday the 15th to Monday the 23rd.
    const ToolRun run = CalTool({"workdays", "2026-02-13", "2026-02-28"});
    ASSERT_EQ(run.code, 0) << run.err;
    std::string flags;
    for (const std::string& line : Lines(run.out)) {
        ASSERT_EQ(line.size(), 12u) << line;
        flags += line.substr(11);
    }
    EXPECT_EQ(Lines(run.out).front(), "2026-02-13\t1");
    EXPECT_EQ(flags, "1100000000011111");
    const ToolRun coverage = CalTool({"holidays-coverage"});
    ASSERT_EQ(coverage.code, 0);
    EXPECT_EQ(Lines(coverage.out).front(), "2002");
    EXPECT_EQ(Lines(coverage.out).back(), "2026");
}

TEST(LunarCalTool, MissingHolidayListMeansNoHolidays) {
    std::ostringstream out, err;
    ASSERT_EQ(RunCalTool({"tsv", "2024-02-10", "2024-02-10"}, "/nonexistent", out, err), 0);
    EXPECT_EQ(Lines(out.str()).at(1).substr(Lines(out.str()).at(1).rfind('\t')), "\t");
}

TEST(LunarCalTool, WorldPrintsEveryCityAtTheInstantAsTheDialogDoes) {
    const ToolRun july = CalTool({"world", "--at", "2026-07-01 12:00:00"});
    ASSERT_EQ(july.code, 0) << july.err;
    const std::vector<std::string> lines = Lines(july.out);
    ASSERT_GT(lines.size(), 100u);
    EXPECT_EQ(lines[0], "country\tname\tother_name\tlocal\tdst");
    EXPECT_EQ(lines[1], "中国\t北京\tBeijing\t2026-07-01 20:00:00\t0");
    for (const char* row : {
             "美国\t纽约\tNew York\t2026-07-01 08:00:00\t1",
             "英国\t伦敦\tLondon\t2026-07-01 13:00:00\t1",
             "澳大利亚\t悉尼\tSydney\t2026-07-01 22:00:00\t0",
             "智利\t圣地亚哥\tSantiago\t2026-07-01 08:00:00\t0",
             "尼泊尔\t加德满都\tKathmandu\t2026-07-01 17:45:00\t0",
             "加拿大\t圣约翰斯\tSt. John's\t2026-07-01 09:30:00\t1",
         }) {
        EXPECT_NE(std::find(lines.begin(), lines.end(), row), lines.end()) << row;
    }
    for (const std::string& line : lines)
        EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 4) << line;

    // Without --at: the clock's present.
    FakeClock clock(static_cast<int64_t>(ToUnixSeconds(EncodeDateTime(2026, 7, 1, 12, 0, 0))) *
                    1000);
    ClockSource::Install(&clock);
    const ToolRun now = CalTool({"world"});
    ClockSource::Install(nullptr);
    EXPECT_EQ(now.out, july.out);

    std::ostringstream out, err;
    EXPECT_EQ(RunCalTool({"world"}, "/nonexistent", out, err), 1);
    EXPECT_NE(err.str().find("TimeZone.lst"), std::string::npos);
}

// The marks file and the reminders beside it, as the export item writes them.
TEST(LunarCalTool, IcsWritesTheMarksWithTheirRemindersToStandardOutput) {
    test::TempDir dir;
    const std::string marksFile = dir.File("Marks.rec");
    ASSERT_TRUE(WriteFileAtomic(marksFile, Utf8ToGbk("10815=中秋\r\n00101=元旦\r\n")));
    ASSERT_TRUE(WriteFileAtomic(dir.File("MarkReminders.rec"), "10815=0,1,2030,0,0\r\n"));

    const ToolRun run = CalTool({"--at", "2026-12-11 03:04:05", "ics", marksFile, "2026", "2027"});
    EXPECT_EQ(run.code, 0) << run.err;
    TCalendarMarks marks;
    TFestivalList flags;
    marks.LoadMarks(dir.File(""), flags);
    EXPECT_EQ(run.out, MarksIcsText(marks, 2026, 2027, EncodeDateTime(2026, 12, 11, 3, 4, 5)));
    EXPECT_NE(run.out.find("UID:10815-20270915@mark.tempora\r\n"), std::string::npos);
    // 20:30 the day before: 3.5 hours before the day starts.
    EXPECT_NE(run.out.find("TRIGGER:-PT3H30M\r\n"), std::string::npos);

    EXPECT_EQ(CalTool({"ics", dir.File("none.rec"), "2026", "2027"}).code, 1);
    EXPECT_EQ(CalTool({"ics", marksFile, "2027", "2026"}).code, 2);
}
