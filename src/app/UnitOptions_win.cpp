#include "app/UnitOptions_win.h"

#include "app/AutoStart_win.h"
#include "app/ClockApp_win.h"
#include "core/ClockSource.h"
#include "core/DateTime.h"
#include "core/Encoding.h"
#include "core/FileSys.h"
#include "core/LineFile.h"
#include "core/Text.h"
#include "display/MyWindow_win.h"
#include "display/SupFun.h"
#include "timesvc/SyncTime.h"
#include "win/Gdi_win.h"
#include "win/PictureBlit_win.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <span>

namespace tempora {

namespace {

TFrmOptions* g_current = nullptr;

// Posted by the "立即校正" check when its attempt has ended.
constexpr UINT kTimeCheckedMessage = WM_APP + 1;
// The up-down half of a spin field carries the field's id plus this.
constexpr int kSpinButton = 500;

constexpr int kTabX = 8, kTabY = 36, kTabW = 70, kTabH = 30;
constexpr int kPageX = 86, kPageY = 34, kPageW = 378, kPageH = 276;
constexpr int kX = kPageX + 12;  // left edge of a page's controls
constexpr int kPreviewW = 332, kPreviewH = 34;
constexpr int kClockBox = 100;

const char* const kPageCaptions[] = {"常规", "报时", "皮肤", "时钟", "消息", "校时"};
const char* const kViewTexts[] = {"精简", "时钟", "日历", "天气"};
const char* const kChimeTexts[] = {"语音报时", "钟声报时(单音)", "钟声报时(多音)", "消息报时"};

constexpr DWORD kCheck = BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP;
constexpr DWORD kRadioFirst = BS_AUTORADIOBUTTON | WS_TABSTOP | WS_GROUP;
constexpr DWORD kRadio = BS_AUTORADIOBUTTON;
constexpr DWORD kButton = BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP;
constexpr DWORD kLabel = SS_LEFT | SS_CENTERIMAGE;

// The part of the dialog's frame picture under a child, so that what a
// child draws for itself sits on the same background as the rest.
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

// The bar as a skin dresses it: background, the normal menu and minimise
// buttons, the LED panel and today's date in 宋体 9 pt.
Bitmap SkinPreviewOf(const TBarSkin& skin) {
    Bitmap out;
    const int w = std::min(kPreviewW, skin.background.Width());
    const int h = std::min(kPreviewH, skin.background.Height());
    if (w <= 0 || h <= 0 || !out.Create(w, h, Bitmap::kKeyColor))
        return out;
    out.CopyRect(0, 0, skin.background, 0, 0, w, h);
    out.CopyTransparent(8, 4, skin.btnMenu.up, 0, 0, skin.btnMenu.up.Width(),
                        skin.btnMenu.up.Height());
    out.CopyTransparent(296, 1, skin.btnMin.up, 0, 0, skin.btnMin.up.Width(),
                        skin.btnMin.up.Height());
    out.FillRect(61, 4, 116, 26, skin.ledBorderColor & 0xFFFFFF);
    out.FillRect(62, 5, 114, 24, skin.ledBkColor & 0xFFFFFF);
    TDibCanvas canvas(w, h);
    if (!canvas.Ok())
        return out;
    BlitPicture(canvas.Dc(), 0, 0, out);
    GdiObject<HFONT> font(MakeFont(L"宋体", 9));
    {
        SelectObjectScope f(canvas.Dc(), font.Get());
        SetBkMode(canvas.Dc(), TRANSPARENT);
        SetTextColor(canvas.Dc(), skin.fontColor & 0xFFFFFF);
        const std::wstring date = Utf8ToWide(FormatChineseDate(ClockSource::Current().NowLocal()));
        TextOutW(canvas.Dc(), 189, 15, date.c_str(), static_cast<int>(date.size()));
    }
    GdiFlush();
    ReadPicture(canvas.Dc(), 0, 0, w, h, out);
    return out;
}

// Writes `values` to the settings file in one replacement; false when the
// file cannot be written (a read-only one included).
bool WriteSettings(const std::string& path, const std::vector<TIniValue>& values) {
    try {
        WriteIniValues(path, values);
        return true;
    } catch (const EIniWriteError&) {
        return false;
    }
}

Bitmap ClockPreviewOf(const Bitmap& face) {
    Bitmap out;
    const TPreviewSize size = ClockPreviewSize(face.Width(), face.Height());
    if (size.width <= 0 || size.height <= 0 ||
        !out.Create(size.width, size.height, Bitmap::kKeyColor))
        return out;
    out.StretchRect(0, 0, size.width, size.height, face, 0, 0, face.Width(), face.Height());
    return out;
}

}  // namespace

TFrmOptions::TFrmOptions(TClockApp& app) : app_(app), pageControls_(kPageCount) {}

TFrmOptions::~TFrmOptions() {
    // The check in progress ends before the window it reports to.
    timeCheck_.reset();
    if (g_current == this)
        g_current = nullptr;
}

TFrmOptions* TFrmOptions::Current() {
    return g_current;
}

bool TFrmOptions::Create(HWND owner, int page) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_UPDOWN_CLASS | ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES |
                                             ICC_DATE_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    if (!CreateDialogWindow(owner, kClassName, "系统设置", kWidth, kHeight))
        return false;
    g_current = this;
    tabFont_.Reset(MakeFont(L"宋体", 9, FW_BOLD));
    BuildControls();
    // Turning to the page asked for does not move the focus yet: the
    // dialog is not showing.
    ShowPage(page >= 0 && page < kPageCount ? page : TabSheet1);
    LoadOptions();
    return true;
}

