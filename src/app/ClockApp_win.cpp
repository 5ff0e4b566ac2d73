#include "app/ClockApp_win.h"

#include "app/DayTexts.h"
#include "app/UnitOptions_win.h"
#include "app/res/Icons.rc.h"
#include "calendar/Holiday.h"
#include "core/ClockSource.h"
#include "core/Encoding.h"
#include "core/FileSys.h"
#include "core/LineFile.h"
#include "core/Text.h"
#include "display/MyWindow_win.h"
#include "reminders/BackSound_win.h"
#include "reminders/MissedTasks.h"
#include "reminders/PopupProtocol.h"
#include "reminders/UnitWarnOptions_win.h"
#include "win/Gdi_win.h"
#include "win/LocaleFormats_win.h"
#include "win/PictureBlit_win.h"
#include "web/UnitAbout_win.h"
#include "web/UnitHomepage_win.h"
#include "web/Upgrade.h"
#include "web/WebServer.h"

#include <random>

namespace tempora {

namespace {
constexpr COLORREF kKey = TFrmLED::kKeyColor;

// The monitor the window is on (the nearest one when it is off every screen).
RECT MonitorOf(HWND w) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(MonitorFromWindow(w, MONITOR_DEFAULTTONEAREST), &info))
        return info.rcMonitor;
    return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
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

RECT ToRect(const TSkinRect& r) {
    return {r.left, r.top, r.left + r.width, r.top + r.height};
}

// The menus' layouts; the commands behind the ids come from the features.
constexpr TMenuEntry kOptionsItems[] = {
    {PM_OptionsNor, L"常规设置"},   {PM_OptionsBS, L"报时设置"},  {PM_OptionsSkin, L"皮肤更换"},
    {PM_OptionsClock, L"时钟样式"}, {PM_OptionsMsg, L"消息设置"}, {PM_OptionsTime, L"时间校正"},
};
constexpr TMenuEntry kViewItems[] = {
    {PM_Smp, L"精简"}, {PM_Clock, L"时钟"}, {PM_Calendar, L"日历"}, {PM_Weather, L"天气"}, {}};
constexpr TMenuEntry kTrayItems[] = {{PM_Open, L"打开窗口"}, {PM_Hide1, L"隐藏窗口"}, {}};
constexpr TMenuEntry kSwitchItems[] = {{PM_Calendar, L"日历"}, {PM_Weather, L"天气"}};
constexpr TMenuEntry kClockItems[] = {
    {PM_TaskOptions, L"定时任务", 5},
    {PM_WorldTime, L"城市时间查询", 7},
    {},
    {PM_OptionsClock, L"时钟样式"},
    {PM_OptionsTime, L"时间校正"},
    {},
    {0, L"切换到", -1, kSwitchItems},
    {PM_Hide, L"关闭窗口"},
};
constexpr TMenuEntry kCommonItems[] = {
    {PM_TaskOptions, L"定时任务", 5},
    {PM_CalOptions, L"日历标记", 6},
    {PM_WorldTime, L"城市时间查询", 7},
    {0, L"系统设置", 0, kOptionsItems},
    {},
    {PM_HomePage, L"主页", 4},
    {PM_Help, L"帮助", 1},
    {PM_About, L"关于", 3},
    {PM_Exit, L"退出", 2},
};
}  // namespace

TBarSkin BuiltInBarSkin() {
    TBarSkin skin;
    const int w = skin.width, h = skin.height;
    TDibCanvas canvas(w, h);
    const HDC dc = canvas.Dc();
    GdiObject<HFONT> font(MakeFont(L"宋体", 9));
    const auto base = [&] {
        const RECT all{0, 0, w, h};
        GdiObject<HBRUSH> key(CreateSolidBrush(kKey));
        FillRect(dc, &all, key.Get());
        RoundedPanel(dc, {0, 0, w - 1, h - 1}, 8, RGB(58, 66, 82), RGB(20, 23, 30),
                     RGB(92, 104, 124));
    };
    base();
    ReadPicture(dc, 0, 0, w, h, skin.background);
    for (int hot = 0; hot < 2; ++hot) {
        const COLORREF top = hot ? RGB(96, 110, 136) : RGB(74, 84, 104);
        const COLORREF bottom = hot ? RGB(52, 60, 78) : RGB(38, 44, 58);
        const COLORREF border = hot ? RGB(140, 170, 220) : RGB(100, 112, 134);
        base();
        RECT menu = ToRect(skin.btnMenu.place);
        RoundedPanel(dc, menu, 5, top, bottom, border);
        SetBkMode(dc, TRANSPARENT);
        {
            SelectObjectScope f(dc, font.Get());
            SetTextColor(dc, RGB(232, 236, 244));
            DrawTextW(dc, L"菜单", -1, &menu, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        }
        ReadPicture(dc, menu.left, menu.top, menu.right - menu.left, menu.bottom - menu.top,
                    hot ? skin.btnMenu.hot : skin.btnMenu.up);
        const RECT min = ToRect(skin.btnMin.place);
        RoundedPanel(dc, min, 5, top, bottom, border);
        {
            GdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, RGB(232, 236, 244)));
            SelectObjectScope pn(dc, pen.Get());
            MoveToEx(dc, min.left + 9, min.top + 5, nullptr);
            LineTo(dc, min.right - 9, min.top + 5);
        }
        ReadPicture(dc, min.left, min.top, min.right - min.left, min.bottom - min.top,
                    hot ? skin.btnMin.hot : skin.btnMin.up);
    }
    // Fuchsia digits would be see-through holes: this look lights them cyan.
    skin.ledFontColor = RGB(96, 220, 255);
    skin.fontColor = 0xECDED6;
    return skin;
}

