// The three views docked beside the bar: the calendar, made at start-up and
// kept for the whole run, and the clock and the weather, made for each opening
// and freed after they close. One shows at a time, on the bar's monitor, at
// the bar's alpha, registered with the window magnet under the bar so that a
// dragged bar carries it; when the bar has moved, the view goes on the side of
// the bar that the bar's new place asks for and is kept on the work area.
#pragma once

#include "app/Views.h"
#include "calendar/UnitCalendar_win.h"
#include "display/UnitClock_win.h"
#include "web/UnitWeather_win.h"
#include "win/Window_win.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tempora {

class TDockedViews : public TWindow {
public:
    // `bar` owns the views' windows; `barMenu` is the bar's menu colours,
    // which the clock view's menu takes (it outlives this object); `barAlpha`
    // gives the bar's alpha, which a view takes when it opens.
    TDockedViews(HWND bar, std::string dataDir, TCalendarData& calendarData,
                 TWeatherOptions weather, const TSkinMenu& barMenu, std::function<int()> barAlpha);
    ~TDockedViews() override;

    // Makes the calendar view, hidden; false when its window cannot be made.
    bool Create();

    // The view that shows (kViewNone: only the bar).
    int CurrentView() const;
    // Hides every view, then opens the one of `code` beside the bar; when
    // no clock style reads, the clock view says so instead of opening.
    void ShowView(int code);
    // Opens the clock view where the user left it, or beside the bar; false
    // (closed, nothing said) when no clock style reads.
    bool OpenClockView();
    void HideAll();
    // The alpha of the view that shows.
    void SetAlpha(int alpha);
    // Every existing view takes the skin SKIN/SkinFile names (the clock
    // view only its menu colours), or the clock style SKIN/ClockFile names.
    void ReloadSkins();
    void ReloadClockStyle();
    // Takes every view out of the magnet, so that the bar can leave it, and
    // docks them under the bar again.
    void LeaveMagnet();
    void DockAll();
    // The bar has moved: the view that shows goes where ReplacedView says.
    void FollowBar();
    // Turns the clock view's hands to `t` while it shows.
    void SetHands(TDateTime t);

    TFrmCalendar* Calendar() { return calendar_.get(); }
    TFrmClock* Clock() { return clock_.get(); }
    TFrmWeather* Weather() { return weather_.get(); }

    // What the views' menus ask of the program.
    std::function<void()> OnWorldTime;
    std::function<void(POINT screenAt)> OnClockMenu;
    // A web link clicked in the weather view that leads off the weather host.
    std::function<void(const std::string& url)> OnOpenLink;
    // The clock view opened with its top-left here.
    std::function<void(POINT at)> OnClockPlaced;

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    // Posted to this window: frees the views closed since, once their own
    // messages have run to their end.
    static constexpr UINT kFreeClosedMessage = WM_APP + 1;

    void ShowCalendarView();
    void ShowWeatherView();
    bool EnsureClockView();
    bool EnsureWeatherView();
    // Where a view of that height opens: lined up with the bar, below it or
    // above a low bar, and on the work area.
    POINT DockedPlace(int width, int height) const;
    // Moves the view onto the work area of its monitor when it is not.
    static void KeepOnScreen(HWND view);
    static void MoveTo(HWND view, TViewPoint at);
    // A closed view's object waits in closed_ until kFreeClosedMessage.
    template <class View>
    void FreeLater(std::unique_ptr<View>& view);

    HWND bar_;
    std::string dataDir_;
    TCalendarData& calendarData_;
    TWeatherOptions weatherOptions_;
    const TSkinMenu& barMenu_;
    std::function<int()> barAlpha_;
    std::unique_ptr<TFrmCalendar> calendar_;
    std::unique_ptr<TFrmClock> clock_;
    std::unique_ptr<TFrmWeather> weather_;
    std::vector<std::unique_ptr<TDockedView>> closed_;
};

}  // namespace tempora