void TFrmOptions::BuildControls() {
    for (int p = 0; p < kPageCount; ++p) {
        AddControl(WC_BUTTONW, kPageCaptions[p], BS_OWNERDRAW, kTabX, kTabY + p * kTabH, kTabW,
                   kTabH - 2, kTabFirst + p);
    }
    AddControl(WC_BUTTONW, "关闭(&C)", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, kWidth - 8 - 86,
               kHeight - 8 - 28, 86, 28, UiButton1);

    int statics = kFirstStatic;
    int building = 0;
    const auto add = [&](const wchar_t* cls, std::string_view text, DWORD style, int x, int y,
                         int w, int h, int id, DWORD ex = 0) {
        const HWND hwnd = AddControl(cls, text, style, x, y, w, h, id ? id : statics++, ex);
        pageControls_[static_cast<size_t>(building)].push_back(hwnd);
        return hwnd;
    };
    const auto spin = [&](int id, int x, int y, int lo, int hi) {
        const HWND edit = add(WC_EDITW, "", ES_NUMBER | WS_TABSTOP | WS_GROUP, x, y, 70, 22, id,
                              WS_EX_CLIENTEDGE);
        SendMessageW(edit, EM_LIMITTEXT, 4, 0);
        const HWND updown = add(UPDOWN_CLASSW, "",
                                UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS,
                                0, 0, 0, 0, id + kSpinButton);
        SendMessageW(updown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit), 0);
        SendMessageW(updown, UDM_SETRANGE32, static_cast<WPARAM>(lo), hi);
        SendMessageW(updown, UDM_SETPOS32, 0, lo);
    };
    const auto combo = [&](int id, int x, int y, int w, std::span<const char* const> items) {
        const HWND c = add(WC_COMBOBOXW, "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP,
                           x, y, w, 240, id);
        for (const char* item : items)
            SendMessageW(c, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Utf8ToWide(item).c_str()));
        return c;
    };
    const auto track = [&](int id, int x, int y, int w) {
        const HWND t = add(TRACKBAR_CLASSW, "", TBS_HORZ | TBS_NOTICKS | WS_TABSTOP | WS_GROUP, x,
                           y, w, 28, id);
        SendMessageW(t, TBM_SETRANGEMIN, FALSE, kMinAlpha);
        SendMessageW(t, TBM_SETRANGEMAX, TRUE, kMaxAlpha);
        SendMessageW(t, TBM_SETPAGESIZE, 0, 10);
    };
    const auto list = [&](int id, int x, int y, int w, int h) {
        const HWND lv = add(WC_LISTVIEWW, "",
                            LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOCOLUMNHEADER |
                                WS_TABSTOP | WS_GROUP,
                            x, y, w, h, id, WS_EX_CLIENTEDGE);
        ListView_SetExtendedListViewStyle(lv, LVS_EX_FULLROWSELECT);
        LVCOLUMNW col{};
        col.mask = LVCF_WIDTH;
        col.cx = w - GetSystemMetrics(SM_CXVSCROLL) - 6;
        ListView_InsertColumn(lv, 0, &col);
    };

    // 常规
    building = TabSheet1;
    add(WC_BUTTONW, "Windows启动时运行", kCheck, kX, 50, 240, 22, UiCheckBox1);
    add(WC_BUTTONW, "随系统启动时最小化", kCheck, kX, 78, 240, 22, UiCheckBox8);
    add(WC_BUTTONW, "总在最前面", kCheck, kX, 106, 240, 22, UiCheckBox2);
    add(WC_STATICW, "运行时默认界面", kLabel, kX, 142, 100, 22, 0);
    combo(UiComboBox3, kX + 104, 142, 100, kViewTexts);
    // Kept for the setting it stores; the bar has no cycling date line to switch.
    ShowWindow(add(WC_BUTTONW, "日期 - 公历农历循环显示", kCheck, kX, 178, 240, 22, UiCheckBox7),
               SW_HIDE);

    // 报时
    building = TabSheet6;
    add(WC_BUTTONW, "整点报时", kCheck, kX, 42, 110, 22, UiCheckBox3);
    add(WC_BUTTONW, "半点报时", kCheck, kX + 120, 42, 110, 22, UiCheckBox4);
    add(WC_BUTTONW, "报时类型", BS_GROUPBOX, kX - 4, 68, kPageW - 16, 74, 0);
    for (int i = 0; i < 4; ++i) {
        add(WC_BUTTONW, kChimeTexts[i], i == 0 ? kRadioFirst : kRadio, kX + 10 + (i % 2) * 170,
            88 + (i / 2) * 26, 160, 22, UiRadioGroup1 + i);
    }
    add(WC_BUTTONW, "报时热键", BS_GROUPBOX, kX - 4, 150, kPageW - 16, 58, 0);
    add(WC_BUTTONW, "启用", kCheck, kX + 10, 174, 60, 22, UiCheckBox6);
    std::vector<const char*> mods, letters;
    for (const std::string& m : HotKeyModifierTexts())
        mods.push_back(m.c_str());
    for (const std::string& l : HotKeyLetterTexts())
        letters.push_back(l.c_str());
    combo(UiComboBox1, kX + 80, 173, 150, mods);
    add(WC_STATICW, "+", SS_CENTER | SS_CENTERIMAGE, kX + 232, 173, 16, 22, 0);
    combo(UiComboBox2, kX + 250, 173, 60, letters);
    add(WC_BUTTONW, "夜间免打扰", kCheck, kX, 228, 100, 22, UiCheckBox9);
    for (int i = 0; i < 2; ++i) {
        add(WC_STATICW, i == 0 ? "从" : "到", SS_CENTER | SS_CENTERIMAGE, kX + 112 + i * 110, 228,
            20, 22, 0);
        const HWND picker =
            add(DATETIMEPICK_CLASSW, "", DTS_TIMEFORMAT | DTS_UPDOWN | WS_TABSTOP | WS_GROUP,
                kX + 134 + i * 110, 227, 74, 24, UiTimePicker1 + i);
        SendMessageW(picker, DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(L"HH:mm"));
    }

    // 皮肤
    building = TabSheet2;
    list(UiListView1, kX, 44, 240, 150);
    add(WC_BUTTONW, "应用(&A)", kButton, kX + 256, 44, 86, 28, UiButton3);
    add(WC_STATICW, "", SS_OWNERDRAW, kX + 2, 204, kPreviewW, kPreviewH, Image1);
    add(WC_STATICW, "透明度", kLabel, kX, 256, 50, 24, 0);
    track(UiTrackBar1, kX + 50, 254, 240);
    add(WC_STATICW, "", kLabel, kX + 296, 256, 50, 24, Label3);

    // 时钟
    building = TabSheet3;
    list(UiListView2, kX, 44, 220, 180);
    add(WC_STATICW, "", SS_OWNERDRAW, kX + 238, 44, kClockBox, kClockBox, Image2);
    add(WC_BUTTONW, "应用(&A)", kButton, kX + 245, 156, 86, 28, UiButton2);
    add(WC_BUTTONW, "电子时钟", BS_GROUPBOX, kX - 4, 232, kPageW - 16, 56, 0);
    add(WC_BUTTONW, "LED", kRadioFirst, kX + 10, 256, 70, 22, UiRadioButton6);
    add(WC_BUTTONW, "普通", kRadio, kX + 90, 256, 70, 22, UiRadioButton7);
    add(WC_BUTTONW, "字体(&F)", kButton, kX + 180, 253, 86, 28, UiButton5);

    // 消息
    building = TabSheet4;
    add(WC_BUTTONW, "消息窗口关闭方式", BS_GROUPBOX, kX - 4, 40, kPageW - 16, 82, 0);
    add(WC_BUTTONW, "手动关闭", kRadioFirst, kX + 10, 60, 100, 22, UiRadioButton1);
    add(WC_BUTTONW, "自动关闭", kRadio, kX + 10, 88, 100, 22, UiRadioButton2);
    add(WC_STATICW, "停留时间(秒)", kLabel, kX + 130, 88, 90, 22, 0);
    spin(UiSpinEdit1, kX + 224, 88, kMinAutoSec, kMaxAutoSec);
    add(WC_BUTTONW, "日历标记消息", BS_GROUPBOX, kX - 4, 130, kPageW - 16, 82, 0);
    add(WC_BUTTONW, "不显示", kRadioFirst, kX + 10, 150, 100, 22, UiRadioButton3);
    add(WC_BUTTONW, "启动时显示", kRadio, kX + 130, 150, 110, 22, UiRadioButton4);
    add(WC_BUTTONW, "循环显示", kRadio, kX + 10, 178, 100, 22, UiRadioButton5);
    add(WC_STATICW, "间隔时间(分)", kLabel, kX + 130, 178, 90, 22, 0);
    spin(UiSpinEdit2, kX + 224, 178, kMinCalendarStep, kMaxCalendarStep);
    add(WC_STATICW, "消息窗口透明度", kLabel, kX, 230, 100, 24, 0);
    track(UiTrackBar2, kX + 100, 228, 200);
    add(WC_STATICW, "", kLabel, kX + 306, 230, 50, 24, Label7);

    // 校时
    building = TabSheet5;
    add(WC_BUTTONW, "自动网络校时", kCheck, kX, 50, 200, 22, UiCheckBox5);
    add(WC_STATICW, "每", kLabel, kX + 18, 82, 20, 22, 0);
    spin(UiSpinEdit3, kX + 40, 82, kMinStepHour, kMaxStepHour);
    add(WC_STATICW, "小时校正一次", kLabel, kX + 116, 82, 100, 22, 0);
    add(WC_BUTTONW, "立即校正", kButton, kX, 122, 96, 28, UiButton4);
    add(WC_STATICW, "最后校正于:", kLabel, kX, 164, kPageW - 30, 22, Label13);
}

