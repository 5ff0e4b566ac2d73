// "导出为日历文件 (.ics)…" of the calendar's menu: the file to write, and the
// export with its failure told to the user.
#pragma once

#include <windows.h>

#include <string>

#include "calendar/CalendarMarks.h"

namespace tempora {

// The save dialog for an .ics file; empty when the user cancels.
std::string ChooseIcsFile(HWND owner);
// Writes the marks' dates of this year and the next years - 1 years to
// `path` (replacing it atomically). A file that cannot be written is
// reported in a message box over `owner`, and no part of it is left. True
// when written.
bool ExportMarksIcs(HWND owner, const TCalendarMarks& marks, const std::string& path, int years);

}  // namespace tempora
