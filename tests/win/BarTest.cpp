#include "AppFixture.h"
#include "win/DataDir_win.h"
#include "win/LocaleFormats_win.h"
#include "app/ClockApp_win.h"
#include "calendar/UnitEditMark_win.h"
#include "WinTestUtil.h"
#include "core/ClockSource.h"
#include "core/Encoding.h"
#include "core/FileSys.h"
#include "core/IniFile.h"
#include "reminders/PopupProtocol.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cmath>
#include <filesystem>
#include <functional>

using namespace tempora;
using tempora::test::WaitFor;
namespace fs = std::filesystem;

namespace {

// Sound lists the chime composer hands out, instead of playing them.
class RecordingPlayer : public ISoundListPlayer {
public:
    std::vector<std::string> played;
    void Play(const std::string& list) override { played.push_back(list); }
};

// A data folder of its own for each test.
class BarTest : public test::AppFixture {
protected:
    BarTest() : test::AppFixture("tempora-bar-") {}
    std::string Ini() const { return Data() + "skin.ini"; }

    // The program as Main starts it, on this test's data folder, not yet
    // shown; the popup program lies beside the tests when `programDir` says so.
    TClockApp& StartBar(std::string programDir = {}) {
        AppOptions o = Options();
        if (!programDir.empty())
            o.programDir = programDir;
        o.makePlayer = [this] {
            auto p = std::make_unique<RecordingPlayer>();
            player_ = p.get();
            return p;
        };
        return StartApp(o, false);
    }
    RECT BarRect() const {
        RECT r;
        GetWindowRect(App().Bar().Handle(), &r);
        return r;
    }
    BYTE BarAlphaOnScreen() const {
        BYTE alpha = 0;
        DWORD flags = 0;
        COLORREF key = 0;
        GetLayeredWindowAttributes(App().Bar().Handle(), &key, &alpha, &flags);
        return alpha;
    }

    const fs::path& dir_ = Folder().Path();
    RecordingPlayer* player_ = nullptr;
};

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&msg);
}

}  // namespace

