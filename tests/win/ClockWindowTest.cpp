#include "AppFixture.h"
#include "app/ClockApp_win.h"
#include "core/ClockSource.h"
#include "core/DateTime.h"
#include "core/Encoding.h"
#include "core/FileSys.h"
#include "core/IniFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

using namespace tempora;
namespace fs = std::filesystem;

namespace {

// 2026-12-10 10:08:30 in China.
const int64_t kTenOhEight =
    static_cast<int64_t>(ToUnixSeconds(EncodeDateTime(2026, 12, 10, 2, 8, 30))) * 1000;

// A data folder of its own with the shipped clock styles, and a clock that
// stands still until the test moves it.
class ClockWindowTest : public test::AppFixture {
protected:
    ClockWindowTest() : test::AppFixture("tempora-clock-"), clock_(UseClock(kTenOhEight, 480)) {
        fs::create_directories(dir_ / "Clock");
        for (const auto& style :
             fs::directory_iterator(fs::path(TEMPORA_SOURCE_DIR) / "data/Clock"))
            fs::copy_file(style.path(), dir_ / "Clock" / style.path().filename());
    }
    TClockApp& Start() { return StartApp(); }
    static RECT Rect(HWND w) {
        RECT r{};
        GetWindowRect(w, &r);
        return r;
    }

    const fs::path& dir_ = Folder().Path();
    FakeClock& clock_;
};

// Closes the message box that shows while `run` runs and gives its texts.
std::wstring AnswerMessageBox(const std::function<void()>& run) {
    static std::wstring seen;
    seen.clear();
    const UINT_PTR timer = SetTimer(nullptr, 0, 200, [](HWND, UINT, UINT_PTR id, DWORD) {
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND w, LPARAM) -> BOOL {
                wchar_t cls[16] = {};
                GetClassNameW(w, cls, 16);
                if (std::wstring(cls) != L"#32770" || !IsWindowVisible(w))
                    return TRUE;
                wchar_t text[256] = {};
                GetWindowTextW(w, text, 256);
                seen = text;
                EnumChildWindows(
                    w,
                    [](HWND child, LPARAM) -> BOOL {
                        wchar_t t[256] = {};
                        GetWindowTextW(child, t, 256);
                        seen += L"|";
                        seen += t;
                        return TRUE;
                    },
                    0);
                PostMessageW(w, WM_COMMAND, IDOK, 0);
                return FALSE;
            },
            0);
        if (!seen.empty())
            KillTimer(nullptr, id);
    });
    run();
    KillTimer(nullptr, timer);
    return seen;
}

}  // namespace

TEST_F(ClockWindowTest, ClockItemOpensAtTheSavedPlaceAndThePositionSaverKeepsIt) {
    WriteIni("[SKIN]\r\nClockFile=Midnight.cl\r\n[CHILD]\r\nLeft=123\r\nTop=234\r\n");
    TClockApp& app = Start();
    ASSERT_TRUE(app.RunCommand(PM_Clock));
    TFrmClock* view = app.ClockView();
    ASSERT_NE(view, nullptr);
    const HWND w = view->Handle();
    EXPECT_TRUE(IsWindowVisible(w));
    EXPECT_EQ(Rect(w).left, 123);
    EXPECT_EQ(Rect(w).top, 234);
    EXPECT_EQ(Rect(w).right - Rect(w).left, view->Face().Width());
    EXPECT_EQ(app.CurrentView(), 2);
    // The bar's alpha, magenta see-through, a shadow that shows with it.
    BYTE alpha = 0;
    COLORREF key = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(w, &key, &alpha, &flags));
    EXPECT_EQ(alpha, 200);
    EXPECT_EQ(key, RGB(255, 0, 255));
    EXPECT_TRUE(IsWindowVisible(view->Shadow().Handle()));
    // 10:08:30.
    EXPECT_EQ(view->Face().Angles().hour, -300);
    EXPECT_EQ(view->Face().Angles().minute, -48);
    EXPECT_EQ(view->Face().Angles().second, -180);
    app.PrepareMenu(app.MainMenu());
    EXPECT_EQ(GetMenuState(app.MainMenu(), PM_Clock, MF_BYCOMMAND) & MF_CHECKED,
              static_cast<UINT>(MF_CHECKED));

    // Choosing the item again changes nothing.
    app.RunCommand(PM_Clock);
    EXPECT_EQ(app.ClockView(), view);

    // Moved by the user, it is written on the saver's next tick.
    SetWindowPos(w, nullptr, 300, 310, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(app.Bar().Handle(), WM_TIMER, TFrmLED::TimerSavePos, 0);
    const TIniFile ini(Data() + "skin.ini");
    EXPECT_EQ(ini.ReadInteger("CHILD", "Left", 0), 300);
    EXPECT_EQ(ini.ReadInteger("CHILD", "Top", 0), 310);
    EXPECT_EQ(ini.ReadString("SKIN", "ClockFile", ""), "Midnight.cl");
}

