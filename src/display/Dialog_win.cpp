#include "display/Dialog_win.h"

#include "core/Encoding.h"
#include "display/MyWindow_win.h"
#include "win/Gdi_win.h"

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
    const int x = mi.rcWork.left + (mi.rcWork.right - mi.rcWork.left - width) / 2;
    const int y = mi.rcWork.top + (mi.rcWork.bottom - mi.rcWork.top - height) / 2;
    if (!CreateWin(className, Utf8ToWide(title).c_str(), kStyle, WS_EX_CONTROLPARENT, x, y, width,
                   height, owner)) {
        return false;
    }
    font_.Reset(MakeFont(L"宋体", 9));
    ApplyDialogFrame(Handle(), title, true);
    shadow_.Attach(Handle());
    return true;
}

HWND TDialog::AddControl(const wchar_t* cls, std::string_view text, DWORD style, int x, int y,
                         int w, int h, int id, DWORD exStyle) {
    const HWND hwnd = CreateWindowExW(
        exStyle, cls, Utf8ToWide(text).c_str(), WS_CHILD | WS_VISIBLE | style, x, y, w, h, Handle(),
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    if (hwnd)
        SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
    return hwnd;
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
