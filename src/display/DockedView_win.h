// A view docked beside the bar (calendar, clock, weather): a borderless
// layered tool window shaped by the magenta of its picture, casting the soft
// shadow of that shape. It opens painted opaque and then takes the bar's
// alpha, and fades out when it closes. A view kept for the program's run only
// hides; one made anew for each opening destroys its window, and its owner
// frees the object later, never from inside the view's own message.
#pragma once

#include "core/Bitmap.h"
#include "display/ufrmShadowFrame_win.h"
#include "win/Window_win.h"

#include <windows.h>

#include <functional>

namespace tempora {

class TDockedView : public TWindow {
public:
    static constexpr COLORREF kKeyColor = RGB(255, 0, 255);
    enum class TOnClose { Hide, Destroy };

    explicit TDockedView(TOnClose onClose) : onClose_(onClose) {}
    ~TDockedView() override;

    // Puts the window's top-left at left, top and shows it without taking
    // the focus, painted opaque first so that it never shows half drawn,
    // then at `alpha`.
    void ShowDocked(int alpha, int left, int top);
    // Fades the window out from its alpha, then hides or destroys it.
    void CloseView();
    // 0 .. 255; the shadow follows.
    void SetWindowAlpha(int alpha);
    int WindowAlpha() const { return alpha_; }
    bool Visible() const { return Handle() && IsWindowVisible(Handle()); }
    const TFormShadow& Shadow() const { return shadow_; }

    // The window of a view that destroys itself on closing is gone; the
    // object must not be freed from inside this call.
    std::function<void()> OnDestroyed;

protected:
    // Creates the window hidden and opaque, owned by `owner`, with the
    // shadow of `picture` (the window's client area as it shows). The view
    // is drawn at its owner's scale (WindowScale), on any monitor.
    bool CreateView(const wchar_t* className, const wchar_t* title, DWORD style, int width,
                    int height, HWND owner, TFormShadow::ClientPicture picture);
    // The window has just shown (the weather view opens its page).
    virtual void Shown() {}
    // WM_CLOSE closes the view; a derived view hands on what it does not handle.
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void Destroyed() override;

    TFormShadow shadow_;

private:
    TOnClose onClose_;
    int alpha_ = 255;
};

}  // namespace tempora
