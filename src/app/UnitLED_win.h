// The bar: the program's main window, a small borderless layered strip. It
// keeps the window itself: it turns messages into calls on its face and its
// owner, arms the timers and copies what the face painted to the screen.
#pragma once

#include "app/BarFace.h"
#include "app/TrayIcon_win.h"
#include "display/MenuController_win.h"
#include "display/SmoothCtrls_win.h"
#include "display/SmoothFont_win.h"
#include "core/Handles_win.h"
#include "win/Window_win.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tempora {

// What the bar hands to the program around it.
class TBarOwner {
public:
    virtual ~TBarOwner() = default;
    // The clock timer fired; returns the milliseconds to the next tick.
    virtual int64_t OnClockTimer() = 0;
    virtual void OnMenuButton(POINT screenAt) = 0;
    virtual void OnMinimiseButton() = 0;
    // A click on the date line while its line `lineIndex` showed (0: the date).
    virtual void OnDateLineClick(int lineIndex) = 0;
    // 300 ms after the bar first showed: the default view opens.
    virtual void OnStartupView() = 0;
    // A second after that: the program has settled.
    virtual void OnStartupSettled() = 0;
    // A timer the program armed on the bar fired; also the bar's position
    // saver, with which the program keeps its views' places.
    virtual void OnTimer(UINT_PTR id) = 0;
    // The tray icon was clicked (WM_LBUTTONUP, WM_RBUTTONUP, …).
    virtual void OnTrayClick(UINT mouseEvent) = 0;
    // A second start of the program asks this one to come back.
    virtual void OnRestore() = 0;
    // A hotkey was pressed; true when it was the program's.
    virtual bool OnHotKey(LPARAM lp) = 0;
    // A menu of the bar opens (its items are ticked now).
    virtual void OnMenuOpening(HMENU menu) = 0;
    // The bar was dragged to another place, or the screens changed.
    virtual void OnMoved() = 0;
    // The bar's scale changed (another monitor, the user's choice): the bar
    // and its views read their skins again.
    virtual void OnScaleChanged() = 0;
    // A message of the program's own protocols (the popup program's, the
    // web features', WM_COPYDATA); true when handled, with `result`.
    virtual bool OnProgramMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) = 0;
    // The session ends: the program keeps its state now.
    virtual void OnSessionEnd() = 0;
    // The bar is about to close (the program saves its state and ends) and
    // was destroyed (on closing, or when the program object goes first).
    virtual void OnClosing() = 0;
    virtual void OnDestroyed() = 0;
};

class TFrmLED : public TWindow {
public:
    enum : UINT_PTR {
        TimerClock = 1,
        TimerChild,
        TimerChildHide,
        TimerSavePos,
        TimerFadeLine,
        TimerFadeStep,
    };
    static constexpr COLORREF kKeyColor = RGB(255, 0, 255);

    // `dataDir` holds skin.ini, where the bar keeps its position.
    TFrmLED(TBarOwner& owner, std::string dataDir);

    // Creates the window hidden; nothing else runs yet, so that a second
    // instance can leave without side effects.
    bool CreateHidden();
    // Takes the skin's look and size, and adds the tooltips on first use.
    void ApplySkin(TBarSkin skin);
    // Shows the bar; the first time, the start-up timers begin.
    void Show();
    // The first tick, then one on every second boundary.
    void StartClock();
    // Runs the clock tick now (a changed system time shows at once).
    void TickNow();

    void SetAlpha(int alpha);
    int Alpha() const { return alpha_; }
    // The bar and its views at `percent` of the monitor's scale (0: the
    // monitor's own); the date line takes the scale at once, the skin on
    // the next ApplySkin. True when the scale changed.
    bool SetScalePercent(int percent);
    // The scale the bar is drawn at.
    TScale Scale() const { return face_.Scale(); }
    void SetStayOnTop(bool onTop);
    // The time in a font of the user's choice instead of the LED digits.
    void SetTimeFont(bool ledDigits, HFONT font, COLORREF color);
    // The tooltip of the time panel (the day's calendar).
    void SetHint(const std::wstring& hint);
    // Tooltips rest while a menu is open; resting, none shows.
    void SetTooltipsActive(bool active);
    bool IsOwnTooltip(HWND w) const { return w == tooltip_; }
    HWND Tooltip() const { return tooltip_; }
    // The owner-drawn menus shown over the bar paint through these (the
    // painters outlive the bar's menus).
    void AddMenuPainter(TMenuController* painter) { menuPainters_.push_back(painter); }
    // The tray icon whose messages come to the bar.
    void SetTray(TTrayIcon* tray) { tray_ = tray; }

    // Writes the position to skin.ini when the bar moved since the last
    // write; a refused write is dropped and tried again on the next call.
    void TimerSavePosTimer();

    TBarFace& Face() { return face_; }
    const TBarFace& Face() const { return face_; }

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    void OnPaint();
    void Push(TSkinRect area);
    void Invalidate(TSkinRect area);
    void AddTooltips();
    void OnMouseDown(POINT p);
    void OnMouseUp(POINT p);
    void OnMouseMove(POINT p);

    TBarOwner& owner_;
    std::string dataDir_;
    std::vector<TMenuController*> menuPainters_;
    TTrayIcon* tray_ = nullptr;
    TGdiGlyphs glyphs_;
    TWinSystemLabels systemLabels_;
    TBarFace face_;
    HWND tooltip_ = nullptr;  // a child of the bar: destroyed with it
    std::wstring hint_;
    HFONT timeFont_ = nullptr;  // the owner's
    COLORREF timeColor_ = 0;
    int alpha_ = 200;
    int rememberedLeft_ = 0, rememberedTop_ = 0;
    bool firstShow_ = true;
    bool trackingMouse_ = false;
    bool datePressed_ = false;  // the left button went down on the date line
};

}  // namespace tempora
