// Runs the clock's one-second tick natively, as often as asked, with the
// portable part of the program's per-second work: the bar's digits rendered
// and their rectangle composed for the screen, the timed tasks and the chime
// looked at, and with "clock" the analog clock's hands turned and its face
// composed. The clock advances one second per tick, landing just past the
// boundary as the window's timer does. Meant for callgrind: the difference
// between two runs of different lengths is the cost of the ticks alone.
// Usage: tempora_tick_cost TICKS [clock]
#include "app/BarFace.h"
#include "app/ClockTick.h"
#include "core/ClockSource.h"
#include "display/SmoothFont.h"
#include "display/SupFun.h"
#include "display/UnitClock.h"
#include "reminders/BackSound.h"
#include "reminders/ClockAlarm.h"
#include "reminders/TaskList.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>

using namespace tempora;

namespace {

class SilentPlayer final : public ISoundListPlayer {
public:
    void Play(const std::string&) override { ++played; }
    int played = 0;
};

class CountingActions final : public ITaskActions {
public:
    void ShowMessage(const std::string&) override { ++ran; }
    void PlaySounds(const std::string&) override { ++ran; }
    void RunFile(const std::string&) override { ++ran; }
    bool ConfirmShutdown() override { return false; }
    void ShutdownComputer() override {}
    int ran = 0;
};

// A few tasks of the kinds people set: a daily message, a weekday-less
// alarm sound and a one-off run, none due within the hour the run covers
// but the message at its half hour.
std::vector<TTaskRec> SomeTasks() {
    TTaskRec daily;
    daily.enabled = true;
    daily.hour = 10;
    daily.minute = 30;
    daily.second = 0;
    daily.actions = {{kActMessage, "开会了"}};
    TTaskRec sound = daily;
    sound.hour = 7;
    sound.minute = 0;
    sound.actions = {{kActSound, "C:\\Sound\\a.wav"}};
    TTaskRec once = daily;
    once.year = 2027;
    once.month = 1;
    once.day = 1;
    once.actions = {{kActRun, "D:\\Docs\\plan.doc"}};
    return {daily, sound, once};
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s TICKS [clock]\n", argv[0]);
        return 2;
    }
    const long ticks = std::strtol(argv[1], nullptr, 10);
    const bool withClock = argc > 2 && std::strcmp(argv[2], "clock") == 0;
    const std::string dataDir = std::string(TEMPORA_SOURCE_DIR) + "/data/";

    TBlockGlyphs glyphs;
    TBarFace bar(glyphs, nullptr);
    TBarSkin barSkin;
    if (ReadBarSkin(dataDir, dataDir + "Skin/DarkGlass.sk", barSkin) != TSkinResult::Applied) {
        std::fprintf(stderr, "cannot read the bar's skin under %s\n", dataDir.c_str());
        return 1;
    }
    bar.Apply(std::move(barSkin));
    long pixelsComposed = 0;
    bar.OnInvalidate = [&](TSkinRect area, bool now) {
        if (now) {
            bar.Compose(area);
            pixelsComposed += static_cast<long>(area.width) * area.height;
        }
    };

    TClockFace clock;
    if (withClock) {
        TClockSkin clockSkin;
        if (ReadClockSkin(dataDir, dataDir + "Clock/Classic.cl", clockSkin) !=
            TSkinResult::Applied) {
            std::fprintf(stderr, "cannot read the clock style under %s\n", dataDir.c_str());
            return 1;
        }
        clock.Apply(clockSkin);
    }

    auto player = std::make_unique<SilentPlayer>();
    SilentPlayer& chimes = *player;
    TClockAlarm alarm(std::move(player), dataDir + "Sound/");
    alarm.SetOptions(true, true, 0);
    CountingActions actions;
    TTaskList tasks(actions);
    tasks.SetTasks(SomeTasks());

    TClockHeart heart;
    heart.OnShow = [&](TDateTime t) { bar.ShowTime(t); };
    if (withClock)
        heart.AddSecondHandler([&](TDateTime t) { clock.SetHands(t); });
    heart.AddSecondHandler([&](TDateTime t) { tasks.RunDueTask(t); });
    heart.AddSecondHandler([&](TDateTime t) { alarm.CheckChime(t); });

    // 2026-12-10 10:08:30 at UTC+8, 2 ms past the boundary.
    const int64_t startMs =
        std::llround(ToUnixSeconds(EncodeDateTime(2026, 12, 10, 2, 8, 30)) * 1000.0) + 2;
    FakeClock fake(startMs);
    // Processor time, which other programs' load on the machine hardly changes.
    const std::clock_t began = std::clock();
    for (long i = 0; i < ticks; ++i) {
        heart.Tick(fake);
        fake.Advance(1000);
    }
    const double us = 1e6 * static_cast<double>(std::clock() - began) / CLOCKS_PER_SEC;
    std::printf(
        "%ld ticks%s: %.2f us CPU per tick; %ld pixels composed, %d chimes, %d task actions\n",
        ticks, withClock ? " with the analog clock" : "", ticks ? us / ticks : 0.0, pixelsComposed,
        chimes.played, actions.ran);
    return 0;
}
