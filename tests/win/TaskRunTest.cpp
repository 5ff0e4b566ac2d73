// Timed tasks on Windows: the program's own wiring with the real actions and
// the real PopupMsg.exe; the chime composer's player only records. Nothing is
// switched off: the power-off call is a recorder.
#include "AppFixture.h"
#include "WinTestUtil.h"
#include "win/DataDir_win.h"
#include "app/ClockApp_win.h"
#include "core/Handles_win.h"
#include "win/Window_win.h"
#include "core/ClockSource.h"
#include "core/Encoding.h"
#include "core/FileSys.h"
#include "core/LineFile.h"
#include "reminders/ClockAlarm.h"
#include "reminders/PopupLink_win.h"
#include "reminders/PopupProtocol.h"
#include "reminders/TaskActions.h"
#include "reminders/TaskActions_win.h"
#include "reminders/TaskList.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace tempora;
using tempora::test::WaitFor;

namespace {

// The run-action test opens a copy of this program under this name; started
// so, it leaves a file "ran.txt" beside itself and ends.
constexpr wchar_t kProbeName[] = L"运行 探针.exe";
const bool kRunProbe = [] {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    const std::filesystem::path self(path);
    if (self.filename() == kProbeName) {
        HANDLE f = CreateFileW((self.parent_path() / L"ran.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        CloseHandle(f);
        ExitProcess(0);
    }
    return false;
}();

std::string ShownText(HWND popup) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(popup)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(popup, text.data(), static_cast<int>(text.size()))));
    return WideToUtf8(text);
}

// Scratch folders are named so that their paths hold a blank and Chinese
// characters.
constexpr char kScratch[] = "tempora 任务-";

// What happened, in order, across the player, the save and the power-off.
std::vector<std::string>* gEvents = nullptr;
std::string gSettingsFile;

// The power-off call: notes whether the state was saved before it.
BOOL WINAPI RecordExit(UINT flags, DWORD) {
    if (FileExists(gSettingsFile))
        gEvents->push_back("save");
    gEvents->push_back("exit " + std::to_string(flags));
    return TRUE;
}

class RecordingPlayer : public ISoundListPlayer {
public:
    // Also notes the text the popup shows at that moment.
    std::function<std::string()> popupText;
    void Play(const std::string& list) override {
        gEvents->push_back("play " + list + (popupText ? " | popup: " + popupText() : ""));
    }
};

// The program itself on a data folder of its own, with the sound player and
// the power-off call recorded and the countdown stepping every
// `countdownTickMs`.
class TaskApp {
public:
    std::vector<std::string> events;
    RecordingPlayer* player = nullptr;
    test::AppRun app;

    TaskApp(const test::TempDataDir& data, const std::string& programDir, UINT countdownTickMs) {
        gEvents = &events;
        gSettingsFile = data.File("skin.ini");
        AppOptions o;
        o.programDir = programDir;
        o.dataDir = data.Dir();
        o.makePlayer = [this] {
            auto p = std::make_unique<RecordingPlayer>();
            player = p.get();
            return p;
        };
        o.exitWindows = RecordExit;
        o.countdownTickMs = countdownTickMs;
        app.Start(o, false);
    }
    ~TaskApp() {
        app.Stop();
        gEvents = nullptr;
    }
    TaskApp(const TaskApp&) = delete;
    TaskApp& operator=(const TaskApp&) = delete;
};

// Steps a fake clock one second and ticks the bar, every `ms`, also inside
// the nested message loops of a task's countdown.
class FastClock {
public:
    FastClock(TClockApp& app, FakeClock& clock, UINT ms) {
        gApp = &app;
        gClock = &clock;
        timer_ = SetTimer(nullptr, 0, ms, [](HWND, UINT, UINT_PTR, DWORD) {
            gClock->Advance(1000);
            gApp->Bar().TickNow();
        });
    }
    ~FastClock() {
        KillTimer(nullptr, timer_);
        gApp = nullptr;
        gClock = nullptr;
    }
    FastClock(const FastClock&) = delete;
    FastClock& operator=(const FastClock&) = delete;

private:
    static inline TClockApp* gApp = nullptr;
    static inline FakeClock* gClock = nullptr;
    UINT_PTR timer_;
};

// "2024年03月10日08时00分05秒" for a local time.
std::string Schedule(TDateTime t) {
    return FormatDateTime("yyyy'年'mm'月'dd'日'hh'时'nn'分'ss'秒'", t);
}

}  // namespace

