// The calendar grid as a child window: TLunarCalCtrl owns a TLunarCal drawn
// with GDI's glyphs and the popup that shows its hover hint.
//
// It repaints through a back buffer only what the grid invalidates, takes the
// focus when clicked, asks for the arrow keys (WM_GETDLGCODE), drags the
// selection with the left button, hides the hint when the mouse leaves, and
// tells its parent:
//   OnChange()            the grid's Date changed;
//   OnRightClick(x, y)    the right button went down at that client point.
// The parent sets the grid's properties through Grid(); Repaint() redraws
// the whole control at once.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "calendar/LunarCal.Grid.h"
#include "core/Bitmap.h"
#include "display/SmoothFont_win.h"
#include "win/Window_win.h"

namespace tempora {

class TCalendarHintWnd;

class TLunarCalCtrl final : public TWindow {
public:
    TLunarCalCtrl();
    ~TLunarCalCtrl() override;

    // A visible child of `parent` with the tab stop; false when the window
    // cannot be made.
    bool Create(HWND parent, int x, int y, int w, int h);
    TLunarCal& Grid() { return grid_; }
    const TLunarCal& Grid() const { return grid_; }
    void Repaint();
    // Hides the hover hint, when it shows, until the pointer moves over a day again.
    void HideHint();
    // The hint popup, once the pointer has shown it; nullptr before.
    HWND HintWindow() const;
    // The hint popup's constant alpha, 0..255; other values are ignored.
    void SetHintAlpha(int alpha);

    std::function<void()> OnChange;
    std::function<void(int x, int y)> OnRightClick;

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void Paint();
    void FollowMouse(int x, int y);
    // The grid at the scale of the window it sits in.
    void FollowScale();

    TGdiGlyphs glyphs_;
    TLunarCal grid_;
    Bitmap back_;
    std::unique_ptr<TCalendarHintWnd> hint_;
    bool tracking_ = false;
};

}  // namespace tempora
