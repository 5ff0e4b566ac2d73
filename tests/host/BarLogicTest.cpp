#include "app/ClockTick.h"
#include "app/HotKey.h"
#include "app/Settings.h"
#include "app/Views.h"
#include "core/ClockSource.h"
#include "core/DateTime.h"
#include "core/FileSys.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <random>

using namespace tempora;
using tempora::test::TempDir;

namespace {
BarSettings ReadFrom(const std::string& text, int screenWidth = 1024, int barWidth = 332) {
    return ReadBarSettings(TIniFile("skin.ini", text), screenWidth, barWidth);
}
}  // namespace

TEST(BarSettings, DefaultsWithoutAFile) {
    TempDir dir;
    const BarSettings s = ReadBarSettings(TIniFile(dir.File("skin.ini")), 1280, 332);
    EXPECT_EQ(s.left, 1280 - 332);
    EXPECT_EQ(s.top, 0);
    EXPECT_EQ(s.barAlpha, 200);
    EXPECT_EQ(s.defaultView, TStartView::Clock);
    EXPECT_EQ(s.markMode, 1);
    EXPECT_EQ(s.markStepMinutes, 5);
    EXPECT_FALSE(s.alarm || s.halfAlarm || s.hotKey || s.autoCheck || s.onTop || s.onStartHide);
    EXPECT_TRUE(s.ledFont);
    EXPECT_EQ(s.font.name, "Tahoma");
    EXPECT_EQ(s.font.size, 18);
    EXPECT_EQ(s.font.color, 0xFFFFFFu);
}

TEST(BarSettings, ClampsAndFallbacks) {
    struct Case {
        const char* text;
        int left, top, view, alpha;
    } cases[] = {
        {"[BAR]\nLeft=5000\nTop=-3", 692, 0, 1, 200},
        {"[BAR]\nLeft=-50\nTop=900", -50, 900, 1, 200},
        {"[bar]\nleft=100\nDefWin=7", 100, 0, 1, 200},
        // Below 55 the bar would be all but invisible: the default instead.
        {"[BAR]\nDefWin=-1\nTr=20", 692, 0, 1, 200},
        {"[BAR]\nTr=55", 692, 0, 1, 55},
        {"[BAR]\nDefWin=0\nTr=99999", 692, 0, 0, 200},
        {"[BAR]\nDefWin=3\nTr=-1", 692, 0, 3, 200},
        {"[BAR]\nLeft=99999999999999\nTop=garbage\nDefWin=two", 692, 0, 1, 200},
        {"[BAR]\nLeft=2147483647", 692, 0, 1, 200},  // no overflow on the right-edge test
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const BarSettings s = ReadFrom(c.text);
        EXPECT_EQ(s.left, c.left);
        EXPECT_EQ(s.top, c.top);
        EXPECT_EQ(static_cast<int>(s.defaultView), c.view);
        EXPECT_EQ(s.barAlpha, c.alpha);
    }
    const BarSettings s = ReadFrom(
        "[CLOCK]\nAlarm=yes\nHalfAlarm=2\nAlarmType=9\n[MSG]\nCalendarStep=0\nCalendarLX=5\n"
        "[TIME]\nAutoChcek=1\nStepHour=0\n[LED]\nFontSize=100000\nFontColor=$FF");
    EXPECT_FALSE(s.alarm);
    EXPECT_TRUE(s.halfAlarm);
    EXPECT_EQ(s.alarmType, 0);
    EXPECT_EQ(s.markStepMinutes, 5);
    EXPECT_EQ(s.markMode, 1);
    EXPECT_TRUE(s.autoCheck);
    EXPECT_EQ(s.stepHour, 1);
    EXPECT_EQ(s.font.size, 18);
    EXPECT_EQ(s.font.color, 0xFFu);

    // Quiet hours: off 22:00–07:00 by default (older files lack the keys); a
    // time that does not read keeps its default.
    EXPECT_FALSE(s.quiet.on);
    EXPECT_EQ(s.quiet.startMinute, 22 * 60);
    EXPECT_EQ(s.quiet.endMinute, 7 * 60);
    const BarSettings q = ReadFrom("[CLOCK]\nQuietHours=1\nQuietStart=23:30\nQuietEnd=25:00");
    EXPECT_TRUE(q.quiet.on);
    EXPECT_EQ(q.quiet.startMinute, 23 * 60 + 30);
    EXPECT_EQ(q.quiet.endMinute, 7 * 60);

    EXPECT_EQ(ClampClockViewLeft(-20, 0, 1280), 0);
    EXPECT_EQ(ClampClockViewLeft(1250, 0, 1280), 1180);
    EXPECT_EQ(ClampClockViewLeft(300, 0, 1280), 300);
    // A desktop with a monitor left of the primary one.
    EXPECT_EQ(ClampClockViewLeft(-1500, -1920, 3200), -1500);
    EXPECT_EQ(ClampClockViewLeft(-2000, -1920, 3200), -1920);
}

