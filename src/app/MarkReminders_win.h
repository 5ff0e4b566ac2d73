// The reminders of calendar marks: today's Gregorian mark at start-up (and
// every few minutes when asked), and each mark's own reminder, Gregorian or
// lunar, at its time on the day or days before, through the popup program
// like a task's message. The owner feeds it the clock heart's seconds.
#pragma once

#include "calendar/CalendarData.h"
#include "reminders/PopupLink_win.h"

#include <windows.h>

#include <cstdint>
#include <string>

namespace tempora {

class TMarkReminders {
public:
    // `stepTimer` is the id of the owner window's timer this part arms for
    // the repeated day mark; the owner passes it to OnStepTimer.
    TMarkReminders(HWND owner, UINT_PTR stepTimer, TPopupLink& popup, const TCalendarData& data);
    ~TMarkReminders();
    TMarkReminders(const TMarkReminders&) = delete;
    TMarkReminders& operator=(const TMarkReminders&) = delete;

    // How today's Gregorian mark is shown: 0 never, 1 at start-up, 2 also
    // every `stepMinutes` minutes from now on.
    void SetDayMarkMode(int mode, int stepMinutes);
    int DayMarkMode() const { return mode_; }
    // The start-up message: today's Gregorian mark, when the mode asks for
    // it; false when the mode is 0.
    bool OnStartup();
    void OnStepTimer();

    // Shows every mark reminder due in this local second. Reminders are
    // set to the minute, so the day's list is worked out at each minute's
    // first second, and an edited mark reminds from the next minute on.
    void OnSecond(TDateTime localSecond);
    // The missed-report text of the reminders due in the local seconds
    // [fromLocal, toLocal) the clock passed over; empty for none.
    std::string MissedText(int64_t fromLocal, int64_t toLocal) const;

private:
    void ShowDayMark();
    void Show(const std::string& text);

    HWND owner_;
    UINT_PTR stepTimer_;
    TPopupLink& popup_;
    const TCalendarData& data_;
    int mode_ = 0;
    int stepMinutes_ = 0;
};

}  // namespace tempora