TEST(TaskRun, RunOpensAnExistingFileOnlyAndAFolderOrCommandLineDoesNothing) {
    test::TempDataDir dir(kScratch);
    const std::string probe = dir.Dir() + WideToUtf8(kProbeName);
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    ASSERT_TRUE(CopyFileW(self, Utf8ToWide(probe).c_str(), FALSE));
    const auto ran = dir.Path() / L"ran.txt";

    const std::string refused[] = {
        dir.Dir(),
        dir.Dir().substr(0, dir.Dir().size() - 1),
        probe + " /x",
        "\"" + probe + "\"",
        "",
        dir.Dir() + "missing.exe",
    };
    for (const std::string& payload : refused)
        EXPECT_FALSE(RunTaskFile(payload)) << payload;

    EXPECT_TRUE(RunTaskFile(probe));
    EXPECT_TRUE(WaitFor([&] { return std::filesystem::exists(ran); }, 15000));
}

TEST(TaskRun, TaskDueInAFewSecondsShowsItsMessageThenPlaysItsSound) {
    test::TempDataDir dir(kScratch);
    const TDateTime now = ClockSource::Current().NowLocal();
    const TDateTime due = std::floor(now * 86400.0 + 3) / 86400.0;
    ASSERT_TRUE(
        WriteLineFile(dir.Dir() + "War.lst",
                      {"*0" + Schedule(due), "2播放 (C:\\声音\\铃 (1).wav)",
                       "3消息 (定时任务：该开会了)", "*0" + Schedule(due), "3消息 (second)"}));
    TaskApp bar(dir, ProgramDir(), TFrmShutDown::kTickMs);
    ASSERT_NE(bar.player, nullptr);
    ASSERT_EQ(bar.app->Tasks().Tasks().size(), 2u);
    bar.player->popupText = [&] { return ShownText(bar.app->Popup().PopupHandle()); };
    // The program's own clock timer runs the task.
    ASSERT_TRUE(WaitFor([&] { return !bar.events.empty(); }, 10000));
    EXPECT_TRUE(
        WaitFor([&] { return ClockSource::Current().NowLocal() > due + 2 / 86400.0; }, 5000));
    EXPECT_EQ(bar.events,
              (std::vector<std::string>{"play C:\\声音\\铃 (1).wav* | popup: 定时任务：该开会了"}));
}

TEST(TaskRun, MissingPopupProgramDropsTheMessageAndStillPlaysTheSound) {
    test::TempDataDir dir(kScratch);  // holds no PopupMsg.exe
    TaskApp bar(dir, dir.Dir(), TFrmShutDown::kTickMs);
    bar.app->Tasks().SetTasks(ParseTaskLines({"*008时", "3消息 (lost)", "2播放 (C:\\a.wav)"}));
    bar.app->Tasks().RunDueTask(EncodeDateTime(2024, 3, 10, 8, 0, 0));
    EXPECT_EQ(bar.app->Popup().PopupHandle(), nullptr);
    EXPECT_EQ(bar.events, (std::vector<std::string>{"play C:\\a.wav*"}));
}

