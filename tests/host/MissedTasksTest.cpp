// Timed tasks missed while the clock stood still (sleep, a clock set forward):
// reported once, never run late.
#include "reminders/MissedTasks.h"
#include "app/ClockTick.h"
#include "core/ClockSource.h"
#include "core/DateTime.h"
#include "reminders/TaskActions.h"
#include "reminders/TaskList.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

using namespace tempora;

namespace {

class RecordingActions : public ITaskActions {
public:
    std::vector<std::string> log;
    void ShowMessage(const std::string& text) override { log.push_back("msg " + text); }
    void PlaySounds(const std::string& list) override { log.push_back("play " + list); }
    void RunFile(const std::string& path) override { log.push_back("run " + path); }
    bool ConfirmShutdown() override {
        log.push_back("confirm");
        return true;
    }
    void ShutdownComputer() override { log.push_back("shutdown"); }
};

constexpr int kOffsetMinutes = 480;

int64_t UtcMillisOf(TDateTime local) {
    return (std::llround(ToUnixSeconds(local)) - kOffsetMinutes * 60LL) * 1000;
}

// The bar's wiring on a fake clock: the scheduler takes every second the
// heart hands out, and a skipped span becomes at most one popup text.
struct SleepyBar {
    FakeClock clock{0, kOffsetMinutes};
    RecordingActions actions;
    TTaskList tasks{actions};
    TClockHeart heart;
    std::vector<std::string> popups;

    explicit SleepyBar(const std::vector<std::string>& warLst) {
        tasks.SetTasks(ParseTaskLines(warLst));
        heart.AddSecondHandler([this](TDateTime t) { tasks.RunDueTask(t); });
        heart.OnSkipped = [this](int64_t from, int64_t to) {
            const std::string text =
                MissedTasksText(tasks.Tasks(), FindMissedTasks(tasks.Tasks(), from, to));
            if (!text.empty())
                popups.push_back(text);
        };
    }
    void TickAt(TDateTime local) {
        clock.Set(UtcMillisOf(local) + 3);
        heart.Tick(clock);
    }
};

const TDateTime kEvening = EncodeDateTime(2024, 3, 10, 22, 0, 0);

}  // namespace

// Asleep from 22:00:00 to 06:00:00 the next morning.
TEST(MissedTasks, ASleepReportsTheTasksDueMeanwhileOnceAndRunsNoneOfThemLate) {
    SleepyBar bar({
        "*022时",
        "3消息 (at the last tick)",
        "*022时00分01秒",
        "3消息 (first second asleep)",
        "*001时30分",
        "4执行 (关机)",
        "2播放 (C:\\铃 (1).wav)",
        "*103时",
        "3消息 (stopped)",
        "*003时",
        "4执行 (D:\\备份.bat)",
        "*003时",
        "3消息 (shadowed by the task above)",
        "*02024年03月11日05时59分59秒",
        "3消息 (last second asleep)",
        "*006时",
        "3消息 (woke up)",
        "*007时",
        "3消息 (later)",
        "*004时",
        "9未知 (does nothing, so not listed)",
        "3消息 (4h)",
        "*02024年03月10日",
        "3消息 (date only)",
    });
    bar.TickAt(kEvening);
    EXPECT_EQ(bar.actions.log, (std::vector<std::string>{"msg at the last tick"}));
    bar.actions.log.clear();

    bar.TickAt(EncodeDateTime(2024, 3, 11, 6, 0, 0));
    bar.TickAt(EncodeDateTime(2024, 3, 11, 6, 0, 1));
    // Only the second woken up to runs; the shutdown and the rest are not run late.
    EXPECT_EQ(bar.actions.log, (std::vector<std::string>{"msg woke up"}));
    EXPECT_EQ(bar.popups, (std::vector<std::string>{
                              "错过的定时任务："
                              "\r\n22时00分01秒 消息 (first second asleep)"
                              "\r\n01时30分 执行 (关机) 播放 (C:\\铃 (1).wav)"
                              "\r\n03时 执行 (D:\\备份.bat)"
                              "\r\n2024年03月11日05时59分59秒 消息 (last second asleep)"
                              "\r\n04时 消息 (4h)",
                          }));
}

