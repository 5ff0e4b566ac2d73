// The program: owns the long-lived parts (settings, the bar, the clock's
// heart, the popup link, chime, timed tasks, tray icon, hotkey, menus) and
// wires them. A feature joins by adding its per-second handler to the heart
// and its rows to the command table.
#pragma once

#include "app/AutoStart_win.h"
#include "app/ClockHotKey_win.h"
#include "app/ClockTick.h"
#include "app/Magnetic_win.h"
#include "app/OptionsHost_win.h"
#include "display/Commands_win.h"
#include "display/MenuController_win.h"
#include "app/Settings.h"
#include "app/TrayIcon_win.h"
#include "app/UnitLED_win.h"
#include "app/UnitOptions.h"
#include "app/Views.h"
#include "calendar/UnitCalendar_win.h"
#include "display/UnitClock_win.h"
#include "display/ufrmShadowFrame_win.h"
#include "reminders/BackSound.h"
#include "reminders/ClockAlarm.h"
#include "reminders/PopupLink_win.h"
#include "reminders/TaskActions_win.h"
#include "reminders/TaskList.h"
#include "timesvc/SyncTime_win.h"
#include "timesvc/UnitWorldTime_win.h"
#include "web/UnitWeather_win.h"
#include "web/AdFile.h"
#include "web/UpgraderThread_win.h"
#include "win/Handles_win.h"

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tempora {

struct AppOptions {
    std::string programDir;      // where PopupMsg.exe and the help file lie, ending in "\"
    std::string dataDir;         // where skin.ini and the other data files lie, ending in "\"
    std::string firstArgument;   // the command line's first argument ("/hide")
    std::string traceTicksFile;  // "/trace-ticks FILE": one line per tick, for diagnosis
    // What tests put in place of the sound device, the power-off call and the
    // countdown's one-second step.
    std::function<std::unique_ptr<ISoundListPlayer>()> makePlayer;
    ExitWindowsFn exitWindows = ::ExitWindowsEx;
    UINT countdownTickMs = TFrmShutDown::kTickMs;
    // How network time is fetched and the clock set (tests set no real clock).
    TSyncOptions timeSync;
    // How the weather view loads its page.
    TWeatherOptions weather;
    // The web features' downloads, and what hands a web address to the shell
    // (empty: ShellExecuteEx).
    TWebFetchOptions webFetch;
    std::function<bool(const std::string& address)> openDocument;
    // Where the window magnet reads the cursor during a drag; empty: the
    // real cursor (tests drive drags by messages).
    std::function<POINT()> magnetCursor;
    // Where "Windows启动时运行" keeps its entry.
    TAutoStartPlace autoStart;
};

// Menu command ids.
enum : UINT {
    PM_Smp = 100,
    PM_Clock,
    PM_Calendar,
    PM_Weather,
    PM_TaskOptions,
    PM_CalOptions,
    PM_WorldTime,
    PM_OptionsNor,
    PM_OptionsBS,
    PM_OptionsSkin,
    PM_OptionsClock,
    PM_OptionsMsg,
    PM_OptionsTime,
    PM_HomePage,
    PM_Help,
    PM_About,
    PM_Exit,
    PM_Open,
    PM_Hide1,
    PM_Hide,  // the clock view's "关闭窗口"
};

// The look of the bar when no skin package applies: a dark glass strip with
// rounded ends, drawn with GDI.
TBarSkin BuiltInBarSkin();

class TClockApp final : public TBarOwner, public TOptionsHost {
public:
    explicit TClockApp(AppOptions options);
    ~TClockApp() override;
    TClockApp(const TClockApp&) = delete;
    TClockApp& operator=(const TClockApp&) = delete;

    // Creates the bar hidden; nothing else runs yet, so that a second
    // instance can leave without side effects.
    bool CreateHidden();
    // Everything else, up to the first tick; the bar is still hidden.
    void Initialise();
    void Show() { bar_->Show(); }

    // Reads skin.ini: the skin (only that when `skinsOnly`), then every other
    // setting, applied to the parts that use it.
    void ReadSettings(bool skinsOnly);
    // What the program keeps at exit: the view, the position and the alpha.
    // Throws EIniWriteError when skin.ini cannot be written.
    void SaveBarState();
    void HideToTray();
    void RestoreFromTray();
    // Starts, retunes or ends the time-sync thread as TIME/AutoChcek and
    // StepHour of the settings read last say.
    void UpdateTimeSync();
    bool TimeSyncRunning() const { return syncTime_ != nullptr; }
    // How the day's mark is reminded: 0 never, 1 at start-up, 2 also every
    // `stepMinutes` minutes from now on; the options dialog sets it.
    void SetMarkReminders(int mode, int stepMinutes);
    // The docked view that shows (kViewNone: only the bar).
    int CurrentView() const;
    // Hides every view, then opens the one of `code` beside the bar.
    void ShowView(int code);
    void HideAllViews();
    // Opens the clock view where the user left it, or beside the bar; when
    // no clock style reads, says so instead.
    void ShowClockView(int alpha);
    // Sets the bar's stay-on-top style and registers the bar and every
    // existing view with the magnet anew, so that dragging the bar still
    // carries its views.
    void ApplyStayOnTop(bool on) override;
    // The window magnet the bar and its views are registered with.
    const TMagnetic* Magnet() const { return magnet_.get(); }
    // The clock view's window while it exists.
    TFrmClock* ClockView() { return clock_.get(); }
    // The weather view's window while it exists.
    TFrmWeather* WeatherView() { return weather_.get(); }
    HMENU ClockMenu() const { return clockMenu_.Get(); }

    TFrmLED& Bar() { return *bar_; }
    // The calendar view, created hidden at start-up; the day's calendar
    // texts come from it.
    TFrmCalendar& Calendar() { return *calendar_; }
    const TFormShadow& BarShadow() const { return barShadow_; }
    TClockHeart& Heart() { return heart_; }
    TPopupLink& Popup() { return *popup_; }
    TTaskList& Tasks() { return *tasks_; }
    TTrayIcon& Tray() { return *tray_; }
    // The open world-time dialog; null when it was never opened.
    TFrmWorldTime* WorldTime() { return worldTime_.get(); }
    TClockHotKey& HotKey() { return *hotKey_; }
    const BarSettings& Settings() const { return settings_; }
    // The day's calendar as the tray and the time panel show it.
    const std::wstring& Hint() const { return hint_; }
    HMENU MainMenu() const { return mainMenu_.Get(); }
    HMENU TrayMenu() const { return trayMenu_.Get(); }
    // Ticks the items of an opening menu.
    void PrepareMenu(HMENU menu);
    // What choosing a menu item does; false when the item has no command.
    bool RunCommand(UINT id) { return commands_.Run(id); }

    const AppOptions& Options() const { return options_; }

    // TOptionsHost: what the options dialog reads and changes.
    HWND OptionsOwner() const override { return bar_->Handle(); }
    const std::string& DataDir() const override { return options_.dataDir; }
    const TSyncOptions& TimeSyncOptions() const override { return options_.timeSync; }
    const TAutoStartPlace& AutoStartPlace() const override { return options_.autoStart; }
    int BarAlpha() const override { return bar_->Alpha(); }
    // The bar's alpha, and that of every view that shows, at once.
    void SetBarAlpha(int alpha) override;
    bool LedDigits() const override { return bar_->Face().DigitsVisible(); }
    // The time as LED digits, or as text in the plain-text font.
    void SetLedDigits(bool on) override;
    TTimeFont TimeFont() const override;
    void SetTimeFont(const TTimeFont& font) override;
    // The skin SKIN/SkinFile names, on the bar and on every view that exists
    // (the clock view takes only its menu colours from it).
    void ApplySkinToViews() override;
    // The clock style SKIN/ClockFile names, on the clock view if it exists.
    void ApplyClockStyle() override;
    // The settings the options dialog wrote, for the parts that use them:
    // mark reminders, chimes, time sync, the hotkey (registered anew only
    // when its texts changed); the popup program is told last.
    void ApplyOptions(const TOptionsValues& v) override;

    // The ads of Sup\Ad.his, read again into the date line.
    void LoadAdLines();
    const std::vector<TADRec>& Ads() const { return ads_; }
    // Starts the download of a due ad file and the version check on the
    // configured host, once per run; without a usable WEB/Host nothing.
    void CheckAdDownload();
    // True while that download runs.
    bool AdDownloadRunning() const { return adThread_ && !adThread_->Done(); }
    // Hands a web address to the shell; any other target is not opened.
    bool OpenDocument(const std::string& target);
    // Writes the time of now to Upgrade.his.
    void RecordUpgradeCheck();
    // What code inside the program puts in wParam of kUpgradeTextMessage:
    // the message is honoured only with it, since its lParam is a pointer.
    WPARAM UpgradeMessageKey() const { return upgradeKey_; }

    // The bar's timers beyond the clock's own.
    enum : UINT_PTR {
        TimerMsg = 0x4D01,  // once, a second after start-up: the mark message or the balloon
        TimerWarStep,       // the repeated mark message
        TimerHintClose,     // closes the balloon
        TimerAD,            // once, five minutes after start-up: the ad download
    };
    static constexpr UINT kStartMessageMs = 1000;
    static constexpr UINT kBalloonMs = 10000;
    static constexpr UINT kAdDelayMs = 300000;

    // TBarOwner
    int64_t OnClockTimer() override;
    void OnMenuButton(POINT screenAt) override;
    void OnMinimiseButton() override { HideToTray(); }
    void OnDateLineClick(int lineIndex) override;
    void OnStartupView() override;
    void OnStartupSettled() override;
    bool OnProgramMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
    void OnClosing() override;
    void OnDestroyed() override;

private:
    void AddCommands();
    void BuildMenus();
    void ShowMenu(HMENU menu, POINT at, bool fromTray);
    void ShowHelp();
    void ShowWorldTime();
    void ApplyBarSkin(const std::string& skinFile);
    void ApplyTimeFont();
    void ShowDay(TDateTime t);
    void ChimeSecond(TDateTime t);
    void SaveBarStateQuietly();
    void EnsureCalendarView();
    void MarkTimerTick();
    void ShowMarkReminder(TDateTime t);
    void ShowDateBalloon();
    void ShowCalendarView(int alpha);
    // Where a view of that height opens: lined up with the bar, below it or
    // above a low bar.
    POINT DockedViewPlace(int viewHeight) const;
    void EnsureClockView();
    // The clock view opened beside the bar; false (closed) when no style reads.
    bool OpenClockView(int alpha);
    void SaveClockPosition();
    void EnsureWeatherView();
    void ShowWeatherView(int alpha);
    // The web server's host and the home page of skin.ini's WEB section;
    // empty when missing or unusable.
    std::string WebHost() const;
    std::string HomePage() const;
    void ShowHomePage();
    // An upgrade checker's text: more than two lines raise the notice.
    void OnUpgradeText(const std::string& text);
    void RaiseUpgradeNotice();
    bool OnCopyData(const COPYDATASTRUCT& data);

    AppOptions options_;
    BarSettings settings_;
    TClockHeart heart_;
    TCommandTable commands_;
    // The window goes last: the parts below still talk to it as they go.
    std::unique_ptr<TFrmLED> bar_;
    TFormShadow barShadow_;
    std::unique_ptr<TMagnetic> magnet_;
    std::unique_ptr<TFrmCalendar> calendar_;
    std::unique_ptr<TPopupLink> popup_;
    std::unique_ptr<TClockAlarm> alarm_;
    // Declared after what they use, so that each goes first; both live until
    // the program object goes, since an action may wait in a nested message loop.
    std::unique_ptr<TTaskActions> taskActions_;
    std::unique_ptr<TTaskList> tasks_;
    std::unique_ptr<TTrayIcon> tray_;
    std::unique_ptr<TClockHotKey> hotKey_;
    std::unique_ptr<TFrmWorldTime> worldTime_;
    std::unique_ptr<TMenuController> menuPainter_;
    std::unique_ptr<TSyncTime> syncTime_;
    MenuHandle mainMenu_, trayMenu_;
    // The clock view's menu wears the colours the clock took from the bar.
    std::unique_ptr<TMenuController> clockMenuPainter_;
    MenuHandle clockMenu_;
    std::unique_ptr<TFrmClock> clock_;
    std::unique_ptr<TFrmWeather> weather_;
    int clockLeft_ = 0, clockTop_ = 0;  // the clock view's position last written
    GdiObject<HFONT> timeFont_;
    FILE* trace_ = nullptr;

    bool startHidden_ = false;
    bool hiddenToTray_ = false;
    std::vector<HWND> hiddenWindows_;
    std::wstring hint_;
    std::vector<TADRec> ads_;
    WPARAM upgradeKey_ = 0;
    // Last: it posts to the bar until it is stopped.
    std::unique_ptr<TADThread> adThread_;
};

}  // namespace tempora
