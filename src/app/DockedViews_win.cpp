#include "app/DockedViews_win.h"

#include "app/Magnetic_win.h"
#include "app/Settings.h"
#include "core/IniFile.h"

#include <utility>

namespace tempora {

namespace {

TViewRect ViewRect(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

RECT WindowRectOf(HWND w) {
    RECT r{};
    GetWindowRect(w, &r);
    return r;
}

// The monitor a window is on (the nearest one when it is off every screen)
// and its work area.
void MonitorOf(HWND w, RECT& monitor, RECT& work) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(MonitorFromWindow(w, MONITOR_DEFAULTTONEAREST), &info)) {
        monitor = info.rcMonitor;
        work = info.rcWork;
        return;
    }
    monitor = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    work = monitor;
}

}  // namespace

TDockedViews::TDockedViews(HWND bar, std::string dataDir, TCalendarData& calendarData,
                           TWeatherOptions weather, const TSkinMenu& barMenu,
                           std::function<int()> barAlpha)
    : bar_(bar),
      dataDir_(std::move(dataDir)),
      calendarData_(calendarData),
      weatherOptions_(weather),
      barMenu_(barMenu),
      barAlpha_(std::move(barAlpha)) {}

TDockedViews::~TDockedViews() {
    // The views go first: their ends concern this object no more.
    for (TDockedView* view :
         std::initializer_list<TDockedView*>{calendar_.get(), clock_.get(), weather_.get()}) {
        if (view)
            view->OnDestroyed = nullptr;
    }
    weather_.reset();
    clock_.reset();
    calendar_.reset();
    closed_.clear();
}

bool TDockedViews::Create() {
    if (!CreateWin(L"TDockedViews", L"", 0, 0, 0, 0, 0, 0, HWND_MESSAGE))
        return false;
    auto calendar = std::make_unique<TFrmCalendar>(dataDir_, calendarData_);
    if (!calendar->Create(bar_)) {
        TraceFault("calendar", "the calendar window could not be made");
        return false;
    }
    calendar_ = std::move(calendar);
    DockView(calendar_->Handle(), bar_);
    calendar_->OnShowClock = [this] { ShowView(kViewClock); };
    calendar_->OnShowWeather = [this] { ShowView(kViewWeather); };
    calendar_->OnWorldTime = [this] {
        if (OnWorldTime)
            OnWorldTime();
    };
    return true;
}

int TDockedViews::CurrentView() const {
    if (calendar_ && calendar_->Visible())
        return kViewCalendar;
    if (clock_ && clock_->Visible())
        return kViewClock;
    if (weather_ && weather_->Visible())
        return kViewWeather;
    return kViewNone;
}

void TDockedViews::HideAll() {
    if (weather_)
        weather_->CloseView();
    if (clock_)
        clock_->CloseView();
    if (calendar_)
        calendar_->CloseView();
}

void TDockedViews::ShowView(int code) {
    switch (code) {
        case kViewCalendar:
            ShowCalendarView();
            break;
        case kViewClock:
            if (!OpenClockView())
                MessageBoxW(bar_,
                            L"找不到可用的时钟样式，时钟窗口无法打开。\n请检查 Clock 文件夹。",
                            L"提示", MB_OK | MB_ICONINFORMATION);
            break;
        case kViewWeather:
            ShowWeatherView();
            break;
        default:
            HideAll();
            break;
    }
}

POINT TDockedViews::DockedPlace(int width, int height) const {
    RECT monitor, work;
    MonitorOf(bar_, monitor, work);
    const RECT bar = WindowRectOf(bar_);
    const int top = DockedViewTop(bar.top, bar.bottom - bar.top, height,
                                  monitor.bottom - monitor.top, monitor.top);
    const TViewPoint at =
        KeepOnWorkArea({bar.left, top, bar.left + width, top + height}, ViewRect(work));
    return {at.x, at.y};
}

void TDockedViews::ShowCalendarView() {
    HideAll();
    if (!calendar_)
        return;
    const POINT at = DockedPlace(calendar_->Width(), calendar_->Height());
    calendar_->ShowDocked(barAlpha_(), at.x, at.y);
}

bool TDockedViews::EnsureWeatherView() {
    if (weather_)
        return true;
    auto weather = std::make_unique<TFrmWeather>(dataDir_, weatherOptions_);
    if (!weather->Create(bar_)) {
        TraceFault("weather", "the weather window could not be made");
        return false;
    }
    weather_ = std::move(weather);
    DockView(weather_->Handle(), bar_);
    weather_->OnWorldTime = [this] {
        if (OnWorldTime)
            OnWorldTime();
    };
    weather_->OnShowClock = [this] { ShowView(kViewClock); };
    weather_->OnShowCalendar = [this] { ShowView(kViewCalendar); };
    weather_->OnOpenLink = [this](const std::string& url) {
        if (OnOpenLink)
            OnOpenLink(url);
    };
    // Closing the weather view destroys it, browser and all; the next "天气"
    // makes a new one.
    weather_->OnDestroyed = [this] { FreeLater(weather_); };
    return true;
}

void TDockedViews::ShowWeatherView() {
    HideAll();
    if (!EnsureWeatherView())
        return;
    const POINT at = DockedPlace(weather_->Width(), weather_->Height());
    weather_->ShowDocked(barAlpha_(), at.x, at.y);
}

