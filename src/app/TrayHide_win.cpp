#include "app/TrayHide_win.h"

#include "app/TrayIcon_win.h"

#include <utility>

namespace tempora {

TTrayHide::TTrayHide(HWND bar, const TTrayIcon& tray, std::function<bool(HWND)> follower)
    : bar_(bar), tray_(tray), follower_(std::move(follower)) {}

bool TTrayHide::Hide() {
    if (hidden_)
        return true;
    // Without an icon the program could not be brought back.
    if (!tray_.Added())
        return false;
    hidden_ = true;
    windows_.clear();
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM self) -> BOOL {
            auto* hide = reinterpret_cast<TTrayHide*>(self);
            if (IsWindowVisible(w) && !(hide->follower_ && hide->follower_(w)))
                hide->windows_.push_back(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(this));
    for (HWND w : windows_)
        ShowWindow(w, SW_HIDE);
    return true;
}

void TTrayHide::Restore() {
    if (hidden_) {
        hidden_ = false;
        for (HWND w : windows_) {
            if (IsWindow(w))
                ShowWindow(w, SW_SHOWNOACTIVATE);
        }
        windows_.clear();
    }
    if (!IsWindowVisible(bar_))
        ShowWindow(bar_, SW_SHOWNOACTIVATE);
    SetForegroundWindow(bar_);
}

}  // namespace tempora
