#include "display/ufrmShadowFrame_win.h"

#include "win/Dpi_win.h"
#include "core/Handles_win.h"

#include <commctrl.h>

#include <algorithm>
#include <exception>
#include <optional>
#include <vector>

namespace tempora {

namespace {

constexpr uint32_t kShadowColor = 0;  // black

// The owner's see-through colour and alpha, as its layered attributes say.
struct OwnerLayering {
    std::optional<uint32_t> key;
    BYTE alpha = 255;
};

OwnerLayering ReadLayering(HWND owner) {
    OwnerLayering l;
    COLORREF key = 0;
    BYTE alpha = 255;
    DWORD flags = 0;
    if ((GetWindowLongPtrW(owner, GWL_EXSTYLE) & WS_EX_LAYERED) &&
        GetLayeredWindowAttributes(owner, &key, &alpha, &flags)) {
        if (flags & LWA_COLORKEY)
            l.key = key;
        if (flags & LWA_ALPHA)
            l.alpha = alpha;
    }
    return l;
}

// The window region in window coordinates, when the owner has one that is
// not a plain rectangle.
std::vector<TShadowRect> ComplexRegion(HWND owner) {
    std::vector<TShadowRect> rects;
    GdiObject<HRGN> rgn(CreateRectRgn(0, 0, 0, 0));
    if (!rgn || GetWindowRgn(owner, rgn.Get()) != COMPLEXREGION)
        return rects;
    const DWORD size = GetRegionData(rgn.Get(), 0, nullptr);
    if (size < sizeof(RGNDATAHEADER))
        return rects;
    std::vector<BYTE> buffer(size);
    auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
    if (GetRegionData(rgn.Get(), size, data) != size)
        return rects;
    const DWORD count = std::min<DWORD>(data->rdh.nCount, (size - data->rdh.dwSize) / sizeof(RECT));
    const auto* r = reinterpret_cast<const RECT*>(buffer.data() + data->rdh.dwSize);
    for (DWORD i = 0; i < count; ++i)
        rects.push_back({r[i].left, r[i].top, r[i].right, r[i].bottom});
    return rects;
}

}  // namespace

TFormShadow::~TFormShadow() {
    Detach();
}

void TFormShadow::Attach(HWND owner, ClientPicture clientPicture) {
    Detach();
    clientPicture_ = std::move(clientPicture);
    // Another thread's window cannot be followed: its messages never pass here.
    if (!owner || !EnsureWindow() ||
        !SetWindowSubclass(owner, OwnerProc, reinterpret_cast<UINT_PTR>(this),
                           reinterpret_cast<DWORD_PTR>(this))) {
        return;
    }
    owner_ = owner;
    shown_ = IsWindowVisible(owner) != FALSE;
    picture_.Invalidate();
    Realign();
}

void TFormShadow::Detach() {
    if (owner_) {
        RemoveWindowSubclass(owner_, OwnerProc, reinterpret_cast<UINT_PTR>(this));
        owner_ = nullptr;
    }
    if (Handle())
        ShowWindow(Handle(), SW_HIDE);
}

void TFormShadow::SetShown(bool shown) {
    if (shown == shown_)
        return;
    shown_ = shown;
    Realign();
}

void TFormShadow::UpdateShadow() {
    picture_.Invalidate();
    Realign();
}

void TFormShadow::Realign() {
    if (owner_) {
        SetWindowPos(owner_, nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
}

bool TFormShadow::EnsureWindow() {
    // Click-through as well as never activated: the shadow must not catch
    // the mouse meant for what lies under it.
    return Handle() ||
           CreateWin(L"TFormShadow", L"", WS_POPUP,
                     WS_EX_NOACTIVATE | WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TRANSPARENT, 0, 0,
                     0, 0);
}

LRESULT CALLBACK TFormShadow::OwnerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                        DWORD_PTR ref) {
    auto* self = reinterpret_cast<TFormShadow*>(ref);
    if (msg == WM_NCDESTROY) {
        // The owner goes: the shadow hides and waits for another.
        self->Detach();
        return DefSubclassProc(hwnd, msg, wp, lp);
    }
    if (msg != WM_WINDOWPOSCHANGING && msg != WM_WINDOWPOSCHANGED && msg != WM_SHOWWINDOW)
        return DefSubclassProc(hwnd, msg, wp, lp);

    // The owner handles the message first; the shadow follows what it made of it.
    const LRESULT result = DefSubclassProc(hwnd, msg, wp, lp);
    if (self->owner_ != hwnd)
        return result;  // detached while the owner handled it
    try {
        if (msg == WM_SHOWWINDOW) {
            self->SetShown(wp != 0);
        } else if (msg == WM_WINDOWPOSCHANGING) {
            self->AfterPosChanging(*reinterpret_cast<const WINDOWPOS*>(lp));
        } else {
            self->AfterPosChanged(*reinterpret_cast<const WINDOWPOS*>(lp));
        }
    } catch (const std::exception& e) {
        TraceFault("shadow", e.what());
    } catch (...) {
        TraceFault("shadow", "unknown exception");
    }
    return result;
}

void TFormShadow::AfterPosChanging(const WINDOWPOS& pos) {
    if (IsIconic(owner_) || IsZoomed(owner_) || (pos.flags & SWP_HIDEWINDOW)) {
        SetWindowPos(Handle(), owner_, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_HIDEWINDOW);
    }
}

void TFormShadow::AfterPosChanged(const WINDOWPOS& pos) {
    RECT wr;
    GetWindowRect(owner_, &wr);
    const int x = (pos.flags & SWP_NOMOVE) ? wr.left : pos.x;
    const int y = (pos.flags & SWP_NOMOVE) ? wr.top : pos.y;
    // A minimised or maximised owner has no shadow: its size then is no
    // reason to build a picture.
    const bool normal = !IsIconic(owner_) && !IsZoomed(owner_);
    if (normal)
        RebuildShadow();
    const Bitmap& picture = picture_.Strength();
    SetWindowPos(Handle(), owner_, x - picture_.Margin(), y - picture_.Margin(), picture.Width(),
                 picture.Height(), SWP_NOACTIVATE);
    const bool show = shown_ && normal && !picture.Empty();
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                 (show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW) | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER |
                     SWP_NOACTIVATE);
}

void TFormShadow::RebuildShadow() {
    if (!shown_ || !owner_)
        return;
    RECT wr;
    GetWindowRect(owner_, &wr);
    const OwnerLayering layering = ReadLayering(owner_);
    TShadowOwner o;
    o.width = wr.right - wr.left;
    o.height = wr.bottom - wr.top;
    o.keyColor = layering.key;
    o.scale = WindowScale(owner_);
    if (!picture_.NeedsBuild(o.width, o.height, o.keyColor, o.scale))
        return;

    o.region = ComplexRegion(owner_);
    POINT client{0, 0};
    ClientToScreen(owner_, &client);
    o.clientLeft = client.x - wr.left;
    o.clientTop = client.y - wr.top;
    const LONG_PTR style = GetWindowLongPtrW(owner_, GWL_STYLE);
    if (o.region.empty() && (style & (WS_BORDER | WS_DLGFRAME | WS_THICKFRAME))) {
        // A framed owner: its shadow starts a third of the way into the frame.
        RECT cr;
        GetClientRect(owner_, &cr);
        o.growX = o.clientLeft / 3;
        o.growY = (wr.bottom - client.y - cr.bottom) / 3;
    }
    if (o.keyColor && clientPicture_)
        o.client = clientPicture_();
    picture_.Build(o);
    ++rebuilds_;
    sourceAlpha_ = layering.alpha;
    PushLayered();
}

void TFormShadow::PushLayered() {
    const Bitmap& picture = picture_.Strength();
    if (picture.Empty())
        return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = picture.Width();
    info.bmiHeader.biHeight = -picture.Height();
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    WindowDc screen(nullptr);
    void* bits = nullptr;
    GdiObject<HBITMAP> dib(
        CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    MemoryDc mem(CreateCompatibleDC(screen.Get()));
    if (!dib || !mem || !bits)
        return;
    PremultiplyShadow(picture, kShadowColor, static_cast<uint32_t*>(bits));
    SelectObjectScope select(mem.Get(), dib.Get());
    SIZE size{picture.Width(), picture.Height()};
    POINT origin{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, sourceAlpha_, AC_SRC_ALPHA};
    UpdateLayeredWindow(Handle(), screen.Get(), nullptr, &size, mem.Get(), &origin, 0, &blend,
                        ULW_ALPHA);
}

}  // namespace tempora
