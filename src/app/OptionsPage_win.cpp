#include "app/OptionsPage_win.h"

#include "core/Encoding.h"
#include "core/Text.h"
#include "display/Dialog_win.h"
#include "display/MyWindow_win.h"
#include "win/PictureBlit_win.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

namespace tempora {

namespace {

// A group box paints its frame and caption only; what lies inside would show
// whatever the page before left on the screen, since the dialog does not
// paint under its children. It gets the dialog's background first.
LRESULT CALLBACK GroupBoxProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
    switch (msg) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            const HDC dc = BeginPaint(hwnd, &ps);
            BlitPicture(dc, 0, 0, BackgroundUnder(GetParent(hwnd), hwnd));
            DefSubclassProc(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_NCDESTROY:
            RemoveWindowSubclass(hwnd, GroupBoxProc, 0);
            break;
        default:
            break;
    }
    return DefSubclassProc(hwnd, msg, wp, lp);
}

}  // namespace

Bitmap BackgroundUnder(HWND dialog, HWND child) {
    RECT r{};
    GetClientRect(child, &r);
    POINT at{0, 0};
    MapWindowPoints(child, dialog, &at, 1);
    Bitmap out;
    out.Create(r.right, r.bottom, GetSysColor(COLOR_BTNFACE) & 0xFFFFFF);
    if (const Bitmap* frame = DressedPicture(dialog))
        out.CopyRect(0, 0, *frame, at.x, at.y, r.right, r.bottom);
    return out;
}

bool WriteOptionKeys(HWND owner, const std::string& path, const std::vector<TIniValue>& values) {
    try {
        WriteSettings(path, values);
        return true;
    } catch (const EIniWriteError&) {
        const std::string text = "无法保存设置：\n" + path +
                                 "\n\n文件可能是只读的，或磁盘已满。设置没有保存，"
                                 "原来的文件没有改动；请处理后再关闭此窗口。";
        MessageBoxW(owner, Utf8ToWide(text).c_str(), L"警告", MB_OK | MB_ICONWARNING);
        return false;
    }
}

TOptionsPage::TOptionsPage(HWND dialog, TOptionsHost& host, TAddControl add)
    : dialog_(dialog), host_(host), add_(std::move(add)) {}

void TOptionsPage::Show(bool on) {
    for (HWND hwnd : controls_) {
        // "日期 - 公历农历循环显示" keeps its setting but never shows.
        const bool shows = on && GetDlgCtrlID(hwnd) != UiCheckBox7;
        ShowWindow(hwnd, shows ? SW_SHOW : SW_HIDE);
    }
}

HWND TOptionsPage::Add(const wchar_t* cls, std::string_view text, DWORD style, int x, int y, int w,
                       int h, int id, DWORD exStyle) {
    const HWND hwnd = add_(cls, text, style, x, y, w, h, id, exStyle);
    controls_.push_back(hwnd);
    return hwnd;
}

void TOptionsPage::AddGroup(std::string_view caption, int x, int y, int w, int h) {
    // Below the controls it frames, which clip it, so that painting its
    // inside never covers them.
    const HWND box = Add(WC_BUTTONW, caption, BS_GROUPBOX | WS_CLIPSIBLINGS, x, y, w, h, 0);
    SetWindowPos(box, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowSubclass(box, GroupBoxProc, 0, 0);
}

void TOptionsPage::AddSpin(int id, int x, int y, int lo, int hi) {
    const HWND edit =
        Add(WC_EDITW, "", ES_NUMBER | WS_TABSTOP | WS_GROUP, x, y, 70, 22, id, WS_EX_CLIENTEDGE);
    SendMessageW(edit, EM_LIMITTEXT, 4, 0);
    const HWND updown =
        Add(UPDOWN_CLASSW, "", UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS,
            0, 0, 0, 0, id + kSpinButton);
    SendMessageW(updown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit), 0);
    SendMessageW(updown, UDM_SETRANGE32, static_cast<WPARAM>(lo), hi);
    SendMessageW(updown, UDM_SETPOS32, 0, lo);
}

HWND TOptionsPage::AddCombo(int id, int x, int y, int w, std::span<const char* const> items) {
    const HWND c = Add(WC_COMBOBOXW, "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP, x,
                       y, w, 240, id);
    for (const char* item : items)
        SendMessageW(c, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Utf8ToWide(item).c_str()));
    return c;
}

void TOptionsPage::AddTrack(int id, int x, int y, int w, const TSettingKey& key) {
    const HWND t =
        Add(TRACKBAR_CLASSW, "", TBS_HORZ | TBS_NOTICKS | WS_TABSTOP | WS_GROUP, x, y, w, 28, id);
    SendMessageW(t, TBM_SETRANGEMIN, FALSE, key.lo);
    SendMessageW(t, TBM_SETRANGEMAX, TRUE, key.hi);
    SendMessageW(t, TBM_SETPAGESIZE, 0, 10);
}

void TOptionsPage::AddList(int id, int x, int y, int w, int h) {
    const HWND lv = Add(
        WC_LISTVIEWW, "",
        LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOCOLUMNHEADER | WS_TABSTOP | WS_GROUP,
        x, y, w, h, id, WS_EX_CLIENTEDGE);
    ListView_SetExtendedListViewStyle(lv, LVS_EX_FULLROWSELECT);
    LVCOLUMNW col{};
    col.mask = LVCF_WIDTH;
    // The list's own width: the dialog made it at its scale.
    RECT client{};
    GetClientRect(lv, &client);
    col.cx = client.right - GetSystemMetrics(SM_CXVSCROLL) - 2;
    ListView_InsertColumn(lv, 0, &col);
}

bool TOptionsPage::Checked(int id) const {
    return SendMessageW(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TOptionsPage::SetChecked(int id, bool on) {
    SendMessageW(Item(id), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TOptionsPage::Enable(int id, bool on) {
    EnableWindow(Item(id), on ? TRUE : FALSE);
}

int TOptionsPage::SpinValue(int id) const {
    BOOL failed = FALSE;
    const LRESULT v =
        SendMessageW(Item(id + kSpinButton), UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&failed));
    int lo = 0, hi = 0;
    SendMessageW(Item(id + kSpinButton), UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lo),
                 reinterpret_cast<LPARAM>(&hi));
    uint64_t typed = 0;
    if (failed && ParseUnsigned(Trim(WindowTextOf(Item(id))), typed))
        return static_cast<int>(
            std::clamp<uint64_t>(typed, static_cast<uint64_t>(lo), static_cast<uint64_t>(hi)));
    return std::clamp(static_cast<int>(v), lo, hi);
}

void TOptionsPage::SetSpinValue(int id, int value) {
    SendMessageW(Item(id + kSpinButton), UDM_SETPOS32, 0, value);
}

bool TOptionsPage::Write(const std::vector<TIniValue>& values) const {
    return WriteOptionKeys(dialog_, host_.DataDir() + kSettingsFile, values);
}

void TOptionsPage::Tell(const wchar_t* text, const wchar_t* title, UINT icon) const {
    MessageBoxW(dialog_, text, title, MB_OK | icon);
}

}  // namespace tempora
