#include "TaskDialog_win.h"

#include "core/Encoding.h"
#include "display/MyWindow_win.h"
#include "win/Gdi_win.h"

namespace tempora {

namespace {

constexpr DWORD kStyle = WS_POPUP | WS_SYSMENU | WS_CLIPCHILDREN;

}  // namespace

TTaskDialog::~TTaskDialog() {
    // The controls go before the font they use.
    if (Handle())
        DestroyWindow(Handle());
}

bool TTaskDialog::CreateDialogWindow(HWND owner, const wchar_t* className, std::string_view title,
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

HWND TTaskDialog::AddControl(const wchar_t* cls, std::string_view text, DWORD style, int x, int y,
                             int w, int h, int id, DWORD exStyle) {
    const HWND hwnd = CreateWindowExW(
        exStyle, cls, Utf8ToWide(text).c_str(), WS_CHILD | WS_VISIBLE | style, x, y, w, h, Handle(),
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    if (hwnd)
        SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
    return hwnd;
}

int TTaskDialog::ShowModal() {
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
    if (const HWND focus = FirstFocus())
        SetFocus(focus);

    while (modalResult_ == 0) {
        MSG msg;
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0)
                PostQuitMessage(static_cast<int>(msg.wParam));
            EndModal(IDCANCEL);
            break;
        }
        if (PreTranslate(msg))
            continue;
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

void TTaskDialog::EndModal(int result) {
    if (modalResult_ == 0)
        modalResult_ = result;
}

void TTaskDialog::PopupMenu(const std::vector<MenuItem>& items, POINT screenAt) {
    // A painter per menu, so that the items of menus gone do not pile up.
    menuPainter_ = std::make_unique<TMenuController>(nullptr);
    MenuHandle menu(CreatePopupMenu());
    for (const MenuItem& item : items) {
        if (item.id == 0) {
            menuPainter_->AddSeparator(menu.Get());
        } else {
            menuPainter_->Add(menu.Get(), static_cast<UINT>(item.id), Utf8ToWide(item.caption), -1,
                              item.enabled);
        }
    }
    TrackPopupMenu(menu.Get(), TPM_RIGHTBUTTON, screenAt.x, screenAt.y, 0, Handle(), nullptr);
}

LRESULT TTaskDialog::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
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
        case WM_MEASUREITEM:
            if (menuPainter_ &&
                menuPainter_->OnMeasureItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lp)))
                return TRUE;
            break;
        case WM_DRAWITEM:
            if (menuPainter_ && menuPainter_->OnDrawItem(reinterpret_cast<DRAWITEMSTRUCT*>(lp)))
                return TRUE;
            break;
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

std::string TaskWindowText(HWND hwnd) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return WideToUtf8(text);
}

}  // namespace tempora