TClockApp::TClockApp(AppOptions options) : options_(std::move(options)) {
    bar_ = std::make_unique<TFrmLED>(*this, options_.dataDir);
    // Known only inside this process: another program cannot hand the bar a
    // pointer it would follow.
    std::random_device random;
    upgradeKey_ = static_cast<WPARAM>((static_cast<uint64_t>(random()) << 32) ^ random()) | 1;
}

TClockApp::~TClockApp() {
    // The bar's end (tray icon, popup program) runs while every part lives.
    if (bar_ && bar_->Handle())
        DestroyWindow(bar_->Handle());
    if (trace_)
        fclose(trace_);
}

bool TClockApp::CreateHidden() {
    return bar_->CreateHidden();
}

void TClockApp::Initialise() {
    const HWND bar = bar_->Handle();
    // The chime text and the date line's labels follow the user's formats.
    ApplyUserLocaleFormats();
    popup_ = std::make_unique<TPopupLink>(bar, options_.programDir);
    if (!options_.traceTicksFile.empty()) {
        trace_ = _wfopen(Utf8ToWide(options_.traceTicksFile).c_str(), L"ab");
        if (trace_) {
            heart_.OnTrace = [this](const std::string& line) {
                fprintf(trace_, "%s\n", line.c_str());
                fflush(trace_);
            };
        }
    }
    bar_->ApplySkin(BuiltInBarSkin());
    // The bar snaps to screen edges and other windows within 15 px and
    // carries the views docked to it.
    magnet_ = std::make_unique<TMagnetic>(options_.magnetCursor);
    magnet_->SetSnapDistance(15);
    magnet_->AddWindow(bar, nullptr);
    hotKey_ = std::make_unique<TClockHotKey>(bar);
    AddCommands();
    BuildMenus();
    ReadSettings(false);
    UpdateTimeSync();
    LoadHolidays(options_.dataDir);
    EnsureCalendarView();
    // The bar's soft shadow follows it from now on; magenta pixels of its
    // picture let the shadow through.
    barShadow_.Attach(bar, [this] { return &bar_->Face().Picture(); });

    alarm_ = std::make_unique<TClockAlarm>(
        options_.makePlayer ? options_.makePlayer() : std::make_unique<TBackSoundWindow>(),
        options_.dataDir + "Sound\\");
    alarm_->SetOptions(settings_.alarm, settings_.halfAlarm, settings_.alarmType);
    alarm_->SetQuietHours(settings_.quiet);
    taskActions_ = std::make_unique<TTaskActions>(
        bar, *popup_, *alarm_, [this] { SaveBarStateQuietly(); }, options_.exitWindows,
        options_.countdownTickMs);
    tasks_ = std::make_unique<TTaskList>(*taskActions_);
    tasks_->LoadTasks(options_.dataDir + "War.lst");

    // The clock's hands, then due tasks, then the chime, in every second.
    heart_.OnShow = [this](TDateTime t) { ShowDay(t); };
    heart_.AddSecondHandler([this](TDateTime t) {
        if (clock_ && IsWindowVisible(clock_->Handle()))
            clock_->SetHands(t);
    });
    heart_.AddSecondHandler([this](TDateTime t) { tasks_->RunDueTask(t); });
    heart_.AddSecondHandler([this](TDateTime t) { ChimeSecond(t); });
    // Tasks that fell due while the machine slept or the clock jumped ahead
    // are not run late (a late shutdown would catch the user unawares), only
    // listed once in the popup.
    heart_.OnSkipped = [this](int64_t from, int64_t to) {
        const std::vector<TTaskRec>& tasks = tasks_->Tasks();
        const std::string text = MissedTasksText(tasks, FindMissedTasks(tasks, from, to));
        if (!text.empty() && popup_->EnsurePopup())
            popup_->SendPopupText(text);
    };
    // The world-time dialog shows the seconds while it is open.
    heart_.AddSecondHandler([this](TDateTime) {
        if (worldTime_)
            worldTime_->RefreshTime();
    });

    // The tray's pictures: the normal icon first, then the frames of the
    // unread-message animation.
    std::vector<HICON> trayIcons;
    const int small = GetSystemMetrics(SM_CXSMICON);
    for (int id = IDI_TRAY_NORMAL; id <= IDI_TRAY_NORMAL + TRAY_ANIM_FRAMES; ++id) {
        if (HANDLE icon = LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON,
                                     small, small, LR_SHARED)) {
            trayIcons.push_back(static_cast<HICON>(icon));
        }
    }
    tray_ = std::make_unique<TTrayIcon>(bar, std::move(trayIcons));
    bar_->StartClock();
    tray_->Add();
    tray_->SetHint(hint_);
    // Hidden at start only when started by the autostart entry.
    startHidden_ = settings_.onStartHide && IsHideSwitch(options_.firstArgument);
    SetTimer(bar, TimerMsg, kStartMessageMs, nullptr);
    LoadAdLines();
    SetTimer(bar, TimerAD, kAdDelayMs, nullptr);
}

