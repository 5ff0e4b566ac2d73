// The program's three menus: the bar's main menu, the tray icon's and the
// clock view's. They are built once from the command table; what an item
// does and whether it is ticked stay the command table's.
#pragma once

#include "display/Commands_win.h"
#include "display/MenuController_win.h"

#include <functional>
#include <memory>

namespace tempora {

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

class TProgramMenus {
public:
    // `owner` receives the menus' messages; `commands` must hold every id of
    // the layouts and outlive the menus.
    TProgramMenus(HWND owner, const TCommandTable& commands);
    TProgramMenus(const TProgramMenus&) = delete;
    TProgramMenus& operator=(const TProgramMenus&) = delete;

    HMENU Main() const { return main_.Get(); }
    HMENU Tray() const { return tray_.Get(); }
    HMENU Clock() const { return clock_.Get(); }
    // The painters the owner window hands its owner-draw messages to: the
    // main and tray menus wear the bar skin's colours, the clock view's menu
    // those the clock took from it.
    TMenuController& Painter() { return *painter_; }
    TMenuController& ClockPainter() { return *clockPainter_; }

    // Ticks the items of an opening menu: the view items form one radio
    // group, the visible view ticked.
    void Prepare(HMENU menu) const;
    // Shows `menu` at `at` (screen) and runs the command chosen.
    void Show(HMENU menu, POINT at, bool fromTray);

    // Called with false before a menu shows and with true once it closed:
    // no hint may show over the open menu.
    std::function<void(bool active)> OnTooltips;

private:
    HWND owner_;
    const TCommandTable& commands_;
    std::unique_ptr<TMenuController> painter_, clockPainter_;
    MenuHandle main_, tray_, clock_;
};

}  // namespace tempora