TEST_F(ClockWindowTest, WithoutASavedPlaceItOpensBesideTheBar) {
    WriteIni("[SKIN]\r\nClockFile=Classic.cl\r\n[BAR]\r\nLeft=400\r\nTop=20\r\n");
    TClockApp& app = Start();
    app.RunCommand(PM_Clock);
    ASSERT_NE(app.ClockView(), nullptr);
    const RECT bar = Rect(app.Bar().Handle());
    const RECT view = Rect(app.ClockView()->Handle());
    EXPECT_EQ(view.left, bar.left);
    EXPECT_EQ(view.top, bar.bottom);
}

TEST_F(ClockWindowTest, HandsMoveOnTheNextTickOnlyWhileTheViewShows) {
    WriteIni("[SKIN]\r\nClockFile=Classic.cl\r\n");
    TClockApp& app = Start();
    app.RunCommand(PM_Clock);
    TFrmClock* view = app.ClockView();
    ASSERT_NE(view, nullptr);
    const Bitmap before = view->Face().Picture();
    clock_.Advance(1000);
    app.Bar().TickNow();
    EXPECT_EQ(view->Face().Angles().second, -186);
    EXPECT_NE(view->Face().Picture(), before);

    ShowWindow(view->Handle(), SW_HIDE);
    clock_.Advance(1000);
    app.Bar().TickNow();
    EXPECT_EQ(view->Face().Angles().second, -186);
}

// Time sync may set the clock back by up to a minute: the seconds already
// handled are not handled again (no task or chime runs twice), but the
// hands show the present as the digits do.
TEST_F(ClockWindowTest, HandsFollowAClockSetBack) {
    WriteIni("[SKIN]\r\nClockFile=Classic.cl\r\n");
    TClockApp& app = Start();
    app.RunCommand(PM_Clock);
    TFrmClock* view = app.ClockView();
    ASSERT_NE(view, nullptr);
    clock_.Advance(1000);
    app.Bar().TickNow();
    EXPECT_EQ(view->Face().Angles().second, -186);  // 10:08:31
    for (const int64_t back : {-30000, -1000, -60000}) {
        clock_.Advance(back);
        app.Bar().TickNow();
        const int second = static_cast<int>(((clock_.UtcMillis() / 1000) % 60));
        EXPECT_EQ(view->Face().Angles().second, -6 * second) << back;
    }
}

TEST_F(ClockWindowTest, ClosingFadesAndFreesTheWindow) {
    WriteIni("[SKIN]\r\nClockFile=RedLacquer.cl\r\n");
    TClockApp& app = Start();
    app.RunCommand(PM_Clock);
    ASSERT_NE(app.ClockView(), nullptr);
    const HWND w = app.ClockView()->Handle();
    const HWND shadow = app.ClockView()->Shadow().Handle();
    // 关闭窗口 in the clock's menu: from alpha 200 down in steps of 30
    // every 30 ms, then gone; its shadow goes with the object, once the
    // message that closed it has run to its end.
    const ULONGLONG start = GetTickCount64();
    EXPECT_TRUE(app.RunCommand(PM_Hide));
    EXPECT_GE(GetTickCount64() - start, 150u);
    EXPECT_FALSE(IsWindow(w));
    EXPECT_FALSE(IsWindowVisible(shadow));
    // The program's posted messages, not its timers: the start-up view
    // would open the clock again.
    MSG m;
    while (PeekMessageW(&m, nullptr, WM_APP, 0xBFFF, PM_REMOVE))
        DispatchMessageW(&m);
    EXPECT_FALSE(IsWindow(shadow));
    EXPECT_EQ(app.ClockView(), nullptr);
    EXPECT_EQ(app.CurrentView(), 0);

    // A new window the next time; "精简" closes it as well.
    app.RunCommand(PM_Clock);
    ASSERT_NE(app.ClockView(), nullptr);
    const HWND again = app.ClockView()->Handle();
    EXPECT_NE(again, w);
    app.RunCommand(PM_Smp);
    EXPECT_FALSE(IsWindow(again));
    EXPECT_EQ(app.ClockView(), nullptr);
}

