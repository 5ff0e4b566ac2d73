#include "display/Dialog_win.h"

#include "core/Encoding.h"
#include "display/MyWindow_win.h"
#include "win/Dpi_win.h"
#include "win/Gdi_win.h"

#include <commctrl.h>

namespace tempora {

namespace {

constexpr DWORD kStyle = WS_POPUP | WS_SYSMENU | WS_CLIPCHILDREN;

}  // namespace

void RunModal(HWND self, const int& result, const std::function<void()>& shown,
              const std::function<void()>& quit, const std::function<bool(const MSG&)>& filter) {
    const HWND owner = GetWindow(self, GW_OWNER);
    const bool disabledOwner = owner && IsWindowEnabled(owner);
    if (disabledOwner)
        EnableWindow(owner, FALSE);
    ShowWindow(self, SW_SHOW);
    SetForegroundWindow(self);
    if (shown)
        shown();

    while (result == 0) {
        MSG msg;
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0)
                PostQuitMessage(static_cast<int>(msg.wParam));
            quit();
            break;
        }
        if (filter && filter(msg))
            continue;
        if (!IsDialogMessageW(self, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    if (disabledOwner && IsWindow(owner))
        EnableWindow(owner, TRUE);
    if (IsWindow(self))
        ShowWindow(self, SW_HIDE);
}

TDialog::~TDialog() {
    // The controls go before the font they use.
    if (Handle())
        DestroyWindow(Handle());
}

bool TDialog::CreateDialogWindow(HWND owner, const wchar_t* className, std::string_view title,
                                 int width, int height) {
    const HMONITOR monitor = owner ? MonitorFromWindow(owner, MONITOR_DEFAULTTOPRIMARY)
                                   : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    GetMonitorInfoW(monitor, &mi);
    scale_ = owner ? MonitorScale(owner) : ScaleAt(mi.rcWork);
    width100_ = width;
    height100_ = height;
    const int w = Px(width), h = Px(height);
    const int x = mi.rcWork.left + (mi.rcWork.right - mi.rcWork.left - w) / 2;
    const int y = mi.rcWork.top + (mi.rcWork.bottom - mi.rcWork.top - h) / 2;
    if (!CreateWin(className, Utf8ToWide(title).c_str(), kStyle, WS_EX_CONTROLPARENT, x, y, w, h,
                   owner)) {
        return false;
    }
    font_.Reset(MakeScaledFont(L"宋体", 9, scale_));
    ApplyDialogFrame(Handle(), title, true);
    shadow_.Attach(Handle());
    return true;
}

HWND TDialog::AddControl(const wchar_t* cls, std::string_view text, DWORD style, int x, int y,
                         int w, int h, int id, DWORD exStyle) {
    const HWND hwnd = CreateWindowExW(exStyle, cls, Utf8ToWide(text).c_str(),
                                      WS_CHILD | WS_VISIBLE | style, Px(x), Px(y), Px(w), Px(h),
                                      Handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                      GetModuleHandleW(nullptr), nullptr);
    if (hwnd) {
        SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
        placed_.push_back({hwnd, RECT{x, y, x + w, y + h}});
    }
    return hwnd;
}

void TDialog::Rescale(TScale scale, const RECT& suggested) {
    scale_ = scale;
    GdiObject<HFONT> font(MakeScaledFont(L"宋体", 9, scale_));
    for (const TPlaced& c : placed_) {
        if (!IsWindow(c.hwnd))
            continue;
        if (reinterpret_cast<HFONT>(SendMessageW(c.hwnd, WM_GETFONT, 0, 0)) == font_.Get())
            SendMessageW(c.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), FALSE);
        // Up-down buttons take their place from their buddy below.
        if (c.at100.right > c.at100.left) {
            SetWindowPos(c.hwnd, nullptr, Px(c.at100.left), Px(c.at100.top),
                         Px(c.at100.right - c.at100.left), Px(c.at100.bottom - c.at100.top),
                         SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    for (const TPlaced& c : placed_) {
        wchar_t cls[32] = {};
        if (IsWindow(c.hwnd) && GetClassNameW(c.hwnd, cls, 32) &&
            lstrcmpiW(cls, UPDOWN_CLASSW) == 0) {
            SendMessageW(c.hwnd, UDM_SETBUDDY, SendMessageW(c.hwnd, UDM_GETBUDDY, 0, 0), 0);
        }
    }
    font_ = std::move(font);
    // The suggested place, at the size of the layout: rounding may differ.
    SetWindowPos(Handle(), nullptr, suggested.left, suggested.top, Px(width100_), Px(height100_),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    ScaleChanged();
    shadow_.UpdateShadow();
    RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

int TDialog::ShowModal() {
    if (!Handle())
        return IDCANCEL;
    modalResult_ = 0;
    RunModal(
        Handle(), modalResult_,
        [this] {
            if (const HWND focus = FirstFocus())
                SetFocus(focus);
            shadow_.UpdateShadow();
        },
        [this] { EndModal(IDCANCEL); }, [this](const MSG& msg) { return PreTranslate(msg); });
    return modalResult_;
}

void TDialog::EndModal(int result) {
    if (modalResult_ == 0)
        modalResult_ = result;
}

LRESULT TDialog::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_COMMAND:
            if (LOWORD(wp) == IDOK) {
                if (Accept())
                    EndModal(IDOK);
            } else if (LOWORD(wp) == IDCANCEL) {
                EndModal(IDCANCEL);
            } else {
                Command(LOWORD(wp), HIWORD(wp));
            }
            return 0;
        case WM_NOTIFY:
            return Notify(reinterpret_cast<NMHDR*>(lp));
        case WM_DPICHANGED:
            Rescale(ScaleOfDpi(LOWORD(wp)), *reinterpret_cast<const RECT*>(lp));
            return 0;
        case DM_GETDEFID:
            return MAKELRESULT(IDOK, DC_HASDEFID);
        case WM_CLOSE:
        case WM_DESTROY:
            EndModal(IDCANCEL);
            return 0;
        default:
            break;
    }
    return TWindow::WndProc(msg, wp, lp);
}

std::string WindowTextOf(HWND hwnd) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return WideToUtf8(text);
}

std::string ComboText(HWND combo) {
    const LRESULT i = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (i < 0)
        return {};
    const LRESULT len = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
    if (len < 0)
        return {};
    std::wstring text(static_cast<size_t>(len) + 1, L'\0');
    SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i),
                 reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(len));
    return WideToUtf8(text);
}

}  // namespace tempora
