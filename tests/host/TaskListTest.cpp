// Timed tasks: reading War.lst and running the first due task on each second.
#include "reminders/TaskList.h"
#include "calendar/Holiday.h"
#include "reminders/MissedTasks.h"
#include "TempDir.h"
#include "app/ClockTick.h"
#include "core/ClockSource.h"
#include "core/DateTime.h"
#include "core/Encoding.h"
#include "core/FileSys.h"
#include "core/Text.h"
#include "reminders/TaskActions.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

using namespace tempora;
using tempora::test::TempDir;

namespace {

// Records what the scheduler asks for, one line per call; the hooks let an
// action re-enter the scheduler the way a nested message loop does.
class RecordingActions : public ITaskActions {
public:
    std::vector<std::string> log;
    bool confirm = true;
    std::function<void(const std::string&)> onMessage;
    std::function<void()> onConfirm;

    void ShowMessage(const std::string& text) override {
        log.push_back("msg " + text);
        if (onMessage)
            onMessage(text);
    }
    void PlaySounds(const std::string& list) override { log.push_back("play " + list); }
    void RunFile(const std::string& path) override { log.push_back("run " + path); }
    bool ConfirmShutdown() override {
        log.push_back("confirm");
        if (onConfirm)
            onConfirm();
        return confirm;
    }
    void ShutdownComputer() override { log.push_back("shutdown"); }
};

using Lines = std::vector<std::string>;

const TDateTime kDay = EncodeDate(2024, 3, 10);

TDateTime At(int h, int m, int s) {
    return kDay + EncodeTime(h, m, s);
}

}  // namespace