TEST(MissedTasks, NothingIsReportedWithoutAForwardJumpOverADueTask) {
    const std::vector<std::string> warLst = {"*012时", "3消息 (noon)", "*030秒", "3消息 (30s)"};
    struct Case {
        const char* name;
        TDateTime next;
        std::vector<std::string> ran;
    };
    const Case cases[] = {
        {"a minute late: the seconds are caught up instead", kEvening + 60 / 86400.0, {"msg 30s"}},
        {"clock moved back an hour", kEvening - 1 / 24.0, {}},
        {"clock moved back two days", kEvening - 2.0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SleepyBar bar(warLst);
        bar.TickAt(kEvening);
        bar.TickAt(c.next);
        EXPECT_EQ(bar.actions.log, c.ran);
        EXPECT_TRUE(bar.popups.empty());
    }

    // A sleep as long as the one above, over a span where no task is due.
    SleepyBar quiet({"*012时", "3消息 (noon)", "*02024年03月10日22时00分30秒", "3消息 (before)"});
    quiet.TickAt(kEvening + 31 / 86400.0);
    quiet.TickAt(kEvening + 8 / 24.0);
    EXPECT_TRUE(quiet.actions.log.empty());
    EXPECT_TRUE(quiet.popups.empty());
}

TEST(MissedTasks, OnlyTheLastDayOfALongerGapCounts) {
    const TDateTime wake = EncodeDateTime(2024, 3, 14, 9, 0, 0);
    const auto schedule = [](TDateTime t) {
        return FormatDateTime("yyyy'年'mm'月'dd'日'hh'时'nn'分'ss'秒'", t);
    };
    const std::string dayBefore = schedule(wake - 1.0 - 1 / 86400.0);
    const std::string dayAgo = schedule(wake - 1.0);
    SleepyBar bar({"*0" + dayBefore, "3消息 (too old)", "*0" + dayAgo, "3消息 (a day ago)",
                   "*008时", "3消息 (daily)"});
    bar.TickAt(EncodeDateTime(2024, 3, 10, 22, 0, 0));
    bar.TickAt(wake);
    EXPECT_TRUE(bar.actions.log.empty());
    EXPECT_EQ(bar.popups, (std::vector<std::string>{"错过的定时任务：\r\n" + dayAgo +
                                                    " 消息 (a day ago)\r\n08时 消息 (daily)"}));
}

TEST(MissedTasks, TheHeartReportsForwardJumpsOnlyWithTheSkippedLocalSeconds) {
    FakeClock clock(1'000'000'000'500LL, kOffsetMinutes);
    TClockHeart heart;
    std::vector<int64_t> seconds;
    std::vector<std::string> seen;
    heart.AddSecondHandler([&](TDateTime t) {
        seconds.push_back(std::llround(ToUnixSeconds(t)));
        seen.push_back("second " + std::to_string(seconds.back()));
    });
    heart.OnSkipped = [&](int64_t from, int64_t to) {
        seen.push_back("skipped " + std::to_string(from) + " " + std::to_string(to));
    };
    const int64_t local = 1'000'000'000 + kOffsetMinutes * 60;
    heart.Tick(clock);  // the first tick skipped nothing
    clock.Advance(61'000);
    heart.Tick(clock);
    clock.Advance(-3600'000);
    heart.Tick(clock);
    EXPECT_EQ(seen, (std::vector<std::string>{
                        "second " + std::to_string(local),
                        "second " + std::to_string(local + 61),
                        "skipped " + std::to_string(local + 1) + " " + std::to_string(local + 61),
                        "second " + std::to_string(local + 61 - 3600),
                    }));

    // Up to a minute late the seconds are caught up, so none is skipped.
    seen.clear();
    seconds.clear();
    clock.Advance(60'000);
    heart.Tick(clock);
    EXPECT_EQ(seconds.size(), 60u);
    EXPECT_EQ(seen.back(), "second " + std::to_string(local + 121 - 3600));
    for (const std::string& line : seen)
        EXPECT_EQ(line.rfind("skipped", 0), std::string::npos) << line;
}

// A task's countdown or message loop can tick on for longer than a minute:
// the outer tick, whose present is then far behind, must neither hand out its
// old second again nor make the next tick look like a jump.
TEST(MissedTasks, ALongNestedLoopIsNeitherReplayedNorReportedAsSkipped) {
    FakeClock clock(1'000'000'000'000LL, 0);
    TClockHeart heart;
    std::vector<int64_t> handled;
    std::vector<int64_t> skipped;
    bool nested = false;
    heart.AddSecondHandler([&](TDateTime t) {
        handled.push_back(std::llround(ToUnixSeconds(t)));
        if (nested)
            return;
        nested = true;
        for (int i = 0; i < 100; ++i) {
            clock.Advance(1000);
            heart.Tick(clock);
        }
    });
    heart.OnSkipped = [&](int64_t from, int64_t) { skipped.push_back(from); };
    heart.Tick(clock);
    clock.Advance(1000);
    heart.Tick(clock);
    ASSERT_EQ(handled.size(), 102u);
    for (size_t i = 0; i < handled.size(); ++i)
        EXPECT_EQ(handled[i], 1'000'000'000 + static_cast<int64_t>(i));
    EXPECT_TRUE(skipped.empty());
}
