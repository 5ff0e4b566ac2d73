// Timed tasks on Windows: the scheduler with the real actions. A test window
// plays the bar: it owns the popup link to the real PopupMsg.exe, runs the
// second ticker on its timer and hands every second to the task list; the
// chime composer's player only records. Nothing is switched off: the
// power-off call is a recorder.
#include "WinTestUtil.h"
#include "win/DataDir_win.h"
#include "app/ClockTick.h"
#include "win/Handles_win.h"
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

// A scratch folder whose name holds a blank and Chinese characters.
class ScratchFolder {
public:
    ScratchFolder() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ =
            std::filesystem::temp_directory_path() / (L"tempora 任务-" + Utf8ToWide(info->name()));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~ScratchFolder() {
        // A program started from here may still be on its way out.
        WaitFor(
            [&] {
                std::error_code ec;
                std::filesystem::remove_all(path_, ec);
                return !ec;
            },
            5000);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::string Utf8() const { return WideToUtf8(path_.wstring()) + "\\"; }
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

// What happened, in order, across the player, the save and the power-off.
std::vector<std::string>* gEvents = nullptr;

BOOL WINAPI RecordExit(UINT flags, DWORD) {
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

// The bar as far as tasks go: its tick runs every second the ticker hands
// out, from `clock`, through the task list.
class TaskBar : public TWindow {
public:
    std::vector<std::string> events;
    const ClockSource* clock = &ClockSource::Current();
    std::function<void()> beforeTick;  // lets a test move a fake clock on
    std::function<void(TDateTime)> afterSecond;
    RecordingPlayer* player = nullptr;
    std::unique_ptr<TPopupLink> popup;
    std::unique_ptr<TClockAlarm> alarm;
    std::unique_ptr<TTaskActions> actions;
    std::unique_ptr<TTaskList> tasks;

    TaskBar() { gEvents = &events; }
    ~TaskBar() override {
        if (popup && popup->PopupHandle())
            popup->SendPopupCode(kPopupCodeClosing);
        gEvents = nullptr;
    }

    bool Make(const std::string& programDir, UINT countdownTickMs) {
        if (!CreateWin(L"TemporaTaskTestBar", L"bar", WS_POPUP, 0, 0, 0, 10, 10))
            return false;
        popup = std::make_unique<TPopupLink>(Handle(), programDir);
        auto recorder = std::make_unique<RecordingPlayer>();
        player = recorder.get();
        alarm = std::make_unique<TClockAlarm>(std::move(recorder), "");
        actions = std::make_unique<TTaskActions>(
            Handle(), *popup, *alarm, [this] { events.push_back("save"); }, RecordExit,
            countdownTickMs);
        tasks = std::make_unique<TTaskList>(*actions);
        return true;
    }
    void StartTimer(UINT ms) { SetTimer(Handle(), 1, ms, nullptr); }

    void Tick() {
        if (beforeTick)
            beforeTick();
        int64_t second;
        while (ticker_.NextSecond(clock->UtcMillis(), second)) {
            const int64_t local = second + clock->LocalOffsetMinutes(second * 1000) * 60LL;
            const TDateTime t = FromUnixSeconds(static_cast<double>(local));
            tasks->RunDueTask(t);
            if (afterSecond)
                afterSecond(t);
        }
    }

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override {
        switch (msg) {
            case kPopupHandshake:
                popup->OnHandshake(lp);
                return 0;
            case WM_TIMER:
                Tick();
                return 0;
        }
        return TWindow::WndProc(msg, wp, lp);
    }

private:
    TSecondTicker ticker_;
};

// "2024年03月10日08时00分05秒" for a local time.
std::string Schedule(TDateTime t) {
    return FormatDateTime("yyyy'年'mm'月'dd'日'hh'时'nn'分'ss'秒'", t);
}

}  // namespace

TEST(TaskRun, RunOpensAnExistingFileOnlyAndAFolderOrCommandLineDoesNothing) {
    ScratchFolder dir;
    const std::string probe = dir.Utf8() + WideToUtf8(kProbeName);
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    ASSERT_TRUE(CopyFileW(self, Utf8ToWide(probe).c_str(), FALSE));
    const auto ran = dir.Path() / L"ran.txt";

    const std::string refused[] = {
        dir.Utf8(),
        dir.Utf8().substr(0, dir.Utf8().size() - 1),
        probe + " /x",
        "\"" + probe + "\"",
        "",
        dir.Utf8() + "missing.exe",
    };
    for (const std::string& payload : refused)
        EXPECT_FALSE(RunTaskFile(payload)) << payload;

    EXPECT_TRUE(RunTaskFile(probe));
    EXPECT_TRUE(WaitFor([&] { return std::filesystem::exists(ran); }, 15000));
}

TEST(TaskRun, TaskDueInAFewSecondsShowsItsMessageThenPlaysItsSound) {
    TaskBar bar;
    ASSERT_TRUE(bar.Make(ProgramDir(), TFrmShutDown::kTickMs));
    bar.player->popupText = [&] { return ShownText(bar.popup->PopupHandle()); };
    ScratchFolder dir;
    const TDateTime now = ClockSource::Current().NowLocal();
    const TDateTime due = std::floor(now * 86400.0 + 3) / 86400.0;
    ASSERT_TRUE(
        WriteLineFile(dir.Utf8() + "War.lst",
                      {"*0" + Schedule(due), "2播放 (C:\\声音\\铃 (1).wav)",
                       "3消息 (定时任务：该开会了)", "*0" + Schedule(due), "3消息 (second)"}));
    bar.tasks->LoadTasks(dir.Utf8() + "War.lst");
    ASSERT_EQ(bar.tasks->Tasks().size(), 2u);

    bar.Tick();
    bar.StartTimer(100);
    ASSERT_TRUE(WaitFor([&] { return !bar.events.empty(); }, 10000));
    EXPECT_TRUE(
        WaitFor([&] { return ClockSource::Current().NowLocal() > due + 2 / 86400.0; }, 5000));
    EXPECT_EQ(bar.events,
              (std::vector<std::string>{"play C:\\声音\\铃 (1).wav* | popup: 定时任务：该开会了"}));
}

TEST(TaskRun, MissingPopupProgramDropsTheMessageAndStillPlaysTheSound) {
    ScratchFolder dir;  // holds no PopupMsg.exe
    TaskBar bar;
    ASSERT_TRUE(bar.Make(dir.Utf8(), TFrmShutDown::kTickMs));
    bar.tasks->SetTasks(ParseTaskLines({"*008时", "3消息 (lost)", "2播放 (C:\\a.wav)"}));
    bar.tasks->RunDueTask(EncodeDateTime(2024, 3, 10, 8, 0, 0));
    EXPECT_EQ(bar.popup->PopupHandle(), nullptr);
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
        // The countdown steps every 100 ms; the bar's timer every 10 ms, each
        // time a second later on the fake clock.
        TaskBar bar;
        ASSERT_TRUE(bar.Make(ProgramDir(), 100));
        FakeClock clock(static_cast<int64_t>(std::llround(ToUnixSeconds(start))) * 1000, 0);
        bar.clock = &clock;
        bar.beforeTick = [&] { clock.Advance(1000); };
        bar.afterSecond = [&](TDateTime t) {
            if (c.escapeAtThirdSecond && std::llround((t - s0) * 86400.0) == 3) {
                if (HWND form = FindWindowW(TFrmShutDown::kClassName, nullptr))
                    PostMessageW(form, WM_KEYDOWN, VK_ESCAPE, 0);
            }
        };
        bar.tasks->SetTasks(ParseTaskLines({
            "*0" + Schedule(s0),
            "4执行 (关机)",
            "2播放 (C:\\a.wav)",
            "*0" + Schedule(s0 + 1 / 86400.0),
            "2播放 (C:\\b.wav)",
            "*0" + Schedule(s0 + 2 / 86400.0),
            "2播放 (C:\\c.wav)",
        }));
        bar.StartTimer(10);
        ASSERT_TRUE(WaitFor([&] { return bar.events.size() >= c.expected.size(); }, 10000));
        WaitFor([] { return false; }, 200);  // nothing more may come
        EXPECT_EQ(bar.events, c.expected);
        EXPECT_EQ(FindWindowW(TFrmShutDown::kClassName, nullptr), nullptr);
    }
}