// While the countdown waits, the bar's timer keeps ticking through it: the
// seconds that pass run their own tasks, once each. Then the power-off comes
// after the state is saved, or not at all when Escape cancels, and the
// shutdown task's sound plays last either way.
TEST(TaskRun, TicksGoOnDuringTheCountdownThenItPowersOffOrIsCancelled) {
    const TDateTime start = EncodeDateTime(2024, 3, 10, 7, 59, 59);
    const TDateTime s0 = start + 1 / 86400.0;
    struct Case {
        const char* name;
        bool escapeAtThirdSecond;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"runs out",
         false,
         {"play C:\\b.wav*", "play C:\\c.wav*", "save", "exit 8", "play C:\\a.wav*"}},
        {"Escape", true, {"play C:\\b.wav*", "play C:\\c.wav*", "play C:\\a.wav*"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // The countdown steps every 100 ms; the bar ticks every 10 ms, each
        // time a second later on the fake clock.
        FakeClock clock(static_cast<int64_t>(std::llround(ToUnixSeconds(start))) * 1000, 0);
        ClockSource::Install(&clock);
        test::TempDataDir dir(kScratch);
        TaskApp bar(dir, ProgramDir(), 100);
        bar.app->Heart().AddSecondHandler([&](TDateTime t) {
            if (c.escapeAtThirdSecond && std::llround((t - s0) * 86400.0) == 3) {
                if (HWND form = FindWindowW(TFrmShutDown::kClassName, nullptr))
                    PostMessageW(form, WM_KEYDOWN, VK_ESCAPE, 0);
            }
        });
        bar.app->Tasks().SetTasks(ParseTaskLines({
            "*0" + Schedule(s0),
            "4执行 (关机)",
            "2播放 (C:\\a.wav)",
            "*0" + Schedule(s0 + 1 / 86400.0),
            "2播放 (C:\\b.wav)",
            "*0" + Schedule(s0 + 2 / 86400.0),
            "2播放 (C:\\c.wav)",
        }));
        FastClock ticking(bar.app.App(), clock, 10);
        ASSERT_TRUE(WaitFor([&] { return bar.events.size() >= c.expected.size(); }, 10000));
        WaitFor([] { return false; }, 200);  // nothing more may come
        EXPECT_EQ(bar.events, c.expected);
        EXPECT_EQ(FindWindowW(TFrmShutDown::kClassName, nullptr), nullptr);
        ClockSource::Install(nullptr);
    }
}

// A night asleep on the fake clock: on waking the bar shows the tasks it
// missed in the real popup program, and the shutdown among them is not run.
TEST(TaskRun, TasksMissedWhileAsleepAreShownInThePopupAndNotRun) {
    const TDateTime evening = EncodeDateTime(2024, 3, 10, 22, 0, 0);
    FakeClock clock(static_cast<int64_t>(std::llround(ToUnixSeconds(evening))) * 1000, 0);
    ClockSource::Install(&clock);
    {
        test::TempDataDir dir(kScratch);
        ASSERT_TRUE(WriteLineFile(dir.Dir() + "War.lst",
                                  {"*023时30分", "3消息 (该睡觉了)", "*001时", "4执行 (关机)",
                                   "*007时", "2播放 (C:\\起床.wav)"}));
        TaskApp bar(dir, ProgramDir(), TFrmShutDown::kTickMs);
        bar.app->Bar().TickNow();
        clock.Advance(8 * 3600 * 1000);
        bar.app->Bar().TickNow();
        const std::string expected =
            "错过的定时任务：\r\n23时30分 消息 (该睡觉了)\r\n01时 执行 (关机)";
        EXPECT_TRUE(WaitFor(
            [&] {
                const HWND popup = bar.app->Popup().PopupHandle();
                return popup && IsWindowVisible(popup) && ShownText(popup) == expected;
            },
            10000));
        // The next second on: still no countdown, no power-off, no sound.
        clock.Advance(1000);
        bar.app->Bar().TickNow();
        WaitFor([] { return false; }, 1000);
        EXPECT_EQ(FindWindowW(TFrmShutDown::kClassName, nullptr), nullptr);
        EXPECT_TRUE(bar.events.empty());
    }
    ClockSource::Install(nullptr);
}

// The shipped holidays of 2026: Saturday 14 February is a make-up working
// day, Monday 16 February a day off of the Spring Festival.
TEST(TaskRun, AWorkingDayTaskSkipsAHolidayMondayAndRunsOnAMakeUpSaturday) {
    const struct {
        int day;
        std::vector<std::string> events;
    } cases[] = {
        {16, {}},
        {14, {"play C:\\work.wav*"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.day);
        const TDateTime start = EncodeDateTime(2026, 2, c.day, 7, 59, 58);
        FakeClock clock(static_cast<int64_t>(std::llround(ToUnixSeconds(start))) * 1000, 0);
        ClockSource::Install(&clock);
        test::TempDataDir dir(kScratch);
        ASSERT_TRUE(WriteLineFile(dir.Dir() + "War.lst",
                                  {"*008时00分", kWorkingDaysLine, "2播放 (C:\\work.wav)"}));
        TaskApp bar(dir, ProgramDir(), TFrmShutDown::kTickMs);
        ASSERT_EQ(bar.app->Tasks().Tasks().at(0).dayRule, DayRule::WorkingDays);
        for (int s = 0; s < 4; ++s) {
            clock.Advance(1000);
            bar.app->Bar().TickNow();
        }
        EXPECT_EQ(bar.events, c.events);
        bar.app.Stop();
        ClockSource::Install(nullptr);
    }
}
