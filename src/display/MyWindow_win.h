// The dialog frame on real windows: DressForm turns a top-level window into
// a skinned dialog drawn with a TMyWindow, and ApplyDialogFrame dresses every
// dialog of the program in the one frame installed at start-up.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "core/Bitmap.h"
#include "display/MyWindow.h"
#include "display/SupFun.h"

namespace tempora {

// Dresses the top-level window `form` in `frame` (made at 100 %), once, at
// the scale of the form's monitor, and again at each new scale WM_DPICHANGED
// brings (before the form's own procedure sees it):
// - its border and caption go; the client area keeps its size and becomes
//   the whole window, about the same centre, so a dialog laid out for the
//   frame keeps its controls below the 28-row caption strip;
// - the frame composed for that size, with `title` drawn in 宋体 10 bold, is
//   its background (WM_ERASEBKGND, WM_PRINTCLIENT), and static controls and
//   buttons show it behind their text; when the window later changes size,
//   frame, title and shape are recomposed for the new size;
// - a close button child shows the frame's close picture, the hover picture
//   under the mouse and the hint "关闭"; it takes no focus, keeps its distance
//   from the right edge and sends the form WM_CLOSE when clicked;
// - with `dragStrip`, pressing any mouse button in the caption strip, where
//   no child window lies, moves the window with the mouse until that button
//   is released (WM_ENTERSIZEMOVE, WM_MOVING and WM_EXITSIZEMOVE as for a
//   caption);
// - its shape is the rounded rectangle from (1, 1) to its size with 13 x 13
//   corner ellipses, and its text is the title.
// What the form's own procedure paints over its client area stays its own:
// DressedPicture gives the frame to paint under it. False, with the form
// left as it was, when `form` is no top-level window, is dressed already or
// has a client area of no size or beyond what a picture holds.
bool DressForm(const TMyWindow& frame, HWND form, std::string_view title, bool dragStrip);

// Reads the dialog-frame package at dataDir + winFile (winFile as
// SKIN/WinFile names it) and makes it the frame ApplyDialogFrame uses; when
// the package is missing, rejected or damaged, or winFile is empty, dialogs
// wear the plain frame (TMyWindow::Plain). Meant to be called once, before
// the first dialog; gives the reader's result.
TSkinResult InstallDialogFrame(const std::string& dataDir, const std::string& winFile);

// Dresses `form` in the installed frame (the plain frame when none was
// installed); see DressForm.
bool ApplyDialogFrame(HWND form, std::string_view title, bool dragStrip);

// The frame and title a dressed window shows; null for any other window.
const Bitmap* DressedPicture(HWND form);
// The close button of a dressed window; null for any other window.
HWND DressedCloseButton(HWND form);

}  // namespace tempora
