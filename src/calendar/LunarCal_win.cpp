#include "LunarCal_win.h"

#include <algorithm>

#include "core/Encoding.h"
#include "core/Handles_win.h"
#include "win/Dpi_win.h"
#include "win/PictureBlit_win.h"

namespace tempora {

namespace {

constexpr wchar_t kGridClass[] = L"TLunarCalCtrl";
constexpr wchar_t kHintClass[] = L"TCalendarHint";

POINT MouseAt(LPARAM lp) {
    return {static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
}

// The system's hint font (the status font) in the info text colour.
TFontSpec HintFont() {
    TFontSpec font;
    NONCLIENTMETRICSW ncm{};
    ncm.cbSize = sizeof ncm;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0)) {
        const LOGFONTW& lf = ncm.lfStatusFont;
        font.Name = WideToUtf8(lf.lfFaceName);
        font.Height = lf.lfHeight;
        font.Bold = lf.lfWeight >= FW_BOLD;
        font.Italic = lf.lfItalic != 0;
        font.Charset = lf.lfCharSet;
    }
    font.Color = GetSysColor(COLOR_INFOTEXT);
    return font;
}

}  // namespace

// The hover hint: a topmost tool window with a thin border that never takes
// the focus and lets the mouse through to what lies below, showing the
// grid's TCalendarHint.
class TCalendarHintWnd final : public TWindow {
public:
    explicit TCalendarHintWnd(TCalendarHint& hint) : hint_(hint) {}

    bool Make(HWND owner) {
        if (!CreateWin(kHintClass, L"", WS_POPUP | WS_BORDER,
                       WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_LAYERED, 0, 0, 0,
                       0, owner)) {
            return false;
        }
        // The class keeps the screen below it and casts the system's shadow.
        const LONG_PTR style = GetClassLongPtrW(Handle(), GCL_STYLE);
        SetClassLongPtrW(Handle(), GCL_STYLE, style | CS_SAVEBITS | CS_DROPSHADOW);
        ApplyAlpha();
        return true;
    }

    void ApplyAlpha() {
        SetLayeredWindowAttributes(Handle(), 0, static_cast<BYTE>(hint_.Alpha()), LWA_ALPHA);
    }

    // Shows the hint's current text with its top-left at the screen point,
    // pulled back onto the monitor there.
    void ShowAt(POINT at) {
        if (hint_.Width() <= 0 || hint_.Height() <= 0) {
            Hide();
            return;
        }
        RECT frame{0, 0, hint_.Width(), hint_.Height()};
        AdjustWindowRectEx(&frame, WS_POPUP | WS_BORDER, FALSE, WS_EX_TOOLWINDOW);
        const int w = frame.right - frame.left, h = frame.bottom - frame.top;
        MONITORINFO mi{};
        mi.cbSize = sizeof mi;
        if (GetMonitorInfoW(MonitorFromPoint(at, MONITOR_DEFAULTTONEAREST), &mi)) {
            at.x = std::max(std::min<LONG>(at.x, mi.rcMonitor.right - w), mi.rcMonitor.left);
            at.y = std::max(std::min<LONG>(at.y, mi.rcMonitor.bottom - h), mi.rcMonitor.top);
        }
        hint_.Paint(face_, GetSysColor(COLOR_INFOBK));
        SetWindowTextW(Handle(), Utf8ToWide(hint_.Text()).c_str());
        SetWindowPos(Handle(), HWND_TOPMOST, at.x, at.y, w, h, SWP_NOACTIVATE | SWP_SHOWWINDOW);
        InvalidateRect(Handle(), nullptr, FALSE);
    }

    void Show() {
        if (!IsWindowVisible(Handle()) && hint_.Width() > 0 && hint_.Height() > 0) {
            SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        }
    }

    void Hide() {
        if (IsWindowVisible(Handle()))
            ShowWindow(Handle(), SW_HIDE);
    }

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override {
        switch (msg) {
            case WM_NCHITTEST:
                return HTTRANSPARENT;
            case WM_MOUSEACTIVATE:
                return MA_NOACTIVATE;
            case WM_ERASEBKGND:
                return 1;
            case WM_PAINT: {
                PaintScope ps(Handle());
                BlitPicture(ps.Dc(), 0, 0, face_);
                return 0;
            }
            default:
                return TWindow::WndProc(msg, wp, lp);
        }
    }

private:
    TCalendarHint& hint_;
    Bitmap face_;
};

