// The bar: the program's main window, a small borderless strip with the time,
// the date, a menu button and a minimise button. It owns the one-second clock
// tick, the tray icon, both menus, the announce-time hotkey and the link to
// the popup program.
#pragma once

#include "app/ClockTick.h"
#include "app/MenuController_win.h"
#include "app/Settings.h"
#include "app/TrayIcon_win.h"
#include "win/Handles_win.h"
#include "win/Window_win.h"
#include "core/DateTime.h"
#include "core/Bitmap.h"
#include "display/SmoothCtrls.h"
#include "display/SmoothCtrls_win.h"
#include "display/SmoothFont_win.h"
#include "display/myLEDFont.h"
#include "reminders/ClockAlarm.h"
#include "reminders/PopupLink_win.h"
#include "reminders/TaskActions_win.h"
#include "reminders/TaskList.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace tempora {

struct BarOptions {
    std::string programDir;      // where PopupMsg.exe and the help file lie, ending in "\"
    std::string dataDir;         // where skin.ini and the other data files lie, ending in "\"
    std::string firstArgument;   // the command line's first argument ("/hide")
    std::string traceTicksFile;  // "/trace-ticks FILE": one line per tick, for diagnosis
};

// Process-wide values fixed at start-up.
extern bool ShadowsEnabled;
extern std::string ChineseFontName;

// Lowers a layered window's alpha in steps of 30 every 30 ms while it is
// above 30; the caller hides or frees the window.
void FadeOutForm(HWND form, int alpha);

class TFrmLED : public TWindow {
public:
    // Timer ids.
    enum : UINT_PTR {
        TimerClock = 1,
        TimerChild,
        TimerChildHide,
        TimerSavePos,
        TimerFadeLine,
        TimerFadeStep,
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
    };
    static constexpr int kWidth = 332, kHeight = 34;

    explicit TFrmLED(BarOptions options);
    ~TFrmLED() override;

    // Creates the window hidden; nothing else runs yet, so that a second
    // instance can leave without side effects.
    bool CreateHidden();
    // The creation sequence: settings, timers, hotkey, tray, first texts.
    void Initialise();
    void Show();

    void ReadSettings(bool skinsOnly);
    bool RegisterClockHotKey(const std::string& modifierText, const std::string& keyText);
    void UnregisterClockHotKey();
    void SaveBarState();
    void SetBarAlpha(int alpha);
    void HideToTray();
    void RestoreFromTray();
    int CurrentView() const { return 0; }  // the docked views come with their windows

    TPopupLink& Popup() { return *popup_; }
    TClockAlarm* Alarm() { return alarm_.get(); }
    TTaskList* Tasks() { return tasks_.get(); }
    // The chime texts sent to the popup program, for tests.
    int ChimeMessagesSent() const { return chimeMessages_; }

    // Read-outs for tests and the diagnostic channel.
    int HotKeyId() const { return hotKeyId_; }
    int HotKeyModifiersMask() const { return hotKeyMods_; }
    int HotKeyKey() const { return hotKeyKey_; }
    int HotKeyPresses() const { return hotKeyPresses_; }
    int BarAlpha() const { return barAlpha_; }
    int DefaultView() const { return settings_.defaultView; }
    bool StartHidden() const { return startHidden_; }
    bool HiddenToTray() const { return hiddenToTray_; }
    const std::wstring& TimeText() const { return timeText_; }
    const TLEDFontNum& Led() const { return LED; }
    const TFadeText& DateLine() const { return *FadeTextDate; }
    // The bar as last composed, for tests and screenshots.
    const Bitmap& Picture() const { return picture_; }
    const std::wstring& Hint() const { return hint_; }
    const TTrayIcon* Tray() const { return tray_.get(); }
    const BarSettings& Settings() const { return settings_; }
    const std::string& DataDir() const { return options_.dataDir; }

    // The menus as built, for tests: caption, id and enabled state of each item.
    HMENU MainMenu() const { return popupMenu1_; }
    HMENU TrayMenu() const { return popupMenu2_; }
    void PrepareMenu(HMENU menu);  // the OnPopup handler: ticks the view item

    // Timer handlers, public so that tests can step them.
    void TimerClockTimer();
    void TimerSavePosTimer();

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    enum class Part { None, Background, Panel, BtnMenu, BtnMin, DateLine };

    void PickChineseFont();
    void BuildMenus();
    void ShowMenu(HMENU menu, POINT at, bool fromTray);
    void OnCommand(UINT id);
    void OnClose();
    void OnDestroy();
    void ShowHelp();
    void UpdateClockDisplay(TDateTime t);
    void ProcessSecond(TDateTime t);
    void ArmClockTimer();
    void TraceTick(int64_t nowMs, int64_t first, int64_t last);
    void ApplyTimeFont();
    void SetUpLed();
    bool ApplyBarSkin(const std::string& skinFile);
    void SetUpDateLine();
    void BuildBuiltInLook();
    void Compose();
    void ApplyStayOnTop();
    void AddTooltips();
    void SetHintText(const std::wstring& hint);
    Part HitTest(POINT p) const;
    void RedrawPart(Part part);

    BarOptions options_;
    BarSettings settings_;
    TSecondTicker ticker_;
    TLEDFontNum LED;
    TGdiGlyphs glyphs_;
    TWinSystemLabels systemLabels_;
    std::unique_ptr<TFadeText> FadeTextDate;
    // The look: background and the buttons' normal and hover pictures; the
    // picture the window shows is composed from them.
    Bitmap background_, picture_;
    Bitmap btnMenuPic_[2], btnMinPic_[2];
    uint32_t panelBorderColor_ = 13664560;
    uint32_t dateColor_ = 0xECDED6;
    std::unique_ptr<TPopupLink> popup_;
    std::unique_ptr<TClockAlarm> alarm_;
    // Declared after what they use, so that each goes first; both live until
    // the bar object goes, since an action may wait in a nested message loop.
    std::unique_ptr<TTaskActions> taskActions_;
    std::unique_ptr<TTaskList> tasks_;
    std::unique_ptr<TTrayIcon> tray_;
    std::unique_ptr<TMenuController> menus_;
    HMENU popupMenu1_ = nullptr, popupMenu2_ = nullptr;
    HWND tooltip_ = nullptr;
    GdiObject<HFONT> formFont_, timeFont_;
    FILE* trace_ = nullptr;

    bool firstShow_ = true;
    bool startHidden_ = false;
    bool hiddenToTray_ = false;
    std::vector<HWND> hiddenWindows_;
    double lastShownDate_ = 0;
    int rememberedLeft_ = 0, rememberedTop_ = 0;
    int barAlpha_ = 200;
    int hotKeyId_ = 0, hotKeyMods_ = 0, hotKeyKey_ = 0, hotKeyPresses_ = 0;
    int chimeMessages_ = 0;
    std::string hotKeyModText_, hotKeyKeyText_;
    std::wstring timeText_, hint_;
    bool dateCycling_ = true;
    Part hot_ = Part::None, pressed_ = Part::None;
    bool trackingMouse_ = false;
};

}  // namespace tempora
