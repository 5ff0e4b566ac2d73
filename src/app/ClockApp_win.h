// The program: creates the long-lived parts (settings, the bar, the clock's
// heart, the docked views, the popup link, chime, timed tasks, tray icon,
// hotkey, menus, the web features) and wires them. A feature joins by adding
// its per-second handler to the heart and its rows to the command table.
#pragma once

#include "app/AutoStart_win.h"
#include "app/ClockHotKey_win.h"
#include "app/ClockTick.h"
#include "app/DockedViews_win.h"
#include "app/Magnetic_win.h"
#include "app/MarkReminders_win.h"
#include "app/OptionsHost_win.h"
#include "app/ProgramMenus_win.h"
#include "app/Settings.h"
#include "app/TrayHide_win.h"
#include "app/TrayIcon_win.h"
#include "app/UnitLED_win.h"
#include "app/UnitOptions.h"
#include "app/Views.h"
#include "display/Commands_win.h"
#include "display/ufrmShadowFrame_win.h"
#include "reminders/BackSound.h"
#include "reminders/ClockAlarm.h"
#include "reminders/PopupLink_win.h"
#include "reminders/TaskActions_win.h"
#include "reminders/TaskList.h"
#include "timesvc/SyncTime_win.h"
#include "timesvc/UnitWorldTime_win.h"
#include "web/WebFeatures_win.h"
#include "core/Handles_win.h"

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
    // What talks to the shell about the tray icon (empty: Shell_NotifyIconW).
    TTrayIcon::NotifyFn trayNotify;
};

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
    // Hides every window of the program to the tray icon; nothing while the
    // tray has no icon.
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
    int CurrentView() const { return views_ ? views_->CurrentView() : kViewNone; }
    // Hides every view, then opens the one of `code` beside the bar.
    void ShowView(int code) {
        if (views_)
            views_->ShowView(code);
    }
    // Sets the bar's stay-on-top style and registers the bar and every
    // existing view with the magnet anew, so that dragging the bar still
    // carries its views.
    void ApplyStayOnTop(bool on) override;
    // The window magnet the bar and its views are registered with.
    const TMagnetic* Magnet() const { return magnet_.get(); }
    // The clock view's window while it is open.
    TFrmClock* ClockView() { return views_ ? views_->Clock() : nullptr; }
    // The weather view's window while it is open.
    TFrmWeather* WeatherView() { return views_ ? views_->Weather() : nullptr; }
    HMENU ClockMenu() const { return menus_->Clock(); }

    TFrmLED& Bar() { return *bar_; }
    // The calendar view, created hidden at start-up; the day's calendar
    // texts come from it.
    TFrmCalendar& Calendar() { return *calendar_; }
    TWebFeatures& Web() { return *web_; }
    const TFormShadow& BarShadow() const { return barShadow_; }
    TClockHeart& Heart() { return heart_; }
    TPopupLink& Popup() { return *popup_; }
    TTaskList& Tasks() { return *tasks_; }
    TTrayIcon& Tray() { return *tray_; }
    // The open world-time dialog; null when it was never opened.
    TFrmWorldTime* WorldTime() { return worldTime_.get(); }
    TClockHotKey& HotKey() { return *hotKey_; }
    // The hotkey that speaks the day.
    TClockHotKey& DayHotKey() { return *dayHotKey_; }
    TMarkReminders& MarkReminders() { return *markReminders_; }
    const BarSettings& Settings() const { return settings_; }
    // Festivals, marks and holidays, shared by the calendar and the bar.
    TCalendarData& CalendarData() { return calendarData_; }
    // The day's calendar as the tray and the time panel show it.
    const std::wstring& Hint() const { return hint_; }
    HMENU MainMenu() const { return menus_->Main(); }
    HMENU TrayMenu() const { return menus_->Tray(); }
    // Ticks the items of an opening menu.
    void PrepareMenu(HMENU menu) { menus_->Prepare(menu); }
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
    // mark reminders, chimes, time sync, the hotkeys (registered anew only
    // when their texts changed); the popup program is told last.
    void ApplyOptions(const TOptionsValues& v) override;

    // The bar's timers beyond the clock's own (the web features' is theirs).
    enum : UINT_PTR {
        TimerMsg = 0x4D01,  // once, a second after start-up: the mark message or the balloon
        TimerWarStep,       // the repeated mark message
        TimerHintClose,     // closes the balloon
    };
    static constexpr UINT kStartMessageMs = 1000;
    static constexpr UINT kBalloonMs = 10000;

    // TBarOwner
    int64_t OnClockTimer() override;
    void OnMenuButton(POINT screenAt) override;
    void OnMinimiseButton() override { HideToTray(); }
    void OnDateLineClick(int lineIndex) override { web_->OpenDateLine(lineIndex); }
    void OnStartupView() override;
    void OnStartupSettled() override;
    void OnTimer(UINT_PTR id) override;
    void OnTrayClick(UINT mouseEvent) override;
    void OnRestore() override { RestoreFromTray(); }
    bool OnHotKey(LPARAM lp) override;
    void OnMenuOpening(HMENU menu) override { PrepareMenu(menu); }
    void OnMoved() override;
    void OnScaleChanged() override;
    bool OnProgramMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
    void OnSessionEnd() override { SaveBarStateQuietly(); }
    void OnClosing() override;
    void OnDestroyed() override;

