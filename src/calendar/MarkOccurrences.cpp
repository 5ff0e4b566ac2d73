#include "calendar/MarkOccurrences.h"

#include "calendar/CalendarMarks.h"
#include "calendar/LunarCal.h"
#include "core/Encoding.h"
#include "core/LineFile.h"
#include "core/Text.h"

#include <algorithm>
#include <cmath>

namespace tempora {

namespace {

// 1970-01-01 in the day count of TDateTime.
constexpr int64_t kUnixEpochDay = 25569;

int Digits(std::string_view two) {
    return (two[0] - '0') * 10 + (two[1] - '0');
}

// The day `day` of a month that has `days`, as the rule moves or drops it; 0: none.
int DayInMonth(int day, int days, const TMarkRule& rule) {
    if (day <= days)
        return day;
    return rule.shortMonth == TShortMonthRule::LastDay ? days : 0;
}

void AddGregorian(int year, int month, int day, const TMarkRule& rule,
                  std::vector<TDateTime>& out) {
    const int d = DayInMonth(day, DaysInMonth(year, month), rule);
    if (d > 0)
        out.push_back(EncodeDate(year, month, d));
}

// The day of `month` in `year` that the week rule "n-th weekday" names: n
// 1-5 counts from the month's start, 5-9 back from its end (5 the last).
void AddWeekRule(int year, int month, int n, int weekday, std::vector<TDateTime>& out) {
    const int days = DaysInMonth(year, month);
    for (int d = 1; d <= days; ++d) {
        const TDateTime x = EncodeDate(year, month, d);
        if (DayOfWeek(x) - 1 != weekday)
            continue;
        if ((d - 1) / 7 + 1 == n || (days - d) / 7 + 5 == n) {
            out.push_back(x);
            return;
        }
    }
}

void AddLunar(int lunarYear, int month, int day, const TMarkRule& rule,
              std::vector<TDateTime>& out) {
    if (lunarYear <= kLunarFirstYear || lunarYear >= kLunarLastYear)
        return;  // LunarToSolar holds 1901-2099 only
    auto add = [&](bool leap, int days) {
        const int d = DayInMonth(day, days, rule);
        if (d == 0)
            return;
        const TDateTime x = LunarToSolar(LunarDate{lunarYear, month, d, leap});
        if (x != kNoSolarDate)
            out.push_back(x);
    };
    if (rule.leap != TLeapPolicy::LeapOnly)
        add(false, LunarMonthDays(lunarYear, month));
    if (rule.leap != TLeapPolicy::OrdinaryOnly && LeapMonthOf(lunarYear) == month)
        add(true, LeapMonthDays(lunarYear));
}

std::vector<std::string_view> SplitAtCommas(std::string_view text) {
    std::vector<std::string_view> parts;
    for (size_t start = 0;;) {
        const size_t comma = text.find(',', start);
        parts.push_back(text.substr(start, comma - start));
        if (comma == std::string_view::npos)
            return parts;
        start = comma + 1;
    }
}

// "D,N,HHMM,L,S" with N of one or two digits, each field in its range.
bool ParseSetting(std::string_view value, TMarkReminder& r) {
    const std::vector<std::string_view> parts = SplitAtCommas(value);
    if (parts.size() != 5)
        return false;
    const size_t minLen[] = {1, 1, 4, 1, 1}, maxLen[] = {1, 2, 4, 1, 1};
    int n[5] = {};
    for (size_t i = 0; i < 5; ++i) {
        const std::string_view p = parts[i];
        if (p.size() < minLen[i] || p.size() > maxLen[i])
            return false;
        for (char c : p) {
            if (c < '0' || c > '9')
                return false;
            n[i] = n[i] * 10 + (c - '0');
        }
    }
    const int hour = n[2] / 100, minute = n[2] % 100;
    if (n[0] > 1 || n[1] > kMaxDaysBefore || hour > 23 || minute > 59 || n[3] > 2 || n[4] > 1)
        return false;
    r.onDay = n[0] == 1;
    r.daysBefore = n[1];
    r.minuteOfDay = hour * 60 + minute;
    r.rule.leap = static_cast<TLeapPolicy>(n[3]);
    r.rule.shortMonth = static_cast<TShortMonthRule>(n[4]);
    return true;
}

std::string MarkDateText(const TDueMarkReminder& due) {
    std::string text = FormatChineseDate(due.date);
    if (!due.name.empty() && due.name[0] - '0' == TFestivalList::ftLunar) {
        const LunarDate l = SolarToLunar(due.date);
        text += " 农历" + LunarMonthText(l.Month, l.IsLeap) + LunarDayText(l.Day);
    }
    return text;
}

}  // namespace

std::vector<TDateTime> MarkDatesInYears(std::string_view name, const TMarkRule& rule, int fromYear,
                                        int toYear) {
    std::vector<TDateTime> dates;
    if (!IsMarkName(name))
        return dates;
    fromYear = std::max(fromYear, 1);
    toYear = std::min(toYear, 9999);
    const int month = Digits(name.substr(1, 2));
    switch (name[0] - '0') {
        case TFestivalList::ftSolar:
            for (int y = fromYear; y <= toYear; ++y)
                AddGregorian(y, month, Digits(name.substr(3, 2)), rule, dates);
            break;
        case TFestivalList::ftWeek:
            for (int y = fromYear; y <= toYear; ++y)
                AddWeekRule(y, month, name[3] - '0', name[4] - '0', dates);
            break;
        case TFestivalList::ftLunar: {
            // A lunar year's last months fall in the next Gregorian year.
            const int first = std::max(fromYear - 1, kLunarFirstYear);
            const int last = std::min(toYear, kLunarLastYear);
            for (int y = first; y <= last; ++y)
                AddLunar(y, month, Digits(name.substr(3, 2)), rule, dates);
            std::erase_if(dates, [&](TDateTime x) {
                const int year = DecodeDate(x).year;
                return year < fromYear || year > toYear;
            });
            std::sort(dates.begin(), dates.end());
            break;
        }
        default:
            break;
    }
    return dates;
}

std::vector<TDateTime> NextMarkDates(std::string_view name, const TMarkRule& rule, TDateTime from,
                                     size_t count) {
    std::vector<TDateTime> next;
    if (!IsMarkName(name) || name[0] - '0' > TFestivalList::ftWeek || !std::isfinite(from))
        return next;
    const TDateTime day = std::floor(from);
    const int lastYear = name[0] - '0' == TFestivalList::ftLunar ? kLunarLastYear : 9999;
    for (int y = DecodeDate(day).year; y <= lastYear && next.size() < count; ++y) {
        for (TDateTime x : MarkDatesInYears(name, rule, y, y)) {
            if (x >= day && next.size() < count)
                next.push_back(x);
        }
    }
    return next;
}

TMarkReminderMap ReadMarkReminders(std::string_view fileBytes,
                                   const std::vector<std::string>& markNames) {
    TMarkReminderMap reminders;
    for (const std::string& line : SplitLines(GbkToUtf8(fileBytes))) {
        if (line.size() < 6 || line[5] != '=')
            continue;
        const std::string name = line.substr(0, 5);
        if (std::find(markNames.begin(), markNames.end(), name) == markNames.end() ||
            reminders.contains(name)) {
            continue;
        }
        TMarkReminder r;
        if (ParseSetting(std::string_view(line).substr(6), r) && r != TMarkReminder{})
            reminders.emplace(name, r);
    }
    return reminders;
}

std::vector<std::string> MarkReminderLines(const TMarkReminderMap& reminders) {
    std::vector<std::string> lines;
    for (const auto& [name, r] : reminders) {
        if (r == TMarkReminder{})
            continue;
        lines.push_back(name + "=" + (r.onDay ? "1" : "0") + "," + std::to_string(r.daysBefore) +
                        "," + ZeroPad(r.minuteOfDay / 60, 2) + ZeroPad(r.minuteOfDay % 60, 2) +
                        "," + std::to_string(static_cast<int>(r.rule.leap)) + "," +
                        std::to_string(static_cast<int>(r.rule.shortMonth)));
    }
    return lines;
}

std::vector<TDueMarkReminder> MarkRemindersOfDay(const std::vector<TMarkEntry>& marks,
                                                 TDateTime day) {
    std::vector<TDueMarkReminder> due;
    if (!IsCalendarDate(day))
        return due;
    day = std::floor(day);
    const int year = DecodeDate(day).year;
    for (const TMarkEntry& m : marks) {
        const TMarkReminder& r = m.reminder;
        if (!r.Reminds())
            continue;
        const std::vector<TDateTime> dates = MarkDatesInYears(m.name, r.rule, year, year + 1);
        auto falls = [&](TDateTime x) {
            return std::find(dates.begin(), dates.end(), x) != dates.end();
        };
        const TDateTime at = day + r.minuteOfDay / 1440.0;
        if (r.onDay && falls(day))
            due.push_back({m.name, m.note, day, at, 0});
        if (r.daysBefore > 0 && falls(day + r.daysBefore))
            due.push_back({m.name, m.note, day + r.daysBefore, at, r.daysBefore});
    }
    std::stable_sort(due.begin(), due.end(),
                     [](const TDueMarkReminder& a, const TDueMarkReminder& b) {
                         return a.at != b.at ? a.at < b.at : a.name < b.name;
                     });
    return due;
}

int64_t LocalSecondOf(TDateTime t) {
    return static_cast<int64_t>(std::llround((t - kUnixEpochDay) * 86400.0));
}

std::vector<TDueMarkReminder> MarkRemindersBetween(const std::vector<TMarkEntry>& marks,
                                                   int64_t fromLocal, int64_t toLocal) {
    std::vector<TDueMarkReminder> found;
    if (toLocal <= fromLocal)
        return found;
    fromLocal = std::max(fromLocal, toLocal - kMissedMarkDays * 86400);
    for (int64_t d = FloorDiv(fromLocal, 86400); d <= FloorDiv(toLocal - 1, 86400); ++d) {
        for (TDueMarkReminder& due :
             MarkRemindersOfDay(marks, static_cast<TDateTime>(d + kUnixEpochDay))) {
            const int64_t s = LocalSecondOf(due.at);
            if (s >= fromLocal && s < toLocal)
                found.push_back(std::move(due));
        }
    }
    return found;
}

std::string MarkReminderPopupText(const TDueMarkReminder& due) {
    const std::string title = due.daysBefore > 0
                                  ? "日历标记（" + std::to_string(due.daysBefore) + "天后）："
                                  : "日历标记：";
    return title + "\r\n" + MarkDateText(due) + "\r\n\r\n" + due.note;
}

std::string MissedMarkRemindersText(const std::vector<TDueMarkReminder>& missed) {
    std::string text;
    for (const TDueMarkReminder& due : missed)
        text += "\r\n" + MarkDateText(due) + " " + due.note;
    return text.empty() ? text : "错过的日历标记提醒：" + text;
}

}  // namespace tempora
