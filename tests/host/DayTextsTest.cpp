#include "app/DayTexts.h"
#include "calendar/CalendarData.h"
#include "calendar/LunarCal.Festivals.h"
#include "calendar/UnitCalendar.h"
#include "core/Encoding.h"
#include "core/FileSys.h"
#include "TempDir.h"

#include <gtest/gtest.h>

using namespace tempora;
using tempora::test::TempDir;

namespace {
// Holidays of the tests: 2026's New Year and a make-up working day.
class DayTextsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(
            WriteFileAtomic(dir_.File("Holiday.lst"),
                            "2026-01-01|\xd4\xaa\xb5\xa9|1\r\n2026-01-04|\xd4\xaa\xb5\xa9|0\r\n"));
        ASSERT_TRUE(data_.Load(dir_.File("")));
    }
    TempDir dir_;
    TCalendarData data_;
};
}  // namespace

TEST_F(DayTextsTest, HintLinesOfOrdinaryTermFestivalAndHolidayDays) {
    const struct {
        TDateTime t;
        const char* hint;
    } cases[] = {
        {EncodeDateTime(2010, 2, 1, 8, 0, 0),
         "公历: 2010年02月01日 星期一\r\n农历: 二零零九年腊月十八\r\n干支: 己丑(牛)年丁丑月壬午日"},
        // A term day carries the term's moment, and the lunar line stays the date alone
        // even when the texts are built at midnight.
        // (the solstice of 2026 falls at 20:50 UTC on 21 December, 04:50 in China)
        {EncodeDateTime(2026, 12, 22, 0, 0, 0),
         "公历: 2026年12月22日 星期二\r\n农历: 二零二六年十一月十四\r\n干支: "
         "丙午(马)年庚子月庚午日\r\n节气: 冬至 (12月22日 04:50)"},
        {EncodeDateTime(2026, 1, 1, 9, 30, 0),
         "公历: 2026年01月01日 星期四\r\n农历: 二零二五年十一月十三\r\n干支: "
         "乙巳(蛇)年戊子月乙亥日\r\n节日: 新年元旦\r\n假日: 元旦 (休)"},
        {EncodeDateTime(2026, 1, 4, 9, 30, 0),
         "公历: 2026年01月04日 星期日\r\n农历: 二零二五年十一月十六\r\n干支: "
         "乙巳(蛇)年戊子月戊寅日\r\n节日: 黑人日\r\n假日: 元旦 (班)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DayHintText(c.t, data_), c.hint) << FormatStamp(c.t);
}

TEST_F(DayTextsTest, BalloonAndMarkReminder) {
    const TDateTime t = EncodeDateTime(2026, 1, 1, 9, 30, 0);
    EXPECT_EQ(DateBalloonText(t, data_),
              "公历: 2026年01月01日 星期四\r\n农历: 二零二五年十一月十三 \r\n干支: "
              "乙巳(蛇)年戊子月乙亥日\r\n假日: 元旦 (休)");
    EXPECT_EQ(MarkReminderText(t, "交房租"), "日历标记：\r\n2026年01月01日 星期四\r\n\r\n交房租");
}

TEST(CalendarTexts, TermAndLunarOfAMomentAndTheInfoLines) {
    const TDateTime t = EncodeDateTime(2024, 2, 4, 15, 0, 0);
    EXPECT_EQ(GetTermText(t), "立春");
    EXPECT_EQ(GetLunarText(t), "二零二三年腊月廿五 ");

    TFestivalList festivals;
    const TCalendarInfo info = CalendarInfoOf(EncodeDate(2024, 2, 10), festivals, "拜年");
    EXPECT_EQ(info.yearCaption, "2024年");
    EXPECT_EQ(info.monthCaption, "02月");
    EXPECT_EQ(info.lunar, "农历： 二零二四年正月初一");
    EXPECT_EQ(info.festival, "节日： 春节 国际气象节");
    EXPECT_EQ(info.marks, "标记： 拜年");
    EXPECT_EQ(CalendarInfoOf(EncodeDate(2024, 2, 4), festivals, "").lunar,
              "农历： 二零二三年腊月廿五 (立春)");
}

TEST(CalendarTexts, YearMenuKeepsThirteenYearsWithinTheTables) {
    const struct {
        int shown, first;
    } cases[] = {{2026, 2020}, {1901, 1900}, {1906, 1900}, {2100, 2088}, {2094, 2088}};
    for (const auto& c : cases) {
        const auto years = YearMenuYears(c.shown);
        EXPECT_EQ(years.front(), c.first) << c.shown;
        EXPECT_EQ(years.back(), c.first + 12) << c.shown;
    }
}

// The 标记 line of a 25-character note is wider than the panel: it ends
// between two characters, with an ellipsis where one fits.
TEST(CalendarTexts, InfoLineEndsBetweenCharactersWithAnEllipsis) {
    // Six pixels a GBK byte: twelve a Chinese character, six for "…" and ASCII.
    const auto measure = [](std::string_view s) { return static_cast<int>(GbkLength(s)) * 6; };
    const std::string note =
        "标记： " + std::string("一二三四五六七八九十一二三四五六七八九十一二三四五");
    const struct {
        std::string text;
        int width;
        std::string fitted;
    } cases[] = {
        {note, 1000, note},
        {note, 96, "标记： 一二三…"},  // 42 + 36 + 12 = 90; one more would make 102
        {"ab一二三", 36, "ab一…"},     // 6 + 6 + 12 + 12 = 36
        {"一二", 11, ""},              // not even one character
        {"一二三", 12, "一"},          // one character, but not with the ellipsis
        {"", 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text + " " + std::to_string(c.width));
        const std::string fitted = FitInfoLine(c.text, c.width, measure);
        EXPECT_EQ(fitted, c.fitted);
        EXPECT_LE(measure(fitted), c.width);
    }
}
