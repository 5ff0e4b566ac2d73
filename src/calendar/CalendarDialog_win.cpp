#include "CalendarDialog_win.h"

#include "core/ClockSource.h"
#include "core/Encoding.h"
#include "display/MyWindow_win.h"
#include "win/Gdi_win.h"

namespace tempora {

namespace {

constexpr DWORD kStyle = WS_POPUP | WS_SYSMENU | WS_CLIPCHILDREN;

}  // namespace

TCalendarDialog::~TCalendarDialog() {
    // The controls go before the font they use.
    if (Handle())
        DestroyWindow(Handle());
}

bool TCalendarDialog::CreateDialogWindow(HWND owner, const wchar_t* className,
                                         std::string_view title, int width, int height) {
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

HWND TCalendarDialog::AddControl(const wchar_t* cls, std::string_view text, DWORD style, int x,
                                 int y, int w, int h, int id, DWORD exStyle) {
    const HWND hwnd = CreateWindowExW(
        exStyle, cls, Utf8ToWide(text).c_str(), WS_CHILD | WS_VISIBLE | style, x, y, w, h, Handle(),
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    if (hwnd)
        SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
    return hwnd;
}

int TCalendarDialog::ShowModal() {
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

void TCalendarDialog::EndModal(int result) {
    if (modalResult_ == 0)
        modalResult_ = result;
}

LRESULT TCalendarDialog::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
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

void ShowInvalidDate(HWND owner, std::string_view solarKey) {
    const int year = DecodeDate(ClockSource::Current().NowLocal()).year;
    const std::string key(solarKey.substr(0, 4));
    const std::string text = "日期无效：" + std::to_string(year) + "年没有" + key.substr(0, 2) +
                             "月" + (key.size() > 2 ? key.substr(2) : std::string()) +
                             "日，无法换算成农历。";
    MessageBoxW(owner, Utf8ToWide(text).c_str(), L"警告", MB_OK | MB_ICONWARNING);
}

bool SaveMarksOrTell(HWND owner, TCalendarMarks& marks, const std::string& dataDir) {
    if (marks.SaveMarks(dataDir))
        return true;
    const std::string text = "无法保存日历标记文件：\n" + dataDir + kMarksFileName +
                             "\n\n文件可能是只读的，或磁盘已满。原来的文件没有改动；"
                             "这次的修改在程序关闭前仍然有效，下次修改标记时会再次尝试保存。";
    MessageBoxW(owner, Utf8ToWide(text).c_str(), L"警告", MB_OK | MB_ICONWARNING);
    return false;
}

}  // namespace tempora
