#include "app/UnitLED_win.h"

#include "app/HotKey.h"
#include "app/res/Icons.rc.h"
#include "core/ClockSource.h"
#include "core/Encoding.h"
#include "core/FileSys.h"
#include "win/PictureBlit_win.h"
#include "display/SupFun.h"
#include "reminders/BackSound_win.h"
#include "reminders/PopupProtocol.h"

#include <commctrl.h>
#include <windowsx.h>

namespace tempora {

bool ShadowsEnabled = true;
std::string ChineseFontName;

namespace {

constexpr wchar_t kHotKeyAtom[] = L"TemporaDefineHotKey";
constexpr UINT kMoveByCaption = 0xF012;
constexpr COLORREF kKey = RGB(255, 0, 255);

// Where the bar's parts lie, in client pixels.
constexpr RECT kPanel{53, 4, 53 + 116, 4 + 26};
constexpr RECT kBtnMenu{8, 4, 8 + 43, 4 + 27};
constexpr RECT kBtnMin{296, 1, 296 + 26, 1 + 9};
constexpr RECT kDateLine{173, 12, 173 + 154, 12 + 20};
constexpr COLORREF kPanelBorder = 13664560;

int CALLBACK FontFound(const LOGFONTW* lf, const TEXTMETRICW*, DWORD, LPARAM found) {
    reinterpret_cast<std::vector<std::wstring>*>(found)->push_back(lf->lfFaceName);
    return 1;
}

bool FontInstalled(HDC dc, const wchar_t* face) {
    LOGFONTW lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(lf.lfFaceName, face, LF_FACESIZE);
    std::vector<std::wstring> found;
    EnumFontFamiliesExW(dc, &lf, FontFound, reinterpret_cast<LPARAM>(&found), 0);
    return !found.empty();
}

HFONT MakeFont(const wchar_t* face, int points, int weight = FW_NORMAL, bool italic = false,
               bool underline = false, bool strikeOut = false) {
    HDC dc = GetDC(nullptr);
    const int height = -MulDiv(points, GetDeviceCaps(dc, LOGPIXELSY), 72);
    ReleaseDC(nullptr, dc);
    return CreateFontW(height, 0, 0, 0, weight, italic, underline, strikeOut, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, face);
}

void Gradient(HDC dc, const RECT& r, COLORREF top, COLORREF bottom) {
    TRIVERTEX v[2] = {
        {r.left, r.top, static_cast<COLOR16>(GetRValue(top) << 8),
         static_cast<COLOR16>(GetGValue(top) << 8), static_cast<COLOR16>(GetBValue(top) << 8), 0},
        {r.right, r.bottom, static_cast<COLOR16>(GetRValue(bottom) << 8),
         static_cast<COLOR16>(GetGValue(bottom) << 8), static_cast<COLOR16>(GetBValue(bottom) << 8),
         0}};
    GRADIENT_RECT g{0, 1};
    GradientFill(dc, v, 2, &g, 1, GRADIENT_FILL_RECT_V);
}

// A rounded rectangle filled with a vertical gradient and framed by `border`.
void RoundedPanel(HDC dc, const RECT& r, int radius, COLORREF top, COLORREF bottom,
                  COLORREF border) {
    GdiObject<HRGN> rgn(
        CreateRoundRectRgn(r.left, r.top, r.right + 1, r.bottom + 1, radius, radius));
    SelectClipRgn(dc, rgn.Get());
    Gradient(dc, r, top, bottom);
    SelectClipRgn(dc, nullptr);
    GdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, border));
    SelectObjectScope p(dc, pen.Get());
    SelectObjectScope b(dc, GetStockObject(NULL_BRUSH));
    RoundRect(dc, r.left, r.top, r.right, r.bottom, radius, radius);
}

bool InRect(const RECT& r, POINT p) {
    return PtInRect(&r, p) != FALSE;
}

}  // namespace

void FadeOutForm(HWND form, int alpha) {
    if (!form)
        return;
    while (alpha > 30) {
        alpha -= 30;
        SetLayeredWindowAttributes(form, kKey, static_cast<BYTE>(alpha), LWA_COLORKEY | LWA_ALPHA);
        Sleep(30);
    }
}

TFrmLED::TFrmLED(BarOptions options) : options_(std::move(options)) {}

TFrmLED::~TFrmLED() {
    if (trace_)
        fclose(trace_);
    if (popupMenu1_)
        DestroyMenu(popupMenu1_);
    if (popupMenu2_)
        DestroyMenu(popupMenu2_);
}

bool TFrmLED::CreateHidden() {
    const HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_TEMPORA));
    return CreateWin(L"TFrmLED", L"嘀嗒桌面时钟", WS_POPUP, WS_EX_LAYERED | WS_EX_TOOLWINDOW, 0, 0,
                     kWidth, kHeight, nullptr, icon ? icon : LoadIconW(nullptr, IDI_APPLICATION));
}

