#include "MyWindow_win.h"

#include <commctrl.h>

#include <memory>
#include <string>
#include <optional>

#include "core/Encoding.h"
#include "display/SmoothFont_win.h"
#include "core/Handles_win.h"
#include "win/Dpi_win.h"
#include "win/PictureBlit_win.h"
#include "win/Window_win.h"

namespace tempora {

namespace {

constexpr UINT_PTR kSubclassId = 0x4D79574E;  // one frame per window
// Where a dressed window keeps its TDressing, for the calls that ask about it.
constexpr wchar_t kDressingProp[] = L"TemporaDialogFrame";
constexpr wchar_t kCloseClass[] = L"TMyWindowCloseButton";
constexpr wchar_t kCloseHint[] = L"关闭";

// The client point of a mouse message; negative while the mouse is captured
// and left of or above the window.
POINT MouseAt(LPARAM lp) {
    return {static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
}

// The close button: a picture over the piece of the frame behind it, the
// hover picture while the mouse is over it, a click when the left button
// goes down and up on it.
class TFrameCloseButton final : public TWindow {
public:
    TFrameCloseButton(const TMyWindow& frame, const Bitmap& backdrop)
        : up_(frame.CloseUp()), hot_(frame.CloseHot()), backdrop_(backdrop) {}

    bool Make(HWND form, const TSkinRect& place) {
        if (!CreateWin(kCloseClass, kCloseHint, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0,
                       place.left, place.top, place.width, place.height, form)) {
            return false;
        }
        // Windowed controls stay above the caption strip; this one above them all.
        SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        AddHint(form);
        return true;
    }

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override {
        switch (msg) {
            case WM_PAINT:
                Paint();
                return 0;
            case WM_ERASEBKGND:
                return 1;
            case WM_MOUSEMOVE:
                if (!tracking_) {
                    TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, Handle(), 0};
                    tracking_ = TrackMouseEvent(&tme) != FALSE;
                }
                SetHot(Inside(lp));
                return 0;
            case WM_MOUSELEAVE:
                tracking_ = false;
                SetHot(false);
                return 0;
            case WM_LBUTTONDOWN:
            case WM_LBUTTONDBLCLK:
                pressed_ = true;
                SetCapture(Handle());
                return 0;
            case WM_LBUTTONUP: {
                const bool click = pressed_ && Inside(lp);
                pressed_ = false;
                if (GetCapture() == Handle())
                    ReleaseCapture();
                // Posted: the form may go at once, and this window with it.
                if (click)
                    PostMessageW(GetParent(Handle()), WM_CLOSE, 0, 0);
                return 0;
            }
            case WM_CAPTURECHANGED:
                pressed_ = false;
                return 0;
            default:
                return TWindow::WndProc(msg, wp, lp);
        }
    }

private:
    bool Inside(LPARAM lp) const {
        RECT rc;
        GetClientRect(Handle(), &rc);
        const POINT p = MouseAt(lp);
        return PtInRect(&rc, p) != FALSE;
    }

    void SetHot(bool hot) {
        if (hot == isHot_)
            return;
        isHot_ = hot;
        InvalidateRect(Handle(), nullptr, FALSE);
    }

    void Paint() {
        PaintScope ps(Handle());
        RECT rc;
        GetClientRect(Handle(), &rc);
        POINT at{0, 0};
        MapWindowPoints(Handle(), GetParent(Handle()), &at, 1);
        Bitmap piece;
        if (!piece.Create(rc.right, rc.bottom, GetSysColor(COLOR_BTNFACE)))
            return;
        piece.CopyRect(0, 0, backdrop_, at.x, at.y, rc.right, rc.bottom);
        const Bitmap& face = isHot_ ? hot_ : up_;
        piece.CopyTransparent(0, 0, face, 0, 0, face.Width(), face.Height());
        BlitPicture(ps.Dc(), 0, 0, piece);
    }

    void AddHint(HWND form) {
        // Owned by the form, so that it goes with it.
        const HWND tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                         WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                         CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, form, nullptr,
                                         GetModuleHandleW(nullptr), nullptr);
        if (!tip)
            return;
        TOOLINFOW ti{};
        ti.cbSize = sizeof ti;
        ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        ti.hwnd = form;
        ti.uId = reinterpret_cast<UINT_PTR>(Handle());
        ti.lpszText = const_cast<wchar_t*>(kCloseHint);
        SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    }