void TFrmOptions::LoadOptions() {
    loading_ = true;
    const TOptionsValues v = ReadOptionsValues(TIniFile(app_.Options().dataDir + "skin.ini"));
    SetChecked(UiCheckBox1, AutoStartOn(app_.Options().autoStart));
    const bool led = app_.Bar().Face().DigitsVisible();
    SetChecked(UiRadioButton6, led);
    SetChecked(UiRadioButton7, !led);

    SetChecked(UiCheckBox2, v.onTop);
    SetChecked(UiCheckBox8, v.onStartHide);
    SendMessageW(Item(UiComboBox3), CB_SETCURSEL, static_cast<WPARAM>(v.defWin), 0);
    SetChecked(UiCheckBox7, v.dateLoop);

    SetChecked(UiCheckBox3, v.alarm);
    SetChecked(UiCheckBox4, v.halfAlarm);
    for (int i = 0; i < 4; ++i)
        SetChecked(UiRadioGroup1 + i, i == v.alarmType);
    const auto select = [&](int id, const std::vector<std::string>& texts, const std::string& t) {
        const auto at = std::find(texts.begin(), texts.end(), t);
        SendMessageW(
            Item(id), CB_SETCURSEL,
            at == texts.end() ? static_cast<WPARAM>(-1) : static_cast<WPARAM>(at - texts.begin()),
            0);
    };
    select(UiComboBox1, HotKeyModifierTexts(), v.hotKey1);
    select(UiComboBox2, HotKeyLetterTexts(), v.hotKey2);
    SetChecked(UiCheckBox6, v.hotKey);
    SetChecked(UiCheckBox9, v.quiet.on);
    SetTimeOfDay(UiTimePicker1, v.quiet.startMinute);
    SetTimeOfDay(UiTimePicker2, v.quiet.endMinute);

    SetChecked(UiRadioButton2, v.msgAuto);
    SetChecked(UiRadioButton1, !v.msgAuto);
    SendMessageW(Item(UiSpinEdit1 + kSpinButton), UDM_SETPOS32, 0, v.autoSec);
    SendMessageW(Item(UiTrackBar2), TBM_SETPOS, TRUE, v.msgAlpha);
    SetChecked(UiRadioButton3, v.calendarLX == 0);
    SetChecked(UiRadioButton4, v.calendarLX == 1);
    SetChecked(UiRadioButton5, v.calendarLX == 2);
    SendMessageW(Item(UiSpinEdit2 + kSpinButton), UDM_SETPOS32, 0, v.calendarStep);

    SendMessageW(Item(UiTrackBar1), TBM_SETPOS, TRUE, app_.Bar().Alpha());

    SetChecked(UiCheckBox5, v.autoCheck);
    SendMessageW(Item(UiSpinEdit3 + kSpinButton), UDM_SETPOS32, 0, v.stepHour);
    loading_ = false;

    TrackBarMoved(Item(UiTrackBar1));
    TrackBarMoved(Item(UiTrackBar2));
    std::vector<std::string> lines;
    if (ReadLineFile(app_.Options().dataDir + "TimeCheck.lst", lines) && !lines.empty())
        SetWindowTextW(Item(Label13), Utf8ToWide(LastCheckText(lines.front())).c_str());
    UpdateEnabling();
}