void TFrmLED::PickChineseFont() {
    HDC dc = GetDC(nullptr);
    for (const wchar_t* face : {L"楷体_GB2312", L"楷体", L"宋体"}) {
        if (FontInstalled(dc, face) || std::wstring(face) == L"宋体") {
            ChineseFontName = WideToUtf8(face);
            break;
        }
    }
    ReleaseDC(nullptr, dc);
}

void TFrmLED::Initialise() {
    // 1–5: fonts, data folder, popup link, date texts not yet built.
    formFont_.Reset(MakeFont(L"宋体", 9));
    PickChineseFont();
    firstShow_ = true;
    popup_ = std::make_unique<TPopupLink>(Handle(), options_.programDir);
    lastShownDate_ = 0;
    if (!options_.traceTicksFile.empty()) {
        trace_ = _wfopen(Utf8ToWide(options_.traceTicksFile).c_str(), L"ab");
    }
    SetUpLed();
    BuildBuiltInLook();
    SetUpDateLine();
    BuildMenus();
    // 6: settings.
    ReadSettings(false);
    // 7: the position saver.
    RECT wr;
    GetWindowRect(Handle(), &wr);
    rememberedLeft_ = wr.left;
    rememberedTop_ = wr.top;
    SetTimer(Handle(), TimerSavePos, 2000, nullptr);
    // Network time sync, the drop shadow, the window magnet and the hidden
    // calendar window join the sequence here, in this order, as their parts
    // arrive.

    // 12: the chime composer with its sound player.
    alarm_ = std::make_unique<TClockAlarm>(std::make_unique<TBackSoundWindow>(),
                                           options_.dataDir + "Sound\\");
    alarm_->SetOptions(settings_.alarm, settings_.halfAlarm, settings_.alarmType);
    // 13: the timed tasks.
    taskActions_ = std::make_unique<TTaskActions>(Handle(), *popup_, *alarm_, [this] {
        // Before a task powers the computer off, the state is saved as at exit.
        try {
            SaveBarState();
        } catch (const EIniWriteError&) {
        }
    });
    tasks_ = std::make_unique<TTaskList>(*taskActions_);
    tasks_->LoadTasks(options_.dataDir + "War.lst");

    // 14, 15: the clock tick, and the first texts before the first paint.
    // ImageList2: the normal icon first, then the frames of the unread-message animation.
    std::vector<HICON> trayIcons;
    const int small = GetSystemMetrics(SM_CXSMICON);
    for (int id = IDI_TRAY_NORMAL; id <= IDI_TRAY_NORMAL + TRAY_ANIM_FRAMES; ++id) {
        if (HANDLE icon = LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON,
                                     small, small, LR_SHARED)) {
            trayIcons.push_back(static_cast<HICON>(icon));
        }
    }
    tray_ = std::make_unique<TTrayIcon>(Handle(), std::move(trayIcons));
    AddTooltips();
    TimerClockTimer();
    tray_->Add();
    tray_->SetHint(hint_);
    // 16: hide at start only when started by the autostart entry.
    startHidden_ = settings_.onStartHide && IsHideSwitch(options_.firstArgument);
    // 17: no task-bar button (the window was made a tool window at creation).
    // The mark reminder timer and the advertisement lines follow with their parts.
}

void TFrmLED::Show() {
    ShowWindow(Handle(), SW_SHOWNOACTIVATE);
    UpdateWindow(Handle());
    if (firstShow_) {
        firstShow_ = false;
        SetTimer(Handle(), TimerChild, 300, nullptr);
    }
}