private:
    void AddCommands();
    void MakeMenus();
    void ShowHelp();
    void ShowWorldTime();
    void ApplyBarSkin(const std::string& skinFile);
    void ApplyTimeFont();
    void ShowDay(TDateTime t);
    void ChimeSecond(TDateTime t);
    void SaveBarStateQuietly();
    void ShowDateBalloon();
    void SaveClockPosition();
    void MakeViews();
    void MakeTray();

    AppOptions options_;
    BarSettings settings_;
    TClockHeart heart_;
    TCommandTable commands_;
    // The window goes last: the parts below still talk to it as they go.
    std::unique_ptr<TFrmLED> bar_;
    TFormShadow barShadow_;
    std::unique_ptr<TMagnetic> magnet_;
    // The day's festivals, marks and holidays; the calendar window shares it.
    TCalendarData calendarData_;
    std::unique_ptr<TPopupLink> popup_;
    std::unique_ptr<TMarkReminders> markReminders_;
    std::unique_ptr<TClockAlarm> alarm_;
    // Declared after what they use, so that each goes first; both live until
    // the program object goes, since an action may wait in a nested message loop.
    std::unique_ptr<TTaskActions> taskActions_;
    std::unique_ptr<TTaskList> tasks_;
    std::unique_ptr<TTrayIcon> tray_;
    std::unique_ptr<TTrayHide> trayHide_;
    std::unique_ptr<TClockHotKey> hotKey_;
    std::unique_ptr<TClockHotKey> dayHotKey_;
    std::unique_ptr<TFrmWorldTime> worldTime_;
    std::unique_ptr<TSyncTime> syncTime_;
    std::unique_ptr<TProgramMenus> menus_;
    // Before the menus go: the clock view wears their colours.
    std::unique_ptr<TDockedViews> views_;
    // The views' calendar, kept for the whole run; the day's texts come from it.
    TFrmCalendar* calendar_ = nullptr;
    int clockLeft_ = 0, clockTop_ = 0;  // the clock view's position last written
    GdiObject<HFONT> timeFont_;
    FILE* trace_ = nullptr;

    bool startHidden_ = false;
    bool hideWhenTray_ = false;  // the start-up hide waits for the tray icon
    std::wstring hint_;
    // Last: its download posts to the bar until it is stopped.
    std::unique_ptr<TWebFeatures> web_;
};

}  // namespace tempora