void TFrmOptions::SelectPage(int page) {
    if (page < 0 || page >= kPageCount)
        return;
    ShowPage(page);
    FocusList();
}

void TFrmOptions::ShowPage(int page) {
    if (!pageVisited_[page]) {
        pageVisited_[page] = true;
        const std::string dataDir = app_.Options().dataDir;
        const TIniFile ini(dataDir + "skin.ini");
        if (page == TabSheet2)
            FillList(UiListView1, "Skin", ".sk", ini.ReadString("SKIN", "SkinFile", ""));
        else if (page == TabSheet3)
            FillList(UiListView2, "Clock", ".cl", ini.ReadString("SKIN", "ClockFile", ""));
    }
    const int old = page_;
    page_ = page;
    for (int p = 0; p < kPageCount; ++p) {
        for (HWND hwnd : pageControls_[static_cast<size_t>(p)]) {
            if (GetDlgCtrlID(hwnd) != UiCheckBox7)
                ShowWindow(hwnd, p == page ? SW_SHOW : SW_HIDE);
        }
    }
    if (old >= 0)
        InvalidateRect(Item(kTabFirst + old), nullptr, TRUE);
    InvalidateRect(Item(kTabFirst + page), nullptr, TRUE);
}

void TFrmOptions::FocusList() {
    if (page_ != TabSheet2 && page_ != TabSheet3)
        return;
    const HWND list = Item(page_ == TabSheet2 ? UiListView1 : UiListView2);
    const int sel = ListView_GetNextItem(list, -1, LVNI_SELECTED);
    if (sel >= 0)
        ListView_EnsureVisible(list, sel, FALSE);
    if (IsWindowVisible(Handle()))
        SetFocus(list);
}

HWND TFrmOptions::FirstFocus() const {
    if (page_ == TabSheet2)
        return Item(UiListView1);
    if (page_ == TabSheet3)
        return Item(UiListView2);
    return Item(UiButton1);
}

