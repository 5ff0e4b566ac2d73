// The bar: a small borderless window on the desktop with a tray icon.
#pragma once

#include "app/WinBase_win.h"

#include <shellapi.h>

namespace tempora {

class TFrmLED : public TWindow {
public:
    static constexpr UINT WM_TRAYICON = WM_APP + 1;
    static constexpr UINT PM_Exit = 2000;

    bool Create();

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void ShowTrayMenu();
    NOTIFYICONDATAW tray_{};
};

}  // namespace tempora