void TClockApp::AddCommands() {
    // A view item clicked while its view shows changes nothing.
    commands_.Add(
        PM_Smp, [this] { ShowView(kViewNone); }, [this] { return CurrentView() == kViewNone; });
    commands_.Add(
        PM_Calendar,
        [this] {
            if (CurrentView() != kViewCalendar)
                ShowView(kViewCalendar);
        },
        [this] { return CurrentView() == kViewCalendar; });
    commands_.Add(
        PM_Clock,
        [this] {
            if (CurrentView() != kViewClock)
                ShowView(kViewClock);
        },
        [this] { return CurrentView() == kViewClock; });
    commands_.Add(
        PM_Weather,
        [this] {
            if (CurrentView() != kViewWeather)
                ShowView(kViewWeather);
        },
        [this] { return CurrentView() == kViewWeather; });
    commands_.Add(PM_CalOptions, [this] {
        if (calendar_)
            calendar_->EditAllMarks(bar_->Handle());
    });
    commands_.Add(PM_Hide, [this] {
        if (clock_)
            SendMessageW(clock_->Handle(), WM_CLOSE, 0, 0);
    });
    commands_.Add(PM_Help, [this] { ShowHelp(); });
    commands_.Add(PM_WorldTime, [this] { ShowWorldTime(); });
    commands_.Add(PM_TaskOptions, [this] {
        // OK has written War.lst: the scheduler runs the new list from now on.
        if (ShowTaskList(bar_->Handle(), options_.dataDir))
            tasks_->LoadTasks(options_.dataDir + "War.lst");
    });
    commands_.Add(PM_Exit, [this] { PostMessageW(bar_->Handle(), WM_CLOSE, 0, 0); });
    commands_.Add(PM_Open, [this] { RestoreFromTray(); });
    commands_.Add(PM_Hide1, [this] { HideToTray(); });
    // The menus' "系统设置" items open the options dialog on their page.
    const UINT optionPages[] = {PM_OptionsNor,   PM_OptionsBS,  PM_OptionsSkin,
                                PM_OptionsClock, PM_OptionsMsg, PM_OptionsTime};
    for (int page = 0; page < 6; ++page)
        commands_.Add(optionPages[page], [this, page] { ShowOptions(*this, page); });
    commands_.Add(PM_HomePage, [this] { ShowHomePage(); });
    commands_.Add(PM_About, [this] {
        ShowAbout(bar_->Handle(), HomePage(),
                  [this](const std::string& a) { return OpenDocument(a); });
    });
}

void TClockApp::EnsureCalendarView() {
    if (calendar_)
        return;
    auto calendar = std::make_unique<TFrmCalendar>(options_.dataDir);
    if (!calendar->Create(bar_->Handle())) {
        TraceFault("calendar", "the calendar window could not be made");
        return;
    }
    calendar_ = std::move(calendar);
    DockView(calendar_->Handle(), bar_->Handle());
    calendar_->OnShowClock = [this] { ShowView(kViewClock); };
    calendar_->OnShowWeather = [this] { ShowView(kViewWeather); };
    calendar_->OnWorldTime = [this] { ShowWorldTime(); };
}

void TClockApp::ApplyStayOnTop(bool on) {
    const HWND views[] = {calendar_ ? calendar_->Handle() : nullptr,
                          clock_ ? clock_->Handle() : nullptr,
                          weather_ ? weather_->Handle() : nullptr};
    if (magnet_) {
        for (HWND view : views) {
            if (view)
                magnet_->RemoveWindow(view);
        }
        magnet_->RemoveWindow(bar_->Handle());
    }
    bar_->SetStayOnTop(on);
    if (magnet_) {
        magnet_->AddWindow(bar_->Handle(), nullptr);
        for (HWND view : views) {
            if (view)
                DockView(view, bar_->Handle());
        }
    }
}

int TClockApp::CurrentView() const {
    if (calendar_ && calendar_->Visible())
        return kViewCalendar;
    if (clock_ && IsWindowVisible(clock_->Handle()))
        return kViewClock;
    if (weather_ && weather_->Visible())
        return kViewWeather;
    return kViewNone;
}

void TClockApp::HideAllViews() {
    if (weather_)
        weather_->CloseView();
    if (clock_)
        clock_->CloseView();
    if (calendar_)
        calendar_->CloseView();
}

void TClockApp::ShowView(int code) {
    switch (code) {
        case kViewCalendar:
            ShowCalendarView(bar_->Alpha());
            break;
        case kViewClock:
            ShowClockView(bar_->Alpha());
            break;
        case kViewWeather:
            ShowWeatherView(bar_->Alpha());
            break;
        default:
            HideAllViews();
            break;
    }
}

POINT TClockApp::DockedViewPlace(int viewHeight) const {
    RECT bar{};
    GetWindowRect(bar_->Handle(), &bar);
    const RECT screen = MonitorOf(bar_->Handle());
    return {bar.left, DockedViewTop(bar.top, bar.bottom - bar.top, viewHeight,
                                    screen.bottom - screen.top, screen.top)};
}

void TClockApp::ShowCalendarView(int alpha) {
    HideAllViews();
    EnsureCalendarView();
    if (!calendar_)
        return;
    const POINT at = DockedViewPlace(calendar_->Height());
    calendar_->ShowDocked(alpha, at.x, at.y);
}

