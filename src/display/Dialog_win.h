// What the program's dialogs share: a modal window of a fixed client size,
// centred on the work area of its owner's monitor, dressed in the dialog
// frame with its title, casting the soft shadow, its controls in 宋体 9 pt.
// Its layout is written in 100 % pixels and shown at the scale of its
// monitor; WM_DPICHANGED lays it out again at the new one.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

#include "display/ufrmShadowFrame_win.h"
#include "core/Handles_win.h"
#include "core/Scale.h"
#include "win/Window_win.h"

#include <vector>

namespace tempora {

// Shows `self` over its owner and runs the program's messages until `result`
// is non-zero: the owner is disabled meanwhile (unless an outer modal window
// already did), dialog keys work, `shown` runs once the window shows (focus,
// timers), `filter` may take a message before the dialog keys see it, and a
// WM_QUIT calls `quit` and is posted again for the program's own loop. The
// owner comes back before the window hides, so that it gets the activation.
void RunModal(HWND self, const int& result, const std::function<void()>& shown,
              const std::function<void()>& quit,
              const std::function<bool(const MSG&)>& filter = nullptr);

class TDialog : public TWindow {
public:
    ~TDialog() override;

    // Runs the dialog until it closes and leaves it hidden; the owner is
    // disabled meanwhile. Enter presses the default button (IDOK), Escape
    // and the frame's close button cancel, Tab walks the controls. IDOK or
    // IDCANCEL; IDCANCEL too when the window goes or the program quits.
    int ShowModal();
    int ModalResult() const { return modalResult_; }
    HWND Item(int id) const { return GetDlgItem(Handle(), id); }
    const TFormShadow& Shadow() const { return shadow_; }
    // The scale the dialog is shown at.
    TScale Scale() const { return scale_; }

protected:
    // Creates the window hidden with a client area of width x height at
    // 100 %, owned by `owner` (may be null), at the scale of the owner's
    // monitor (the primary one without owner), and dresses it in the frame
    // with `title`.
    bool CreateDialogWindow(HWND owner, const wchar_t* className, std::string_view title, int width,
                            int height);
    // A child control in the dialog's font, at x, y, w, h in 100 % pixels;
    // it keeps that place at every scale the dialog comes to.
    HWND AddControl(const wchar_t* cls, std::string_view text, DWORD style, int x, int y, int w,
                    int h, int id, DWORD exStyle = 0);
    // `px100` pixels at 100 % at the dialog's scale.
    int Px(int px100) const { return scale_.Px(px100); }
    HFONT Font() const { return font_.Get(); }
    // The scale changed and the controls have their new places and font: a
    // dialog re-makes what it sized itself (its other fonts, columns).
    virtual void ScaleChanged() {}
    // Ends ShowModal with `result`, once.
    void EndModal(int result);

    // IDOK: closes with IDOK when Accept agrees; IDCANCEL closes with
    // IDCANCEL; every other command goes to Command.
    virtual void Command(int id, int code) = 0;
    // The values are taken: true lets the dialog close with IDOK.
    virtual bool Accept() { return true; }
    // The control that has the focus when the dialog shows.
    virtual HWND FirstFocus() const { return Item(IDOK); }
    // A message of the modal loop before the dialog keys see it; true when
    // it was handled.
    virtual bool PreTranslate(const MSG&) { return false; }
    // WM_NOTIFY from a control.
    virtual LRESULT Notify(NMHDR*) { return 0; }

    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    // A control that AddControl made, and its place at 100 %.
    struct TPlaced {
        HWND hwnd;
        RECT at100;
    };
    void Rescale(TScale scale, const RECT& suggested);

    int modalResult_ = 0;
    GdiObject<HFONT> font_;
    TFormShadow shadow_;
    TScale scale_;
    int width100_ = 0, height100_ = 0;
    std::vector<TPlaced> placed_;
};

// The text of a combo box's selection, or of a window; UTF-8.
std::string ComboText(HWND combo);
std::string WindowTextOf(HWND hwnd);

}  // namespace tempora
