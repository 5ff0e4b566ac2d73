#include "app/MarkReminders_win.h"

#include "app/DayTexts.h"
#include "calendar/MarkOccurrences.h"
#include "core/ClockSource.h"

namespace tempora {

TMarkReminders::TMarkReminders(HWND owner, UINT_PTR stepTimer, TPopupLink& popup,
                               const TCalendarData& data)
    : owner_(owner), stepTimer_(stepTimer), popup_(popup), data_(data) {}

TMarkReminders::~TMarkReminders() {
    if (IsWindow(owner_))
        KillTimer(owner_, stepTimer_);
}

void TMarkReminders::SetDayMarkMode(int mode, int stepMinutes) {
    mode_ = mode;
    stepMinutes_ = stepMinutes;
    if (mode == 2)
        SetTimer(owner_, stepTimer_, static_cast<UINT>(stepMinutes) * 60000u, nullptr);
    else
        KillTimer(owner_, stepTimer_);
}

bool TMarkReminders::OnStartup() {
    if (mode_ <= 0)
        return false;
    OnStepTimer();
    return true;
}

void TMarkReminders::OnStepTimer() {
    if (mode_ < 2)
        KillTimer(owner_, stepTimer_);
    ShowDayMark();
}

void TMarkReminders::ShowDayMark() {
    const TDateTime now = ClockSource::Current().NowLocal();
    const std::string note = data_.SolarMarkNoteOf(now);
    if (!note.empty())
        Show(MarkReminderText(now, note));
}

void TMarkReminders::OnSecond(TDateTime localSecond) {
    const int64_t second = LocalSecondOf(localSecond);
    if (second % 60 != 0)
        return;
    for (const TDueMarkReminder& due : MarkRemindersOfDay(data_.Marks().Entries(), localSecond)) {
        if (LocalSecondOf(due.at) == second)
            Show(MarkReminderPopupText(due));
    }
}

std::string TMarkReminders::MissedText(int64_t fromLocal, int64_t toLocal) const {
    return MissedMarkRemindersText(
        MarkRemindersBetween(data_.Marks().Entries(), fromLocal, toLocal));
}

void TMarkReminders::Show(const std::string& text) {
    if (popup_.EnsurePopup())
        popup_.SendPopupText(text);
}

}  // namespace tempora