void TClockApp::EnsureWeatherView() {
    if (weather_)
        return;
    auto weather = std::make_unique<TFrmWeather>(options_.dataDir, options_.weather);
    if (!weather->Create(bar_->Handle())) {
        TraceFault("weather", "the weather window could not be made");
        return;
    }
    weather_ = std::move(weather);
    DockView(weather_->Handle(), bar_->Handle());
    weather_->OnWorldTime = [this] { ShowWorldTime(); };
    weather_->OnShowClock = [this] { ShowView(kViewClock); };
    weather_->OnShowCalendar = [this] { ShowView(kViewCalendar); };
    // Closing the weather view frees it, browser and all; the next "天气"
    // makes a new one.
    weather_->OnDestroyed = [this] { weather_.reset(); };
}

void TClockApp::ShowWeatherView(int alpha) {
    HideAllViews();
    EnsureWeatherView();
    if (!weather_)
        return;
    const POINT at = DockedViewPlace(weather_->Height());
    weather_->ShowDocked(alpha, at.x, at.y);
}

void TClockApp::BuildMenus() {
    HBITMAP strip =
        static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_MENUICONS),
                                        IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    menuPainter_ = std::make_unique<TMenuController>(strip);
    mainMenu_ = BuildMenu(*menuPainter_, {kViewItems, kCommonItems}, commands_);
    trayMenu_ = BuildMenu(*menuPainter_, {kTrayItems, kCommonItems}, commands_);
    clockMenuPainter_ = std::make_unique<TMenuController>(
        static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_MENUICONS),
                                        IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    clockMenu_ = BuildMenu(*clockMenuPainter_, {kClockItems}, commands_);
}

void TClockApp::EnsureClockView() {
    if (clock_)
        return;
    clock_ = std::make_unique<TFrmClock>(options_.dataDir, menuPainter_->colors);
    if (!clock_->Create(bar_->Handle())) {
        clock_.reset();
        return;
    }
    DockView(clock_->Handle(), bar_->Handle());
    clock_->OnPopupMenu = [this](POINT at) {
        clockMenuPainter_->colors = clock_->MenuColors();
        ShowMenu(clockMenu_.Get(), at, true);
    };
    // Closing the clock frees it; the next "时钟" makes a new one.
    clock_->OnDestroyed = [this] { clock_.reset(); };
}

bool TClockApp::OpenClockView(int alpha) {
    HideAllViews();
    const TIniFile ini(options_.dataDir + "skin.ini");
    const std::string style =
        options_.dataDir + "Clock\\" + ini.ReadString("SKIN", "ClockFile", "");
    EnsureClockView();
    if (!clock_)
        return false;
    RECT bar;
    GetWindowRect(bar_->Handle(), &bar);
    const RECT monitor = MonitorOf(bar_->Handle());
    const ClockViewScreens screens{monitor.top, monitor.bottom - monitor.top,
                                   GetSystemMetrics(SM_XVIRTUALSCREEN),
                                   GetSystemMetrics(SM_CXVIRTUALSCREEN)};
    const ClockViewPlace place =
        PlaceClockView(ini, bar.left, bar.top, bar.bottom - bar.top, screens);
    if (!clock_->OpenAt(style, alpha, place.left, place.top, -1, place.bottomAnchor)) {
        // No style reads: an empty window would only puzzle the user.
        DestroyWindow(clock_->Handle());
        return false;
    }
    clockLeft_ = place.left;
    clockTop_ = place.top;
    return true;
}

void TClockApp::ShowClockView(int alpha) {
    if (!OpenClockView(alpha))
        MessageBoxW(bar_->Handle(),
                    L"找不到可用的时钟样式，时钟窗口无法打开。\n请检查 Clock 文件夹。", L"提示",
                    MB_OK | MB_ICONINFORMATION);
}

void TClockApp::SaveClockPosition() {
    if (CurrentView() != kViewClock)
        return;
    RECT r;
    GetWindowRect(clock_->Handle(), &r);
    if (r.left == clockLeft_ && r.top == clockTop_)
        return;
    try {
        WriteSettings(options_.dataDir + kSettingsFile,
                      {IntValue(setting::ChildTop, r.top), IntValue(setting::ChildLeft, r.left)});
        clockLeft_ = r.left;
        clockTop_ = r.top;
    } catch (const EIniWriteError&) {
        // Dropped; the next tick tries again while the position still differs.
    }
}

void TClockApp::PrepareMenu(HMENU menu) {
    // The view items form one radio group; the visible view is ticked.
    TickMenu(menu, commands_, PM_Smp, PM_Weather);
}