TEST(BarSettings, HideSwitchAndHotKeyTexts) {
    for (const char* yes : {"/hide", "/HIDE", "  /Hide\t"})
        EXPECT_TRUE(IsHideSwitch(yes)) << yes;
    for (const char* no : {"", "/hid", "/hidden", "-hide", "/h ide"}) {
        EXPECT_FALSE(IsHideSwitch(no)) << no;
    }
    struct {
        const char* text;
        int mask;
    } mods[] = {{"Alt", 1},
                {"Ctrl", 2},
                {"Shift", 4},
                {"Alt + Ctrl", 3},
                {"Alt + Shift", 5},
                {"Ctrl + Shift", 6},
                {"ctrl + shift", 6},
                {"Alt + Ctrl + Shift", 7},
                {"Ctrl+Shift", -1},
                {"Shift + Ctrl", -1},
                {"", -1},
                {"Win", -1}};
    for (const auto& m : mods)
        EXPECT_EQ(HotKeyModifiers(m.text), m.mask) << m.text;
    EXPECT_EQ(HotKeyVirtualKey("T"), 0x54);
    EXPECT_EQ(HotKeyVirtualKey("t"), 0x54);
    EXPECT_EQ(HotKeyVirtualKey("Zebra"), 0x5A);
    for (const char* bad : {"", "1", "#", "时", " T"})
        EXPECT_EQ(HotKeyVirtualKey(bad), 0) << bad;
}

TEST(SecondTicker, TicksUpTo900msLateOrEarlyHandleEverySecondOnce) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> jitter(-900, 900);
    const int64_t start = 1707035213000LL;
    TSecondTicker ticker;
    std::map<int64_t, int> handled;
    int64_t s;
    int64_t lastTick = start;
    for (int k = 0; k < 5000; ++k) {
        // Nominal ticks just past each boundary, delivered anywhere within ±900 ms,
        // never before the previous one.
        lastTick = std::max(lastTick, start + k * 1000 + 2 + jitter(rng));
        while (ticker.NextSecond(lastTick, s))
            ++handled[s];
    }
    ASSERT_FALSE(handled.empty());
    EXPECT_EQ(handled.begin()->first, start / 1000);
    EXPECT_EQ(static_cast<int64_t>(handled.size()), handled.rbegin()->first - start / 1000 + 1);
    for (const auto& [second, count] : handled)
        ASSERT_EQ(count, 1) << second;
}

