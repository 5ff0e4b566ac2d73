#include "app/Magnetic_win.h"

namespace tempora {

namespace {

TMagnetic* g_magnet = nullptr;

// Where a docked view keeps the window procedure it had before the magnet's.
constexpr wchar_t kViewProcProp[] = L"Tempora.DockedViewProc";

HWND ToHwnd(TMagWindow w) {
    return reinterpret_cast<HWND>(w);
}
TMagWindow ToId(HWND w) {
    return reinterpret_cast<TMagWindow>(w);
}
TMagRect ToMag(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}
RECT ToRect(const TMagRect& r) {
    return {r.left, r.top, r.right, r.bottom};
}

LRESULT CALLBACK DockedViewWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    const auto previous = reinterpret_cast<WNDPROC>(GetPropW(hwnd, kViewProcProp));
    if (!previous)
        return DefWindowProcW(hwnd, msg, wp, lp);
    TMagnetMessage rec{wp, lp, 0};
    bool handled = false;
    switch (msg) {
        case WM_SYSCOMMAND:
        case WM_ENTERSIZEMOVE:
        case WM_EXITSIZEMOVE:
        case WM_WINDOWPOSCHANGED:
        case WM_COMMAND: {
            // The window's own handling first: the magnet reads where it ended.
            const LRESULT result = CallWindowProcW(previous, hwnd, msg, wp, lp);
            MagnetHook(hwnd, msg, rec, handled);
            return result;
        }
        case WM_MOVING:
        case WM_SIZING:
            if (MagnetHook(hwnd, msg, rec, handled) && handled)
                return rec.result;
            break;
        case WM_DESTROY:
            if (TMagnetic* magnet = TMagnetic::Instance())
                magnet->RemoveWindow(hwnd);
            break;
        case WM_NCDESTROY:
            SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
            RemovePropW(hwnd, kViewProcProp);
            break;
        default:
            break;
    }
    return CallWindowProcW(previous, hwnd, msg, wp, lp);
}

}  // namespace

class TMagnetic::Desktop final : public IMagnetDesktop {
public:
    explicit Desktop(std::function<POINT()> cursor) : cursor_(std::move(cursor)) {}

    bool IsWindow(TMagWindow w) const override { return w != 0 && ::IsWindow(ToHwnd(w)); }
    bool IsVisible(TMagWindow w) const override { return IsWindowVisible(ToHwnd(w)) != FALSE; }
    bool IsMaximised(TMagWindow w) const override { return IsZoomed(ToHwnd(w)) != FALSE; }
    TMagRect WindowRect(TMagWindow w) const override {
        RECT r{};
        if (!GetWindowRect(ToHwnd(w), &r))
            return {};
        return ToMag(r);
    }
    TMagRect WorkAreaOf(TMagWindow w) const override {
        // The monitor the window is on, or the nearest one when it was
        // dragged off every screen.
        MONITORINFO info{};
        info.cbSize = sizeof info;
        if (GetMonitorInfoW(MonitorFromWindow(ToHwnd(w), MONITOR_DEFAULTTONEAREST), &info))
            return ToMag(info.rcWork);
        RECT r{};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0);
        return ToMag(r);
    }
    TMagPoint CursorPos() const override {
        POINT p{};
        if (cursor_)
            p = cursor_();
        else
            GetCursorPos(&p);
        return {p.x, p.y};
    }
    void MoveTogether(const std::vector<std::pair<TMagWindow, TMagPoint>>& moves) override {
        HDWP batch = BeginDeferWindowPos(static_cast<int>(moves.size()));
        for (const auto& [w, p] : moves) {
            if (batch)
                batch = DeferWindowPos(batch, ToHwnd(w), nullptr, p.x, p.y, 0, 0,
                                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        if (batch) {
            EndDeferWindowPos(batch);
            return;
        }
        // The batch could not be had: the windows still go, one by one.
        for (const auto& [w, p] : moves)
            SetWindowPos(ToHwnd(w), nullptr, p.x, p.y, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

private:
    std::function<POINT()> cursor_;
};

TMagnetic::TMagnetic(std::function<POINT()> cursor)
    : desktop_(std::make_unique<Desktop>(std::move(cursor))),
      model_(std::make_unique<TMagnetModel>(*desktop_)) {
    if (!g_magnet)
        g_magnet = this;
}

TMagnetic::~TMagnetic() {
    if (g_magnet == this)
        g_magnet = nullptr;
}

TMagnetic* TMagnetic::Instance() {
    return g_magnet;
}

bool TMagnetic::AddWindow(HWND w, HWND parent) {
    return model_->AddWindow(ToId(w), ToId(parent));
}

bool TMagnetic::RemoveWindow(HWND w) {
    return model_->RemoveWindow(ToId(w));
}

void TMagnetic::MagnetHandleMessage(HWND w, UINT msg, WPARAM wp, LPARAM lp, bool& handled,
                                    LRESULT& result) {
    handled = false;
    switch (msg) {
        case WM_WINDOWPOSCHANGED: {
            const auto* pos = reinterpret_cast<const WINDOWPOS*>(lp);
            if (pos && (pos->flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW)))
                model_->UpdateAttachments();
            break;
        }
        case WM_COMMAND:
        case WM_EXITSIZEMOVE:
            model_->UpdateAttachments();
            break;
        case WM_SYSCOMMAND:
            if (wp == SC_MINIMIZE || wp == SC_RESTORE)
                model_->UpdateAttachments();
            break;
        case WM_ENTERSIZEMOVE:
            model_->BeginMove(ToId(w));
            break;
        case WM_SIZING:
        case WM_MOVING: {
            auto* rect = reinterpret_cast<RECT*>(lp);
            if (!rect)
                break;
            TMagRect r = ToMag(*rect);
            if (msg == WM_SIZING)
                model_->SnapSizing(ToId(w), r, static_cast<int>(wp));
            else
                model_->SnapMoving(ToId(w), r);
            *rect = ToRect(r);
            handled = true;
            result = TRUE;
            break;
        }
        default:
            break;
    }
}

bool MagnetHook(HWND w, UINT msg, TMagnetMessage& rec, bool& handled) {
    handled = false;
    if (!g_magnet)
        return false;
    g_magnet->MagnetHandleMessage(w, msg, rec.wParam, rec.lParam, handled, rec.result);
    return true;
}

bool DockView(HWND view, HWND parent) {
    if (!g_magnet || !g_magnet->AddWindow(view, parent))
        return false;
    if (!GetPropW(view, kViewProcProp)) {
        const LONG_PTR previous = GetWindowLongPtrW(view, GWLP_WNDPROC);
        SetPropW(view, kViewProcProp, reinterpret_cast<HANDLE>(previous));
        SetWindowLongPtrW(view, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&DockedViewWndProc));
    }
    return true;
}

}  // namespace tempora