void TFrmOptions::FillList(int listId, const char* folder, const char* suffix,
                           const std::string& current) {
    const HWND list = Item(listId);
    const std::string dir = app_.Options().dataDir + folder + "\\";
    std::vector<std::string>& paths = listId == UiListView1 ? skinPaths_ : clockPaths_;
    paths.clear();
    ListView_DeleteAllItems(list);
    int selected = 0;
    for (const std::string& name : ListFiles(dir, suffix)) {
        std::wstring caption = Utf8ToWide(name);
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(paths.size());
        item.pszText = caption.data();
        ListView_InsertItem(list, &item);
        if (EqualsNoCase(name, current))
            selected = static_cast<int>(paths.size());
        paths.push_back(dir + name);
    }
    if (!paths.empty()) {
        ListView_SetItemState(list, selected, LVIS_SELECTED | LVIS_FOCUSED,
                              LVIS_SELECTED | LVIS_FOCUSED);
        ListView_EnsureVisible(list, selected, FALSE);
    }
}

std::string TFrmOptions::ItemPath(int listId, int item) const {
    const std::vector<std::string>& paths = listId == UiListView1 ? skinPaths_ : clockPaths_;
    return item >= 0 && item < static_cast<int>(paths.size()) ? paths[static_cast<size_t>(item)]
                                                              : std::string();
}

void TFrmOptions::SkinSelected(int item) {
    skinPreview_ = Bitmap();
    chosenSkin_.clear();
    EnableWindow(Item(UiButton3), FALSE);
    InvalidateRect(Item(Image1), nullptr, TRUE);
    const std::string path = ItemPath(UiListView1, item);
    if (path.empty())
        return;
    TBarSkin skin;
    const TSkinResult r = ReadBarSkin(app_.Options().dataDir, path, skin);
    if (r == TSkinResult::Rejected) {
        MessageBoxW(Handle(), L"无法识别的文件版本！", L"警告", MB_OK | MB_ICONWARNING);
        return;
    }
    if (r != TSkinResult::Applied) {
        MessageBoxW(Handle(), L"皮肤文件已损坏，无法使用。", L"警告", MB_OK | MB_ICONWARNING);
        return;
    }
    skinPreview_ = SkinPreviewOf(skin);
    chosenSkin_ = path;
    EnableWindow(Item(UiButton3), TRUE);
    InvalidateRect(Item(Image1), nullptr, TRUE);
}

void TFrmOptions::ClockSelected(int item) {
    clockPreview_ = Bitmap();
    chosenClock_.clear();
    EnableWindow(Item(UiButton2), FALSE);
    InvalidateRect(Item(Image2), nullptr, TRUE);
    const std::string path = ItemPath(UiListView2, item);
    if (path.empty())
        return;
    TClockSkin style;
    const TSkinResult r = ReadClockSkin(app_.Options().dataDir, path, style);
    if (r == TSkinResult::Rejected) {
        MessageBoxW(Handle(), L"无法识别的文件版本！", L"警告", MB_OK | MB_ICONWARNING);
        return;
    }
    if (r != TSkinResult::Applied) {
        MessageBoxW(Handle(), L"时钟样式文件已损坏，无法使用。", L"警告", MB_OK | MB_ICONWARNING);
        return;
    }
    clockPreview_ = ClockPreviewOf(style.face);
    chosenClock_ = path;
    EnableWindow(Item(UiButton2), TRUE);
    InvalidateRect(Item(Image2), nullptr, TRUE);
}

void TFrmOptions::ApplySkin() {
    if (chosenSkin_.empty() || !FileExists(chosenSkin_))
        return;
    const std::string name = chosenSkin_.substr(chosenSkin_.find_last_of('\\') + 1);
    if (WriteKeys({{"SKIN", "SkinFile", name}}))
        app_.ApplySkinToViews();
}

void TFrmOptions::ApplyClockStyle() {
    if (chosenClock_.empty() || !FileExists(chosenClock_))
        return;
    const std::string name = chosenClock_.substr(chosenClock_.find_last_of('\\') + 1);
    if (WriteKeys({{"SKIN", "ClockFile", name}}))
        app_.ApplyClockStyle();
}

