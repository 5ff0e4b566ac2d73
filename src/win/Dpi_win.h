// The display scale of a window's monitor, on every Windows the program runs
// on: the per-monitor calls where the system has them, the screen's dpi
// where it has not.
#pragma once

#include <windows.h>

#include "core/Scale.h"

namespace tempora {

// The scale of the monitor `window` is on (of the primary screen for null).
TScale WindowScale(HWND window);
// The scale of the monitor that holds most of `rect` in screen pixels.
TScale ScaleAt(const RECT& rect);

}  // namespace tempora