TEST(SecondTicker, NestedTicksContinueInOrderAndJumpsAreNotReplayed) {
    TSecondTicker ticker;
    int64_t s;
    ASSERT_TRUE(ticker.NextSecond(10'000'500, s));
    EXPECT_EQ(s, 10'000);
    // Five seconds late: the outer tick takes 10001; a tick nested inside its
    // handling takes the rest, in order; the outer loop then finds nothing left.
    ASSERT_TRUE(ticker.NextSecond(10'005'100, s));
    EXPECT_EQ(s, 10'001);
    std::vector<int64_t> nested;
    while (ticker.NextSecond(10'005'200, s))
        nested.push_back(s);
    EXPECT_EQ(nested, (std::vector<int64_t>{10'002, 10'003, 10'004, 10'005}));
    EXPECT_FALSE(ticker.NextSecond(10'005'300, s));
    // The clock set back 30 s: nothing until it passes the last handled second.
    EXPECT_FALSE(ticker.NextSecond(9'975'000, s));
    // A jump of more than a minute ahead, or back, handles only the new second.
    ASSERT_TRUE(ticker.NextSecond(10'100'000, s));
    EXPECT_EQ(s, 10'100);
    EXPECT_FALSE(ticker.NextSecond(10'100'999, s));
    ASSERT_TRUE(ticker.NextSecond(9'000'000, s));
    EXPECT_EQ(s, 9'000);

    EXPECT_EQ(TSecondTicker::DelayToNextBoundary(10'000'000), 1002);
    EXPECT_EQ(TSecondTicker::DelayToNextBoundary(10'000'998), 4);
    EXPECT_EQ(TSecondTicker::DelayToNextBoundary(-1), 3);
}

TEST(ClockHeart, ShowsTheTimeThenHandsEverySecondToTheHandlersInOrder) {
    FakeClock clock(1707004798500LL, 480);  // 07:59:58.5 in China
    TClockHeart heart;
    std::vector<std::string> seen;
    heart.OnShow = [&](TDateTime t) { seen.push_back("show " + FormatHMS(t)); };
    heart.AddSecondHandler([&](TDateTime t) { seen.push_back("tasks " + FormatHMS(t)); });
    heart.AddSecondHandler([&](TDateTime t) { seen.push_back("chime " + FormatHMS(t)); });
    std::vector<std::string> trace;
    heart.OnTrace = [&](const std::string& line) { trace.push_back(line); };

    EXPECT_EQ(heart.Tick(clock), 502);  // just past the next boundary
    clock.Advance(2600);                // a late timer: two seconds went by
    heart.Tick(clock);
    heart.Tick(clock);  // the same second again: nothing to hand out
    EXPECT_EQ(seen, (std::vector<std::string>{"show 07:59:58", "tasks 07:59:58", "chime 07:59:58",
                                              "show 08:00:01", "tasks 07:59:59", "chime 07:59:59",
                                              "tasks 08:00:00", "chime 08:00:00", "tasks 08:00:01",
                                              "chime 08:00:01", "show 08:00:01"}));
    EXPECT_EQ(trace, (std::vector<std::string>{"1707004798500 1707004798 1707004798",
                                               "1707004801100 1707004799 1707004801",
                                               "1707004801100 - -"}));
}

TEST(ClockHeart, ATickNestedInAHandlerGoesOnWithTheNextSecond) {
    FakeClock clock(1707004798000LL, 0);
    TClockHeart heart;
    std::vector<int64_t> handled;
    bool nested = false;
    heart.AddSecondHandler([&](TDateTime t) {
        handled.push_back(std::llround(ToUnixSeconds(t)));
        if (!nested) {
            // A task's countdown runs a message loop in which the timer ticks again.
            nested = true;
            clock.Advance(1000);
            heart.Tick(clock);
        }
    });
    heart.Tick(clock);
    EXPECT_EQ(handled, (std::vector<int64_t>{1707004798, 1707004799}));
}

TEST(DockedViews, OpenBelowTheBarOrAboveALowOne) {
    // Bar 34 high, view 390 high, on a 1024-pixel screen.
    const struct {
        int barTop, viewTop;
    } cases[] = {
        {0, 34},                // at the top: below
        {512, 546},             // the middle is not low yet
        {513, 123},             // just below the middle: above, its bottom at the bar's top
        {700, 310}, {-20, 14},  // partly off the top
    };
    for (const auto& c : cases)
        EXPECT_EQ(DockedViewTop(c.barTop, 34, 390, 1024), c.viewTop) << c.barTop;

    // A 1024-high monitor above the primary one, from −1024 to 0: its own
    // middle (−512) decides.
    EXPECT_EQ(DockedViewTop(-512, 34, 390, 1024, -1024), -512 + 34);
    EXPECT_EQ(DockedViewTop(-300, 34, 390, 1024, -1024), -300 - 390);
    EXPECT_EQ(DockedViewTop(700, 34, 390, 1024, -1024), 700 - 390);  // off it, below
}