bool TFrmOptions::Checked(int id) const {
    return SendMessageW(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TFrmOptions::SetChecked(int id, bool on) {
    SendMessageW(Item(id), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

int TFrmOptions::SpinValue(int id) const {
    BOOL failed = FALSE;
    const LRESULT v =
        SendMessageW(Item(id + kSpinButton), UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&failed));
    // A field emptied or typed past its range reads as the nearest end.
    int lo = 0, hi = 0;
    SendMessageW(Item(id + kSpinButton), UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lo),
                 reinterpret_cast<LPARAM>(&hi));
    uint64_t typed = 0;
    if (failed && ParseUnsigned(Trim(WindowTextOf(Item(id))), typed))
        return static_cast<int>(
            std::clamp<uint64_t>(typed, static_cast<uint64_t>(lo), static_cast<uint64_t>(hi)));
    return std::clamp(static_cast<int>(v), lo, hi);
}

void TFrmOptions::UpdateEnabling() {
    const auto enable = [&](int id, bool on) { EnableWindow(Item(id), on ? TRUE : FALSE); };
    const bool chime = Checked(UiCheckBox3) || Checked(UiCheckBox4);
    for (int i = 0; i < 4; ++i)
        enable(UiRadioGroup1 + i, chime);
    enable(UiComboBox1, Checked(UiCheckBox6));
    enable(UiComboBox2, Checked(UiCheckBox6));
    enable(UiButton5, Checked(UiRadioButton7));
    enable(UiSpinEdit1, Checked(UiRadioButton2));
    enable(UiSpinEdit1 + kSpinButton, Checked(UiRadioButton2));
    enable(UiSpinEdit2, Checked(UiRadioButton5));
    enable(UiSpinEdit2 + kSpinButton, Checked(UiRadioButton5));
    enable(UiTimePicker1, Checked(UiCheckBox9));
    enable(UiTimePicker2, Checked(UiCheckBox9));
    enable(UiSpinEdit3, Checked(UiCheckBox5));
    enable(UiSpinEdit3 + kSpinButton, Checked(UiCheckBox5));
}

void TFrmOptions::TrackBarMoved(HWND bar) {
    const int pos = static_cast<int>(SendMessageW(bar, TBM_GETPOS, 0, 0));
    const int id = GetDlgCtrlID(bar);
    const std::wstring percent = std::to_wstring(TransparencyPercent(pos)) + L"%";
    SetWindowTextW(Item(id == UiTrackBar1 ? Label3 : Label7), percent.c_str());
    if (id == UiTrackBar1 && !loading_)
        app_.SetBarAlpha(pos);
}

void TFrmOptions::ChooseTimeFont(const TTimeFont& font) {
    app_.SetTimeFont(font);
}

void TFrmOptions::ChooseFontDialog() {
    const TTimeFont now = app_.TimeFont();
    LOGFONTW lf{};
    const HDC screen = GetDC(nullptr);
    lf.lfHeight = -MulDiv(now.size, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    lf.lfWeight = now.bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = now.italic;
    lf.lfUnderline = now.underline;
    lf.lfStrikeOut = now.strikeOut;
    lf.lfCharSet = DEFAULT_CHARSET;
    const std::wstring face = Utf8ToWide(now.name);
    face.copy(lf.lfFaceName, LF_FACESIZE - 1);
    CHOOSEFONTW cf{};
    cf.lStructSize = sizeof cf;
    cf.hwndOwner = Handle();
    cf.lpLogFont = &lf;
    cf.Flags = CF_SCREENFONTS | CF_EFFECTS | CF_INITTOLOGFONTSTRUCT;
    cf.rgbColors = now.color & 0xFFFFFF;
    if (!ChooseFontW(&cf))
        return;
    TTimeFont chosen;
    chosen.name = WideToUtf8(lf.lfFaceName);
    chosen.size = std::clamp(cf.iPointSize / 10, 1, 200);
    chosen.color = cf.rgbColors & 0xFFFFFF;
    chosen.bold = lf.lfWeight >= FW_BOLD;
    chosen.italic = lf.lfItalic != 0;
    chosen.underline = lf.lfUnderline != 0;
    chosen.strikeOut = lf.lfStrikeOut != 0;
    ChooseTimeFont(chosen);
}

void TFrmOptions::CheckTimeNow() {
    const std::string dataDir = app_.Options().dataDir;
    if (!timeCheck_) {
        timeCheck_ = std::make_unique<TSyncTimeDir>(
            dataDir + "TimeHost.lst", dataDir + "TimeCheck.lst", app_.Options().timeSync);
    }
    if (timeCheck_->CheckNow(Handle(), kTimeCheckedMessage))
        EnableWindow(Item(UiButton4), FALSE);
}

void TFrmOptions::TimeChecked() {
    EnableWindow(Item(UiButton4), TRUE);
    if (!timeCheck_)
        return;
    const SyncResult r = timeCheck_->Result();
    // The host list is read when the checker is made: a new one next time
    // sees an edited TimeHost.lst.
    timeCheck_.reset();
    if (r.status == SyncStatus::Done && !r.stamp.empty())
        SetWindowTextW(Item(Label13), Utf8ToWide(LastCheckText(r.stamp)).c_str());
}

TOptionsValues TFrmOptions::Gathered() const {
    TOptionsValues v;
    v.ledFont = app_.Bar().Face().DigitsVisible();
    v.font = app_.TimeFont();
    v.barAlpha = static_cast<int>(SendMessageW(Item(UiTrackBar1), TBM_GETPOS, 0, 0));
    v.onTop = Checked(UiCheckBox2);
    v.onStartHide = Checked(UiCheckBox8);
    const LRESULT view = SendMessageW(Item(UiComboBox3), CB_GETCURSEL, 0, 0);
    v.defWin = view >= 0 && view <= 3 ? static_cast<int>(view) : 1;
    v.dateLoop = Checked(UiCheckBox7);

    v.alarm = Checked(UiCheckBox3);
    v.halfAlarm = Checked(UiCheckBox4);
    v.alarmType = 0;
    for (int i = 0; i < 4; ++i) {
        if (Checked(UiRadioGroup1 + i))
            v.alarmType = i;
    }
    v.hotKey1 = ComboText(Item(UiComboBox1));
    v.hotKey2 = ComboText(Item(UiComboBox2));
    v.hotKey = Checked(UiCheckBox6);
    v.quiet.on = Checked(UiCheckBox9);
    v.quiet.startMinute = TimeOfDay(UiTimePicker1);
    v.quiet.endMinute = TimeOfDay(UiTimePicker2);

    v.msgAuto = Checked(UiRadioButton2);
    v.autoSec = SpinValue(UiSpinEdit1);
    v.msgAlpha = static_cast<int>(SendMessageW(Item(UiTrackBar2), TBM_GETPOS, 0, 0));
    v.calendarLX = Checked(UiRadioButton4) ? 1 : Checked(UiRadioButton5) ? 2 : 0;
    v.calendarStep = SpinValue(UiSpinEdit2);

    v.autoCheck = Checked(UiCheckBox5);
    v.stepHour = SpinValue(UiSpinEdit3);
    return v;
}

bool TFrmOptions::WriteKeys(const std::vector<TIniValue>& values) {
    const std::string path = app_.Options().dataDir + "skin.ini";
    if (!WriteSettings(path, values)) {
        const std::string text = "无法保存设置：\n" + path +
                                 "\n\n文件可能是只读的，或磁盘已满。设置没有保存，"
                                 "原来的文件没有改动；请处理后再关闭此窗口。";
        MessageBoxW(Handle(), Utf8ToWide(text).c_str(), L"警告", MB_OK | MB_ICONWARNING);
        return false;
    }
    return true;
}

void TFrmOptions::SetTimeOfDay(int id, int minute) {
    SYSTEMTIME st{};
    GetLocalTime(&st);
    st.wHour = static_cast<WORD>(minute / 60 % 24);
    st.wMinute = static_cast<WORD>(minute % 60);
    st.wSecond = 0;
    st.wMilliseconds = 0;
    SendMessageW(Item(id), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
}

int TFrmOptions::TimeOfDay(int id) const {
    SYSTEMTIME st{};
    if (SendMessageW(Item(id), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st)) != GDT_VALID)
        return id == UiTimePicker1 ? TQuietHours{}.startMinute : TQuietHours{}.endMinute;
    return st.wHour * 60 + st.wMinute;
}

void TFrmOptions::SaveAutoStart() {
    if (!autoStartChanged_)
        return;
    autoStartChanged_ = false;
    const TAutoStartPlace& place = app_.Options().autoStart;
    if (Checked(UiCheckBox1)) {
        wchar_t exe[MAX_PATH] = {};
        const DWORD n = GetModuleFileNameW(nullptr, exe, MAX_PATH);
        if (n == 0 || n >= MAX_PATH || !SetAutoStartOn(exe, place)) {
            MessageBoxW(Handle(), L"无法写入启动项，Windows启动时不会运行本程序。", L"提示",
                        MB_OK | MB_ICONINFORMATION);
        }
        return;
    }
    switch (SetAutoStartOff(place)) {
        case TAutoStartOff::Done:
            break;
        case TAutoStartOff::MachineValueKept:
            MessageBoxW(Handle(),
                        L"已取消当前用户的启动项，但还有一个为所有用户设置的启动项。\n"
                        L"删除它需要管理员权限：请以管理员身份运行本程序后再取消一次。",
                        L"提示", MB_OK | MB_ICONINFORMATION);
            break;
        case TAutoStartOff::Failed:
            MessageBoxW(Handle(), L"无法删除启动项，Windows启动时仍会运行本程序。", L"提示",
                        MB_OK | MB_ICONINFORMATION);
            break;
    }
}

bool TFrmOptions::SaveOptions() {
    SaveAutoStart();
    const TOptionsValues v = Gathered();
    if (!WriteKeys(OptionsIniValues(v)))
        return false;
    app_.ApplyOptions(v);
    return true;
}

void TFrmOptions::Command(int id, int code) {
    if (id >= kTabFirst && id < kTabFirst + kPageCount) {
        if (code == BN_CLICKED)
            SelectPage(id - kTabFirst);
        return;
    }
    if (code != BN_CLICKED)
        return;
    switch (id) {
        case UiCheckBox1:
            autoStartChanged_ = true;
            break;
        case UiCheckBox2:
            if (!loading_)
                app_.ApplyStayOnTop(Checked(UiCheckBox2));
            break;
        case UiRadioButton6:
        case UiRadioButton7:
            if (!loading_)
                app_.SetLedDigits(Checked(UiRadioButton6));
            break;
        case UiButton5:
            ChooseFontDialog();
            break;
        case UiButton3:
            ApplySkin();
            break;
        case UiButton2:
            ApplyClockStyle();
            break;
        case UiButton4:
            CheckTimeNow();
            break;
        default:
            break;
    }
    UpdateEnabling();
}

void TFrmOptions::DrawItem(const DRAWITEMSTRUCT& dis) {
    const int id = static_cast<int>(dis.CtlID);
    const RECT& r = dis.rcItem;
    Bitmap picture = BackgroundUnder(Handle(), dis.hwndItem);
    if (id == Image1 && !skinPreview_.Empty()) {
        picture.CopyTransparent(0, 0, skinPreview_, 0, 0, skinPreview_.Width(),
                                skinPreview_.Height());
    } else if (id == Image2 && !clockPreview_.Empty()) {
        picture.CopyTransparent((picture.Width() - clockPreview_.Width()) / 2,
                                (picture.Height() - clockPreview_.Height()) / 2, clockPreview_, 0,
                                0, clockPreview_.Width(), clockPreview_.Height());
    }
    BlitPicture(dis.hDC, 0, 0, picture);
    if (id < kTabFirst || id >= kTabFirst + kPageCount)
        return;
    const bool selected = id - kTabFirst == page_;
    RECT box = r;
    InflateRect(&box, -1, -1);
    if (selected) {
        GdiObject<HRGN> shape(
            CreateRoundRectRgn(box.left, box.top, box.right + 1, box.bottom + 1, 6, 6));
        SelectClipRgn(dis.hDC, shape.Get());
        Gradient(dis.hDC, box, RGB(255, 255, 255), RGB(173, 222, 245));
        SelectClipRgn(dis.hDC, nullptr);
        GdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, RGB(49, 106, 197)));
        SelectObjectScope p(dis.hDC, pen.Get());
        SelectObjectScope b(dis.hDC, GetStockObject(NULL_BRUSH));
        RoundRect(dis.hDC, box.left, box.top, box.right, box.bottom, 6, 6);
    }
    SetBkMode(dis.hDC, TRANSPARENT);
    SetTextColor(dis.hDC, selected ? RGB(0, 0, 0) : RGB(64, 64, 64));
    SelectObjectScope f(dis.hDC, selected ? static_cast<HGDIOBJ>(tabFont_.Get())
                                          : reinterpret_cast<HGDIOBJ>(
                                                SendMessageW(dis.hwndItem, WM_GETFONT, 0, 0)));
    const std::wstring caption = Utf8ToWide(kPageCaptions[id - kTabFirst]);
    RECT text = r;
    DrawTextW(dis.hDC, caption.c_str(), -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if ((dis.itemState & ODS_FOCUS) && !(dis.itemState & ODS_NOFOCUSRECT)) {
        InflateRect(&box, -3, -3);
        DrawFocusRect(dis.hDC, &box);
    }
}

LRESULT TFrmOptions::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CLOSE:
            // The frame's close button and Alt+F4 save like "关闭(&C)".
            if (SaveOptions())
                EndModal(IDOK);
            return 0;
        case WM_COMMAND:
            if (LOWORD(wp) == IDCANCEL) {
                if (SaveOptions())
                    EndModal(IDOK);
                return 0;
            }
            break;
        case WM_HSCROLL:
            if (lp)
                TrackBarMoved(reinterpret_cast<HWND>(lp));
            return 0;
        case WM_NOTIFY: {
            const auto* hdr = reinterpret_cast<const NMHDR*>(lp);
            if (hdr->code == LVN_ITEMCHANGED &&
                (hdr->idFrom == UiListView1 || hdr->idFrom == UiListView2)) {
                const auto* lv = reinterpret_cast<const NMLISTVIEW*>(lp);
                if ((lv->uChanged & LVIF_STATE) &&
                    ((lv->uNewState ^ lv->uOldState) & LVIS_SELECTED)) {
                    const int item = (lv->uNewState & LVIS_SELECTED) ? lv->iItem : -1;
                    if (hdr->idFrom == UiListView1)
                        SkinSelected(item);
                    else
                        ClockSelected(item);
                }
                return 0;
            }
            break;
        }
        case WM_PAINT: {
            // The pages' panel: a light frame around the controls, over the
            // dialog's own background.
            PAINTSTRUCT ps;
            const HDC dc = BeginPaint(Handle(), &ps);
            GdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, RGB(160, 172, 190)));
            SelectObjectScope p(dc, pen.Get());
            SelectObjectScope b(dc, GetStockObject(NULL_BRUSH));
            RoundRect(dc, kPageX, kPageY, kPageX + kPageW, kPageY + kPageH, 6, 6);
            EndPaint(Handle(), &ps);
            return 0;
        }
        case WM_DRAWITEM:
            DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
            return TRUE;
        case WM_ACTIVATE:
            if (LOWORD(wp) != WA_INACTIVE && !HIWORD(wp))
                FocusList();
            break;
        case kTimeCheckedMessage:
            TimeChecked();
            return 0;
        default:
            break;
    }
    return TDialog::WndProc(msg, wp, lp);
}

void ShowOptions(TClockApp& app, int page) {
    if (TFrmOptions* open = TFrmOptions::Current()) {
        open->SelectPage(page);
        SetForegroundWindow(open->Handle());
        return;
    }
    TFrmOptions form(app);
    if (!form.Create(app.Bar().Handle(), page))
        return;
    if (form.ShowModal() != IDOK)
        form.SaveAtQuit();
}

void TFrmOptions::SaveAtQuit() {
    // The program is ending: a refused write has nobody left to tell.
    WriteSettings(app_.Options().dataDir + "skin.ini", OptionsIniValues(Gathered()));
}

}  // namespace tempora