TLunarCalCtrl::TLunarCalCtrl() : grid_(glyphs_, MonitorScale(nullptr).dpi) {
    grid_.SetSysColors([](int index) { return static_cast<uint32_t>(GetSysColor(index)); });
    grid_.Hint().SetFont(HintFont());
    grid_.OnInvalidate = [this](const TCalRect& r) {
        if (!Handle())
            return;
        const RECT rc{r.left, r.top, r.Right(), r.Bottom()};
        InvalidateRect(Handle(), &rc, FALSE);
    };
    grid_.OnChange = [this] {
        if (OnChange)
            OnChange();
    };
}

TLunarCalCtrl::~TLunarCalCtrl() {
    // While the members still live, so that the last messages find them.
    hint_.reset();
    if (Handle())
        DestroyWindow(Handle());
}

bool TLunarCalCtrl::Create(HWND parent, int x, int y, int w, int h) {
    if (!CreateWin(kGridClass, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS, 0, x, y,
                   w, h, parent)) {
        return false;
    }
    RECT rc;
    GetClientRect(Handle(), &rc);
    FollowScale();
    grid_.SetSize(rc.right, rc.bottom);
    return true;
}

void TLunarCalCtrl::FollowScale() {
    // The window it sits in knows the scale: a view's is its bar's.
    grid_.SetPixelsPerInch(WindowScale(GetAncestor(Handle(), GA_ROOT)).dpi);
}

void TLunarCalCtrl::Repaint() {
    if (!Handle())
        return;
    InvalidateRect(Handle(), nullptr, FALSE);
    UpdateWindow(Handle());
}

void TLunarCalCtrl::HideHint() {
    if (hint_)
        hint_->Hide();
}

HWND TLunarCalCtrl::HintWindow() const {
    return hint_ ? hint_->Handle() : nullptr;
}

void TLunarCalCtrl::SetHintAlpha(int alpha) {
    grid_.Hint().SetAlpha(alpha);
    if (hint_ && hint_->Handle())
        hint_->ApplyAlpha();
}

void TLunarCalCtrl::Paint() {
    PaintScope ps(Handle());
    const RECT& a = ps.Area();
    const TCalRect clip{a.left, a.top, a.right - a.left, a.bottom - a.top};
    grid_.Paint(back_, clip);
    BlitPicture(ps.Dc(), clip.left, clip.top, back_, clip.left, clip.top, clip.width, clip.height);
}

void TLunarCalCtrl::FollowMouse(int x, int y) {
    const TCalHintRequest r = grid_.HintAt(x, y);
    if (r.action == TCalHintRequest::Hide) {
        if (hint_)
            hint_->Hide();
        return;
    }
    if (!hint_) {
        auto made = std::make_unique<TCalendarHintWnd>(grid_.Hint());
        if (!made->Make(GetAncestor(Handle(), GA_ROOT)))
            return;
        hint_ = std::move(made);
    }
    if (r.action == TCalHintRequest::Show) {
        hint_->Show();
        return;
    }
    POINT at{r.x, r.y};
    ClientToScreen(Handle(), &at);
    hint_->ShowAt(at);
}

LRESULT TLunarCalCtrl::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_SIZE:
            // A window at another scale lays its grid out anew.
            FollowScale();
            grid_.SetSize(LOWORD(lp), HIWORD(lp));
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            Paint();
            return 0;
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
            SetFocus(Handle());
            SetCapture(Handle());
            const POINT p = MouseAt(lp);
            grid_.MouseDown(p.x, p.y);
            // The day under the pointer may have changed with the month.
            FollowMouse(p.x, p.y);
            return 0;
        }
        case WM_LBUTTONUP:
            if (GetCapture() == Handle())
                ReleaseCapture();
            return 0;
        case WM_MOUSEMOVE: {
            if (!tracking_) {
                TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, Handle(), 0};
                tracking_ = TrackMouseEvent(&tme) != FALSE;
            }
            const POINT p = MouseAt(lp);
            if (wp & MK_LBUTTON)
                grid_.MouseDrag(p.x, p.y);
            FollowMouse(p.x, p.y);
            return 0;
        }
        case WM_MOUSELEAVE:
            tracking_ = false;
            if (hint_)
                hint_->Hide();
            return 0;
        case WM_RBUTTONDOWN:
            if (OnRightClick) {
                const POINT p = MouseAt(lp);
                OnRightClick(p.x, p.y);
            }
            return 0;
        case WM_KEYDOWN: {
            const bool shiftState = GetKeyState(VK_SHIFT) < 0 || GetKeyState(VK_CONTROL) < 0 ||
                                    GetKeyState(VK_MENU) < 0;
            if (grid_.KeyDown(static_cast<int>(wp), shiftState))
                return 0;
            break;
        }
        case WM_DESTROY:
            if (hint_)
                hint_->Hide();
            break;
        default:
            break;
    }
    return TWindow::WndProc(msg, wp, lp);
}

}  // namespace tempora
