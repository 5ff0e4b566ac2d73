#include "calendar/CalendarMarks.h"
#include "calendar/MarkOccurrences.h"
#include "core/Encoding.h"
#include "core/FileSys.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace tempora;
using tempora::test::TempDir;

namespace {

using Dates = std::vector<std::string>;

std::string Ymd(TDateTime x) {
    const DateParts d = DecodeDate(x);
    return std::to_string(d.year) + "-" + std::to_string(d.month) + "-" + std::to_string(d.day);
}

Dates Texts(const std::vector<TDateTime>& dates) {
    Dates texts;
    for (TDateTime x : dates)
        texts.push_back(Ymd(x));
    return texts;
}

constexpr TMarkRule kOrdinary{TLeapPolicy::OrdinaryOnly, TShortMonthRule::LastDay};
constexpr TMarkRule kAlsoLeap{TLeapPolicy::AlsoLeap, TShortMonthRule::LastDay};
constexpr TMarkRule kLeapOnly{TLeapPolicy::LeapOnly, TShortMonthRule::LastDay};
constexpr TMarkRule kSkip{TLeapPolicy::OrdinaryOnly, TShortMonthRule::SkipYear};

// Dates checked against printed almanacs: 中秋 2023-2026; 2020 has a leap
// fourth month (初一 on 23 May), 2023 a leap second month; the twelfth month
// of lunar 2024 has 29 days (no 年三十 in 2025), those of 2022 and 2023 have
// 30 (除夕 2023-01-21 and 2024-02-09).
TEST(MarkOccurrences, DatesInYearsFollowTheLeapPolicyAndTheShortMonthRule) {
    struct Case {
        const char* name;
        TMarkRule rule;
        int from, to;
        Dates expected;
    };
    const Case cases[] = {
        {"10815", kOrdinary, 2023, 2026, {"2023-9-29", "2024-9-17", "2025-10-6", "2026-9-25"}},
        {"10408", kOrdinary, 2020, 2020, {"2020-4-30"}},
        {"10408", kAlsoLeap, 2020, 2020, {"2020-4-30", "2020-5-30"}},
        {"10408", kLeapOnly, 2019, 2026, {"2020-5-30"}},
        {"10408", kLeapOnly, 2021, 2026, {}},
        {"10230", kLeapOnly, 2023, 2023, {"2023-4-19"}},  // 闰二月 has 29 days
        {"11230", kOrdinary, 2023, 2025, {"2023-1-21", "2024-2-9", "2025-1-28"}},
        {"11230", kSkip, 2023, 2025, {"2023-1-21", "2024-2-9"}},
        {"10101", kOrdinary, 2025, 2026, {"2025-1-29", "2026-2-17"}},
        {"00229", kOrdinary, 2024, 2025, {"2024-2-29", "2025-2-28"}},
        {"00229", kSkip, 2024, 2025, {"2024-2-29"}},
        {"00501", kSkip, 2026, 2026, {"2026-5-1"}},
        {"00520", kOrdinary, 2026, 2026, {"2026-5-20"}},   // Gregorian, no week rule
        {"20520", kOrdinary, 2026, 2026, {"2026-5-10"}},   // second Sunday of May
        {"21144", kOrdinary, 2026, 2026, {"2026-11-26"}},  // fourth Thursday of November
        {"20556", kOrdinary, 2026, 2026, {"2026-5-30"}},   // last Saturday of May
        {"30815", kOrdinary, 2026, 2026, {}},
        {"1081x", kOrdinary, 2026, 2026, {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Texts(MarkDatesInYears(c.name, c.rule, c.from, c.to)), c.expected)
            << c.name << " " << c.from << ".." << c.to;
    }
}

TEST(MarkOccurrences, NextDatesStartOnTheGivenDayAndStopAtTheCalendarsEnd) {
    EXPECT_EQ(Texts(NextMarkDates("10815", kOrdinary, EncodeDate(2024, 9, 17) + 0.9, 3)),
              (Dates{"2024-9-17", "2025-10-6", "2026-9-25"}));
    EXPECT_EQ(Texts(NextMarkDates("10815", kOrdinary, EncodeDate(2024, 9, 18), 1)),
              (Dates{"2025-10-6"}));
    // A leap-only mark skips the years without that leap month.
    EXPECT_EQ(Texts(NextMarkDates("10408", kLeapOnly, EncodeDate(2019, 1, 1), 1)),
              (Dates{"2020-5-30"}));
    EXPECT_EQ(NextMarkDates("10101", kOrdinary, EncodeDate(2099, 1, 1), 10).size(), 1u);
    EXPECT_EQ(NextMarkDates("00101", kOrdinary, EncodeDate(2026, 12, 11), 10).size(), 10u);
    EXPECT_TRUE(NextMarkDates("30101", kOrdinary, EncodeDate(2026, 1, 1), 10).empty());
}

TEST(MarkOccurrences, RemindersFallOnTheDayAndDaysBeforeAcrossMonthAndYearEnds) {
    auto entry = [](const char* name, bool onDay, int before, int minute) {
        TMarkEntry e{name, std::string("note ") + name, {}};
        e.reminder.onDay = onDay;
        e.reminder.daysBefore = before;
        e.reminder.minuteOfDay = minute;
        return e;
    };
    const std::vector<TMarkEntry> marks = {
        entry("00101", true, 3, 8 * 60 + 30), entry("00301", false, 1, 9 * 60),
        entry("10101", false, 30, 20 * 60),   entry("10815", true, 2, 9 * 60),
        entry("01225", false, 0, 9 * 60),  // no reminder at all
    };
    struct Case {
        TDateTime day;
        std::vector<std::string> expected;  // name, date, days before, time of day
    };
    const Case cases[] = {
        {EncodeDate(2025, 12, 29), {"00101 2026-1-1 3 08:30"}},
        {EncodeDate(2026, 1, 1), {"00101 2026-1-1 0 08:30"}},
        {EncodeDate(2026, 2, 28), {"00301 2026-3-1 1 09:00"}},
        {EncodeDate(2028, 2, 29), {"00301 2028-3-1 1 09:00"}},
        {EncodeDate(2024, 12, 30), {"10101 2025-1-29 30 20:00"}},
        {EncodeDate(2026, 9, 23), {"10815 2026-9-25 2 09:00"}},
        {EncodeDate(2026, 9, 25), {"10815 2026-9-25 0 09:00"}},
        {EncodeDate(2026, 12, 25), {}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> got;
        for (const TDueMarkReminder& due : MarkRemindersOfDay(marks, c.day + 0.7)) {
            EXPECT_EQ(due.note, "note " + due.name);
            got.push_back(due.name + " " + Ymd(due.date) + " " + std::to_string(due.daysBefore) +
                          " " + FormatHMS(due.at).substr(0, 5));
            EXPECT_EQ(Ymd(due.at), Ymd(c.day));
        }
        EXPECT_EQ(got, c.expected) << Ymd(c.day);
    }

    // A sleep from the evening of 28 Dec 2025 to the morning of 1 Jan 2026
    // passed the early reminder (29 Dec, 08:30), not the one still to come.
    const auto missed = MarkRemindersBetween(marks, LocalSecondOf(EncodeDate(2025, 12, 28) + 0.9),
                                             LocalSecondOf(EncodeDate(2026, 1, 1) + 0.3));
    ASSERT_EQ(missed.size(), 1u);
    EXPECT_EQ(missed[0].daysBefore, 3);
    EXPECT_EQ(MissedMarkRemindersText(missed),
              "错过的日历标记提醒：\r\n2026年01月01日 星期四 note 00101");
    EXPECT_EQ(MarkReminderPopupText(missed[0]),
              "日历标记（3天后）：\r\n2026年01月01日 星期四\r\n\r\nnote 00101");
}

class MarkReminderFiles : public ::testing::Test {
protected:
    TempDir dir;
    TFestivalList festivals;

    std::string Raw(const char* name) const {
        std::string bytes;
        ReadFileBytes(dir.File(name), bytes);
        return bytes;
    }
};

TEST_F(MarkReminderFiles, MarksRecStaysWhatTheReaderOfMarksAloneReads) {
    const std::string marksRec = Utf8ToGbk("00101=元旦\r\n10815=中秋\r\n11230=除夕\r\n");
    ASSERT_TRUE(WriteFileAtomic(dir.File(kMarksFileName), marksRec));
    TCalendarMarks marks;
    marks.LoadMarks(dir.File(""), festivals);
    TMarkReminder r;
    r.onDay = true;
    r.daysBefore = 3;
    r.minuteOfDay = 7 * 60 + 5;
    r.rule = {TLeapPolicy::AlsoLeap, TShortMonthRule::SkipYear};
    marks.SetReminder("10815", r);
    ASSERT_TRUE(marks.SaveMarks(dir.File("")));

    EXPECT_EQ(Raw(kMarksFileName), marksRec);
    TCalendarMarks marksOnly;
    marksOnly.ReadMarks(Raw(kMarksFileName), festivals);
    EXPECT_EQ(marksOnly.Lines(), marks.Lines());
    EXPECT_EQ(Raw(kMarkRemindersFileName), "10815=1,3,0705,1,1\r\n");

    TCalendarMarks again;
    again.LoadMarks(dir.File(""), festivals);
    EXPECT_EQ(again.ReminderOf("10815"), r);
    EXPECT_EQ(again.ReminderOf("00101"), TMarkReminder{});
}

TEST_F(MarkReminderFiles, ASettingThatDoesNotReadLeavesItsMarkWithoutAReminder) {
    TCalendarMarks marks;
    marks.ReadMarks("10815=中秋\r\n00101=元旦\r\n", festivals);
    const char* bad[] = {
        "10815=1,3,0900,0",
        "10815=1,3,0900,0,0,",
        "10815=2,3,0900,0,0",
        "10815=1,31,0900,0,0",
        "10815=1,3,2400,0,0",
        "10815=1,3,0960,0,0",
        "10815=1,3,900,0,0",
        "10815=1,3,0900,3,0",
        "10815=1,3,0900,0,2",
        "10815=1,-1,0900,0,0",
        "10815=1,3,09:0,0,0",
        "10815=1,,0900,0,0",
        "10815 1,3,0900,0,0",
        "10815=",
        "",
    };
    for (const char* line : bad) {
        marks.ReadReminders(std::string(line) + "\r\n00101=1,0,0900,0,0\r\n");
        EXPECT_EQ(marks.ReminderOf("10815"), TMarkReminder{}) << line;
        EXPECT_TRUE(marks.ReminderOf("00101").onDay) << line;
    }
    // A mark that is not listed gets nothing; of two lines the first wins.
    marks.ReadReminders("10101=1,0,0900,0,0\r\n10815=0,5,2359,2,0\r\n10815=1,0,0900,0,0\r\n");
    EXPECT_EQ(marks.Reminders().size(), 1u);
    EXPECT_EQ(marks.ReminderOf("10815").daysBefore, 5);
    EXPECT_EQ(marks.ReminderOf("10815").minuteOfDay, 23 * 60 + 59);
}

TEST_F(MarkReminderFiles, TheReminderFollowsItsMarkThroughEditsAndGoesWithIt) {
    TCalendarMarks marks;
    marks.ReadMarks("00101=元旦\r\n10815=中秋\r\n", festivals);
    TMarkReminder r;
    r.onDay = true;
    marks.SetReminder("10815", r);
    marks.SetReminder("19999", r);  // no such mark
    EXPECT_EQ(marks.Reminders().size(), 1u);

    ASSERT_EQ(marks.EditMarkAt(festivals, 1, "10816", "中秋次日"), 1);
    EXPECT_EQ(marks.ReminderOf("10815"), TMarkReminder{});
    EXPECT_EQ(marks.ReminderOf("10816"), r);
    // Moved onto a mark's day, it replaces that mark and its reminder.
    marks.SetReminder("00101", TMarkReminder{true, 2, 60, {}});
    ASSERT_GE(marks.EditMarkAt(festivals, 1, "00101", "元旦"), 0);
    EXPECT_EQ(marks.ReminderOf("00101"), r);
    marks.DeleteMark(festivals, "00101");
    EXPECT_TRUE(marks.Reminders().empty());

    // Without any reminder no second file appears.
    ASSERT_TRUE(marks.SaveMarks(dir.File("")));
    EXPECT_FALSE(FileExists(dir.File(kMarkRemindersFileName)));
}

}  // namespace