TEST(TaskList, ParsesSchedules) {
    struct Case {
        const char* line;
        bool enabled;
        int32_t year, month, day, hour, minute, second;
    };
    const Case cases[] = {
        {"*012时30分", true, -1, -1, -1, 12, 30, 0},
        {"*02009年01月01日00时00分00秒", true, 2009, 1, 1, 0, 0, 0},
        {"*008时", true, -1, -1, -1, 8, 0, 0},
        {"*112时30秒", false, -1, -1, -1, 12, -1, 30},  // minute stays open
        {"*030秒", true, -1, -1, -1, -1, -1, 30},
        {"*005分", true, -1, -1, -1, -1, 5, 0},
        {"*02024年02月", true, 2024, 2, -1, -1, -1, -1},
        {"*0", true, -1, -1, -1, -1, -1, -1},
        {"*", false, -1, -1, -1, -1, -1, -1},
        {"*启12时", false, -1, -1, -1, 12, 0, 0},  // a state that is not "0" is stopped
        {"*099时61分", true, -1, -1, -1, 99, 61, 0},
        // Fields that are there but no integer are damaged (-2): they match nothing.
        {"*0ab时30分", true, -1, -1, -1, -2, 30, 0},
        {"*0时30分", true, -1, -1, -1, -2, 30, 0},
        {"*0 8时", true, -1, -1, -1, -2, 0, 0},
        {"*099999999999时", true, -1, -1, -1, -2, 0, 0},
        {"*02147483647年", true, 2147483647, -1, -1, -1, -1, -1},
        {"*0-5时", true, -1, -1, -1, -5, 0, 0},
        // Units out of order: each is looked for after the ones before it.
        {"*030分12时", true, -1, -1, -1, -2, 0, 0},
        {"*012时05分07秒后面", true, -1, -1, -1, 12, 5, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const std::vector<TTaskRec> tasks = ParseTaskLines({c.line});
        ASSERT_EQ(tasks.size(), 1u);
        const TTaskRec& t = tasks[0];
        EXPECT_EQ(t.enabled, c.enabled);
        EXPECT_EQ(t.year, c.year);
        EXPECT_EQ(t.month, c.month);
        EXPECT_EQ(t.day, c.day);
        EXPECT_EQ(t.hour, c.hour);
        EXPECT_EQ(t.minute, c.minute);
        EXPECT_EQ(t.second, c.second);
        EXPECT_TRUE(t.actions.empty());
    }
}

TEST(TaskList, ParsesActionsOfTheTaskAboveThem) {
    const std::vector<TTaskRec> tasks = ParseTaskLines({
        "2播放 (C:\\before.wav)",  // before the first task: ignored
        "*008时",
        "2播放 (C:\\a (1).wav)",
        "",
        "3消息 (开会了)",
        "4执行 (关机)",
        "4执行 (",
        "3消息",
        "2播放 (C:\\a.wav",  // the last character goes, whatever it is
        "3消息 (全角）",
        "9未知 (x)",
        "0零 (y)",
        "x2播放 (z)",
        " 2播放 (z)",
        "*112时",
        "4执行 (D:\\b.doc)",
    });
    ASSERT_EQ(tasks.size(), 2u);
    const std::vector<TActRec> first = {
        {kActSound, "C:\\a (1).wav"},
        {kActMessage, "开会了"},
        {kActRun, "关机"},
        {kActRun, ""},
        {kActMessage, ""},
        {kActSound, "C:\\a.wa"},
        {kActMessage, "全角"},
        {7, "x"},
        {-2, "y"},
    };
    EXPECT_EQ(tasks[0].actions, first);
    EXPECT_EQ(tasks[1].actions, (std::vector<TActRec>{{kActRun, "D:\\b.doc"}}));
}

TEST(TaskList, LoadsGbkFileAndReplacesTheList) {
    TempDir dir;
    const std::string path = dir.File("War.lst");
    ASSERT_TRUE(WriteFileAtomic(path, Utf8ToGbk("*012时30分\r\n3消息 (午饭)\r\n\r\n"
                                                "*108时\r\n2播放 (C:\\声音\\铃.wav)\r\n")));
    RecordingActions actions;
    TTaskList list(actions);
    list.LoadTasks(path);
    ASSERT_EQ(list.Tasks().size(), 2u);
    EXPECT_EQ(list.Tasks()[0].hour, 12);
    EXPECT_EQ(list.Tasks()[0].actions, (std::vector<TActRec>{{kActMessage, "午饭"}}));
    EXPECT_FALSE(list.Tasks()[1].enabled);
    EXPECT_EQ(list.Tasks()[1].actions[0].text, "C:\\声音\\铃.wav");

    list.LoadTasks(dir.File("missing.lst"));
    EXPECT_TRUE(list.Tasks().empty());
}

// A list saved as UTF-8 by mistake: no unit is recognised, so its tasks load
// open and never fire, while their ASCII payloads survive.
TEST(TaskList, Utf8FileLoadsButNothingFires) {
    TempDir dir;
    const std::string path = dir.File("War.lst");
    ASSERT_TRUE(WriteFileAtomic(path,
                                "\xEF\xBB\xBF*012时30分\r\n3消息 (x)\r\n*008时\r\n"
                                "2播放 (C:\\a.wav)\r\n*030秒\r\n4执行 (关机)\r\n"));
    RecordingActions actions;
    TTaskList list(actions);
    list.LoadTasks(path);
    ASSERT_EQ(list.Tasks().size(), 2u);  // the first line lost its "*" to the mark
    EXPECT_EQ(list.Tasks()[0].actions, (std::vector<TActRec>{{kActSound, "C:\\a.wav"}}));
    for (int s = 0; s < 86400; ++s)
        list.RunDueTask(kDay + s / 86400.0);
    EXPECT_TRUE(actions.log.empty());
}

// Each schedule alone in a list, run for every second of 2024-03-10.
TEST(TaskList, FiresAtTheMatchingSecondsOfADay) {
    struct Case {
        const char* schedule;
        int count;
        const char* first;
        const char* last;
    };
    const Case cases[] = {
        {"*012时30分", 1, "12:30:00", "12:30:00"},
        {"*012时", 1, "12:00:00", "12:00:00"},
        {"*000时00分00秒", 1, "00:00:00", "00:00:00"},
        {"*023时59分59秒", 1, "23:59:59", "23:59:59"},
        {"*012时30秒", 60, "12:00:30", "12:59:30"},
        {"*030秒", 1440, "00:00:30", "23:59:30"},
        {"*005分", 24, "00:05:00", "23:05:00"},
        {"*02024年03月10日08时", 1, "08:00:00", "08:00:00"},
        {"*003月10日08时15分", 1, "08:15:00", "08:15:00"},
        {"*010日08时", 1, "08:00:00", "08:00:00"},
        {"*02024年03月11日08时", 0, "", ""},
        {"*02023年08时", 0, "", ""},
        {"*02024年03月10日", 0, "", ""},  // date fields only
        {"*0", 0, "", ""},
        {"*112时30分", 0, "", ""},  // stopped
        {"*099时61分", 0, "", ""},
        {"*024时", 0, "", ""},
        {"*012时30分60秒", 0, "", ""},
        // A damaged hour never fires: a stray "ab" must not turn a task
        // (perhaps a shutdown) into an hourly one.
        {"*0ab时30分", 0, "", ""},
        {"*030分12时", 0, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.schedule);
        RecordingActions actions;
        TTaskList list(actions);
        list.SetTasks(ParseTaskLines({c.schedule, "3消息 (m)"}));
        std::vector<std::string> fired;
        for (int s = 0; s < 86400; ++s) {
            const TDateTime t = At(s / 3600, s / 60 % 60, s % 60);
            const size_t before = actions.log.size();
            list.RunDueTask(t);
            if (actions.log.size() != before)
                fired.push_back(FormatHMS(t));
        }
        ASSERT_EQ(static_cast<int>(fired.size()), c.count);
        if (c.count > 0) {
            EXPECT_EQ(fired.front(), c.first);
            EXPECT_EQ(fired.back(), c.last);
        }
    }
}

TEST(TaskList, RunsOnlyTheFirstDueTask) {
    RecordingActions actions;
    TTaskList list(actions);
    list.SetTasks(ParseTaskLines({"*108时", "3消息 (stopped)", "*008时", "3消息 (first)",
                                  "*008时00分00秒", "3消息 (second)"}));
    list.RunDueTask(At(8, 0, 0));
    EXPECT_EQ(actions.log, (Lines{"msg first"}));

    // A first due task without actions still ends the search.
    actions.log.clear();
    list.SetTasks(ParseTaskLines({"*008时", "*008时", "3消息 (second)"}));
    list.RunDueTask(At(8, 0, 0));
    EXPECT_TRUE(actions.log.empty());
}

TEST(TaskList, RunsMessagesAndFilesInOrderThenAllSoundsAsOneList) {
    const Lines file = {
        "*008时",          "2播放 (C:\\a.wav)", "3消息 (one)",           "4执行 (C:\\x.doc)",
        "9未知 (ignored)", "4执行 (关机)",      "2播放 (C:\\b (2).wav)", "3消息 (two)"};
    struct Case {
        bool confirm;
        Lines expected;
    };
    const Case cases[] = {
        {true,
         {"msg one", "run C:\\x.doc", "confirm", "shutdown", "msg two",
          "play C:\\a.wav*C:\\b (2).wav*"}},
        // Cancelled: no shutdown, and the later actions still run.
        {false,
         {"msg one", "run C:\\x.doc", "confirm", "msg two", "play C:\\a.wav*C:\\b (2).wav*"}},
    };
    for (const Case& c : cases) {
        RecordingActions actions;
        actions.confirm = c.confirm;
        TTaskList list(actions);
        list.SetTasks(ParseTaskLines(file));
        list.RunDueTask(At(8, 0, 0));
        EXPECT_EQ(actions.log, c.expected);
    }
}

TEST(TaskList, SameSecondTwiceRunsOnce) {
    RecordingActions actions;
    TTaskList list(actions);
    list.SetTasks(ParseTaskLines({"*030秒", "3消息 (m)"}));
    list.RunDueTask(At(8, 0, 30));
    list.RunDueTask(At(8, 0, 30));
    list.RunDueTask(At(8, 1, 30));
    EXPECT_EQ(actions.log.size(), 2u);
}

// The bar's tick: each timer event arrives up to 900 ms after the second
// boundary, now and then a stall of several seconds makes the next event
// catch up, and every second the ticker hands out goes to the scheduler.
TEST(TaskList, LateTicksFireEachTaskOnceAtItsSecond) {
    FakeClock clock(0, 480);
    const int64_t startUtcMs =
        (static_cast<int64_t>(ToUnixSeconds(At(7, 59, 0))) - 480 * 60) * 1000;
    clock.Set(startUtcMs);
    RecordingActions actions;
    TTaskList list(actions);
    list.SetTasks(ParseTaskLines(
        {"*008时", "3消息 (8h)", "*008时07分", "3消息 (8h07)", "*045秒", "3消息 (45s)"}));
    std::vector<std::string> fired;
    TSecondTicker ticker;
    uint32_t seed = 12345;
    const auto nextRandom = [&seed] { return seed = seed * 1103515245u + 12345u; };
    while (clock.UtcMillis() < startUtcMs + 15 * 60 * 1000) {
        int64_t second;
        while (ticker.NextSecond(clock.UtcMillis(), second)) {
            const TDateTime t = FromUnixSeconds(static_cast<double>(second + 480 * 60));
            const size_t before = actions.log.size();
            list.RunDueTask(t);
            if (actions.log.size() != before)
                fired.push_back(FormatHMS(t) + " " + actions.log.back());
        }
        const int64_t late = (nextRandom() >> 8) % 901;
        const int64_t stall = (nextRandom() >> 8) % 50 == 0 ? 3000 : 0;
        clock.Advance(TSecondTicker::DelayToNextBoundary(clock.UtcMillis()) + late + stall);
    }
    Lines expected;
    for (int m = 59; m < 60 + 14; ++m) {
        if (m == 60)
            expected.push_back("08:00:00 msg 8h");
        if (m == 67)
            expected.push_back("08:07:00 msg 8h07");
        expected.push_back(FormatHMS(At(7 + m / 60, m % 60, 45)) + " msg 45s");
    }
    EXPECT_EQ(fired, expected);
}

// Ticks nested in an action's message loop: the seconds that come meanwhile
// run their own tasks, and a second already under way is not run again.
TEST(TaskList, NestedTicksRunEachSecondOnce) {
    RecordingActions actions;
    TTaskList list(actions);
    list.SetTasks(ParseTaskLines({"*008时", "4执行 (关机)", "2播放 (C:\\a.wav)", "*008时00分01秒",
                                  "3消息 (one)", "*008时00分02秒", "3消息 (two)"}));
    actions.onConfirm = [&] {
        // The countdown's loop: the timer fires for the same second again and
        // for the following ones, twice each.
        for (int s = 0; s <= 2; ++s) {
            list.RunDueTask(At(8, 0, s));
            list.RunDueTask(At(8, 0, s));
        }
    };
    list.RunDueTask(At(8, 0, 0));
    EXPECT_EQ(actions.log, (Lines{"confirm", "msg one", "msg two", "shutdown", "play C:\\a.wav*"}));
}

// A nested handler reloads the list while a task's actions run: the running
// task goes on with its own actions and does not start again for its second.
TEST(TaskList, ReloadDuringAnActionKeepsTheRunningTask) {
    RecordingActions actions;
    TTaskList list(actions);
    const Lines file = {"*008时",         "3消息 (one)", "3消息 (two)", "2播放 (C:\\a.wav)",
                        "*008时00分01秒", "3消息 (next)"};
    list.SetTasks(ParseTaskLines(file));
    bool reloaded = false;
    actions.onMessage = [&](const std::string& text) {
        if (text != "one" || reloaded)
            return;
        reloaded = true;
        list.SetTasks(ParseTaskLines({"*008时", "3消息 (new)"}));
        list.RunDueTask(At(8, 0, 0));
        list.SetTasks(ParseTaskLines(file));
        list.RunDueTask(At(8, 0, 1));
    };
    list.RunDueTask(At(8, 0, 0));
    EXPECT_EQ(actions.log, (Lines{"msg one", "msg next", "msg two", "play C:\\a.wav*"}));
}

TEST(TaskList, ZeroPad) {
    EXPECT_EQ(ZeroPad(5, 2), "05");
    EXPECT_EQ(ZeroPad(12, 2), "12");
    EXPECT_EQ(ZeroPad(123, 2), "123");
    EXPECT_EQ(ZeroPad(7, 4), "0007");
    EXPECT_EQ(ZeroPad(0, 2), "00");
    EXPECT_EQ(ZeroPad(9, 0), "9");
    EXPECT_EQ(ZeroPad(-5, 3), "-05");
}

namespace {

// 2026-02-13 Friday, 14 班 Saturday, 15 Sunday, 16 休 Monday, 17 Tuesday.
THolidayList SpringFestival2026() {
    THolidayList list;
    list.LoadFromLines({"2026-02-14|春节|0", "2026-02-16|春节|1"});
    return list;
}

const Lines kRuledTasks = {"*008时00分", kWorkingDaysLine, "3消息 (上班)", "*009时00分",
                           kDaysOffLine, "3消息 (休息)",   "*010时",       "3消息 (每天)"};

}  // namespace

TEST(TaskList, DayRulesRunOnWorkingDaysOrDaysOffByTheHolidays) {
    const THolidayList holidays = SpringFestival2026();
    RecordingActions actions;
    TTaskList list(actions);
    list.SetTasks(ParseTaskLines(kRuledTasks));
    list.SetHolidays(&holidays);
    const struct {
        int d;
        Lines log;
    } days[] = {
        {13, {"msg 上班", "msg 每天"}}, {14, {"msg 上班", "msg 每天"}},
        {15, {"msg 休息", "msg 每天"}}, {16, {"msg 休息", "msg 每天"}},
        {17, {"msg 上班", "msg 每天"}},
    };
    for (const auto& day : days) {
        SCOPED_TRACE(day.d);
        actions.log.clear();
        for (int h : {8, 9, 10})
            list.RunDueTask(EncodeDateTime(2026, 2, day.d, h, 0, 0));
        EXPECT_EQ(actions.log, day.log);
    }
}

TEST(TaskList, DayRuleLinesAreOnesAnOlderReaderSkips) {
    // An older version takes task lines ("*") and action lines (a digit) and
    // skips every other line: the tasks stay whole, only the rule is lost.
    Lines withoutRules;
    for (const std::string& line : kRuledTasks) {
        const bool older = line[0] == '*' || (line[0] >= '0' && line[0] <= '9');
        if (line == kWorkingDaysLine || line == kDaysOffLine) {
            EXPECT_FALSE(older) << line;
        }
        if (older)
            withoutRules.push_back(line);
    }
    std::vector<TTaskRec> tasks = ParseTaskLines(kRuledTasks);
    ASSERT_EQ(tasks.size(), 3u);
    EXPECT_EQ(tasks[0].dayRule, DayRule::WorkingDays);
    EXPECT_EQ(tasks[1].dayRule, DayRule::DaysOff);
    for (TTaskRec& task : tasks)
        task.dayRule = DayRule::Any;
    EXPECT_EQ(tasks, ParseTaskLines(withoutRules));
}

TEST(TaskList, MissedTaskSearchHonoursTheDayRule) {
    const THolidayList holidays = SpringFestival2026();
    const std::vector<TTaskRec> tasks = ParseTaskLines(kRuledTasks);
    const auto missed = [&](int d) {
        const int64_t day = (DaysFromCivil(2026, 2, d) - DaysFromCivil(1970, 1, 1)) * 86400;
        return FindMissedTasks(tasks, day + 7 * 3600, day + 9 * 3600 + 1, &holidays);
    };
    EXPECT_EQ(missed(14), (std::vector<size_t>{0}));  // 班 Saturday: the working-day task
    EXPECT_EQ(missed(16), (std::vector<size_t>{1}));  // 休 Monday: the day-off task
}
