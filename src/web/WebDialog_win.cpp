#include "web/WebDialog_win.h"

#include "core/Encoding.h"
#include "display/MyWindow_win.h"
#include "win/Gdi_win.h"

namespace tempora {

namespace {
constexpr DWORD kStyle = WS_POPUP | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr COLORREF kLinkColor = RGB(0, 70, 200);
}  // namespace

TWebDialog::~TWebDialog() {
    // The controls go before the fonts they use.
    if (Handle())
        DestroyWindow(Handle());
}

bool TWebDialog::CreateDialogWindow(HWND owner, const wchar_t* className, std::string_view title,
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
    linkFont_.Reset(MakeFont(L"宋体", 9, FW_NORMAL, false, true));
    ApplyDialogFrame(Handle(), title, true);
    shadow_.Attach(Handle());
    return true;
}

HWND TWebDialog::AddControl(const wchar_t* cls, std::string_view text, DWORD style, int x, int y,
                            int w, int h, int id) {
    const HWND hwnd = CreateWindowExW(
        0, cls, Utf8ToWide(text).c_str(), WS_CHILD | WS_VISIBLE | style, x, y, w, h, Handle(),
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    if (hwnd)
        SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
    return hwnd;
}

HWND TWebDialog::AddLink(std::string_view text, const std::string& address, int x, int y, int w,
                         int h, int id) {
    const HWND hwnd = AddControl(
        L"STATIC", text, SS_LEFT | SS_NOPREFIX | SS_NOTIFY | SS_ENDELLIPSIS, x, y, w, h, id);
    if (hwnd)
        SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(linkFont_.Get()), FALSE);
    links_[id] = address;
    return hwnd;
}

void TWebDialog::SetLink(int id, std::string_view text, const std::string& address) {
    links_[id] = address;
    SetWindowTextW(Item(id), Utf8ToWide(text).c_str());
}

std::string TWebDialog::LinkOf(int id) const {
    const auto it = links_.find(id);
    return it == links_.end() ? std::string() : it->second;
}

int TWebDialog::ShowModal() {
    const HWND self = Handle();
    if (!self)
        return IDCANCEL;
    const HWND owner = GetWindow(self, GW_OWNER);
    const bool disabledOwner = owner && IsWindowEnabled(owner);
    if (disabledOwner)
        EnableWindow(owner, FALSE);
    modalResult_ = 0;
    ShowWindow(self, SW_SHOW);
    SetForegroundWindow(self);
    SetFocus(Item(IDOK));
    shadow_.UpdateShadow();

    while (modalResult_ == 0) {
        MSG msg;
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0)
                PostQuitMessage(static_cast<int>(msg.wParam));
            EndModal(IDCANCEL);
            break;
        }
        if (!IsDialogMessageW(self, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    // The owner comes back before this window hides, so that it gets the activation.
    if (disabledOwner && IsWindow(owner))
        EnableWindow(owner, TRUE);
    if (Handle())
        ShowWindow(Handle(), SW_HIDE);
    return modalResult_;
}

void TWebDialog::EndModal(int result) {
    if (modalResult_ == 0)
        modalResult_ = result;
}

LRESULT TWebDialog::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_COMMAND: {
            const int id = LOWORD(wp);
            if (id == IDOK || id == IDCANCEL) {
                EndModal(id);
            } else if (HIWORD(wp) == STN_CLICKED && links_.count(id) && open_) {
                const std::string address = links_[id];
                if (!address.empty())
                    open_(address);
            }
            return 0;
        }
        case WM_CTLCOLORSTATIC: {
            // The default answer sets the text colour too, so the link's comes after it.
            const LRESULT brush = TWindow::WndProc(msg, wp, lp);
            if (links_.count(GetDlgCtrlID(reinterpret_cast<HWND>(lp))))
                SetTextColor(reinterpret_cast<HDC>(wp), kLinkColor);
            return brush;
        }
        case WM_SETCURSOR: {
            const int id = GetDlgCtrlID(reinterpret_cast<HWND>(wp));
            if (reinterpret_cast<HWND>(wp) != Handle() && links_.count(id) && !LinkOf(id).empty()) {
                SetCursor(LoadCursorW(nullptr, IDC_HAND));
                return TRUE;
            }
            break;
        }
        case DM_GETDEFID:
            return MAKELRESULT(IDOK, DC_HASDEFID);
        case WM_CLOSE:
            EndModal(IDCANCEL);
            return 0;
        case WM_DESTROY:
            EndModal(IDCANCEL);
            return 0;
        default:
            break;
    }
    return TWindow::WndProc(msg, wp, lp);
}

}  // namespace tempora
