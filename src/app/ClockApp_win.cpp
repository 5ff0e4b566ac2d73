#include "app/ClockApp_win.h"
#include "win/Dpi_win.h"

#include "app/BuiltInSkin_win.h"
#include "app/DayTexts.h"
#include "app/UnitOptions_win.h"
#include "app/res/Icons.rc.h"
#include "calendar/Holiday.h"
#include "calendar/SpokenDay.h"
#include "core/ClockSource.h"
#include "core/Encoding.h"
#include "core/FileSys.h"
#include "display/MyWindow_win.h"
#include "reminders/BackSound_win.h"
#include "reminders/MissedTasks.h"
#include "reminders/PopupProtocol.h"
#include "reminders/UnitWarnOptions_win.h"
#include "win/Dpi_win.h"
#include "win/Gdi_win.h"
#include "win/LocaleFormats_win.h"

#include <utility>

namespace tempora {

TClockApp::TClockApp(AppOptions options) : options_(std::move(options)) {
    bar_ = std::make_unique<TFrmLED>(*this, options_.dataDir);
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
    // Without PopupMsg.exe no reminder can show: the user hears of it once.
    popup_->OnMissing = [this](const std::string& text) {
        if (tray_)
            tray_->ShowBalloon(Utf8ToWide(kDateBalloonTitle), Utf8ToWide(text), kBalloonMs);
    };
    markReminders_ = std::make_unique<TMarkReminders>(bar, TimerWarStep, *popup_, calendarData_);
    if (!options_.traceTicksFile.empty()) {
        trace_ = _wfopen(Utf8ToWide(options_.traceTicksFile).c_str(), L"ab");
        if (trace_) {
            heart_.OnTrace = [this](const std::string& line) {
                fprintf(trace_, "%s\n", line.c_str());
                fflush(trace_);
            };
        }
    }
    bar_->ApplySkin(BuiltInBarSkin(WindowScale(bar_->Handle())));
    // The bar snaps to screen edges and other windows within 15 px and
    // carries the views docked to it.
    magnet_ = std::make_unique<TMagnetic>(options_.magnetCursor);
    magnet_->SetSnapDistance(15);
    magnet_->AddWindow(bar, nullptr);
    hotKey_ = std::make_unique<TClockHotKey>(bar);
    dayHotKey_ = std::make_unique<TClockHotKey>(bar, TClockHotKey::kDayAtom);
    web_ = std::make_unique<TWebFeatures>(bar, options_.dataDir, options_.webFetch,
                                          options_.openDocument);
    web_->OnAdLines = [this](const std::vector<std::string>& lines) {
        bar_->Face().SetAdLines(lines);
    };
    web_->OnNotice = [this](const std::string& text) {
        if (popup_ && popup_->EnsurePopup())
            popup_->SendPopupText(text);
    };
    // A fetched holiday file adds what is new or from a later notice.
    web_->OnHolidayFile = [this](const std::string& bytes) {
        THolidayList incoming;
        std::vector<THolidayChange> changes;
        if (!calendarData_.CheckUpdate(bytes, incoming, changes).ok || changes.empty() ||
            !calendarData_.ApplyUpdate(incoming, changes)) {
            return;
        }
        if (calendar_)
            calendar_->HolidaysChanged();
    };
    AddCommands();
    MakeMenus();
    ReadSettings(false);
    UpdateTimeSync();
    calendarData_.Load(options_.dataDir, options_.programDir);
    MakeViews();
    // The bar's soft shadow follows it from now on; magenta pixels of its
    // picture let the shadow through.
    barShadow_.Attach(bar, [this] { return &bar_->Face().Picture(); });

    alarm_ = std::make_unique<TClockAlarm>(
        options_.makePlayer ? options_.makePlayer() : std::make_unique<TBackSoundWindow>(),
        options_.dataDir + "Sound\\");
    alarm_->SetOptions(settings_.alarm, settings_.halfAlarm, settings_.alarmType);
    alarm_->SetQuietHours(settings_.quiet);
    alarm_->SetHolidays(&calendarData_.Holidays());
    taskActions_ = std::make_unique<TTaskActions>(
        bar, *popup_, *alarm_, [this] { SaveBarStateQuietly(); }, options_.exitWindows,
        options_.countdownTickMs);
    tasks_ = std::make_unique<TTaskList>(*taskActions_);
    tasks_->LoadTasks(options_.dataDir + "War.lst");
    tasks_->SetHolidays(&calendarData_.Holidays());

    // What shows follows the present on every tick, also after the clock was
    // set back, when the second handlers wait for seconds already handled.
    heart_.OnShow = [this](TDateTime t) {
        ShowDay(t);
        views_->SetHands(t);
        if (worldTime_)
            worldTime_->RefreshTime();
    };
    // Due tasks, then the chime, then the marks' reminders, in every second.
    heart_.AddSecondHandler([this](TDateTime t) { tasks_->RunDueTask(t); });
    heart_.AddSecondHandler([this](TDateTime t) { ChimeSecond(t); });
    heart_.AddSecondHandler([this](TDateTime t) { markReminders_->OnSecond(t); });
    // Tasks and mark reminders that fell due while the machine slept or the
    // clock jumped ahead are not run late (a late shutdown would catch the
    // user unawares), only listed once in the popup.
    heart_.OnSkipped = [this](int64_t from, int64_t to) {
        const std::vector<TTaskRec>& tasks = tasks_->Tasks();
        std::string text =
            MissedTasksText(tasks, FindMissedTasks(tasks, from, to, &calendarData_.Holidays()));
        const std::string marks = markReminders_->MissedText(from, to);
        if (!marks.empty())
            text += (text.empty() ? "" : "\r\n\r\n") + marks;
        if (!text.empty() && popup_->EnsurePopup())
            popup_->SendPopupText(text);
    };

    MakeTray();
    bar_->StartClock();
    tray_->Add();
    tray_->SetHint(hint_);
    // Hidden at start only when started by the autostart entry.
    startHidden_ = settings_.onStartHide && IsHideSwitch(options_.firstArgument);
    SetTimer(bar, TimerMsg, kStartMessageMs, nullptr);
    web_->Start();
}

void TClockApp::MakeViews() {
    views_ = std::make_unique<TDockedViews>(bar_->Handle(), options_.dataDir, calendarData_,
                                            options_.weather, menus_->Painter().colors,
                                            [this] { return bar_->Alpha(); });
    if (views_->Create())
        calendar_ = views_->Calendar();
    views_->OnWorldTime = [this] { ShowWorldTime(); };
    views_->OnOpenLink = [this](const std::string& url) { web_->OpenDocument(url); };
    views_->OnClockMenu = [this](POINT at) {
        if (TFrmClock* clock = ClockView())
            menus_->ClockPainter().colors = clock->MenuColors();
        menus_->Show(menus_->Clock(), at, true);
    };
    views_->OnClockPlaced = [this](POINT at) {
        clockLeft_ = at.x;
        clockTop_ = at.y;
    };
}

void TClockApp::MakeTray() {
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
    tray_ = std::make_unique<TTrayIcon>(bar_->Handle(), std::move(trayIcons), options_.trayNotify);
    bar_->SetTray(tray_.get());
    // The bar's shadow and tooltip show and hide with the bar by themselves.
    trayHide_ = std::make_unique<TTrayHide>(bar_->Handle(), *tray_, [this](HWND w) {
        return w == barShadow_.Handle() || bar_->IsOwnTooltip(w);
    });
    tray_->OnAdded = [this] {
        if (std::exchange(hideWhenTray_, false))
            HideToTray();
    };
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
        if (TFrmClock* clock = ClockView())
            clock->CloseView();
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
    commands_.Add(PM_HomePage, [this] { web_->ShowHomePage(); });
    commands_.Add(PM_About, [this] { web_->ShowAbout(); });
}

void TClockApp::ApplyStayOnTop(bool on) {
    if (magnet_) {
        if (views_)
            views_->LeaveMagnet();
        magnet_->RemoveWindow(bar_->Handle());
    }
    bar_->SetStayOnTop(on);
    if (magnet_) {
        magnet_->AddWindow(bar_->Handle(), nullptr);
        if (views_)
            views_->DockAll();
    }
}

void TClockApp::MakeMenus() {
    menus_ = std::make_unique<TProgramMenus>(bar_->Handle(), commands_);
    menus_->OnTooltips = [this](bool active) { bar_->SetTooltipsActive(active); };
    bar_->AddMenuPainter(&menus_->Painter());
    bar_->AddMenuPainter(&menus_->ClockPainter());
}

void TClockApp::SaveClockPosition() {
    if (CurrentView() != kViewClock)
        return;
    RECT r;
    GetWindowRect(ClockView()->Handle(), &r);
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

void TClockApp::ReadSettings(bool skinsOnly) {
    const TIniFile ini(options_.dataDir + kSettingsFile);
    // The skin first, since the bar's size is the skin's.
    BarSettings names;
    ReadSkinNames(ini, names);
    bar_->SetScalePercent(ReadInt(ini, setting::BarScale));
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
    if (settings_.dayHotKey)
        dayHotKey_->Register(settings_.dayHotKey1, settings_.dayHotKey2);
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
    if (skinFile.empty() ||
        ReadBarSkin(options_.dataDir, options_.dataDir + "Skin\\" + skinFile, skin, nullptr,
                    WindowScale(bar_->Handle())) != TSkinResult::Applied) {
        return;  // a missing or damaged package leaves the look as it is
    }
    if (menus_)
        menus_->Painter().colors = skin.menu;
    bar_->ApplySkin(std::move(skin));
    barShadow_.UpdateShadow();
}

void TClockApp::ApplyTimeFont() {
    const TTimeFont& font = settings_.font;
    const std::wstring face = Utf8ToWide(font.name);
    timeFont_.Reset(MakeScaledFont(face.c_str(), font.size, bar_->Scale(),
                                   font.bold ? FW_BOLD : FW_NORMAL, font.italic, font.underline,
                                   font.strikeOut));
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
    std::wstring hint = Utf8ToWide(DayHintText(t, calendarData_));
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
    markReminders_->SetDayMarkMode(mode, stepMinutes);
}

void TClockApp::ShowDateBalloon() {
    if (!tray_)
        return;
    tray_->ShowBalloon(
        Utf8ToWide(kDateBalloonTitle),
        Utf8ToWide(DateBalloonText(ClockSource::Current().NowLocal(), calendarData_)), kBalloonMs);
    SetTimer(bar_->Handle(), TimerHintClose, kBalloonMs, nullptr);
}

void TClockApp::ChimeSecond(TDateTime t) {
    if (alarm_->CheckChime(t) && settings_.alarmType == kChimeMessage && popup_->EnsurePopup())
        popup_->SendPopupText("时钟报时：" + FormatLongTime(t));
}

void TClockApp::OnMenuButton(POINT screenAt) {
    menus_->Show(menus_->Main(), screenAt, false);
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
    bar_->SetTooltipsActive(false);
    trayHide_->Hide();
    bar_->SetTooltipsActive(true);
}

void TClockApp::RestoreFromTray() {
    hideWhenTray_ = false;
    trayHide_->Restore();
}

void TClockApp::OnStartupView() {
    // DefWin counts as the options dialog lists the views: clock before calendar.
    switch (settings_.defaultView) {
        case TStartView::Clock:
            // At start-up a missing clock style leaves the bar alone rather
            // than greeting the user with a message box.
            if (!views_->OpenClockView())
                TraceFault("clock", "no clock style reads; the clock view stays closed");
            break;
        case TStartView::Calendar:
            views_->ShowView(kViewCalendar);
            break;
        case TStartView::Weather:
            views_->ShowView(kViewWeather);
            break;
        case TStartView::Simple:
            break;
    }
}

void TClockApp::OnStartupSettled() {
    if (startHidden_) {
        HideToTray();
        // No icon yet (the shell is not ready at log-on): hidden once it is there.
        hideWhenTray_ = !trayHide_->Hidden();
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
        GetWindowRect(ClockView()->Handle(), &r);
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

void TClockApp::OnTimer(UINT_PTR id) {
    switch (id) {
        case TimerMsg:
            KillTimer(bar_->Handle(), TimerMsg);
            markReminders_->SetDayMarkMode(settings_.markMode, settings_.markStepMinutes);
            // Without mark messages, a hidden start (or one about to hide)
            // shows the day once in a balloon.
            if (!markReminders_->OnStartup() && (!IsWindowVisible(bar_->Handle()) || startHidden_))
                ShowDateBalloon();
            break;
        case TimerWarStep:
            markReminders_->OnStepTimer();
            break;
        case TimerHintClose:
            KillTimer(bar_->Handle(), TimerHintClose);
            if (tray_)
                tray_->HideBalloon();
            break;
        case TFrmLED::TimerSavePos:
            // The bar's position saver keeps the clock view's place too.
            SaveClockPosition();
            break;
        default: {
            LRESULT result;
            web_->OnMessage(WM_TIMER, id, 0, result);
            break;
        }
    }
}

void TClockApp::OnTrayClick(UINT mouseEvent) {
    if (mouseEvent == WM_LBUTTONUP) {
        RestoreFromTray();
    } else if (mouseEvent == WM_RBUTTONUP) {
        POINT pt;
        GetCursorPos(&pt);
        menus_->Show(menus_->Tray(), pt, true);
    }
}

bool TClockApp::OnHotKey(LPARAM lp) {
    // Neither key heeds the quiet hours: the user pressed it.
    if (hotKey_ && hotKey_->Matches(lp)) {
        if (alarm_)
            alarm_->AnnounceNow(ClockSource::Current().NowLocal());
        return true;
    }
    if (dayHotKey_ && dayHotKey_->Matches(lp)) {
        if (alarm_)
            alarm_->SpeakWords(SpokenDayWords(ClockSource::Current().NowLocal()));
        return true;
    }
    return false;
}

void TClockApp::OnMoved() {
    if (views_)
        views_->FollowBar();
}

void TClockApp::OnScaleChanged() {
    ApplyBarSkin(settings_.skinFile);
    ApplyTimeFont();
    if (views_) {
        views_->ReloadSkins();
        views_->ReloadClockStyle();
        views_->FollowBar();
    }
}

bool TClockApp::OnProgramMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    result = 0;
    switch (msg) {
        case kPopupHandshake:
            if (popup_)
                popup_->OnHandshake(lp);
            return true;
        case kPopupAnimOn:
        case kPopupAnimOff:
            if (tray_)
                tray_->SetAnimate(msg == kPopupAnimOn);
            return true;
        default:
            return web_ && web_->OnMessage(msg, wp, lp, result);
    }
}

void TClockApp::OnClosing() {
    // The shadow goes before the bar fades out.
    barShadow_.Attach(nullptr);
    KillTimer(bar_->Handle(), TimerMsg);
    KillTimer(bar_->Handle(), TimerWarStep);
    SaveBarStateQuietly();
    if (views_)
        views_->HideAll();
    if (hotKey_)
        hotKey_->Unregister();
    if (dayHotKey_)
        dayHotKey_->Unregister();
    // The program ends with its bar; the loop sees this once the bar is gone.
    PostQuitMessage(0);
}

void TClockApp::OnDestroyed() {
    // The magnet goes first: the views' ends no longer concern it.
    magnet_.reset();
    syncTime_.reset();
    if (web_)
        web_->Stop();
    if (tray_)
        tray_->Remove();
    if (popup_)
        popup_->SendPopupCode(kPopupCodeClosing);
    const std::string scratch = options_.dataDir + "SkinDone.tmp";
    if (FileExists(scratch))
        RemoveFile(scratch);
}

void TClockApp::SetBarAlpha(int alpha) {
    settings_.barAlpha = alpha;
    bar_->SetAlpha(alpha);
    barShadow_.UpdateShadow();
    views_->SetAlpha(alpha);
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
    views_->ReloadSkins();
}

void TClockApp::ApplyClockStyle() {
    ReadSkinNames(TIniFile(options_.dataDir + kSettingsFile), settings_);
    views_->ReloadClockStyle();
}

void TClockApp::ApplyOptions(const TOptionsValues& v) {
    settings_.onTop = v.onTop;
    settings_.onStartHide = v.onStartHide;
    settings_.defaultView = v.defWin;
    settings_.barAlpha = v.barAlpha;
    if (bar_->SetScalePercent(v.barScale))
        OnScaleChanged();
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
    const auto apply = [](TClockHotKey& key, bool on, std::string& mods, std::string& letter,
                          const std::string& newMods, const std::string& newLetter) {
        switch (HotKeyActionFor(on, key.Id() != 0, mods, letter, newMods, newLetter)) {
            case THotKeyAction::Keep:
                break;
            case THotKeyAction::Reregister:
                key.Unregister();
                key.Register(newMods, newLetter);
                break;
            case THotKeyAction::Unregister:
                key.Unregister();
                break;
        }
        mods = newMods;
        letter = newLetter;
    };
    apply(*hotKey_, v.hotKey, settings_.hotKey1, settings_.hotKey2, v.hotKey1, v.hotKey2);
    settings_.hotKey = v.hotKey;
    apply(*dayHotKey_, v.dayHotKey, settings_.dayHotKey1, settings_.dayHotKey2, v.dayHotKey1,
          v.dayHotKey2);
    settings_.dayHotKey = v.dayHotKey;
    if (popup_)
        popup_->SendPopupCode(kPopupCodeSettings);
}

}  // namespace tempora