    Bitmap up_, hot_;
    const Bitmap& backdrop_;  // the form's picture, which outlives this window
    bool isHot_ = false;
    bool pressed_ = false;
    bool tracking_ = false;
};

// Everything a dressed window keeps, from DressForm to its WM_NCDESTROY.
struct TDressing {
    TDressing(const TMyWindow& f, TScale scale) : base(f), frame(f.AtScale(scale)) {}
    TMyWindow base;   // at 100 %, for each scale the window comes to
    TMyWindow frame;  // at the window's scale: the picture follows its size
    std::string title;
    Bitmap picture;
    GdiObject<HBITMAP> bitmap;  // the picture as a GDI bitmap, for the brush
    GdiObject<HBRUSH> brush;    // what static controls and buttons paint behind their text
    std::unique_ptr<TFrameCloseButton> close;
    bool dragStrip = false;
    // While moving: the button-up message that ends it, where the mouse went
    // down (screen) and the window's top-left then.
    UINT dragUp = 0;
    POINT grab{};
    POINT origin{};
};

void EndMove(HWND hwnd, TDressing& d) {
    if (!d.dragUp)
        return;
    d.dragUp = 0;
    if (GetCapture() == hwnd)
        ReleaseCapture();
    SendMessageW(hwnd, WM_EXITSIZEMOVE, 0, 0);
}

void StartMove(HWND hwnd, TDressing& d, UINT down, POINT client) {
    ReleaseCapture();
    switch (down) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            d.dragUp = WM_LBUTTONUP;
            break;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
            d.dragUp = WM_RBUTTONUP;
            break;
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK:
            d.dragUp = WM_MBUTTONUP;
            break;
        default:
            d.dragUp = WM_XBUTTONUP;
            break;
    }
    d.grab = client;
    ClientToScreen(hwnd, &d.grab);
    RECT wr;
    GetWindowRect(hwnd, &wr);
    d.origin = {wr.left, wr.top};
    SendMessageW(hwnd, WM_ENTERSIZEMOVE, 0, 0);
    SetCapture(hwnd);
}