void TClockApp::ReadSettings(bool skinsOnly) {
    const TIniFile ini(options_.dataDir + kSettingsFile);
    // The skin first, since the bar's size is the skin's.
    BarSettings names;
    ReadSkinNames(ini, names);
    ApplyBarSkin(names.skinFile);
    if (skinsOnly) {
        settings_.skinFile = names.skinFile;
        settings_.clockFile = names.clockFile;
        return;
    }
    settings_ = ReadBarSettings(ini, GetSystemMetrics(SM_CXSCREEN), bar_->Face().Width());
    // Every dialog of the program wears the frame package's look.
    InstallDialogFrame(options_.dataDir, settings_.winFile);
    ApplyTimeFont();
    if (settings_.hotKey)
        hotKey_->Register(settings_.hotKey1, settings_.hotKey2);
    SetWindowPos(bar_->Handle(), nullptr, settings_.left, settings_.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ApplyStayOnTop(settings_.onTop);
    bar_->SetAlpha(settings_.barAlpha);
    barShadow_.UpdateShadow();
}

void TClockApp::UpdateTimeSync() {
    if (!settings_.autoCheck) {
        syncTime_.reset();
    } else if (syncTime_) {
        syncTime_->SetStepHours(settings_.stepHour);
    } else {
        syncTime_ = std::make_unique<TSyncTime>(options_.dataDir + "TimeCheck.lst",
                                                options_.dataDir + "TimeHost.lst",
                                                settings_.stepHour, options_.timeSync);
    }
}

void TClockApp::ApplyBarSkin(const std::string& skinFile) {
    TBarSkin skin;
    if (skinFile.empty() || ReadBarSkin(options_.dataDir, options_.dataDir + "Skin\\" + skinFile,
                                        skin) != TSkinResult::Applied) {
        return;  // a missing or damaged package leaves the look as it is
    }
    if (menuPainter_)
        menuPainter_->colors = skin.menu;
    bar_->ApplySkin(std::move(skin));
    barShadow_.UpdateShadow();
}

void TClockApp::ApplyTimeFont() {
    const TTimeFont& font = settings_.font;
    const std::wstring face = Utf8ToWide(font.name);
    timeFont_.Reset(MakeFont(face.c_str(), font.size, font.bold ? FW_BOLD : FW_NORMAL, font.italic,
                             font.underline, font.strikeOut));
    bar_->SetTimeFont(settings_.ledFont, timeFont_.Get(), font.color);
}

int64_t TClockApp::OnClockTimer() {
    return heart_.Tick(ClockSource::Current());
}

void TClockApp::ShowDay(TDateTime t) {
    // Every second the digits; the day's texts only when the date changed,
    // forward or back.
    if (!bar_->Face().ShowTime(t))
        return;
    std::wstring hint = Utf8ToWide(calendar_ ? DayHintText(t, calendar_->Grid().FtvList())
                                             : DayHintText(t, TFestivalList()));
    if (hint == hint_)
        return;
    hint_ = std::move(hint);
    bar_->SetHint(hint_);
    if (tray_)
        tray_->SetHint(hint_);
}

void TClockApp::SetMarkReminders(int mode, int stepMinutes) {
    settings_.markMode = mode;
    settings_.markStepMinutes = stepMinutes;
    if (mode == 2)
        SetTimer(bar_->Handle(), TimerWarStep, static_cast<UINT>(stepMinutes) * 60000u, nullptr);
    else
        KillTimer(bar_->Handle(), TimerWarStep);
}

void TClockApp::MarkTimerTick() {
    if (settings_.markMode < 2)
        KillTimer(bar_->Handle(), TimerWarStep);
    ShowMarkReminder(ClockSource::Current().NowLocal());
}

void TClockApp::ShowMarkReminder(TDateTime t) {
    // Today's Gregorian mark only; lunar marks show in the calendar.
    if (!calendar_)
        return;
    const std::string note = calendar_->MarkNoteOf(0, FormatMMDD(t));
    if (!note.empty() && popup_->EnsurePopup())
        popup_->SendPopupText(MarkReminderText(ClockSource::Current().NowLocal(), note));
}

void TClockApp::ShowDateBalloon() {
    if (!tray_)
        return;
    tray_->ShowBalloon(Utf8ToWide(kDateBalloonTitle),
                       Utf8ToWide(DateBalloonText(ClockSource::Current().NowLocal())), kBalloonMs);
    SetTimer(bar_->Handle(), TimerHintClose, kBalloonMs, nullptr);
}

void TClockApp::ChimeSecond(TDateTime t) {
    if (alarm_->CheckChime(t) && settings_.alarmType == kChimeMessage && popup_->EnsurePopup())
        popup_->SendPopupText("时钟报时：" + FormatLongTime(t));
}

void TClockApp::OnMenuButton(POINT screenAt) {
    ShowMenu(mainMenu_.Get(), screenAt, false);
}

void TClockApp::ShowMenu(HMENU menu, POINT at, bool fromTray) {
    PrepareMenu(menu);
    // No hint over the open menu: the tooltips rest until it closes.
    bar_->SetTooltipsActive(false);
    // Without the foreground the menu would not close when the user clicks elsewhere.
    SetForegroundWindow(bar_->Handle());
    const UINT flags = TPM_RETURNCMD | TPM_NONOTIFY | (fromTray ? TPM_RIGHTBUTTON : TPM_LEFTBUTTON);
    const UINT id =
        static_cast<UINT>(TrackPopupMenu(menu, flags, at.x, at.y, 0, bar_->Handle(), nullptr));
    PostMessageW(bar_->Handle(), WM_NULL, 0, 0);
    bar_->SetTooltipsActive(true);
    if (id)
        commands_.Run(id);
}

void TClockApp::ShowWorldTime() {
    // One dialog at a time: a second click brings it to the front.
    if (!worldTime_ || !worldTime_->Handle()) {
        worldTime_ = std::make_unique<TFrmWorldTime>();
        if (!worldTime_->Create(bar_->Handle(), options_.dataDir)) {
            worldTime_.reset();
            return;
        }
    }
    worldTime_->Show();
}

void TClockApp::ShowHelp() {
    const std::string help = options_.programDir + "TemporaHelp.chm";
    if (FileExists(help)) {
        ShellExecuteW(bar_->Handle(), nullptr, Utf8ToWide(help).c_str(), nullptr, nullptr,
                      SW_SHOWNORMAL);
        return;
    }
    MessageBoxW(bar_->Handle(), L"\"TemporaHelp.chm\" 文件不存在。", L"警告",
                MB_OK | MB_ICONWARNING);
}

void TClockApp::HideToTray() {
    if (hiddenToTray_)
        return;
    hiddenToTray_ = true;
    hiddenWindows_.clear();
    // Every visible window of the program goes, only the tray icon remains.
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM self) -> BOOL {
            auto* app = reinterpret_cast<TClockApp*>(self);
            // The bar's shadow follows the bar by itself.
            if (IsWindowVisible(w) && w != app->barShadow_.Handle())
                app->hiddenWindows_.push_back(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(this));
    for (HWND w : hiddenWindows_)
        ShowWindow(w, SW_HIDE);
}

void TClockApp::RestoreFromTray() {
    if (hiddenToTray_) {
        hiddenToTray_ = false;
        for (HWND w : hiddenWindows_) {
            if (IsWindow(w) && !bar_->IsOwnTooltip(w))
                ShowWindow(w, SW_SHOWNOACTIVATE);
        }
        hiddenWindows_.clear();
    }
    if (!IsWindowVisible(bar_->Handle()))
        ShowWindow(bar_->Handle(), SW_SHOWNOACTIVATE);
    SetForegroundWindow(bar_->Handle());
}

void TClockApp::OnStartupView() {
    // DefWin counts as the options dialog lists the views: clock before calendar.
    switch (settings_.defaultView) {
        case TStartView::Clock:
            // At start-up a missing clock style leaves the bar alone rather
            // than greeting the user with a message box.
            if (!OpenClockView(bar_->Alpha()))
                TraceFault("clock", "no clock style reads; the clock view stays closed");
            break;
        case TStartView::Calendar:
            ShowCalendarView(bar_->Alpha());
            break;
        case TStartView::Weather:
            ShowWeatherView(bar_->Alpha());
            break;
        case TStartView::Simple:
            break;
    }
}

void TClockApp::OnStartupSettled() {
    if (startHidden_) {
        HideToTray();
        startHidden_ = false;
    }
}

void TClockApp::SaveBarState() {
    RECT wr;
    GetWindowRect(bar_->Handle(), &wr);
    std::vector<TIniValue> state = {
        IntValue(setting::ChildIndex, CurrentView()), IntValue(setting::BarLeft, wr.left),
        IntValue(setting::BarTop, wr.top), IntValue(setting::BarAlpha, bar_->Alpha())};
    if (CurrentView() == kViewClock) {
        RECT r;
        GetWindowRect(clock_->Handle(), &r);
        state.push_back(IntValue(setting::ChildTop, r.top));
        state.push_back(IntValue(setting::ChildLeft, r.left));
    }
    WriteSettings(options_.dataDir + kSettingsFile, state);
}

void TClockApp::SaveBarStateQuietly() {
    try {
        SaveBarState();
    } catch (const EIniWriteError&) {
        // A read-only settings file loses the position, not the program's exit.
    }
}

bool TClockApp::OnProgramMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    result = 0;
    if (tray_) {
        UINT event;
        if (tray_->OnMessage(msg, wp, lp, event)) {
            if (event == WM_LBUTTONUP) {
                RestoreFromTray();
            } else if (event == WM_RBUTTONUP) {
                POINT pt;
                GetCursorPos(&pt);
                ShowMenu(trayMenu_.Get(), pt, true);
            }
            return true;
        }
    }
    switch (msg) {
        case WM_TIMER:
            switch (wp) {
                case TimerMsg:
                    KillTimer(bar_->Handle(), TimerMsg);
                    if (settings_.markMode > 0) {
                        if (settings_.markMode == 2)
                            SetMarkReminders(2, settings_.markStepMinutes);
                        MarkTimerTick();
                    } else if (!IsWindowVisible(bar_->Handle()) || startHidden_) {
                        // Started hidden (or about to hide): the day once in a balloon.
                        ShowDateBalloon();
                    }
                    return true;
                case TimerWarStep:
                    MarkTimerTick();
                    return true;
                case TimerAD:
                    KillTimer(bar_->Handle(), TimerAD);
                    CheckAdDownload();
                    return true;
                case TimerHintClose:
                    KillTimer(bar_->Handle(), TimerHintClose);
                    if (tray_)
                        tray_->HideBalloon();
                    return true;
                case TFrmLED::TimerSavePos:
                    // The bar's position saver keeps the clock view's place too.
                    SaveClockPosition();
                    return false;
                default:
                    return false;
            }
        case WM_MEASUREITEM: {
            result = TRUE;
            auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
            return (menuPainter_ && menuPainter_->OnMeasureItem(mis)) ||
                   (clockMenuPainter_ && clockMenuPainter_->OnMeasureItem(mis));
        }
        case WM_DRAWITEM: {
            result = TRUE;
            auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
            return (menuPainter_ && menuPainter_->OnDrawItem(dis)) ||
                   (clockMenuPainter_ && clockMenuPainter_->OnDrawItem(dis));
        }
        case WM_INITMENUPOPUP:
            PrepareMenu(reinterpret_cast<HMENU>(wp));
            return true;
        case WM_SYSCOMMAND:
            // A second start of the program asks the first to come back.
            if ((wp & 0xFFF0) != SC_RESTORE)
                return false;
            RestoreFromTray();
            return true;
        case WM_HOTKEY:
            if (hotKey_ && hotKey_->Matches(lp)) {
                if (alarm_)
                    alarm_->AnnounceNow(ClockSource::Current().NowLocal());
                result = 1;
            }
            return true;
        case kPopupHandshake:
            if (popup_)
                popup_->OnHandshake(lp);
            return true;
        case kPopupAnimOn:
        case kPopupAnimOff:
            if (tray_)
                tray_->SetAnimate(msg == kPopupAnimOn);
            return true;
        case WM_SETTINGCHANGE:
            // The user may have changed the time or date format.
            ApplyUserLocaleFormats();
            return false;
        case WM_POWERBROADCAST:
            // Back from sleep: the time and the day's texts at once, not at
            // the next timer.
            if (wp == PBT_APMRESUMEAUTOMATIC || wp == PBT_APMRESUMESUSPEND)
                bar_->TickNow();
            return false;
        case kUpgradeTextMessage:
            // lParam is a pointer: only code of this process may hand one over.
            if (wp == upgradeKey_ && lp)
                OnUpgradeText(reinterpret_cast<const char*>(lp));
            return true;
        case kUpgradeCheckedMessage:
            RecordUpgradeCheck();
            return true;
        case kAdStoredMessage:
            if (FileExists(options_.dataDir + std::string(kAdHistoryFile)))
                LoadAdLines();
            return true;
        case kUpgradeFoundMessage: {
            std::vector<std::string> history;
            ReadLineFile(options_.dataDir + std::string(kUpgradeHistoryFile), history);
            if (UpgradeNoticeDue(history, ClockSource::Current().NowLocal()))
                RaiseUpgradeNotice();
            return true;
        }
        case WM_COPYDATA:
            // Any program may send this; one without its block is refused.
            if (!lp || !OnCopyData(*reinterpret_cast<const COPYDATASTRUCT*>(lp)))
                return false;
            result = TRUE;
            return true;
        case WM_ENDSESSION:
            if (wp)
                SaveBarStateQuietly();
            return true;
        default:
            return false;
    }
}

