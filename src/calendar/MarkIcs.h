// Calendar marks as an iCalendar file (RFC 5545) for phones and other
// calendars: one all-day event per date a mark falls on, its reminder as
// alarms. The text is UTF-8 with CR LF line ends, content lines folded at 75
// octets (never inside a UTF-8 sequence), and each event's UID made of the
// mark's name and date, so that importing the same file twice adds nothing.
#pragma once

#include "calendar/CalendarMarks.h"
#include "core/DateTime.h"

#include <string>
#include <string_view>

namespace tempora {

// The text of a property value with "\", ";", "," and line breaks escaped.
std::string IcsEscape(std::string_view text);
// One content line, CR LF after every 75 octets and at its end; each
// continuation starts with a blank.
std::string IcsFoldLine(std::string_view line);

// The calendar of every mark's dates in the Gregorian years
// fromYear..toYear; `stampUtc` (a UTC TDateTime) is every event's DTSTAMP.
std::string MarksIcsText(const TCalendarMarks& marks, int fromYear, int toYear, TDateTime stampUtc);
// That text for the `years` years from fromYear, written to `path`
// atomically; false when it could not be written, and then no file of the
// export is left behind (an old file at `path` stays as it was).
bool WriteMarksIcsFile(const std::string& path, const TCalendarMarks& marks, int fromYear,
                       int years, TDateTime stampUtc);

}  // namespace tempora