TEST_F(ClockWindowTest, MissingStyleFallsBackAndNoStyleOpensNothing) {
    WriteIni("[SKIN]\r\nClockFile=Gone.cl\r\n");
    TClockApp& app = Start();
    app.RunCommand(PM_Clock);
    ASSERT_NE(app.ClockView(), nullptr);
    // The first shipped style by name.
    TClockSkin classic;
    ASSERT_EQ(ReadClockSkin(Data(), Data() + "Clock\\Classic.cl", classic), TSkinResult::Applied);
    TClockFace expected;
    expected.Apply(classic);
    expected.SetHands(ClockSource::Current().NowLocal());
    EXPECT_EQ(app.ClockView()->Face().Picture(), expected.Picture());
    app.RunCommand(PM_Smp);

    // No style reads at all: a message, and no window.
    for (const auto& style : fs::directory_iterator(dir_ / "Clock"))
        ASSERT_TRUE(WriteFileAtomic(style.path().string(), "damaged"));
    const std::wstring box = AnswerMessageBox([&] { app.RunCommand(PM_Clock); });
    EXPECT_NE(box.find(L"提示"), std::wstring::npos);
    EXPECT_NE(box.find(L"时钟样式"), std::wstring::npos);
    EXPECT_EQ(app.ClockView(), nullptr);
    EXPECT_EQ(app.CurrentView(), 0);
}

TEST_F(ClockWindowTest, ANewWindowSkinChangesOnlyTheMenuColours) {
    fs::create_directories(dir_ / "Skin");
    fs::copy_file(fs::path(TEMPORA_SOURCE_DIR) / "data/Skin/RedLacquer.sk", dir_ / "Skin/Red.sk");
    WriteIni("[SKIN]\r\nClockFile=Classic.cl\r\n");
    TClockApp& app = Start();
    app.RunCommand(PM_Clock);
    TFrmClock* view = app.ClockView();
    ASSERT_NE(view, nullptr);
    const Bitmap face = view->Face().Picture();
    TBarSkin red;
    ASSERT_EQ(ReadBarSkin(Data(), Data() + "Skin\\Red.sk", red), TSkinResult::Applied);
    ASSERT_NE(view->MenuColors(), red.menu);

    WriteIni("[SKIN]\r\nClockFile=Midnight.cl\r\nSkinFile=Red.sk\r\n");
    app.ReadSettings(true);
    EXPECT_EQ(view->ReloadStyle(true), TSkinResult::Applied);
    EXPECT_EQ(view->MenuColors(), red.menu);
    EXPECT_EQ(view->Face().Picture(), face);
    // A style chosen in full: the new face.
    EXPECT_EQ(view->ReloadStyle(false), TSkinResult::Applied);
    EXPECT_NE(view->Face().Picture(), face);
}

TEST_F(ClockWindowTest, ClockMenuOffersEveryItem) {
    TClockApp& app = Start();
    const HMENU menu = app.ClockMenu();
    EXPECT_EQ(GetMenuItemCount(menu), 8);
    for (UINT id : {PM_Hide, PM_Calendar, PM_Weather, PM_WorldTime, PM_TaskOptions, PM_OptionsClock,
                    PM_OptionsTime})
        EXPECT_EQ(GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED, 0u) << id;
}