void TClockApp::OnClosing() {
    // The shadow goes before the bar fades out.
    barShadow_.Attach(nullptr);
    KillTimer(bar_->Handle(), TimerMsg);
    KillTimer(bar_->Handle(), TimerWarStep);
    KillTimer(bar_->Handle(), TimerAD);
    SaveBarStateQuietly();
    HideAllViews();
    if (hotKey_)
        hotKey_->Unregister();
    // The program ends with its bar; the loop sees this once the bar is gone.
    PostQuitMessage(0);
}

void TClockApp::OnDestroyed() {
    // The magnet goes first: the views' ends no longer concern it.
    magnet_.reset();
    syncTime_.reset();
    adThread_.reset();
    if (tray_)
        tray_->Remove();
    if (popup_)
        popup_->SendPopupCode(kPopupCodeClosing);
    const std::string scratch = options_.dataDir + "SkinDone.tmp";
    if (FileExists(scratch))
        RemoveFile(scratch);
}

std::string TClockApp::WebHost() const {
    const TIniFile ini(options_.dataDir + "skin.ini");
    return ServerHostOf(ini.ReadString("WEB", "Host", "")).value_or("");
}

std::string TClockApp::HomePage() const {
    const TIniFile ini(options_.dataDir + "skin.ini");
    return HomePageOf(ini.ReadString("WEB", "HomePage", "")).value_or("");
}