void FollowMouse(HWND hwnd, const TDressing& d, POINT client) {
    POINT now = client;
    ClientToScreen(hwnd, &now);
    RECT wr;
    GetWindowRect(hwnd, &wr);
    const int dx = d.origin.x + now.x - d.grab.x - wr.left;
    const int dy = d.origin.y + now.y - d.grab.y - wr.top;
    if (dx == 0 && dy == 0)
        return;
    RECT to{wr.left + dx, wr.top + dy, wr.right + dx, wr.bottom + dy};
    SendMessageW(hwnd, WM_MOVING, 0, reinterpret_cast<LPARAM>(&to));
    SetWindowPos(hwnd, nullptr, to.left, to.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MakeBrush(TDressing& d);

// The frame and title for a client area of w x h, its brush and the rounded
// shape; false, leaving everything as it was, for a size no picture holds.
bool Compose(HWND hwnd, TDressing& d, int w, int h) {
    Bitmap picture = d.frame.ComposeFrame(w, h);
    if (picture.Empty())
        return false;
    {
        TGdiGlyphs glyphs;
        d.frame.DrawTitle(picture, glyphs, TitleFont(d.frame.Scale().dpi), d.title);
    }
    d.picture = std::move(picture);
    MakeBrush(d);
    GdiObject<HRGN> shape(
        CreateRoundRectRgn(1, 1, w, h, d.frame.CornerEllipse(), d.frame.CornerEllipse()));
    if (shape && SetWindowRgn(hwnd, shape.Get(), TRUE))
        shape.Release();  // the system owns it now
    return true;
}

// The close button for the frame's scale, in place of the one before.
void MakeCloseButton(HWND form, TDressing& d, int formWidth) {
    d.close = std::make_unique<TFrameCloseButton>(d.frame, d.picture);
    if (!d.close->Make(form, d.frame.ClosePlace(formWidth)))
        TraceFault("DressForm", "no close button");
}

LRESULT CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR ref) {
    auto* d = reinterpret_cast<TDressing*>(ref);
    switch (msg) {
        case WM_ERASEBKGND:
            BlitPicture(reinterpret_cast<HDC>(wp), 0, 0, d->picture);
            return 1;
        case WM_PRINTCLIENT:
            BlitPicture(reinterpret_cast<HDC>(wp), 0, 0, d->picture);
            break;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN: {
            // The form's own answer first, for the text colour it sets.
            const LRESULT own = DefSubclassProc(hwnd, msg, wp, lp);
            if (!d->brush)
                return own;
            const HDC dc = reinterpret_cast<HDC>(wp);
            POINT at{0, 0};
            MapWindowPoints(reinterpret_cast<HWND>(lp), hwnd, &at, 1);
            SetBkMode(dc, TRANSPARENT);
            SetBrushOrgEx(dc, -at.x, -at.y, nullptr);
            return reinterpret_cast<LRESULT>(d->brush.Get());
        }
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_XBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDBLCLK:
        case WM_XBUTTONDBLCLK: {
            if (!d->dragStrip || d->dragUp)
                break;
            RECT rc;
            GetClientRect(hwnd, &rc);
            const POINT p = MouseAt(lp);
            if (!InDragStrip(p.x, p.y, rc.right, d->frame.Scale()))
                break;
            StartMove(hwnd, *d, msg, p);
            return msg == WM_XBUTTONDOWN || msg == WM_XBUTTONDBLCLK;
        }
        case WM_MOUSEMOVE:
            if (!d->dragUp)
                break;
            FollowMouse(hwnd, *d, MouseAt(lp));
            return 0;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
        case WM_XBUTTONUP:
            if (!d->dragUp || msg != d->dragUp)
                break;
            EndMove(hwnd, *d);
            return msg == WM_XBUTTONUP;
        case WM_CAPTURECHANGED:
            // Another window took the mouse: the move is over.
            if (d->dragUp && reinterpret_cast<HWND>(lp) != hwnd) {
                d->dragUp = 0;
                SendMessageW(hwnd, WM_EXITSIZEMOVE, 0, 0);
            }
            break;
        case WM_SIZE:
            // A window that changes size gets its frame recomposed for it.
            if (const int w = LOWORD(lp), h = HIWORD(lp);
                wp != SIZE_MINIMIZED && w > 0 && h > 0 &&
                (w != d->picture.Width() || h != d->picture.Height()) && Compose(hwnd, *d, w, h)) {
                RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
            }
            if (d->close && d->close->Handle()) {
                const TSkinRect at = d->frame.ClosePlace(LOWORD(lp));
                SetWindowPos(d->close->Handle(), nullptr, at.left, at.top, 0, 0,
                             SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            }
            break;
        case WM_DPICHANGED: {
            // The frame takes the new scale before the form's own answer
            // resizes it, and is composed again when the size stayed.
            d->frame = d->base.AtScale(ScaleOfDpi(LOWORD(wp)));
            const LRESULT r = DefSubclassProc(hwnd, msg, wp, lp);
            RECT rc;
            GetClientRect(hwnd, &rc);
            Compose(hwnd, *d, rc.right, rc.bottom);
            MakeCloseButton(hwnd, *d, rc.right);
            RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
            return r;
        }
        case WM_NCDESTROY:
            RemovePropW(hwnd, kDressingProp);
            RemoveWindowSubclass(hwnd, FrameProc, id);
            delete d;
            return DefSubclassProc(hwnd, msg, wp, lp);
        default:
            break;
    }
    return DefSubclassProc(hwnd, msg, wp, lp);
}

TDressing* DressingOf(HWND hwnd) {
    return hwnd ? static_cast<TDressing*>(GetPropW(hwnd, kDressingProp)) : nullptr;
}

// The picture as a pattern brush, so that controls painting their
// background with it show the frame behind them.
void MakeBrush(TDressing& d) {
    WindowDc screen(nullptr);
    if (!screen)
        return;
    GdiObject<HBITMAP> bitmap(
        CreateCompatibleBitmap(screen.Get(), d.picture.Width(), d.picture.Height()));
    MemoryDc mem(CreateCompatibleDC(screen.Get()));
    if (!bitmap || !mem)
        return;
    {
        SelectObjectScope select(mem.Get(), bitmap.Get());
        BlitPicture(mem.Get(), 0, 0, d.picture);
    }
    d.brush.Reset(CreatePatternBrush(bitmap.Get()));
    d.bitmap = std::move(bitmap);
}

std::optional<TMyWindow>& InstalledFrame() {
    static std::optional<TMyWindow> frame;
    return frame;
}

}  // namespace

bool DressForm(const TMyWindow& frame, HWND form, std::string_view title, bool dragStrip) {
    if (!IsWindow(form) || (GetWindowLongPtrW(form, GWL_STYLE) & WS_CHILD) || DressingOf(form))
        return false;
    RECT client, outer;
    GetClientRect(form, &client);
    GetWindowRect(form, &outer);
    const int w = client.right, h = client.bottom;
    auto d = std::make_unique<TDressing>(frame, MonitorScale(form));
    d->title = std::string(title);
    d->dragStrip = dragStrip;
    if (!Compose(form, *d, w, h))
        return false;
    if (!SetPropW(form, kDressingProp, d.get())) {
        SetWindowRgn(form, nullptr, FALSE);
        return false;
    }
    if (!SetWindowSubclass(form, FrameProc, kSubclassId, reinterpret_cast<DWORD_PTR>(d.get()))) {
        RemovePropW(form, kDressingProp);
        SetWindowRgn(form, nullptr, FALSE);
        return false;
    }
    TDressing& dressing = *d.release();  // the subclass owns it now

    const LONG_PTR style = GetWindowLongPtrW(form, GWL_STYLE);
    SetWindowLongPtrW(form, GWL_STYLE, (style & ~(WS_CAPTION | WS_THICKFRAME)) | WS_POPUP);
    const LONG_PTR exStyle = GetWindowLongPtrW(form, GWL_EXSTYLE);
    SetWindowLongPtrW(
        form, GWL_EXSTYLE,
        exStyle & ~(WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE | WS_EX_STATICEDGE));
    const int x = outer.left + (outer.right - outer.left - w) / 2;
    const int y = outer.top + (outer.bottom - outer.top - h) / 2;
    SetWindowPos(form, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    SetWindowTextW(form, Utf8ToWide(title).c_str());

    MakeCloseButton(form, dressing, w);
    RedrawWindow(form, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    return true;
}

TSkinResult InstallDialogFrame(const std::string& dataDir, const std::string& winFile) {
    TWinSkin skin;
    const TSkinResult result =
        winFile.empty() ? TSkinResult::Missing : ReadWinSkin(dataDir, dataDir + winFile, skin);
    InstalledFrame().emplace(result == TSkinResult::Applied ? TMyWindow(skin) : TMyWindow::Plain());
    return result;
}

bool ApplyDialogFrame(HWND form, std::string_view title, bool dragStrip) {
    std::optional<TMyWindow>& frame = InstalledFrame();
    if (!frame)
        frame.emplace(TMyWindow::Plain());
    return DressForm(*frame, form, title, dragStrip);
}

const Bitmap* DressedPicture(HWND form) {
    const TDressing* d = DressingOf(form);
    return d ? &d->picture : nullptr;
}

HWND DressedCloseButton(HWND form) {
    const TDressing* d = DressingOf(form);
    return d && d->close ? d->close->Handle() : nullptr;
}

}  // namespace tempora
