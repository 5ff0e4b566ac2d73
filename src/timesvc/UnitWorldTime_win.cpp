#include "UnitWorldTime_win.h"

#include "core/ClockSource.h"
#include "core/Encoding.h"
#include "display/MyWindow_win.h"
#include "win/Dpi_win.h"
#include "win/Gdi_win.h"

#include <commctrl.h>

namespace tempora {

namespace {

constexpr DWORD kStyle = WS_POPUP | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr UINT_PTR kKeySubclassId = 0x57544B59;
constexpr int kDropDownRows = 30;
// Posted when a city loses the selection: the panel hides unless another
// city took it meanwhile (a click moves it in two steps).
constexpr UINT kCheckSelection = WM_APP + 1;

// Where things sit in the client area at 100 %, below the frame's 28-row
// caption strip.
constexpr int kMargin = 16;
constexpr int kLabelH = 14;
constexpr int kComboX = 88, kComboY = 40, kComboW = 192;
constexpr int kListY = 72, kListW = 264, kListH = 206;
constexpr int kNameColumnW = 116;
constexpr int kPanelX = kMargin + kListW + 16, kPanelY = kListY - 8;
constexpr int kPanelW = TFrmWorldTime::kWidth - kMargin - kPanelX, kPanelH = kListH + 8;
constexpr int kTextX = kPanelX + 12, kTextW = kPanelW - 24;
constexpr int kButtonW = 84, kButtonH = 26;
constexpr int kButtonX = TFrmWorldTime::kWidth - kMargin - kButtonW;
constexpr int kButtonY = TFrmWorldTime::kHeight - 14 - kButtonH;

// The panel's lines: top and height of Label3 .. Label9.
struct LabelPlace {
    int top, height;
};
constexpr LabelPlace kPanelLines[] = {
    {kPanelY + 14, 30},   // title, up to two lines
    {kPanelY + 54, 20},   // time
    {kPanelY + 92, 16},   // zone
    {kPanelY + 114, 16},  // position
    {kPanelY + 152, 16},  // daylight-saving start
    {kPanelY + 174, 16},  // daylight-saving end
    {kPanelY + 133, 16},  // the difference to Beijing time
};

std::wstring Wide(const std::string& text) {
    return Utf8ToWide(text);
}

}  // namespace

TFrmWorldTime::~TFrmWorldTime() {
    // The controls go before the fonts they use.
    if (Handle())
        DestroyWindow(Handle());
}

bool TFrmWorldTime::Create(HWND owner, const std::string& dataDir) {
    const INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);

    const HMONITOR monitor = owner ? MonitorFromWindow(owner, MONITOR_DEFAULTTOPRIMARY)
                                   : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    GetMonitorInfoW(monitor, &mi);
    // At the scale of the monitor it opens on.
    scale_ = owner ? MonitorScale(owner) : ScaleAt(mi.rcWork);
    const int w = Px(kWidth), h = Px(kHeight);
    const int x = mi.rcWork.left + (mi.rcWork.right - mi.rcWork.left - w) / 2;
    const int y = mi.rcWork.top + (mi.rcWork.bottom - mi.rcWork.top - h) / 2;
    if (!CreateWin(kClassName, L"城市时间查询", kStyle, 0, x, y, w, h, owner))
        return false;

