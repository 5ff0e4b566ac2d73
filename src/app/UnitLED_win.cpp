#include "app/UnitLED_win.h"

namespace tempora {

bool TFrmLED::Create() {
    const int w = 332, h = 34;
    const int x = GetSystemMetrics(SM_CXSCREEN) - w;
    if (!CreateWin(L"TFrmLED", L"Tempora", WS_POPUP, WS_EX_TOOLWINDOW, x, 0, w, h, nullptr,
                   LoadIconW(nullptr, IDI_APPLICATION))) {
        return false;
    }
    tray_.cbSize = sizeof tray_;
    tray_.hWnd = Handle();
    tray_.uID = 1;
    tray_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    tray_.uCallbackMessage = WM_TRAYICON;
    tray_.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    lstrcpynW(tray_.szTip, L"Tempora", ARRAYSIZE(tray_.szTip));
    Shell_NotifyIconW(NIM_ADD, &tray_);
    ShowWindow(Handle(), SW_SHOWNOACTIVATE);
    return true;
}

void TFrmLED::ShowTrayMenu() {
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, PM_Exit, L"退出");
    POINT pt;
    GetCursorPos(&pt);
    SetForegroundWindow(Handle());
    TrackPopupMenu(menu, TPM_RIGHTBUTTON, pt.x, pt.y, 0, Handle(), nullptr);
    DestroyMenu(menu);
}

LRESULT TFrmLED::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_TRAYICON:
            if (LOWORD(lp) == WM_RBUTTONUP) ShowTrayMenu();
            return 0;
        case WM_RBUTTONUP:
            ShowTrayMenu();
            return 0;
        case WM_COMMAND:
            if (LOWORD(wp) == PM_Exit) DestroyWindow(Handle());
            return 0;
        case WM_PAINT: {
            PaintScope paint(Handle());
            RECT rc;
            GetClientRect(Handle(), &rc);
            GdiObject<HBRUSH> brush(CreateSolidBrush(RGB(24, 28, 36)));
            FillRect(paint.Dc(), &rc, brush.Get());
            return 0;
        }
        case WM_DESTROY:
            Shell_NotifyIconW(NIM_DELETE, &tray_);
            PostQuitMessage(0);
            return 0;
        default:
            return TWindow::WndProc(msg, wp, lp);
    }
}

}  // namespace tempora
