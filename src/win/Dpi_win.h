// The display scale of a window's monitor, on every Windows the program runs
// on: the per-monitor calls where the system has them, the screen's dpi
// where it has not.
#pragma once

#include <windows.h>

#include "core/Scale.h"

namespace tempora {

// How the system lets the process see the display's dpi.
enum class TDpiAwareness {
    Unaware,       // the system stretches the windows
    System,        // the primary screen's dpi, for every monitor
    PerMonitor,    // each monitor's dpi; the program scales its own frames
    PerMonitorV2,  // the same, and the system scales menus, dialogs and non-client areas
};

// The awareness the process has now.
TDpiAwareness CurrentDpiAwareness();
// Makes the process as aware as the system allows, unless the manifest
// made it aware already: per monitor v2 (Windows 10 1703), per monitor
// (Windows 8.1), system (Vista). A system that refuses one level gets the
// next. Gives the awareness in effect afterwards. Call before the first
// window.
TDpiAwareness EnableDpiAwareness();

// The scale of the monitor `window` is on (of the primary screen for null),
// times the user's own scale of the window or of the window it follows.
TScale WindowScale(HWND window);
// The scale of the monitor `window` is on, without the user's choice.
TScale MonitorScale(HWND window);
// The scale of the monitor that holds most of `rect` in screen pixels.
TScale ScaleAt(const RECT& rect);

// The user's scale of `window` in percent (see UserScale); 0 takes it away.
void SetUserScale(HWND window, int percent);
// Makes WindowScale(window) give the scale of `leader` (null: its own
// again), for windows that keep the size of the window they belong to.
void FollowScaleOf(HWND window, HWND leader);

// A font of `points` at `scale`.
HFONT MakeScaledFont(const wchar_t* face, int points, TScale scale, int weight = FW_NORMAL,
                     bool italic = false, bool underline = false, bool strikeOut = false);

}  // namespace tempora
