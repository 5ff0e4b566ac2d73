// Hiding the program to its tray icon: every visible window of the program
// goes, and comes back as it was. Never without an icon to come back by.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

namespace tempora {

class TTrayIcon;

class TTrayHide {
public:
    // `bar` comes back even when it was hidden before; `follower` tells the
    // windows that show and hide with another by themselves (the bar's
    // shadow, its tooltip), which this leaves alone.
    TTrayHide(HWND bar, const TTrayIcon& tray, std::function<bool(HWND)> follower);

    // False (nothing hidden) while the tray has no icon.
    bool Hide();
    void Restore();
    bool Hidden() const { return hidden_; }

private:
    HWND bar_;
    const TTrayIcon& tray_;
    std::function<bool(HWND)> follower_;
    bool hidden_ = false;
    std::vector<HWND> windows_;
};

}  // namespace tempora
