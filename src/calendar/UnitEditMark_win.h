// The mark editor "标记": a mark's calendar (公历 or 农历), month and day,
// its note of up to 50 GBK bytes, and its reminder.
//
// Opened with a name (type digit, MMDD) and a note, it selects the name's
// parts (a part its box lacks leaves that box without a selection) and shows
// the note the marks hold for the shown name, else the one it was given.
// Choosing another month or day shows that day's note when it has one;
// switching the calendar converts month and day for the current year (an
// impossible Gregorian day warns and keeps the old values). A counter under
// the note shows its GBK bytes against the limit. OK needs all three boxes
// set and refuses, with a message, a Gregorian day that no year has (02-30).
//
// The reminder: on the day and/or 1-30 days before, at a time of day; for a
// lunar mark whether its leap month counts; for a day some months lack
// whether the month's last day stands in or the year is skipped. Beside
// them the next ten Gregorian dates of the mark as it is set, from today.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "calendar/CalendarDialog_win.h"
#include "calendar/CalendarMarks.h"

namespace tempora {

class TFrmEditMark : public TDialog {
public:
    static constexpr int kWidth = 480, kHeight = 270;  // the client area
    static constexpr wchar_t kClassName[] = L"TFrmEditMark";
    enum : int {
        CalendarBoxId = 101,  // 公历, 农历
        MonthBoxId,           // 01 .. 12
        DayBoxId,             // 01 .. 31
        NoteEditId,
        DateLabelId,
        MonthLabelId,
        DayLabelId,
        NoteLabelId,
        NoteCounterId,  // "12/50字节"
        OnDayCheckId,   // 当天提醒
        BeforeCheckId,  // 提前
        BeforeBoxId,    // 1 .. 30
        BeforeLabelId,
        TimeLabelId,
        HourBoxId,  // 00 .. 23
        MinuteBoxId,
        TimeColonId,
        LeapLabelId,
        LeapBoxId,  // TLeapPolicy in order
        ShortLabelId,
        ShortBoxId,  // TShortMonthRule in order
        NextLabelId,
        NextListId,  // the next ten dates
    };

    explicit TFrmEditMark(const TCalendarMarks& marks) : marks_(marks) {}

    bool Create(HWND owner, std::string_view name, std::string_view note,
                const TMarkReminder& reminder = {});
    // The result after OK: type digit + month + day, and the note.
    const std::string& Name() const { return name_; }
    const std::string& Note() const { return note_; }
    const TMarkReminder& Reminder() const { return reminder_; }

protected:
    void Command(int id, int code) override;
    bool Accept() override;
    HWND FirstFocus() const override { return Item(NoteEditId); }

private:
    void SelectKey(std::string_view key);
    void ShowNoteOfDay();
    void CalendarChanged();
    void NoteChanged();
    void ShowCounter();
    void AddReminderControls();
    void ShowReminder(const TMarkReminder& r);
    TMarkReminder ReminderShown() const;
    void UpdateReminderControls();

    const TCalendarMarks& marks_;
    int calendar_ = -1;      // the calendar box's selection before the user changed it
    std::wstring lastNote_;  // the note field's last text that fitted
    bool settingNote_ = false;
    std::string name_, note_;
    TMarkReminder reminder_;
};

// Runs the editor over `owner` with `name`, `note` and, when given, the
// mark's reminder; on OK, true with the new values in them.
bool RunEditMark(HWND owner, const TCalendarMarks& marks, std::string& name, std::string& note,
                 TMarkReminder* reminder = nullptr);

// "标记当日": runs the editor for the Gregorian mark of `day` and gives the
// returned name its note (replacing a line of that name or adding one) and
// its flag in `festivals`, and the reminder chosen. True when a mark was set;
// the caller repaints and saves.
bool MarkDay(HWND owner, TCalendarMarks& marks, TFestivalList& festivals, TDateTime day);

}  // namespace tempora