void TFrmLED::ReadSettings(bool skinsOnly) {
    const TIniFile ini(options_.dataDir + "skin.ini");
    // 1, 2: the skin first, since the bar's size is the skin's.
    BarSettings names;
    ReadSkinNames(ini, names);
    ApplyBarSkin(names.skinFile);
    if (skinsOnly) {
        settings_.skinFile = names.skinFile;
        settings_.clockFile = names.clockFile;
        return;
    }
    settings_ = ReadBarSettings(ini, GetSystemMetrics(SM_CXSCREEN), background_.Width());
    LED.SetVisible(settings_.ledFont);
    ApplyTimeFont();
    if (settings_.hotKey)
        RegisterClockHotKey(settings_.hotKey1, settings_.hotKey2);
    SetWindowPos(Handle(), nullptr, settings_.left, settings_.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ApplyStayOnTop();
    SetBarAlpha(settings_.barAlpha);
}

bool TFrmLED::ApplyBarSkin(const std::string& skinFile) {
    TBarSkin skin;
    if (skinFile.empty() || ReadBarSkin(options_.dataDir, options_.dataDir + "Skin\\" + skinFile,
                                        skin) != TSkinResult::Applied) {
        return false;  // a missing or damaged package leaves the look as it is
    }
    background_ = std::move(skin.background);
    btnMenuPic_[0] = std::move(skin.btnMenu.up);
    btnMenuPic_[1] = std::move(skin.btnMenu.hot);
    btnMinPic_[0] = std::move(skin.btnMin.up);
    btnMinPic_[1] = std::move(skin.btnMin.hot);
    panelBorderColor_ = skin.ledBorderColor;
    LED.SetBounds(skin.led.left, skin.led.top, skin.led.width, skin.led.height);
    LED.SetBGColor(skin.ledBkColor);
    LED.SetLightColor(skin.ledFontColor);
    LED.SetDarkColor(skin.ledDarkColor);
    dateColor_ = skin.fontColor;
    if (FadeTextDate)
        SetBarDateLineColor(*FadeTextDate, dateColor_);
    if (menus_) {
        menus_->colours = skin.menu;
    }
    picture_ = background_;
    SetWindowPos(Handle(), nullptr, 0, 0, background_.Width(), background_.Height(),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(Handle(), nullptr, FALSE);
    return true;
}

void TFrmLED::SetUpLed() {
    // The digits sit 1 px inside the time panel, in the bar's own coordinates.
    LED.SetBounds(kPanel.left + 1, kPanel.top + 1, 117, 23);
    LED.SetOffSetX(6);
    LED.SetOffSetY(2);
    LED.SetWordWidth(15);
    LED.SetWordHeight(19);
    LED.SetThick(3);
    LED.SetSpace(3);
    LED.SetBGColor(0);
    // The form's lit colour is fuchsia, which a skin always replaces; on the
    // built-in look (no skin applies) fuchsia digits would be see-through
    // holes, so that look lights them in its own cyan.
    LED.SetLightColor(RGB(96, 220, 255));
    LED.SetDarkColor(3618615);
    LED.SetDrawDarkColor(false);
    LED.SetText("00:00:00");
    LED.OnInvalidate = [this](TLEDFontNum::Rect r) {
        const RECT rc{r.left, r.top, r.left + r.width, r.top + r.height};
        if (Handle())
            InvalidateRect(Handle(), &rc, FALSE);
    };
    LED.OnRendered = [this] {
        const TLEDFontNum::Rect r = LED.Bounds();
        const RECT rc{r.left, r.top, r.left + r.width, r.top + r.height};
        if (Handle())
            InvalidateRect(Handle(), &rc, FALSE);
    };
}

void TFrmLED::SetUpDateLine() {
    FadeTextDate = std::make_unique<TFadeText>(glyphs_);
    FadeTextDate->OnSetTimer = [this](TFadeTimer timer, unsigned ms) {
        const UINT_PTR id = timer == TFadeTimer::Line ? TimerFadeLine : TimerFadeStep;
        if (ms == 0) {
            KillTimer(Handle(), id);
        } else {
            SetTimer(Handle(), id, ms, nullptr);
        }
    };
    FadeTextDate->OnInvalidate = [this](bool now) {
        RECT r = kDateLine;
        if (!Handle())
            return;
        if (!now) {
            InvalidateRect(Handle(), &r, FALSE);
            return;
        }
        // A fade step: only the line is painted, straight to the screen.
        FadeTextDate->Paint(picture_);
        if (HDC dc = GetDC(Handle())) {
            BlitPicture(dc, r.left, r.top, picture_, r.left, r.top, r.right - r.left,
                        r.bottom - r.top);
            ReleaseDC(Handle(), dc);
        }
    };
    FadeTextDate->SetSystemLabels(&systemLabels_);
    FadeTextDate->SetParentBackground(&background_);
    ConfigureBarDateLine(*FadeTextDate);
    SetBarDateLineColor(*FadeTextDate, dateColor_);
    FadeTextDate->Loaded();
}

void TFrmLED::ApplyTimeFont() {
    const std::wstring face = Utf8ToWide(settings_.fontName);
    timeFont_.Reset(MakeFont(face.c_str(), settings_.fontSize,
                             settings_.fontBold ? FW_BOLD : FW_NORMAL, settings_.fontItalic,
                             settings_.fontUnderline, settings_.fontStrikeOut));
    RedrawPart(Part::Panel);
}

void TFrmLED::ApplyStayOnTop() {
    SetWindowPos(Handle(), settings_.onTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TFrmLED::SetBarAlpha(int alpha) {
    barAlpha_ = alpha;
    SetLayeredWindowAttributes(Handle(), kKey, static_cast<BYTE>(alpha), LWA_COLORKEY | LWA_ALPHA);
}

bool TFrmLED::RegisterClockHotKey(const std::string& modifierText, const std::string& keyText) {
    UnregisterClockHotKey();
    hotKeyModText_ = modifierText;
    hotKeyKeyText_ = keyText;
    const int mods = HotKeyModifiers(modifierText);
    const int key = HotKeyVirtualKey(keyText);
    if (mods < 0 || key == 0)
        return false;
    const ATOM atom = GlobalAddAtomW(kHotKeyAtom);
    const int id = atom - 0xC000;
    if (atom == 0 || id <= 0)
        return false;
    if (!RegisterHotKey(Handle(), id, static_cast<UINT>(mods), static_cast<UINT>(key))) {
        GlobalDeleteAtom(atom);
        return false;
    }
    hotKeyId_ = id;
    hotKeyMods_ = mods;
    hotKeyKey_ = key;
    return true;
}

void TFrmLED::UnregisterClockHotKey() {
    if (hotKeyId_ > 0) {
        UnregisterHotKey(Handle(), hotKeyId_);
        GlobalDeleteAtom(static_cast<ATOM>(hotKeyId_ + 0xC000));
    }
    hotKeyId_ = 0;
}

void TFrmLED::TimerClockTimer() {
    const ClockSource& clock = ClockSource::Current();
    const int64_t nowMs = clock.UtcMillis();
    // Each second is taken before anything runs for it, so that a tick nested
    // in a message loop of this one goes on with the next second.
    int64_t second, first = -1, last = -1;
    const int64_t localMs = nowMs + clock.LocalOffsetMinutes(nowMs) * 60000LL;
    UpdateClockDisplay(FromUnixSeconds(static_cast<double>(localMs / 1000)));
    while (ticker_.NextSecond(nowMs, second)) {
        if (first < 0)
            first = second;
        last = second;
        const int64_t local = second + clock.LocalOffsetMinutes(second * 1000) * 60LL;
        ProcessSecond(FromUnixSeconds(static_cast<double>(local)));
    }
    ArmClockTimer();
    TraceTick(nowMs, first, last);
}

// The work of one wall-clock second: due tasks first, then the chime.
void TFrmLED::ProcessSecond(TDateTime t) {
    if (tasks_)
        tasks_->RunDueTask(t);
    if (alarm_ && alarm_->CheckChime(t) && settings_.alarmType == kChimeMessage &&
        popup_->EnsurePopup()) {
        popup_->SendPopupText("时钟报时：" + FormatLongTime(t));
        ++chimeMessages_;
    }
}

void TFrmLED::ArmClockTimer() {
    const int64_t delay = TSecondTicker::DelayToNextBoundary(ClockSource::Current().UtcMillis());
    SetTimer(Handle(), TimerClock, static_cast<UINT>(delay), nullptr);
}

void TFrmLED::TraceTick(int64_t nowMs, int64_t first, int64_t last) {
    if (!trace_)
        return;
    if (first < 0) {
        fprintf(trace_, "%lld - -\n", static_cast<long long>(nowMs));
    } else {
        fprintf(trace_, "%lld %lld %lld\n", static_cast<long long>(nowMs),
                static_cast<long long>(first), static_cast<long long>(last));
    }
    fflush(trace_);
}

void TFrmLED::UpdateClockDisplay(TDateTime t) {
    const std::string hms = FormatHMS(t);
    LED.SetText(hms);
    // The panel's caption shows the same text when the digits are hidden.
    const std::wstring text = Utf8ToWide(hms);
    if (text != timeText_) {
        timeText_ = text;
        if (!LED.Visible())
            RedrawPart(Part::Panel);
    }
    const double date = static_cast<double>(DayNumber(t));
    if (date != lastShownDate_) {
        lastShownDate_ = date;
        const std::string g = FormatChineseDate(t);
        const std::string line = "<FontCN>" + g;
        std::vector<std::string>& lines = FadeTextDate->Lines();
        if (lines.empty() || lines[0] != line) {
            FadeTextDate->BeginUpdate();
            if (lines.empty()) {
                lines.push_back(line);
            } else {
                lines[0] = line;
            }
            FadeTextDate->EndUpdate();
        }
        // The lunar date, GanZhi, solar term and festival lines join the hint
        // with the calendar window.
        SetHintText(Utf8ToWide("公历: " + g));
        LED.SetHint(WideToUtf8(hint_));
    }
    if (FadeTextDate->Active() != dateCycling_) {
        FadeTextDate->SetActive(dateCycling_);
        if (!dateCycling_)
            FadeTextDate->ShowLine(0);
    } else if (FadeTextDate->LineIndex() < 0) {
        FadeTextDate->ShowLine(0);
    }
}

void TFrmLED::SetHintText(const std::wstring& hint) {
    if (hint == hint_)
        return;
    hint_ = hint;
    if (tray_)
        tray_->SetHint(hint_);
    if (tooltip_) {
        TOOLINFOW ti{};
        ti.cbSize = sizeof ti;
        ti.hwnd = Handle();
        ti.uId = static_cast<UINT_PTR>(Part::Panel);
        ti.lpszText = hint_.data();
        SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
    }
}

void TFrmLED::AddTooltips() {
    tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                               WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Handle(), nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    if (!tooltip_)
        return;
    SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, 400);
    static const wchar_t kMenuHint[] = L"主菜单";
    static const wchar_t kMinHint[] = L"最小化";
    const struct {
        Part part;
        RECT rect;
        const wchar_t* text;
    } tools[] = {{Part::BtnMenu, kBtnMenu, kMenuHint},
                 {Part::BtnMin, kBtnMin, kMinHint},
                 {Part::Panel, kPanel, hint_.c_str()}};
    for (const auto& t : tools) {
        TOOLINFOW ti{};
        ti.cbSize = sizeof ti;
        ti.uFlags = TTF_SUBCLASS;
        ti.hwnd = Handle();
        ti.uId = static_cast<UINT_PTR>(t.part);
        ti.rect = t.rect;
        ti.lpszText = const_cast<wchar_t*>(t.text);
        SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    }
}

void TFrmLED::TimerSavePosTimer() {
    RECT wr;
    GetWindowRect(Handle(), &wr);
    if (wr.left == rememberedLeft_ && wr.top == rememberedTop_)
        return;
    try {
        TIniFile ini(options_.dataDir + "skin.ini");
        ini.WriteInteger("BAR", "Left", wr.left);
        ini.WriteInteger("BAR", "Top", wr.top);
        rememberedLeft_ = wr.left;
        rememberedTop_ = wr.top;
    } catch (const EIniWriteError&) {
        // Dropped; the next tick tries again while the position still differs.
    }
}

void TFrmLED::SaveBarState() {
    RECT wr;
    GetWindowRect(Handle(), &wr);
    TIniFile ini(options_.dataDir + "skin.ini");
    ini.WriteInteger("CHILD", "Index", CurrentView());
    ini.WriteInteger("BAR", "Left", wr.left);
    ini.WriteInteger("BAR", "Top", wr.top);
    ini.WriteInteger("BAR", "Tr", barAlpha_);
}

void TFrmLED::BuildMenus() {
    HBITMAP strip =
        static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_MENUICONS),
                                        IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    menus_ = std::make_unique<TMenuController>(strip);
    TMenuController& m = *menus_;
    // The items whose windows are not part of the program yet stay greyed.
    const bool later = false;
    auto addOptions = [&](HMENU parent) {
        HMENU sub = CreatePopupMenu();
        m.Add(sub, PM_OptionsNor, L"常规设置", -1, later);
        m.Add(sub, PM_OptionsBS, L"报时设置", -1, later);
        m.Add(sub, PM_OptionsSkin, L"皮肤更换", -1, later);
        m.Add(sub, PM_OptionsClock, L"时钟样式", -1, later);
        m.Add(sub, PM_OptionsMsg, L"消息设置", -1, later);
        m.Add(sub, PM_OptionsTime, L"时间校正", -1, later);
        m.AddSubmenu(parent, sub, L"系统设置", 0);
    };
    auto addCommon = [&](HMENU menu) {
        m.Add(menu, PM_TaskOptions, L"定时任务", 5, later);
        m.Add(menu, PM_CalOptions, L"日历标记", 6, later);
        m.Add(menu, PM_WorldTime, L"城市时间查询", 7, later);
        addOptions(menu);
        m.AddSeparator(menu);
        m.Add(menu, PM_HomePage, L"主页", 4, later);
        m.Add(menu, PM_Help, L"帮助", 1);
        m.Add(menu, PM_About, L"关于", 3, later);
        m.Add(menu, PM_Exit, L"退出", 2);
    };
    popupMenu1_ = CreatePopupMenu();
    m.Add(popupMenu1_, PM_Smp, L"精简");
    m.Add(popupMenu1_, PM_Clock, L"时钟", -1, later);
    m.Add(popupMenu1_, PM_Calendar, L"日历", -1, later);
    m.Add(popupMenu1_, PM_Weather, L"天气", -1, later);
    m.AddSeparator(popupMenu1_);
    addCommon(popupMenu1_);

    popupMenu2_ = CreatePopupMenu();
    m.Add(popupMenu2_, PM_Open, L"打开窗口");
    m.Add(popupMenu2_, PM_Hide1, L"隐藏窗口");
    m.AddSeparator(popupMenu2_);
    addCommon(popupMenu2_);
}

void TFrmLED::PrepareMenu(HMENU) {
    // The view items form one radio group; the visible view is ticked.
    static const UINT kByView[] = {PM_Smp, PM_Calendar, PM_Clock, PM_Weather};
    CheckMenuRadioItem(popupMenu1_, PM_Smp, PM_Weather, kByView[CurrentView()], MF_BYCOMMAND);
}

void TFrmLED::ShowMenu(HMENU menu, POINT at, bool fromTray) {
    PrepareMenu(menu);
    // No hint over the open menu: the tooltips rest until it closes.
    if (tooltip_) {
        SendMessageW(tooltip_, TTM_ACTIVATE, FALSE, 0);
        SendMessageW(tooltip_, TTM_POP, 0, 0);
    }
    // Without the foreground the menu would not close when the user clicks elsewhere.
    SetForegroundWindow(Handle());
    const UINT flags = TPM_RETURNCMD | TPM_NONOTIFY | (fromTray ? TPM_RIGHTBUTTON : TPM_LEFTBUTTON);
    const UINT id =
        static_cast<UINT>(TrackPopupMenu(menu, flags, at.x, at.y, 0, Handle(), nullptr));
    PostMessageW(Handle(), WM_NULL, 0, 0);
    if (tooltip_)
        SendMessageW(tooltip_, TTM_ACTIVATE, TRUE, 0);
    if (id)
        OnCommand(id);
}

void TFrmLED::OnCommand(UINT id) {
    switch (id) {
        case PM_Smp:
            // Only "精简" exists until the views arrive; it is shown already.
            break;
        case PM_Help:
            ShowHelp();
            break;
        case PM_Exit:
            PostMessageW(Handle(), WM_CLOSE, 0, 0);
            break;
        case PM_Open:
            RestoreFromTray();
            break;
        case PM_Hide1:
            HideToTray();
            break;
        default:
            break;
    }
}

void TFrmLED::ShowHelp() {
    const std::string help = options_.programDir + "TemporaHelp.chm";
    if (FileExists(help)) {
        ShellExecuteW(Handle(), nullptr, Utf8ToWide(help).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
        return;
    }
    MessageBoxW(Handle(), L"\"TemporaHelp.chm\" 文件不存在。", L"警告", MB_OK | MB_ICONWARNING);
}

void TFrmLED::HideToTray() {
    if (hiddenToTray_)
        return;
    hiddenToTray_ = true;
    hiddenWindows_.clear();
    // Every visible window of the program goes, only the tray icon remains.
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM self) -> BOOL {
            if (IsWindowVisible(w))
                reinterpret_cast<TFrmLED*>(self)->hiddenWindows_.push_back(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(this));
    for (HWND w : hiddenWindows_)
        ShowWindow(w, SW_HIDE);
}

void TFrmLED::RestoreFromTray() {
    if (hiddenToTray_) {
        hiddenToTray_ = false;
        for (HWND w : hiddenWindows_) {
            if (IsWindow(w) && w != tooltip_)
                ShowWindow(w, SW_SHOWNOACTIVATE);
        }
        hiddenWindows_.clear();
    }
    if (!IsWindowVisible(Handle()))
        ShowWindow(Handle(), SW_SHOWNOACTIVATE);
    SetForegroundWindow(Handle());
}

void TFrmLED::OnClose() {
    KillTimer(Handle(), TimerChild);
    KillTimer(Handle(), TimerChildHide);
    KillTimer(Handle(), TimerClock);
    KillTimer(Handle(), TimerSavePos);
    KillTimer(Handle(), TimerFadeLine);
    KillTimer(Handle(), TimerFadeStep);
    try {
        SaveBarState();
    } catch (const EIniWriteError&) {
        // A read-only settings file loses the position, not the program's exit.
    }
    UnregisterClockHotKey();
    if (IsWindowVisible(Handle()))
        FadeOutForm(Handle(), barAlpha_);
}

void TFrmLED::OnDestroy() {
    if (tray_)
        tray_->Remove();
    if (popup_)
        popup_->SendPopupCode(kPopupCodeClosing);
    const std::string scratch = options_.dataDir + "SkinDone.tmp";
    if (FileExists(scratch))
        RemoveFile(scratch);
    PostQuitMessage(0);
}

TFrmLED::Part TFrmLED::HitTest(POINT p) const {
    if (InRect(kBtnMenu, p))
        return Part::BtnMenu;
    if (InRect(kBtnMin, p))
        return Part::BtnMin;
    if (InRect(kPanel, p))
        return Part::Panel;
    if (InRect(kDateLine, p))
        return Part::DateLine;
    return Part::Background;
}

void TFrmLED::RedrawPart(Part part) {
    if (!Handle())
        return;
    const RECT* r = part == Part::Panel      ? &kPanel
                    : part == Part::BtnMenu  ? &kBtnMenu
                    : part == Part::BtnMin   ? &kBtnMin
                    : part == Part::DateLine ? &kDateLine
                                             : nullptr;
    InvalidateRect(Handle(), r, FALSE);
}

// The bar without a skin: a dark glass strip with rounded ends (the corners
// outside it are see-through), drawn once with GDI into pictures.
void TFrmLED::BuildBuiltInLook() {
    TDibCanvas canvas(kWidth, kHeight);
    const HDC dc = canvas.Dc();
    {
        auto base = [&] {
            RECT all{0, 0, kWidth, kHeight};
            GdiObject<HBRUSH> key(CreateSolidBrush(kKey));
            FillRect(dc, &all, key.Get());
            RoundedPanel(dc, {0, 0, kWidth - 1, kHeight - 1}, 8, RGB(58, 66, 82), RGB(20, 23, 30),
                         RGB(92, 104, 124));
        };
        base();
        ReadPicture(dc, 0, 0, kWidth, kHeight, background_);
        for (int hot = 0; hot < 2; ++hot) {
            base();
            RoundedPanel(dc, kBtnMenu, 5, hot ? RGB(96, 110, 136) : RGB(74, 84, 104),
                         hot ? RGB(52, 60, 78) : RGB(38, 44, 58),
                         hot ? RGB(140, 170, 220) : RGB(100, 112, 134));
            SetBkMode(dc, TRANSPARENT);
            {
                SelectObjectScope f(dc, formFont_.Get());
                SetTextColor(dc, RGB(232, 236, 244));
                RECT r = kBtnMenu;
                DrawTextW(dc, L"菜单", -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
            }
            ReadPicture(dc, kBtnMenu.left, kBtnMenu.top, kBtnMenu.right - kBtnMenu.left,
                        kBtnMenu.bottom - kBtnMenu.top, btnMenuPic_[hot]);
            RoundedPanel(dc, kBtnMin, 5, hot ? RGB(96, 110, 136) : RGB(74, 84, 104),
                         hot ? RGB(52, 60, 78) : RGB(38, 44, 58),
                         hot ? RGB(140, 170, 220) : RGB(100, 112, 134));
            {
                GdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, RGB(232, 236, 244)));
                SelectObjectScope pn(dc, pen.Get());
                MoveToEx(dc, kBtnMin.left + 9, kBtnMin.top + 5, nullptr);
                LineTo(dc, kBtnMin.right - 9, kBtnMin.top + 5);
            }
            ReadPicture(dc, kBtnMin.left, kBtnMin.top, kBtnMin.right - kBtnMin.left,
                        kBtnMin.bottom - kBtnMin.top, btnMinPic_[hot]);
        }
    }
    picture_ = background_;
}

void TFrmLED::Compose() {
    if (picture_.Width() != background_.Width() || picture_.Height() != background_.Height()) {
        picture_ = background_;
    } else {
        picture_.CopyRect(0, 0, background_, 0, 0, background_.Width(), background_.Height());
    }
    const bool menuHot = hot_ == Part::BtnMenu || pressed_ == Part::BtnMenu;
    const bool minHot = hot_ == Part::BtnMin || pressed_ == Part::BtnMin;
    const Bitmap& menu = btnMenuPic_[menuHot && !btnMenuPic_[1].Empty() ? 1 : 0];
    const Bitmap& min = btnMinPic_[minHot && !btnMinPic_[1].Empty() ? 1 : 0];
    picture_.CopyTransparent(kBtnMenu.left, kBtnMenu.top, menu, 0, 0, menu.Width(), menu.Height());
    picture_.CopyTransparent(kBtnMin.left, kBtnMin.top, min, 0, 0, min.Width(), min.Height());
    // The time panel: a flat frame whose inside takes the digits' background.
    picture_.FillRect(kPanel.left, kPanel.top, kPanel.right - kPanel.left,
                      kPanel.bottom - kPanel.top, panelBorderColor_);
    picture_.FillRect(kPanel.left + 1, kPanel.top + 1, kPanel.right - kPanel.left - 2,
                      kPanel.bottom - kPanel.top - 2, LED.BGColor());
    if (LED.Visible())
        LED.PaintTo(picture_);
    if (FadeTextDate)
        FadeTextDate->Paint(picture_);
}

LRESULT TFrmLED::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (tray_) {
        UINT event;
        if (tray_->OnMessage(msg, wp, lp, event)) {
            if (event == WM_LBUTTONUP) {
                RestoreFromTray();
            } else if (event == WM_RBUTTONUP) {
                POINT pt;
                GetCursorPos(&pt);
                ShowMenu(popupMenu2_, pt, true);
            }
            return 0;
        }
    }
    switch (msg) {
        case WM_PAINT: {
            PaintScope paint(Handle());
            Compose();
            if (LED.Visible()) {
                BlitPicture(paint.Dc(), 0, 0, picture_);
                return 0;
            }
            // The plain-text time is drawn by GDI over the composed picture,
            // through a memory DC so that nothing flickers.
            HDC mem = CreateCompatibleDC(paint.Dc());
            const int w = picture_.Width(), h = picture_.Height();
            GdiObject<HBITMAP> buffer(CreateCompatibleBitmap(paint.Dc(), w, h));
            {
                SelectObjectScope sel(mem, buffer.Get());
                BlitPicture(mem, 0, 0, picture_);
                RECT inner{kPanel.left + 1, kPanel.top + 1, kPanel.right - 1, kPanel.bottom - 1};
                SelectObjectScope f(mem, timeFont_.Get());
                SetBkMode(mem, TRANSPARENT);
                SetTextColor(mem, settings_.fontColor);
                DrawTextW(mem, timeText_.c_str(), -1, &inner,
                          DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
                BitBlt(paint.Dc(), 0, 0, w, h, mem, 0, 0, SRCCOPY);
            }
            DeleteDC(mem);
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;
        case WM_TIMER:
            switch (wp) {
                case TimerClock:
                    TimerClockTimer();
                    return 0;
                case TimerSavePos:
                    TimerSavePosTimer();
                    return 0;
                case TimerFadeLine:
                    if (FadeTextDate)
                        FadeTextDate->OnLineTimer();
                    return 0;
                case TimerFadeStep:
                    if (FadeTextDate)
                        FadeTextDate->OnFadeTimer();
                    return 0;
                case TimerChild:
                    KillTimer(Handle(), TimerChild);
                    // The default view opens here once the views exist; the
                    // tray hiding follows a second later without blocking
                    // the program meanwhile.
                    SetTimer(Handle(), TimerChildHide, 1000, nullptr);
                    return 0;
                case TimerChildHide:
                    KillTimer(Handle(), TimerChildHide);
                    if (startHidden_) {
                        HideToTray();
                        startHidden_ = false;
                    }
                    return 0;
                default:
                    break;
            }
            break;
        case WM_TIMECHANGE:
            // The system clock was set: show the new time at once.
            TimerClockTimer();
            return 0;
        case WM_LBUTTONDOWN: {
            const POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
            const Part part = HitTest(p);
            if (part == Part::BtnMenu || part == Part::BtnMin) {
                pressed_ = part;
                SetCapture(Handle());
                RedrawPart(part);
            } else if (part == Part::Background || part == Part::Panel) {
                ReleaseCapture();
                SendMessageW(Handle(), WM_SYSCOMMAND, kMoveByCaption, 0);
            }
            return 0;
        }
        case WM_LBUTTONUP: {
            const POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
            const Part was = pressed_;
            pressed_ = Part::None;
            if (GetCapture() == Handle())
                ReleaseCapture();
            RedrawPart(was);
            if (was != Part::None && HitTest(p) == was) {
                if (was == Part::BtnMenu) {
                    POINT at{kBtnMenu.left, kBtnMenu.bottom};
                    ClientToScreen(Handle(), &at);
                    ShowMenu(popupMenu1_, at, false);
                } else {
                    HideToTray();
                }
            }
            return 0;
        }
        case WM_MOUSEMOVE: {
            if (!trackingMouse_) {
                TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, Handle(), 0};
                trackingMouse_ = TrackMouseEvent(&tme) != FALSE;
            }
            const Part part = HitTest({GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
            const Part hot = part == Part::BtnMenu || part == Part::BtnMin ? part : Part::None;
            if (hot != hot_) {
                RedrawPart(hot_);
                hot_ = hot;
                RedrawPart(hot_);
            }
            return 0;
        }
        case WM_MOUSELEAVE:
            trackingMouse_ = false;
            RedrawPart(hot_);
            hot_ = Part::None;
            return 0;
        case WM_SETCURSOR:
            if (LOWORD(lp) == HTCLIENT) {
                POINT p;
                GetCursorPos(&p);
                ScreenToClient(Handle(), &p);
                const Part part = HitTest(p);
                SetCursor(LoadCursorW(nullptr, part == Part::DateLine ? IDC_HAND : IDC_ARROW));
                return TRUE;
            }
            break;
        case WM_MEASUREITEM:
            if (menus_ && menus_->OnMeasureItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lp)))
                return TRUE;
            break;
        case WM_DRAWITEM:
            if (menus_ && menus_->OnDrawItem(reinterpret_cast<DRAWITEMSTRUCT*>(lp)))
                return TRUE;
            break;
        case WM_INITMENUPOPUP:
            PrepareMenu(reinterpret_cast<HMENU>(wp));
            return 0;
        case WM_SYSCOMMAND:
            // A second start of the program asks the first to come back.
            if ((wp & 0xFFF0) == SC_RESTORE) {
                RestoreFromTray();
                return 0;
            }
            break;
        case WM_HOTKEY:
            if (hotKeyId_ > 0 && HIWORD(lp) == hotKeyKey_ && LOWORD(lp) == hotKeyMods_) {
                ++hotKeyPresses_;
                if (alarm_)
                    alarm_->AnnounceNow(ClockSource::Current().NowLocal());
                return 1;
            }
            return 0;
        case kPopupHandshake:
            if (popup_)
                popup_->OnHandshake(lp);
            return 0;
        case kPopupAnimOn:
            if (tray_)
                tray_->SetAnimate(true);
            return 0;
        case kPopupAnimOff:
            if (tray_)
                tray_->SetAnimate(false);
            return 0;
        case WM_ENDSESSION:
            if (wp) {
                try {
                    SaveBarState();
                } catch (const EIniWriteError&) {
                }
            }
            return 0;
        case WM_CLOSE:
            OnClose();
            DestroyWindow(Handle());
            return 0;
        case WM_DESTROY:
            OnDestroy();
            return 0;
        default:
            break;
    }
    return TWindow::WndProc(msg, wp, lp);
}

}  // namespace tempora