    font_.Reset(MakeScaledFont(L"宋体", 9, scale_));
    boldFont_.Reset(MakeScaledFont(L"宋体", 9, scale_, FW_BOLD));
    timeFont_.Reset(MakeScaledFont(L"宋体", 10, scale_, FW_BOLD));
    const HINSTANCE inst = GetModuleHandleW(nullptr);
    const auto child = [&](const wchar_t* cls, const wchar_t* text, DWORD style, DWORD exStyle,
                           int cx, int cy, int cw, int ch, int id, HFONT font) {
        const HWND hwnd = CreateWindowExW(
            exStyle, cls, text, WS_CHILD | style, Px(cx), Px(cy), Px(cw), Px(ch), Handle(),
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), inst, nullptr);
        SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        return hwnd;
    };
    constexpr DWORD kLabel = SS_LEFT | SS_NOPREFIX;
    child(L"STATIC", L"国家/地区:", WS_VISIBLE | kLabel, 0, kMargin, kComboY + 4, kComboX - kMargin,
          kLabelH, Label1Id, font_.Get());
    const HWND combo =
        child(WC_COMBOBOXW, L"", WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0,
              kComboX, kComboY, kComboW, 200, UiComboBox1Id, font_.Get());
    // Room for the drop-down rows: the window's height for the classic
    // control, the minimum of visible rows for the themed one.
    const int fieldH = static_cast<int>(SendMessageW(combo, CB_GETITEMHEIGHT, -1, 0));
    const int rowH = static_cast<int>(SendMessageW(combo, CB_GETITEMHEIGHT, 0, 0));
    SetWindowPos(combo, nullptr, 0, 0, Px(kComboW), fieldH + Px(8) + rowH * kDropDownRows,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(combo, CB_SETMINVISIBLE, kDropDownRows, 0);
    const HWND list =
        child(WC_LISTVIEWW, L"",
              WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SINGLESEL |
                  LVS_SHOWSELALWAYS,
              WS_EX_CLIENTEDGE, kMargin, kListY, kListW, kListH, UiListView1Id, font_.Get());
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    column.cx = Px(kNameColumnW);
    ListView_InsertColumn(list, 0, &column);
    column.cx = Px(kListW - kNameColumnW) - GetSystemMetrics(SM_CXVSCROLL) - 6;
    ListView_InsertColumn(list, 1, &column);

    for (int n = 3; n <= 9; ++n) {
        const LabelPlace& place = kPanelLines[n - 3];
        const HFONT font = n == 3 ? boldFont_.Get() : n == 4 ? timeFont_.Get() : font_.Get();
        child(L"STATIC", L"", kLabel, 0, kTextX, place.top, kTextW, place.height, Label3Id + n - 3,
              font);
    }
    child(L"BUTTON", L"关闭(&C)", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, kButtonX, kButtonY,
          kButtonW, kButtonH, UiButton1Id, font_.Get());

    // Escape, Tab and Alt+C work whichever control has the focus.
    for (const HWND control : {combo, list, UiButton1()})
        SetWindowSubclass(control, KeyProc, kKeySubclassId, reinterpret_cast<DWORD_PTR>(this));

    ApplyDialogFrame(Handle(), "城市时间查询", true);
    shadow_.Attach(Handle());

    countries_ = LoadTimeZoneFile(dataDir + kTimeZoneFileName);
    for (const TCountryData& country : countries_)
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(country.name).c_str()));
    if (!countries_.empty()) {
        SendMessageW(combo, CB_SETCURSEL, 0, 0);
        CountrySelected();
    }
    return true;
}

void TFrmWorldTime::Show() {
    const HWND self = Handle();
    if (!self)
        return;
    if (IsIconic(self))
        ShowWindow(self, SW_RESTORE);
    const bool first = !IsWindowVisible(self);
    ShowWindow(self, SW_SHOW);
    SetForegroundWindow(self);
    if (first)
        SetFocus(UiListView1());
    // The shadow follows the dressed shape once it shows.
    shadow_.UpdateShadow();
}

bool TFrmWorldTime::PanelVisible() const {
    return Handle() && panelShown_;
}

