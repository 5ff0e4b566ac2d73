#include "AppFixture.h"
#include "app/ClockApp_win.h"
#include "WinTestUtil.h"
#include "core/ClockSource.h"
#include "core/DateTime.h"
#include "core/FileSys.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

using namespace tempora;
using tempora::test::WaitFor;
namespace fs = std::filesystem;

namespace {

// Where the magnet finds the cursor: the tests drag by messages alone.
POINT g_cursor{};

// A data folder of its own with the shipped clock styles; the program's
// clock stands still.
class DockedViewsTest : public test::AppFixture {
protected:
    DockedViewsTest() : test::AppFixture("tempora-docked-") {
        UseClock(static_cast<int64_t>(ToUnixSeconds(EncodeDateTime(2026, 12, 10, 2, 8, 30))) * 1000,
                 480);
        fs::create_directories(dir_ / "Clock");
        for (const auto& style :
             fs::directory_iterator(fs::path(TEMPORA_SOURCE_DIR) / "data/Clock"))
            fs::copy_file(style.path(), dir_ / "Clock" / style.path().filename());
    }
    // The program with its bar at `left`, `top`, shown; no view opens by
    // itself unless `defWin` says so.
    TClockApp& Start(int left, int top, int defWin = 0) {
        WriteIni("[SKIN]\r\nClockFile=Classic.cl\r\n[BAR]\r\nLeft=" + std::to_string(left) +
                 "\r\nTop=" + std::to_string(top) + "\r\nDefWin=" + std::to_string(defWin) +
                 "\r\n");
        AppOptions o = Options();
        o.magnetCursor = [] { return g_cursor; };
        return StartApp(o);
    }
    static RECT Rect(HWND w) {
        RECT r{};
        GetWindowRect(w, &r);
        return r;
    }
    // What the system's move loop does when the user drags `w` by (dx, dy),
    // grabbed 10 px inside its corner: the window goes where WM_MOVING says.
    static void Drag(HWND w, int dx, int dy) {
        RECT r = Rect(w);
        g_cursor = {r.left + 10, r.top + 10};
        SendMessageW(w, WM_ENTERSIZEMOVE, 0, 0);
        g_cursor.x += dx;
        g_cursor.y += dy;
        OffsetRect(&r, dx, dy);
        SendMessageW(w, WM_MOVING, 0, reinterpret_cast<LPARAM>(&r));
        SetWindowPos(w, nullptr, r.left, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(w, WM_EXITSIZEMOVE, 0, 0);
    }

    const fs::path& dir_ = Folder().Path();
};

TEST_F(DockedViewsTest, DraggingTheBarCarriesTheAttachedCalendar) {
    TClockApp& app = Start(100, 50);
    const HWND bar = app.Bar().Handle();
    app.ShowView(kViewCalendar);
    const HWND calendar = app.Calendar().Handle();
    const RECT before = Rect(calendar);
    EXPECT_EQ(before.left, 100);
    EXPECT_EQ(before.top, Rect(bar).bottom);
    ASSERT_TRUE(app.Magnet()->Model().IsAttached(reinterpret_cast<TMagWindow>(calendar)));

    Drag(bar, 230, 170);
    EXPECT_EQ(Rect(bar).left, 330);
    EXPECT_EQ(Rect(bar).top, 220);
    RECT after = Rect(calendar);
    EXPECT_EQ(after.left - before.left, 230);
    EXPECT_EQ(after.top - before.top, 170);
    EXPECT_EQ(after.right - after.left, before.right - before.left);

    // Near the screen's left edge the bar snaps flush, and the calendar
    // keeps its place under it.
    Drag(bar, -320, 0);
    EXPECT_EQ(Rect(bar).left, 0);
    EXPECT_EQ(Rect(calendar).left, 0);
    EXPECT_EQ(Rect(calendar).top, Rect(bar).bottom);

    // Dragged away from the bar, the calendar stays behind the next time.
    Drag(calendar, 0, 60);
    after = Rect(calendar);
    Drag(bar, 200, 0);
    EXPECT_EQ(Rect(bar).left, 200);
    EXPECT_EQ(Rect(calendar).left, after.left);
    EXPECT_EQ(Rect(calendar).top, after.top);
}

TEST_F(DockedViewsTest, ALowBarOpensItsViewsAboveItself) {
    const int screen = GetSystemMetrics(SM_CYSCREEN);
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    for (const int top : {screen / 2, screen / 2 + 1, screen - 120}) {
        TClockApp& app = Start(100, top);
        const RECT bar = Rect(app.Bar().Handle());
        const bool low = top > screen / 2;
        app.ShowView(kViewCalendar);
        const RECT calendar = Rect(app.Calendar().Handle());
        const int height = calendar.bottom - calendar.top;
        // Below a bar just above the middle there is no room: the calendar
        // rises as far as it must to stay on the work area.
        EXPECT_EQ(calendar.top,
                  low ? bar.top - height : std::min<int>(bar.bottom, work.bottom - height))
            << top;

        app.ShowView(kViewClock);
        ASSERT_NE(app.ClockView(), nullptr);
        EXPECT_FALSE(app.Calendar().Visible());
        const RECT clock = Rect(app.ClockView()->Handle());
        EXPECT_EQ(low ? clock.bottom : clock.top, low ? bar.top : bar.bottom) << top;
        EXPECT_TRUE(app.Magnet()->Model().IsAttached(
            reinterpret_cast<TMagWindow>(app.ClockView()->Handle())));
        StopApp();
    }
}

TEST_F(DockedViewsTest, ALowBarDraggedUpKeepsItsCalendarOnTheScreen) {
    const int screen = GetSystemMetrics(SM_CYSCREEN);
    TClockApp& app = Start(100, screen - 120);
    const HWND bar = app.Bar().Handle();
    app.ShowView(kViewCalendar);
    const HWND calendar = app.Calendar().Handle();
    ASSERT_EQ(Rect(calendar).bottom, Rect(bar).top);

    // Dragged up to the top, the bar carried the calendar above the screen;
    // it goes under the bar instead, and the menu's tick is what shows.
    Drag(bar, 0, 60 - (screen - 120));
    ASSERT_EQ(Rect(bar).top, 60);
    EXPECT_EQ(Rect(calendar).top, Rect(bar).bottom);
    EXPECT_EQ(Rect(calendar).left, 100);
    EXPECT_TRUE(app.Calendar().Visible());
    app.PrepareMenu(app.MainMenu());
    EXPECT_NE(GetMenuState(app.MainMenu(), PM_Calendar, MF_BYCOMMAND) & MF_CHECKED, 0u);

    // Still docked: down past the middle again, it goes back above the bar.
    Drag(bar, 0, screen - 160 - 60);
    EXPECT_EQ(Rect(bar).top, screen - 160);
    EXPECT_EQ(Rect(calendar).bottom, Rect(bar).top);
}

// A view's window may close from inside its own message (its menu's
// "关闭窗口"): the object outlives that message and goes at the next one.
TEST_F(DockedViewsTest, AViewClosedFromItsOwnCommandOutlivesIt) {
    TClockApp& app = Start(100, 50);
    app.ShowView(kViewWeather);
    TFrmWeather* weather = app.WeatherView();
    ASSERT_NE(weather, nullptr);
    weather->RunCommand(TFrmWeather::PM_Close);
    EXPECT_EQ(app.WeatherView(), nullptr);
    EXPECT_EQ(weather->Handle(), nullptr);  // still the object, without its window
    EXPECT_FALSE(weather->Visible());

    app.ShowView(kViewClock);
    TFrmClock* clock = app.ClockView();
    ASSERT_NE(clock, nullptr);
    clock->CloseView();
    EXPECT_EQ(app.ClockView(), nullptr);
    EXPECT_EQ(clock->Handle(), nullptr);
    EXPECT_EQ(app.CurrentView(), kViewNone);
    MSG m;
    while (PeekMessageW(&m, nullptr, WM_APP, 0xBFFF, PM_REMOVE))
        DispatchMessageW(&m);
    app.ShowView(kViewClock);
    EXPECT_NE(app.ClockView(), nullptr);
}

TEST_F(DockedViewsTest, SwitchingStayOnTopKeepsTheViewsFollowing) {
    TClockApp& app = Start(100, 50);
    const HWND bar = app.Bar().Handle();
    app.ShowView(kViewClock);
    ASSERT_NE(app.ClockView(), nullptr);
    const HWND clock = app.ClockView()->Handle();
    for (const bool on : {true, false, true}) {
        app.ApplyStayOnTop(on);
        EXPECT_EQ((GetWindowLongW(bar, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0, on);
        EXPECT_EQ(app.Magnet()->Model().Count(), 3);  // the bar, the calendar and the clock
        const RECT before = Rect(clock);
        Drag(bar, 40, 30);
        EXPECT_EQ(Rect(clock).left - before.left, 40) << on;
        EXPECT_EQ(Rect(clock).top - before.top, 30) << on;
    }
    // The calendar, hidden all along, is registered again too and follows
    // once it shows.
    app.ShowView(kViewCalendar);
    const HWND calendar = app.Calendar().Handle();
    const RECT before = Rect(calendar);
    Drag(bar, -40, 20);
    EXPECT_EQ(Rect(calendar).left - before.left, -40);
    EXPECT_EQ(Rect(calendar).top - before.top, 20);
}

TEST_F(DockedViewsTest, ADestroyedViewLeavesTheMagnet) {
    TClockApp& app = Start(100, 50);
    const HWND bar = app.Bar().Handle();
    app.ShowView(kViewClock);
    ASSERT_NE(app.ClockView(), nullptr);
    const HWND clock = app.ClockView()->Handle();
    const auto& model = app.Magnet()->Model();
    ASSERT_TRUE(model.IsRegistered(reinterpret_cast<TMagWindow>(clock)));
    const int registered = model.Count();

    // Closing the clock view frees its window.
    app.ShowView(kViewNone);
    ASSERT_FALSE(IsWindow(clock));
    EXPECT_FALSE(model.IsRegistered(reinterpret_cast<TMagWindow>(clock)));
    EXPECT_EQ(model.Count(), registered - 1);
    Drag(bar, 50, 50);
    EXPECT_EQ(Rect(bar).left, 150);
    EXPECT_FALSE(app.Calendar().Visible());

    // Opened again, the new window is docked like the first.
    app.ShowView(kViewClock);
    ASSERT_NE(app.ClockView(), nullptr);
    const HWND again = app.ClockView()->Handle();
    const RECT before = Rect(again);
    Drag(bar, 30, 0);
    EXPECT_EQ(Rect(again).left - before.left, 30);
}

TEST_F(DockedViewsTest, DefWinOpensItsViewAfterStartUp) {
    const struct {
        int defWin, view;
    } cases[] = {{0, kViewNone}, {1, kViewClock}, {2, kViewCalendar}};
    for (const auto& c : cases) {
        TClockApp& app = Start(100, 50, c.defWin);
        EXPECT_EQ(app.CurrentView(), kViewNone) << "before the first show has settled";
        WaitFor([&] { return app.CurrentView() == c.view && c.view != kViewNone; }, 1500);
        EXPECT_EQ(app.CurrentView(), c.view) << c.defWin;
        if (c.view == kViewClock) {
            const RECT clock = Rect(app.ClockView()->Handle());
            EXPECT_EQ(clock.left, 100);
            EXPECT_EQ(clock.top, Rect(app.Bar().Handle()).bottom);
        }
        StopApp();
    }
}

}  // namespace