void TClockApp::LoadAdLines() {
    MakeDirectory(options_.dataDir + "Sup");
    ads_.clear();
    std::vector<std::string> lines;
    if (ReadLineFile(options_.dataDir + std::string(kAdHistoryFile), lines))
        ads_ = ParseAdLines(lines);
    bar_->Face().SetAdLines(AdDateLines(ads_));
}

void TClockApp::CheckAdDownload() {
    if (AdDownloadRunning())
        return;
    const std::string host = WebHost();
    if (host.empty())
        return;  // no server configured: no request at all
    TADJob job;
    job.host = host;
    job.adFile = options_.dataDir + std::string(kAdHistoryFile);
    job.window = bar_->Handle();
    job.fetch = options_.webFetch;
    const TDateTime now = ClockSource::Current().NowLocal();
    std::vector<std::string> lines;
    ReadLineFile(job.adFile, lines);
    const TAdHeader header = ParseAdHeader(lines.empty() ? std::string() : lines.front());
    job.fetchAd = AdDownloadDue(header, now);
    job.storedId = header.id;
    std::vector<std::string> history;
    ReadLineFile(options_.dataDir + std::string(kUpgradeHistoryFile), history);
    job.checkUpgrade = UpgradeNoticeDue(history, now);
    if (!job.fetchAd && !job.checkUpgrade)
        return;
    MakeDirectory(options_.dataDir + "Sup");
    adThread_.reset();
    adThread_ = std::make_unique<TADThread>(std::move(job));
}

bool TClockApp::OpenDocument(const std::string& target) {
    if (!IsWebTarget(target))
        return false;
    if (options_.openDocument)
        return options_.openDocument(target);
    const std::wstring file = Utf8ToWide(target);
    SHELLEXECUTEINFOW sei{};
    sei.cbSize = sizeof sei;
    sei.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    sei.hwnd = bar_->Handle();
    sei.lpVerb = L"open";
    sei.lpFile = file.c_str();
    sei.nShow = SW_SHOWNORMAL;
    if (ShellExecuteExW(&sei))
        return true;
    // No program takes web pages: let the user choose one.
    const size_t dot = target.rfind('.');
    if (dot != std::string::npos && target.find('/', dot) == std::string::npos &&
        EqualsNoCase(std::string_view(target).substr(dot), ".htm")) {
        ShellExecuteW(bar_->Handle(), nullptr, L"RunDLL32.exe", L"Shell32.dll,OpenAs_RunDLL *.htm",
                      nullptr, SW_SHOWNORMAL);
    }
    return false;
}