TEST_F(BarTest, StartsWithTheDefaultsWithoutASettingsFile) {
    TClockApp& bar = StartBar();
    const int screen = GetSystemMetrics(SM_CXSCREEN);
    EXPECT_EQ(BarRect().left, screen - 332);
    EXPECT_EQ(BarRect().top, 0);
    EXPECT_EQ(BarRect().right - BarRect().left, 332);
    EXPECT_EQ(BarRect().bottom - BarRect().top, 34);
    EXPECT_EQ(BarAlphaOnScreen(), 200);
    EXPECT_EQ(bar.Settings().defaultView, TStartView::Clock);
    EXPECT_EQ(bar.HotKey().Id(), 0);
    EXPECT_EQ(bar.Settings().markMode, 1);
    // No task-bar button: a tool window; see-through magenta.
    EXPECT_TRUE(GetWindowLongW(bar.Bar().Handle(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_EQ(bar.Bar().Face().LED.Text().size(), 8u);
    EXPECT_EQ(WideToUtf8(bar.Hint()).rfind("公历: ", 0), 0u);
}

TEST_F(BarTest, ClampsPositionViewAndAlpha) {
    WriteIni("[BAR]\r\nLeft=5000\r\nTop=-3\r\nDefWin=7\r\nTr=20\r\n");
    TClockApp& bar = StartBar();
    EXPECT_EQ(BarRect().left, GetSystemMetrics(SM_CXSCREEN) - 332);
    EXPECT_EQ(BarRect().top, 0);
    EXPECT_EQ(bar.Settings().defaultView, TStartView::Clock);
    // A hand-edited alpha below what the options dialog offers must not
    // leave the bar all but invisible.
    EXPECT_EQ(BarAlphaOnScreen(), 200);
}

TEST_F(BarTest, DamagedOrMissingSettingsGiveDefaults) {
    // Garbage, a huge file of noise, and a folder where the file should be.
    const std::string noise(300000, '\xFF');
    for (const std::string& text :
         {std::string("[BAR\r\nLeft==\r\nTop=\xB1\xCA\r\n[LED]FontSize=9999999999"), noise}) {
        WriteIni(text);
        TClockApp& bar = StartBar();
        EXPECT_EQ(BarRect().left, GetSystemMetrics(SM_CXSCREEN) - 332);
        EXPECT_EQ(bar.Settings().font.size, 18);
        StopApp();
    }
    fs::remove(Ini());
    fs::create_directory(Ini());
    TClockApp& bar = StartBar();
    EXPECT_EQ(BarAlphaOnScreen(), 200);
    // Saving the moved position fails quietly.
    SetWindowPos(bar.Bar().Handle(), nullptr, 10, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    bar.Bar().TimerSavePosTimer();
    EXPECT_TRUE(fs::is_directory(Ini()));
}

TEST_F(BarTest, HotKeyTextsGiveMaskAndKeyAndThePressSpeaksTheTime) {
    TClockApp& app = StartBar();
    TClockHotKey& hotKey = app.HotKey();
    struct {
        const char *mods, *key;
        int mask, vk;
    } cases[] = {{"Ctrl + Shift", "T", 6, 0x54},       {"ctrl + shift", "T", 6, 0x54},
                 {"Alt + Ctrl + Shift", "Q", 7, 0x51}, {"Ctrl+Shift", "T", 0, 0},
                 {"Ctrl + Shift", "", 0, 0},           {"Ctrl + Shift", "1", 0, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.mods) + " / " + c.key);
        const bool ok = hotKey.Register(c.mods, c.key);
        EXPECT_EQ(ok, c.mask != 0);
        EXPECT_EQ(hotKey.Id() > 0, c.mask != 0);
        if (ok) {
            EXPECT_EQ(hotKey.Modifiers(), c.mask);
            EXPECT_EQ(hotKey.Key(), c.vk);
        }
    }
    ASSERT_TRUE(hotKey.Register("Ctrl + Shift", "T"));
    // Matched by key and modifiers, whatever the id says; each press speaks
    // the time once.
    const HWND bar = app.Bar().Handle();
    ASSERT_NE(player_, nullptr);
    player_->played.clear();
    SendMessageW(bar, WM_HOTKEY, 12345, MAKELPARAM(6, 0x54));
    SendMessageW(bar, WM_HOTKEY, hotKey.Id(), MAKELPARAM(2, 0x54));
    SendMessageW(bar, WM_HOTKEY, hotKey.Id(), MAKELPARAM(6, 0x55));
    ASSERT_EQ(player_->played.size(), 1u);
    EXPECT_NE(player_->played[0].find("Sound\\"), std::string::npos);
    hotKey.Unregister();
    EXPECT_EQ(hotKey.Id(), 0);
    SendMessageW(bar, WM_HOTKEY, 0, MAKELPARAM(6, 0x54));
    EXPECT_EQ(player_->played.size(), 1u);
}

TEST_F(BarTest, HotKeyFromSettingsAndAHandEditedKey) {
    WriteIni("[CLOCK]\r\nHotKey=1\r\nHotKey1=Alt + Shift\r\nHotKey2=#\r\n");
    EXPECT_EQ(StartBar().HotKey().Id(), 0);
    StopApp();
    WriteIni("[CLOCK]\r\nHotKey=1\r\nHotKey1=Alt + Shift\r\nHotKey2=k\r\n");
    TClockApp& bar = StartBar();
    EXPECT_GT(bar.HotKey().Id(), 0);
    EXPECT_EQ(bar.HotKey().Key(), 'K');
}

TEST_F(BarTest, PositionSaverWritesAfterAMoveAndRetriesARefusedWrite) {
    WriteIni("[BAR]\r\nLeft=100\r\nTop=50\r\n[OTHER]\r\nKeep=me\r\n");
    TFrmLED& bar = StartBar().Bar();
    bar.TimerSavePosTimer();  // not moved: nothing written
    EXPECT_EQ(TIniFile(Ini()).ReadInteger("BAR", "Left", 0), 100);
    SetWindowPos(bar.Handle(), nullptr, 321, 77, 0, 0, SWP_NOSIZE | SWP_NOZORDER);

    // Another program holds the file open without sharing: the write is refused.
    HANDLE lock = CreateFileW(Utf8ToWide(Ini()).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    bar.TimerSavePosTimer();  // dropped silently
    CloseHandle(lock);
    EXPECT_EQ(TIniFile(Ini()).ReadInteger("BAR", "Left", 0), 100);
    bar.TimerSavePosTimer();  // the next tick tries again
    const TIniFile ini(Ini());
    EXPECT_EQ(ini.ReadInteger("BAR", "Left", 0), 321);
    EXPECT_EQ(ini.ReadInteger("BAR", "Top", 0), 77);
    EXPECT_EQ(ini.ReadString("OTHER", "Keep", ""), "me");
}

TEST_F(BarTest, CloseSavesStateAndQuits) {
    TFrmLED& bar = StartBar().Bar();
    SetWindowPos(bar.Handle(), nullptr, 200, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    bar.SetAlpha(180);
    ASSERT_TRUE(WriteFileAtomic(Data() + "SkinDone.tmp", "x"));
    SendMessageW(bar.Handle(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(bar.Handle()));
    const TIniFile ini(Ini());
    EXPECT_EQ(ini.ReadInteger("BAR", "Left", 0), 200);
    EXPECT_EQ(ini.ReadInteger("BAR", "Top", 0), 30);
    EXPECT_EQ(ini.ReadInteger("BAR", "Tr", 0), 180);
    EXPECT_EQ(ini.ReadInteger("CHILD", "Index", -1), 0);
    EXPECT_FALSE(FileExists(Data() + "SkinDone.tmp"));
    MSG msg;
    EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(BarTest, TrayHidesAndRestoresAndAnimatesOnThePopupsWord) {
    TClockApp& app = StartBar();
    const HWND bar = app.Bar().Handle();
    app.Show();
    ASSERT_TRUE(IsWindowVisible(bar));
    app.HideToTray();
    EXPECT_FALSE(IsWindowVisible(bar));
    // A later start of the program sends this to the first instance.
    SendMessageW(bar, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_TRUE(IsWindowVisible(bar));

    EXPECT_EQ(app.Tray().Hint(), app.Hint());
    SendMessageW(bar, kPopupAnimOn, 0, 0);
    EXPECT_TRUE(app.Tray().Animating());
    SendMessageW(bar, kPopupAnimOff, 0, 0);
    EXPECT_FALSE(app.Tray().Animating());
    EXPECT_EQ(app.Tray().Frame(), 0);
    // Out of sequence: off again, and a handshake naming no window.
    SendMessageW(bar, kPopupAnimOff, 0, 0);
    SendMessageW(bar, kPopupHandshake, 0, 0x12345678);
    EXPECT_EQ(app.Popup().PopupHandle(), nullptr);
    Pump();
}

TEST_F(BarTest, MenusTickTheShownViewAndGreyWhatIsNotThereYet) {
    TClockApp& bar = StartBar();
    bar.PrepareMenu(bar.MainMenu());
    EXPECT_EQ(GetMenuState(bar.MainMenu(), PM_Smp, MF_BYCOMMAND) & MF_CHECKED,
              static_cast<UINT>(MF_CHECKED));
    EXPECT_EQ(GetMenuState(bar.MainMenu(), PM_Clock, MF_BYCOMMAND) & MF_CHECKED, 0u);
    EXPECT_EQ(GetMenuItemCount(bar.MainMenu()), 14);
    EXPECT_EQ(GetMenuItemCount(bar.TrayMenu()), 12);
    for (HMENU m : {bar.MainMenu(), bar.TrayMenu()}) {
        EXPECT_EQ(GetMenuState(m, PM_Exit, MF_BYCOMMAND) & MF_GRAYED, 0u);
        EXPECT_EQ(GetMenuState(m, PM_Help, MF_BYCOMMAND) & MF_GRAYED, 0u);
        EXPECT_EQ(GetMenuState(m, PM_About, MF_BYCOMMAND) & MF_GRAYED, 0u);
        EXPECT_EQ(GetMenuState(m, PM_HomePage, MF_BYCOMMAND) & MF_GRAYED, 0u);
    }
}

TEST_F(BarTest, MessageChimeReachesThePopupProgramOnTheHour) {
    WriteIni("[CLOCK]\r\nAlarm=1\r\nAlarmType=3\r\n");
    // 07:59:58 in China: the tick at 08:00:00 chimes once, the others not.
    FakeClock clock(1707004798000LL, 480);
    ClockSource::Install(&clock);
    TClockApp& app = StartBar(ProgramDir());  // PopupMsg.exe lies beside the tests
    for (int i = 0; i < 4; ++i) {
        clock.Advance(1000);
        app.Bar().TickNow();
    }
    const HWND popup = app.Popup().PopupHandle();
    ASSERT_TRUE(IsWindow(popup));
    // The popup shows the one chime text; a message chime plays nothing.
    wchar_t shown[64] = {};
    GetWindowTextW(popup, shown, 64);
    EXPECT_EQ(WideToUtf8(shown), "时钟报时：" + FormatLongTime(EncodeTime(8, 0, 0)));
    EXPECT_TRUE(player_->played.empty());
    DWORD pid = 0;
    GetWindowThreadProcessId(popup, &pid);
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    StopApp();  // the bar's end tells the popup to go too
    ClockSource::Install(nullptr);
    if (process) {
        EXPECT_EQ(WaitForSingleObject(process, 10000), WAIT_OBJECT_0);
        CloseHandle(process);
    }
}

TEST_F(BarTest, DateLineFollowsTheDateAcrossMidnight) {
    // 2024-02-09 23:59:58 in China.
    FakeClock clock(1707494398000LL, 480);
    ClockSource::Install(&clock);
    TClockApp& bar = StartBar();
    const TFadeText& line = bar.Bar().Face().FadeTextDate;
    ASSERT_FALSE(line.Lines().empty());
    EXPECT_EQ(line.Lines()[0], "<FontCN>2024年02月09日 星期五");
    EXPECT_TRUE(line.Active());
    EXPECT_EQ(line.LineIndex(), 0);
    for (int i = 0; i < 3; ++i) {
        clock.Advance(1000);
        bar.Bar().TickNow();
    }
    EXPECT_EQ(line.Lines()[0], "<FontCN>2024年02月10日 星期六");
    EXPECT_EQ(bar.Bar().Face().LED.Text(), "00:00:01");
    EXPECT_EQ(WideToUtf8(bar.Hint())
                  .rfind("公历: 2024年02月10日 星期六\r\n农历: 二零二四年正月初一\r\n"
                         "干支: 甲辰(龙)年丙寅月",
                         0),
              0u);
    EXPECT_NE(WideToUtf8(bar.Hint()).find("\r\n节日: 春节"), std::string::npos);
    // The date set back by a day: the texts follow at the next tick.
    clock.Advance(-86400000LL);
    bar.Bar().TickNow();
    EXPECT_EQ(line.Lines()[0], "<FontCN>2024年02月09日 星期五");
    EXPECT_EQ(
        WideToUtf8(bar.Hint()).rfind("公历: 2024年02月09日 星期五\r\n农历: 二零二三年腊月三十", 0),
        0u);
    ClockSource::Install(nullptr);
}

TEST_F(BarTest, TakesItsLookFromTheSkinAndKeepsItWhenAPackageIsDamaged) {
    fs::create_directories(dir_ / "Skin");
    fs::copy_file(fs::path(TEMPORA_SOURCE_DIR) / "data/Skin/RedLacquer.sk", dir_ / "Skin/Red.sk");
    ASSERT_TRUE(WriteFileAtomic(Data() + "Skin\\Broken.sk", "SkinVer=1.0 but nothing else"));

    WriteIni("[SKIN]\r\nSkinFile=Broken.sk\r\n");
    const TBarFace& builtIn = StartBar().Bar().Face();
    const uint32_t builtInLight = builtIn.LED.LightColor();
    EXPECT_EQ(builtIn.Picture().Width(), 332);
    EXPECT_FALSE(FileExists(Data() + "SkinDone.tmp"));
    StopApp();

    WriteIni("[SKIN]\r\nSkinFile=Red.sk\r\n");
    TFrmLED& red = StartBar().Bar();
    EXPECT_NE(red.Face().LED.LightColor(), builtInLight);
    EXPECT_NE(red.Face().LED.LightColor(), 0xFF00FFu);
    RECT r;
    GetWindowRect(red.Handle(), &r);
    EXPECT_EQ(r.right - r.left, 332);
    EXPECT_EQ(r.bottom - r.top, 34);
    // The skin's corners are see-through.
    UpdateWindow(red.Handle());
    EXPECT_EQ(red.Face().Picture().GetPixel(0, 0), 0xFF00FFu);
    EXPECT_FALSE(FileExists(Data() + "SkinDone.tmp"));
}

TEST_F(BarTest, LoadsItsTasksAndRunsTheDueOneOnItsSecond) {
    // A message task at 08:00:00; the popup program lies beside the tests.
    ASSERT_TRUE(WriteFileAtomic(Data() + "War.lst",
                                Utf8ToGbk("*008时00分00秒\r\n3消息 (开会了)\r\n*1\r\n")));
    FakeClock clock(1707004798000LL, 480);  // 07:59:58 in China
    ClockSource::Install(&clock);
    TClockApp& app = StartBar(ProgramDir());
    EXPECT_EQ(app.Tasks().Tasks().size(), 2u);
    EXPECT_EQ(app.Popup().PopupHandle(), nullptr);
    for (int i = 0; i < 3; ++i) {
        clock.Advance(1000);
        app.Bar().TickNow();
    }
    // The task's message started the popup program and went to it.
    const HWND popup = app.Popup().PopupHandle();
    ASSERT_TRUE(IsWindow(popup));
    wchar_t shown[64] = {};
    GetWindowTextW(popup, shown, 64);
    EXPECT_EQ(WideToUtf8(shown), "开会了");
    StopApp();
    ClockSource::Install(nullptr);
}

TEST_F(BarTest, FollowsTheUsersTimeFormatWhenTheSettingsChange) {
    TClockApp& app = StartBar();
    const TDateTime t = EncodeTime(15, 4, 5);
    const std::string users = FormatLongTime(t);
    // Another locale's format stands in for one the user just changed.
    for (const wchar_t* other : {L"de-DE", L"en-US"}) {
        ApplyLocaleFormats(other);
        if (FormatLongTime(t) != users)
            break;
    }
    ASSERT_NE(FormatLongTime(t), users);
    SendMessageW(app.Bar().Handle(), WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"intl"));
    EXPECT_EQ(FormatLongTime(t), users);
}

TEST_F(BarTest, TheBarCastsItsShadowAndTakesItAlongToTheTray) {
    WriteIni("[BAR]\r\nLeft=100\r\nTop=50\r\nTr=128\r\n");
    TClockApp& app = StartBar();
    app.Show();
    const HWND shadow = app.BarShadow().Handle();
    ASSERT_TRUE(IsWindow(shadow));
    ASSERT_TRUE(IsWindowVisible(shadow));
    RECT r;
    GetWindowRect(shadow, &r);
    EXPECT_EQ(r.left, 100 - 16);
    EXPECT_EQ(r.top, 50 - 16);
    EXPECT_EQ(r.right - r.left, 332 + 32);
    EXPECT_EQ(r.bottom - r.top, 34 + 32);
    EXPECT_EQ(app.BarShadow().SourceAlpha(), 128);
    app.HideToTray();
    EXPECT_FALSE(IsWindowVisible(shadow));
    app.RestoreFromTray();
    EXPECT_TRUE(IsWindowVisible(shadow));
    SendMessageW(app.Bar().Handle(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindowVisible(shadow));
    MSG msg;
    PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

namespace {
// Noon in China on a day, as UTC milliseconds.
int64_t NoonInChina(int y, int m, int d) {
    return static_cast<int64_t>(std::llround((EncodeDate(y, m, d) - 25569.0) * 86400000.0)) +
           4 * 3600000LL;
}

// Runs `act` on the first visible window of class `cls` from inside whatever
// modal loop shows it.
struct WhenShown {
    static inline const wchar_t* cls = nullptr;
    static inline std::function<void(HWND)> act;
    UINT_PTR timer;
    WhenShown(const wchar_t* c, std::function<void(HWND)> a) {
        cls = c;
        act = std::move(a);
        timer = SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR, DWORD) {
            const HWND w = FindWindowW(cls, nullptr);
            if (w && IsWindowVisible(w) && act) {
                auto run = std::move(act);
                act = nullptr;
                run(w);
            }
        });
    }
    ~WhenShown() {
        KillTimer(nullptr, timer);
        act = nullptr;
    }
};

}  // namespace

TEST_F(BarTest, CalendarOpensUnderTheBarOrAboveALowOne) {
    WriteIni("[BAR]\r\nLeft=100\r\nTop=50\r\n");
    TClockApp& app = StartBar();
    app.PrepareMenu(app.MainMenu());
    EXPECT_EQ(GetMenuState(app.MainMenu(), PM_Calendar, MF_BYCOMMAND) & MF_GRAYED, 0u);
    EXPECT_EQ(GetMenuState(app.MainMenu(), PM_CalOptions, MF_BYCOMMAND) & MF_GRAYED, 0u);

    TFrmCalendar& calendar = app.Calendar();
    ASSERT_FALSE(calendar.Visible());
    app.ShowView(kViewCalendar);
    ASSERT_TRUE(calendar.Visible());
    EXPECT_EQ(app.CurrentView(), kViewCalendar);
    RECT r;
    GetWindowRect(calendar.Handle(), &r);
    EXPECT_EQ(r.left, 100);
    EXPECT_EQ(r.top, 50 + 34);
    EXPECT_EQ(r.right - r.left, calendar.Width());
    app.PrepareMenu(app.MainMenu());
    EXPECT_NE(GetMenuState(app.MainMenu(), PM_Calendar, MF_BYCOMMAND) & MF_CHECKED, 0u);

    app.ShowView(kViewNone);
    EXPECT_FALSE(calendar.Visible());
    EXPECT_EQ(app.CurrentView(), kViewNone);

    const int low = GetSystemMetrics(SM_CYSCREEN) - 100;
    SetWindowPos(app.Bar().Handle(), nullptr, 100, low, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    app.ShowView(kViewCalendar);
    GetWindowRect(calendar.Handle(), &r);
    EXPECT_EQ(r.bottom, low);
}

TEST_F(BarTest, CalendarClickSelectsADayAndTheLinesFollow) {
    FakeClock clock(NoonInChina(2026, 2, 10));
    ClockSource::Install(&clock);
    TClockApp& app = StartBar();
    app.ShowView(kViewCalendar);
    TFrmCalendar& calendar = app.Calendar();
    TLunarCal& grid = calendar.Grid();
    EXPECT_EQ(grid.Date(), EncodeDate(2026, 2, 10));
    EXPECT_EQ(calendar.Info().yearCaption, "2026年");

    // 17 February 2026: the first day of the Year of the Horse.
    const TCalRect cell =
        grid.CellRect(static_cast<int>(EncodeDate(2026, 2, 17) - grid.FirstCellDate()));
    const LPARAM at = MAKELPARAM(cell.left + cell.width / 2, cell.top + cell.height / 2);
    const HWND ctrl = calendar.GridControl().Handle();
    SendMessageW(ctrl, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(ctrl, WM_LBUTTONUP, 0, at);
    EXPECT_EQ(grid.Date(), EncodeDate(2026, 2, 17));
    EXPECT_EQ(calendar.Info().lunar, "农历： 二零二六年正月初一");
    EXPECT_EQ(calendar.Info().festival.rfind("节日： 春节", 0), 0u);

    // The mode menu's third item shows festivals under the days.
    calendar.RunCommand(TFrmCalendar::PM_JR);
    EXPECT_EQ(calendar.Mode(), cmFestival);
    EXPECT_EQ(grid.LunarCalStyle(), csNone);
    EXPECT_EQ(grid.FtvCalStyle(), csBottom);
    ClockSource::Install(nullptr);
}

TEST_F(BarTest, AMarkSavedInTheEditorShowsAndOutlivesARestart) {
    FakeClock clock(NoonInChina(2026, 2, 10));
    ClockSource::Install(&clock);
    {
        TClockApp& app = StartBar();
        TFrmCalendar& calendar = app.Calendar();
        calendar.Grid().SetDate(EncodeDate(2026, 2, 14));
        // From a grid day the menu offers 标记当日; 取消标记 waits for a mark.
        MenuHandle menu = calendar.BuildMarkMenu(true);
        EXPECT_NE(GetMenuState(menu.Get(), TFrmCalendar::PM_Mark, MF_BYCOMMAND), 0xFFFFFFFFu);
        EXPECT_NE(GetMenuState(menu.Get(), TFrmCalendar::PM_DelMark, MF_BYCOMMAND) & MF_GRAYED, 0u);
        EXPECT_EQ(
            GetMenuState(calendar.BuildMarkMenu(false).Get(), TFrmCalendar::PM_Mark, MF_BYCOMMAND),
            0xFFFFFFFFu);

        WhenShown editor(L"TFrmEditMark", [](HWND w) {
            SetWindowTextW(GetDlgItem(w, TFrmEditMark::NoteEditId), L"买花");
            PostMessageW(w, WM_COMMAND, IDOK, 0);
        });
        calendar.RunCommand(TFrmCalendar::PM_Mark);
        EXPECT_EQ(calendar.Info().marks, "标记： 买花");
        EXPECT_GE(calendar.Grid().FtvList().MarkColorOf(EncodeDate(2026, 2, 14)), 0);
        menu = calendar.BuildMarkMenu(true);
        EXPECT_EQ(GetMenuState(menu.Get(), TFrmCalendar::PM_DelMark, MF_BYCOMMAND) & MF_GRAYED, 0u);
        StopApp();
    }
    TClockApp& again = StartBar();
    EXPECT_EQ(again.Calendar().Marks().MarkNoteOf(0, "0214"), "买花");
    EXPECT_GE(again.Calendar().Grid().FtvList().MarkColorOf(EncodeDate(2027, 2, 14)), 0);
    ClockSource::Install(nullptr);
}

TEST_F(BarTest, TodaysMarkReachesThePopupAtStartAndAgainEveryStep) {
    FakeClock clock(NoonInChina(2026, 2, 10));
    ClockSource::Install(&clock);
    WriteIni("[MSG]\r\nCalendarLX=2\r\nCalendarStep=5\r\n");
    ASSERT_TRUE(
        WriteFileAtomic(Data() + "Marks.rec", "00210=\xbd\xbb\xb7\xbf\xd7\xe2\r\n"));  // 交房租
    TClockApp& app = StartBar(ProgramDir());
    const std::string text = "日历标记：\r\n2026年02月10日 星期二\r\n\r\n交房租";
    ASSERT_TRUE(WaitFor(
        [&] {
            Pump();
            return IsWindow(app.Popup().PopupHandle());
        },
        5000));
    const HWND popup = app.Popup().PopupHandle();
    wchar_t shown[128] = {};
    GetWindowTextW(popup, shown, 128);
    EXPECT_EQ(WideToUtf8(shown), text);
    // Five minutes on, the step timer repeats it; the popup queues the second one.
    PostMessageW(popup, WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(popup); }, 3000));
    clock.Advance(5 * 60000);
    SendMessageW(app.Bar().Handle(), WM_TIMER, TClockApp::TimerWarStep, 0);
    ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(popup); }, 3000));
    GetWindowTextW(popup, shown, 128);
    EXPECT_EQ(WideToUtf8(shown), text);
    StopApp();
    ClockSource::Install(nullptr);
}

TEST_F(BarTest, AHiddenStartWithoutMarkMessagesShowsTheDayInABalloon) {
    FakeClock clock(NoonInChina(2026, 2, 10));
    ClockSource::Install(&clock);
    for (const bool hidden : {true, false}) {
        WriteIni("[MSG]\r\nCalendarLX=0\r\n[BAR]\r\nOnStartHide=1\r\n");
        AppOptions o = Options();
        o.firstArgument = hidden ? "/hide" : "";
        StartApp(o);
        PumpFor(1500);
        const std::string balloon = WideToUtf8(App().Tray().BalloonText());
        if (hidden) {
            EXPECT_EQ(balloon.rfind(
                          "公历: 2026年02月10日 星期二\r\n农历: 二零二五年腊月廿三 \r\n干支: ", 0),
                      0u);
            SendMessageW(App().Bar().Handle(), WM_TIMER, TClockApp::TimerHintClose, 0);
            EXPECT_EQ(App().Tray().BalloonText(), L"");
        } else {
            EXPECT_EQ(balloon, "");
        }
        StopApp();
    }
    ClockSource::Install(nullptr);
}

// At log-on the shell may not take the icon yet: it is tried again until it
// is there, and a start with /hide waits for it rather than leave the
// program with no way back.
TEST_F(BarTest, TheTrayIconIsTriedAgainAndAHiddenStartWaitsForIt) {
    WriteIni("[MSG]\r\nCalendarLX=0\r\n[BAR]\r\nOnStartHide=1\r\n");
    bool shellReady = false;
    int adds = 0;
    AppOptions o = Options();
    o.firstArgument = "/hide";
    o.trayNotify = [&](DWORD message, NOTIFYICONDATAW*) -> BOOL {
        if (message == NIM_ADD)
            ++adds;
        return shellReady;
    };
    StartApp(o);
    PumpFor(1500);
    const HWND bar = App().Bar().Handle();
    EXPECT_FALSE(App().Tray().Added());
    EXPECT_TRUE(IsWindowVisible(bar));
    App().HideToTray();
    EXPECT_TRUE(IsWindowVisible(bar));

    // The retry while the shell still refuses, then once it takes the icon.
    SendMessageW(bar, WM_TIMER, TTrayIcon::kRetryTimer, 0);
    EXPECT_EQ(adds, 2);
    EXPECT_FALSE(App().Tray().Added());
    shellReady = true;
    SendMessageW(bar, WM_TIMER, TTrayIcon::kRetryTimer, 0);
    EXPECT_TRUE(App().Tray().Added());
    // The hidden start goes on now that the icon can bring the bar back.
    EXPECT_FALSE(IsWindowVisible(bar));
    SendMessageW(bar, TTrayIcon::kCallbackMessage, 1, WM_LBUTTONUP);
    EXPECT_TRUE(IsWindowVisible(bar));

    // A restarted shell is given the icon again.
    const int before = adds;
    SendMessageW(bar, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_EQ(adds, before + 1);
    EXPECT_TRUE(App().Tray().Added());
}

// The tips belong to where the cursor rests on the bar: none stays behind
// when the bar is dragged away, and none shows over the open menu.
TEST_F(BarTest, NoTipOutlivesADragOrShowsOverTheMenu) {
    TClockApp& app = StartBar();
    app.Show();
    const HWND bar = app.Bar().Handle();
    const HWND tip = app.Bar().Tooltip();
    ASSERT_NE(tip, nullptr);
    const auto showTipOver = [&](TBarPart part) {
        const TSkinRect place = app.Bar().Face().Place(part);
        const POINT client{place.left + place.width / 2, place.top + place.height / 2};
        POINT at = client;
        ClientToScreen(bar, &at);
        SetCursorPos(at.x, at.y);
        // The cursor rests there: the tip shows after its delay.
        PostMessageW(bar, WM_MOUSEMOVE, 0, MAKELPARAM(client.x, client.y));
        return WaitFor([&] { return IsWindowVisible(tip) != FALSE; }, 3000);
    };

    ASSERT_TRUE(showTipOver(TBarPart::Panel));
    SendMessageW(bar, WM_ENTERSIZEMOVE, 0, 0);
    EXPECT_FALSE(IsWindowVisible(tip));
    SendMessageW(bar, WM_EXITSIZEMOVE, 0, 0);

    ASSERT_TRUE(showTipOver(TBarPart::MenuButton));
    static HWND s_tip;
    static bool s_tipOverMenu;
    s_tip = tip;
    s_tipOverMenu = true;
    const UINT_PTR timer = SetTimer(nullptr, 0, 300, [](HWND, UINT, UINT_PTR, DWORD) {
        s_tipOverMenu = IsWindowVisible(s_tip) != FALSE;
        EndMenu();
    });
    const TSkinRect button = app.Bar().Face().Place(TBarPart::MenuButton);
    POINT below{button.left, button.top + button.height};
    ClientToScreen(bar, &below);
    app.OnMenuButton(below);
    KillTimer(nullptr, timer);
    EXPECT_FALSE(s_tipOverMenu);
}
