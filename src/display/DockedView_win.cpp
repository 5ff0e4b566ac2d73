#include "display/DockedView_win.h"

#include "win/Dpi_win.h"
#include "win/Gdi_win.h"

#include <algorithm>
#include <utility>

namespace tempora {

TDockedView::~TDockedView() {
    OnDestroyed = nullptr;
    shadow_.Attach(nullptr);
    if (Handle())
        DestroyWindow(Handle());
}

bool TDockedView::CreateView(const wchar_t* className, const wchar_t* title, DWORD style, int width,
                             int height, HWND owner, TFormShadow::ClientPicture picture) {
    if (!CreateWin(className, title, style, WS_EX_LAYERED | WS_EX_TOOLWINDOW, 0, 0, width, height,
                   owner)) {
        return false;
    }
    SetLayeredWindowAttributes(Handle(), kKeyColor, static_cast<BYTE>(alpha_),
                               LWA_COLORKEY | LWA_ALPHA);
    FollowScaleOf(Handle(), owner);
    shadow_.Attach(Handle(), std::move(picture));
    return true;
}

void TDockedView::ShowDocked(int alpha, int left, int top) {
    SetLayeredWindowAttributes(Handle(), kKeyColor, 255, LWA_COLORKEY | LWA_ALPHA);
    SetWindowPos(Handle(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(Handle(), SW_SHOWNOACTIVATE);
    UpdateWindow(Handle());
    SetWindowAlpha(alpha);
    Shown();
}

void TDockedView::CloseView() {
    const HWND self = Handle();
    if (!self)
        return;
    if (IsWindowVisible(self)) {
        shadow_.SetShown(false);
        FadeOutForm(self, alpha_);
    }
    if (onClose_ == TOnClose::Destroy) {
        // Frees nothing here: the owner hears of it through OnDestroyed.
        DestroyWindow(self);
        return;
    }
    ShowWindow(self, SW_HIDE);
    SetWindowAlpha(alpha_);
}

void TDockedView::SetWindowAlpha(int alpha) {
    alpha_ = std::clamp(alpha, 0, 255);
    SetLayeredWindowAttributes(Handle(), kKeyColor, static_cast<BYTE>(alpha_),
                               LWA_COLORKEY | LWA_ALPHA);
    shadow_.UpdateShadow();
}

LRESULT TDockedView::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CLOSE:
            CloseView();
            return 0;
        case WM_DESTROY:
            shadow_.Attach(nullptr);
            return 0;
        case WM_DPICHANGED:
            // A view keeps the bar's scale wherever it is; the bar tells
            // its views when that changes.
            return 0;
        default:
            return TWindow::WndProc(msg, wp, lp);
    }
}

void TDockedView::Destroyed() {
    if (OnDestroyed) {
        const auto destroyed = OnDestroyed;
        destroyed();
    }
}

}  // namespace tempora