bool TDockedViews::EnsureClockView() {
    if (clock_)
        return true;
    auto clock = std::make_unique<TFrmClock>(dataDir_, barMenu_);
    if (!clock->Create(bar_))
        return false;
    clock_ = std::move(clock);
    DockView(clock_->Handle(), bar_);
    clock_->OnPopupMenu = [this](POINT at) {
        if (OnClockMenu)
            OnClockMenu(at);
    };
    // Closing the clock destroys it; the next "时钟" makes a new one.
    clock_->OnDestroyed = [this] { FreeLater(clock_); };
    return true;
}

bool TDockedViews::OpenClockView() {
    HideAll();
    const TIniFile ini(dataDir_ + "skin.ini");
    const std::string style = dataDir_ + "Clock\\" + ini.ReadString("SKIN", "ClockFile", "");
    if (!EnsureClockView())
        return false;
    const RECT bar = WindowRectOf(bar_);
    RECT monitor, work;
    MonitorOf(bar_, monitor, work);
    const ClockViewScreens screens{monitor.top, monitor.bottom - monitor.top,
                                   GetSystemMetrics(SM_XVIRTUALSCREEN),
                                   GetSystemMetrics(SM_CXVIRTUALSCREEN)};
    const ClockViewPlace place =
        PlaceClockView(ini, bar.left, bar.top, bar.bottom - bar.top, screens);
    if (!clock_->OpenAt(style, barAlpha_(), place.left, place.top, -1, place.bottomAnchor)) {
        // No style reads: an empty window would only puzzle the user.
        clock_->CloseView();
        return false;
    }
    // A place saved on a screen that is gone, or under a task bar that grew.
    KeepOnScreen(clock_->Handle());
    if (OnClockPlaced) {
        const RECT r = WindowRectOf(clock_->Handle());
        OnClockPlaced({r.left, r.top});
    }
    return true;
}

void TDockedViews::SetAlpha(int alpha) {
    for (TDockedView* view :
         std::initializer_list<TDockedView*>{calendar_.get(), clock_.get(), weather_.get()}) {
        if (view && view->Visible())
            view->SetWindowAlpha(alpha);
    }
}

void TDockedViews::ReloadSkins() {
    if (clock_)
        clock_->ReloadStyle(true);
    if (calendar_)
        calendar_->ReloadSkin();
    if (weather_)
        weather_->ReloadSkin();
}

void TDockedViews::ReloadClockStyle() {
    if (clock_)
        clock_->ReloadStyle(false);
}

void TDockedViews::LeaveMagnet() {
    TMagnetic* magnet = TMagnetic::Instance();
    if (!magnet)
        return;
    for (TDockedView* view :
         std::initializer_list<TDockedView*>{calendar_.get(), clock_.get(), weather_.get()}) {
        if (view && view->Handle())
            magnet->RemoveWindow(view->Handle());
    }
}

void TDockedViews::DockAll() {
    for (TDockedView* view :
         std::initializer_list<TDockedView*>{calendar_.get(), clock_.get(), weather_.get()}) {
        if (view && view->Handle())
            DockView(view->Handle(), bar_);
    }
}

void TDockedViews::FollowBar() {
    for (TDockedView* view :
         std::initializer_list<TDockedView*>{calendar_.get(), clock_.get(), weather_.get()}) {
        if (!view || !view->Visible())
            continue;
        const RECT bar = WindowRectOf(bar_);
        const RECT shown = WindowRectOf(view->Handle());
        // A view the bar carried still touches it and goes on the bar's
        // side; one the user left elsewhere only comes back onto its screen.
        const TMagRect a{bar.left, bar.top, bar.right, bar.bottom};
        const TMagRect b{shown.left, shown.top, shown.right, shown.bottom};
        const bool docked = Touches(a, b);
        RECT monitor, work;
        MonitorOf(docked ? bar_ : view->Handle(), monitor, work);
        const TViewPoint at =
            ReplacedView(ViewRect(bar), ViewRect(shown), docked, ViewRect(monitor), ViewRect(work));
        MoveTo(view->Handle(), at);
    }
}

void TDockedViews::KeepOnScreen(HWND view) {
    RECT monitor, work;
    MonitorOf(view, monitor, work);
    MoveTo(view, KeepOnWorkArea(ViewRect(WindowRectOf(view)), ViewRect(work)));
}

void TDockedViews::MoveTo(HWND view, TViewPoint at) {
    const RECT r = WindowRectOf(view);
    if (at.x != r.left || at.y != r.top)
        SetWindowPos(view, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TDockedViews::SetHands(TDateTime t) {
    if (clock_ && clock_->Visible())
        clock_->SetHands(t);
}

template <class View>
void TDockedViews::FreeLater(std::unique_ptr<View>& view) {
    // The view's own message (a menu command, its WM_CLOSE) is still running.
    closed_.push_back(std::move(view));
    if (Handle())
        PostMessageW(Handle(), kFreeClosedMessage, 0, 0);
}

LRESULT TDockedViews::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == kFreeClosedMessage) {
        closed_.clear();
        return 0;
    }
    return TWindow::WndProc(msg, wp, lp);
}

}  // namespace tempora
