// The mark editor "标记": a mark's calendar (公历 or 农历), month and day,
// and its note of up to 50 GBK bytes.
//
// Opened with a name (type digit, MMDD) and a note, it selects the name's
// parts (a part its box lacks leaves that box without a selection) and shows
// the note the marks hold for the shown name, else the one it was given.
// Choosing another month or day shows that day's note when it has one;
// switching the calendar converts month and day for the current year (an
// impossible Gregorian day warns and keeps the old values). A counter under
// the note shows its GBK bytes against the limit. OK needs all three boxes
// set and refuses, with a message, a Gregorian day that no year has (02-30).
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "calendar/CalendarDialog_win.h"
#include "calendar/CalendarMarks.h"

namespace tempora {

class TFrmEditMark : public TDialog {
public:
    static constexpr int kWidth = 290, kHeight = 160;  // the client area
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
    };

    explicit TFrmEditMark(const TCalendarMarks& marks) : marks_(marks) {}

    bool Create(HWND owner, std::string_view name, std::string_view note);
    // The result after OK: type digit + month + day, and the note.
    const std::string& Name() const { return name_; }
    const std::string& Note() const { return note_; }

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

    const TCalendarMarks& marks_;
    int calendar_ = -1;      // the calendar box's selection before the user changed it
    std::wstring lastNote_;  // the note field's last text that fitted
    bool settingNote_ = false;
    std::string name_, note_;
};

// Runs the editor over `owner` with `name` and `note`; on OK, true with the
// new name and note in them.
bool RunEditMark(HWND owner, const TCalendarMarks& marks, std::string& name, std::string& note);

// "标记当日": runs the editor for the Gregorian mark of `day` and gives the
// returned name its note (replacing a line of that name or adding one) and
// its flag in `festivals`. True when a mark was set; the caller repaints and
// saves.
bool MarkDay(HWND owner, TCalendarMarks& marks, TFestivalList& festivals, TDateTime day);

}  // namespace tempora
