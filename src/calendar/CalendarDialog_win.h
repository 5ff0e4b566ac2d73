// What the calendar's small dialogs share beyond the dialog base: the two
// message boxes the calendar shows about marks.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "calendar/CalendarMarks.h"
#include "display/Dialog_win.h"

namespace tempora {

// Tells the user that the Gregorian day of `solarKey` (MMDD) does not exist
// in the current year, so the action that needed its lunar day is dropped.
void ShowInvalidDate(HWND owner, std::string_view solarKey);

// Saves the marks; when the file cannot be written, tells the user that the
// marks stay for this session and the old file was left as it was. The
// result of SaveMarks.
bool SaveMarksOrTell(HWND owner, TCalendarMarks& marks, const std::string& dataDir);

}  // namespace tempora