void TFrmWorldTime::CountrySelected() {
    const HWND list = UiListView1();
    const int index = static_cast<int>(SendMessageW(UiComboBox1(), CB_GETCURSEL, 0, 0));
    country_ = index >= 0 && index < static_cast<int>(countries_.size()) ? index : -1;
    city_ = -1;
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    ListView_DeleteAllItems(list);
    if (country_ >= 0) {
        const std::vector<TCityData>& cities = countries_[static_cast<size_t>(country_)].cities;
        for (size_t i = 0; i < cities.size(); ++i) {
            std::wstring name = Wide(cities[i].name), other = Wide(cities[i].otherName);
            LVITEMW item{};
            item.mask = LVIF_TEXT;
            item.iItem = static_cast<int>(i);
            item.pszText = name.data();
            const int row = ListView_InsertItem(list, &item);
            ListView_SetItemText(list, row, 1, other.data());
        }
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    if (ListView_GetItemCount(list) > 0) {
        ListView_SetItemState(list, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        ListView_EnsureVisible(list, 0, FALSE);
    }
    CitySelected();
}

void TFrmWorldTime::CitySelected() {
    const int row = ListView_GetNextItem(UiListView1(), -1, LVNI_SELECTED);
    const bool valid =
        country_ >= 0 && row >= 0 &&
        row < static_cast<int>(countries_[static_cast<size_t>(country_)].cities.size());
    city_ = valid ? row : -1;
    ShowPanel(valid);
    RefreshTime();
}

void TFrmWorldTime::ShowPanel(bool shown) {
    if (shown != panelShown_) {
        panelShown_ = shown;
        const RECT frame{Px(kPanelX), Px(kPanelY), Px(kPanelX + kPanelW), Px(kPanelY + kPanelH)};
        InvalidateRect(Handle(), &frame, TRUE);
    }
    for (const int n : {3, 4, 5, 6, 9})
        ShowWindow(Label(n), shown ? SW_SHOW : SW_HIDE);
    if (!shown) {
        ShowWindow(Label(7), SW_HIDE);
        ShowWindow(Label(8), SW_HIDE);
    }
}

void TFrmWorldTime::RefreshTime() {
    if (!PanelVisible() || country_ < 0 || city_ < 0)
        return;
    const TCountryData& country = countries_[static_cast<size_t>(country_)];
    const TCityData& city = country.cities[static_cast<size_t>(city_)];
    const TCityLabels labels = CityLabels(country.name, city, ClockSource::Current().NowUtc());
    SetText(Label(3), labels.title);
    SetText(Label(4), labels.time);
    SetText(Label(5), labels.zone);
    SetText(Label(6), labels.position);
    SetText(Label(9), labels.beijing);
    SetText(Label(7), labels.dstStart);
    SetText(Label(8), labels.dstEnd);
    const int dst = city.HasDaylightSaving() ? SW_SHOW : SW_HIDE;
    ShowWindow(Label(7), dst);
    ShowWindow(Label(8), dst);
}

void TFrmWorldTime::Paint() {
    // The body comes from the dressing's WM_ERASEBKGND; the panel's frame goes on it.
    PaintScope ps(Handle());
    if (panelShown_) {
        RECT frame{Px(kPanelX), Px(kPanelY), Px(kPanelX + kPanelW), Px(kPanelY + kPanelH)};
        DrawEdge(ps.Dc(), &frame, EDGE_ETCHED, BF_RECT);
    }
}

void TFrmWorldTime::SetText(HWND control, const std::string& text) {
    const std::wstring wide = Wide(text);
    std::wstring now(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    now.resize(
        static_cast<size_t>(GetWindowTextW(control, now.data(), static_cast<int>(now.size()))));
    // Setting the same text again would only make the label flicker.
    if (now != wide)
        SetWindowTextW(control, wide.c_str());
}

bool TFrmWorldTime::HandleKey(HWND control, UINT msg, WPARAM wp) {
    if (msg == WM_KEYDOWN && wp == VK_ESCAPE) {
        // An open drop-down list closes first.
        if (control == UiComboBox1() && SendMessageW(control, CB_GETDROPPEDSTATE, 0, 0))
            return false;
        PostMessageW(Handle(), WM_CLOSE, 0, 0);
        return true;
    }
    if (msg == WM_KEYDOWN && wp == VK_TAB) {
        const bool back = GetKeyState(VK_SHIFT) < 0;
        if (const HWND next = GetNextDlgTabItem(Handle(), control, back))
            SetFocus(next);
        return true;
    }
    if (msg == WM_SYSCHAR && (wp == 'c' || wp == 'C')) {
        PostMessageW(Handle(), WM_CLOSE, 0, 0);
        return true;
    }
    // The tab and escape characters that follow the keys above.
    return msg == WM_CHAR && (wp == VK_TAB || wp == VK_ESCAPE);
}

LRESULT CALLBACK TFrmWorldTime::KeyProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                        DWORD_PTR self) {
    if (msg == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, KeyProc, id);
    } else if (reinterpret_cast<TFrmWorldTime*>(self)->HandleKey(hwnd, msg, wp)) {
        return 0;
    }
    return DefSubclassProc(hwnd, msg, wp, lp);
}

LRESULT TFrmWorldTime::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_COMMAND:
            if (LOWORD(wp) == UiButton1Id && HIWORD(wp) == BN_CLICKED) {
                PostMessageW(Handle(), WM_CLOSE, 0, 0);
                return 0;
            }
            if (LOWORD(wp) == UiComboBox1Id && HIWORD(wp) == CBN_SELCHANGE) {
                CountrySelected();
                return 0;
            }
            break;
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lp);
            if (header->idFrom == UiListView1Id && header->code == LVN_ITEMCHANGED) {
                const auto* change = reinterpret_cast<const NMLISTVIEW*>(lp);
                if ((change->uChanged & LVIF_STATE) &&
                    ((change->uOldState ^ change->uNewState) & LVIS_SELECTED)) {
                    if (change->uNewState & LVIS_SELECTED)
                        CitySelected();
                    else
                        PostMessageW(Handle(), kCheckSelection, 0, 0);
                }
            }
            break;
        }
        case WM_KEYDOWN:
        case WM_SYSCHAR:
            if (HandleKey(Handle(), msg, wp))
                return 0;
            break;
        case WM_PAINT:
            Paint();
            return 0;
        case kCheckSelection:
            if (ListView_GetNextItem(UiListView1(), -1, LVNI_SELECTED) < 0)
                CitySelected();
            return 0;
        case WM_CLOSE:
            DestroyWindow(Handle());
            return 0;
        default:
            break;
    }
    return TWindow::WndProc(msg, wp, lp);
}

}  // namespace tempora
