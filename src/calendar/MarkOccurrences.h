// When a calendar mark falls, and when it reminds: the Gregorian dates of a
// mark (Gregorian, lunar or weekday rule) in a range of years, and the
// reminder settings each mark may carry.
//
// A lunar mark falls in its ordinary month, in the leap month of that number
// as well, or in the leap month only, as its leap policy says; a year whose
// month has no leap simply has no leap date. A day the month lacks that year
// (the thirtieth of a 29-day lunar month, 29 February in a common year) moves
// to the month's last day, or that year has no date at all.
//
// The reminder settings live beside Marks.rec in MarkReminders.rec, GBK text
// with CR LF line ends, one mark a line, keyed by the mark's name:
//     10815=1,3,0900,0,0
// on the day (0/1), days before (0 none, 1-30), the time HHMM, the leap
// policy (0 ordinary month, 1 also the leap month, 2 the leap month only) and
// the short-month rule (0 the last day, 1 skip the year). Marks.rec stays as
// it always was, so that older versions read it unchanged. A line that does
// not read exactly so is dropped: its mark has no reminder.
#pragma once

#include "core/DateTime.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace tempora {

inline constexpr char kMarkRemindersFileName[] = "MarkReminders.rec";
inline constexpr int kMaxDaysBefore = 30;
inline constexpr int kDefaultReminderMinute = 9 * 60;  // 09:00

enum class TLeapPolicy { OrdinaryOnly = 0, AlsoLeap = 1, LeapOnly = 2 };
enum class TShortMonthRule { LastDay = 0, SkipYear = 1 };

// Which dates a mark falls on beyond its month and day.
struct TMarkRule {
    TLeapPolicy leap = TLeapPolicy::OrdinaryOnly;
    TShortMonthRule shortMonth = TShortMonthRule::LastDay;
    bool operator==(const TMarkRule&) const = default;
};

// A mark's reminder: on the day and/or daysBefore days before, at
// minuteOfDay; its rule also decides the dates the mark falls on.
struct TMarkReminder {
    bool onDay = false;
    int daysBefore = 0;  // 1..kMaxDaysBefore; 0: no early reminder
    int minuteOfDay = kDefaultReminderMinute;
    TMarkRule rule;
    bool Reminds() const { return onDay || daysBefore > 0; }
    bool operator==(const TMarkReminder&) const = default;
};

using TMarkReminderMap = std::map<std::string, TMarkReminder, std::less<>>;

// The Gregorian dates (whole days, ascending) on which the mark `name` (a
// Marks.rec name: type digit and MMDD key) falls in the Gregorian years
// fromYear..toYear. Lunar marks have dates in 1901-2099 only; a name that is
// no mark, or a type that flags no day, has none.
std::vector<TDateTime> MarkDatesInYears(std::string_view name, const TMarkRule& rule, int fromYear,
                                        int toYear);
// The first `count` dates on or after the day of `from`, fewer when the
// calendar ends first.
std::vector<TDateTime> NextMarkDates(std::string_view name, const TMarkRule& rule, TDateTime from,
                                     size_t count);

// MarkReminders.rec: the settings of the marks in `markNames` (others are
// dropped), and the lines that store them (default settings need no line).
TMarkReminderMap ReadMarkReminders(std::string_view fileBytes,
                                   const std::vector<std::string>& markNames);
std::vector<std::string> MarkReminderLines(const TMarkReminderMap& reminders);

// A reminder that falls due: the mark, the date it falls on, and when.
struct TDueMarkReminder {
    std::string name;
    std::string note;
    TDateTime date = 0;  // the mark's day
    TDateTime at = 0;    // the instant it reminds: that day, or daysBefore earlier, at its time
    int daysBefore = 0;  // 0: on the day itself
};

// The reminders of the marks (name, note, settings) that fall due on `day`,
// by time and then name.
struct TMarkEntry {
    std::string name;
    std::string note;
    TMarkReminder reminder;
};
std::vector<TDueMarkReminder> MarkRemindersOfDay(const std::vector<TMarkEntry>& marks,
                                                 TDateTime day);
// Those due at a local second (since 1970-01-01 00:00) of [fromLocal,
// toLocal); of a longer span only its last kMissedMarkDays days count.
inline constexpr int64_t kMissedMarkDays = 7;
std::vector<TDueMarkReminder> MarkRemindersBetween(const std::vector<TMarkEntry>& marks,
                                                   int64_t fromLocal, int64_t toLocal);
// The local second of a TDateTime, rounded to the nearest.
int64_t LocalSecondOf(TDateTime t);

// The popup text of a reminder: "日历标记：" (or "日历标记（3天后）："), the
// mark's date, a blank line and the note; lines broken by CR LF.
std::string MarkReminderPopupText(const TDueMarkReminder& due);
// The missed-report text: "错过的日历标记提醒：", then a line per reminder
// with the mark's date and note. Empty for none.
std::string MissedMarkRemindersText(const std::vector<TDueMarkReminder>& missed);

}  // namespace tempora