void TClockApp::OnDateLineClick(int lineIndex) {
    if (lineIndex < 1 || lineIndex > static_cast<int>(ads_.size()))
        return;
    const TADRec ad = ads_[static_cast<size_t>(lineIndex - 1)];
    if (ad.type == kAdLink) {
        OpenDocument(ad.target);
    } else if (ad.type == kAdStartPage) {
        OfferHomePage(bar_->Handle(), ad.target,
                      [this](const std::string& a) { return OpenDocument(a); });
    }
}

void TClockApp::ShowHomePage() {
    const std::string home = HomePage();
    if (home.empty()) {
        MessageBoxW(bar_->Handle(),
                    L"没有设置主页地址。\n可在 skin.ini 的 [WEB] 节中用 HomePage= 设置一个 http:// "
                    L"或 https:// 地址。",
                    L"提示", MB_OK | MB_ICONINFORMATION);
        return;
    }
    OpenDocument(home);
}

void TClockApp::RecordUpgradeCheck() {
    WriteLineFile(options_.dataDir + std::string(kUpgradeHistoryFile),
                  {UpgradeRecordLine(ClockSource::Current().NowLocal())});
}

void TClockApp::OnUpgradeText(const std::string& text) {
    if (UpgradeTextAnnounces(text))
        RaiseUpgradeNotice();
}

void TClockApp::RaiseUpgradeNotice() {
    if (popup_ && popup_->EnsurePopup())
        popup_->SendPopupText(UpgradeNoticeText(HomePage()));
    RecordUpgradeCheck();
}

bool TClockApp::OnCopyData(const COPYDATASTRUCT& data) {
    if (data.dwData != kUpgradeTextMessage || data.cbData > kMaxUpgradeTextBytes ||
        (data.cbData > 0 && !data.lpData)) {
        return false;
    }
    std::string text;
    if (data.cbData > 0)
        text.assign(static_cast<const char*>(data.lpData), data.cbData);
    // The text ends at its terminator, or at the end of the block without one.
    text.resize(std::char_traits<char>::length(text.c_str()));
    OnUpgradeText(GbkToUtf8(text));
    return true;
}

void TClockApp::SetBarAlpha(int alpha) {
    settings_.barAlpha = alpha;
    bar_->SetAlpha(alpha);
    barShadow_.UpdateShadow();
    if (calendar_ && calendar_->Visible())
        calendar_->SetWindowAlpha(alpha);
    if (clock_ && IsWindowVisible(clock_->Handle()))
        clock_->SetOpacity(alpha);
    if (weather_ && weather_->Visible())
        weather_->SetWindowAlpha(alpha);
}

void TClockApp::SetLedDigits(bool on) {
    settings_.ledFont = on;
    ApplyTimeFont();
}

TTimeFont TClockApp::TimeFont() const {
    return settings_.font;
}

void TClockApp::SetTimeFont(const TTimeFont& font) {
    settings_.font = font;
    ApplyTimeFont();
}

void TClockApp::ApplySkinToViews() {
    ReadSettings(true);
    if (clock_)
        clock_->ReloadStyle(true);
    if (calendar_)
        calendar_->ReloadSkin();
    if (weather_)
        weather_->ReloadSkin();
}

void TClockApp::ApplyClockStyle() {
    ReadSkinNames(TIniFile(options_.dataDir + kSettingsFile), settings_);
    if (clock_)
        clock_->ReloadStyle(false);
}

void TClockApp::ApplyOptions(const TOptionsValues& v) {
    settings_.onTop = v.onTop;
    settings_.onStartHide = v.onStartHide;
    settings_.defaultView = v.defWin;
    settings_.barAlpha = v.barAlpha;
    SetMarkReminders(v.calendarLX, v.calendarStep);
    settings_.alarm = v.alarm;
    settings_.halfAlarm = v.halfAlarm;
    settings_.alarmType = v.alarmType;
    settings_.quiet = v.quiet;
    if (alarm_) {
        alarm_->SetOptions(v.alarm, v.halfAlarm, v.alarmType);
        alarm_->SetQuietHours(v.quiet);
    }
    settings_.autoCheck = v.autoCheck;
    settings_.stepHour = v.stepHour;
    UpdateTimeSync();
    switch (HotKeyActionFor(v.hotKey, hotKey_->Id() != 0, settings_.hotKey1, settings_.hotKey2,
                            v.hotKey1, v.hotKey2)) {
        case THotKeyAction::Keep:
            break;
        case THotKeyAction::Reregister:
            hotKey_->Unregister();
            hotKey_->Register(v.hotKey1, v.hotKey2);
            break;
        case THotKeyAction::Unregister:
            hotKey_->Unregister();
            break;
    }
    settings_.hotKey = v.hotKey;
    settings_.hotKey1 = v.hotKey1;
    settings_.hotKey2 = v.hotKey2;
    if (popup_)
        popup_->SendPopupCode(kPopupCodeSettings);
}

}  // namespace tempora
