#include "calendar/MarkIcs.h"

#include "calendar/LunarCal.h"
#include "core/Encoding.h"
#include "core/FileSys.h"
#include "core/Text.h"

namespace tempora {

namespace {

constexpr size_t kIcsLineOctets = 75;

std::string DateText(TDateTime day) {
    const DateParts d = DecodeDate(day);
    return ZeroPad(d.year, 4) + ZeroPad(d.month, 2) + ZeroPad(d.day, 2);
}

std::string StampText(TDateTime utc) {
    const TimeParts t = DecodeTime(utc);
    return DateText(utc) + "T" + ZeroPad(t.hour, 2) + ZeroPad(t.minute, 2) + ZeroPad(t.second, 2) +
           "Z";
}

// The alarm's trigger relative to the start of the all-day event (its
// midnight): the time of day, less the days before.
std::string TriggerText(int daysBefore, int minuteOfDay) {
    int minutes = minuteOfDay - daysBefore * 1440;
    if (minutes == 0)
        return "PT0S";
    std::string text = minutes < 0 ? "-P" : "P";
    minutes = minutes < 0 ? -minutes : minutes;
    const int days = minutes / 1440, hours = minutes / 60 % 24, rest = minutes % 60;
    if (days > 0)
        text += std::to_string(days) + "D";
    if (hours > 0 || rest > 0)
        text += "T";
    if (hours > 0)
        text += std::to_string(hours) + "H";
    if (rest > 0)
        text += std::to_string(rest) + "M";
    return text;
}

void AddAlarm(std::string& out, const std::string& summary, int daysBefore, int minuteOfDay) {
    out += IcsFoldLine("BEGIN:VALARM");
    out += IcsFoldLine("ACTION:DISPLAY");
    out += IcsFoldLine("DESCRIPTION:" + summary);
    out += IcsFoldLine("TRIGGER:" + TriggerText(daysBefore, minuteOfDay));
    out += IcsFoldLine("END:VALARM");
}

}  // namespace

std::string IcsEscape(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\' || c == ';' || c == ',') {
            out += '\\';
            out += c;
        } else if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            out += "\\n";
        } else {
            out += c;
        }
    }
    return out;
}

std::string IcsFoldLine(std::string_view line) {
    std::string out;
    size_t room = kIcsLineOctets;
    for (size_t i = 0; i < line.size();) {
        const size_t len = Utf8SequenceLength(line, i);
        if (len > room) {
            out += "\r\n ";
            room = kIcsLineOctets - 1;
        }
        out += line.substr(i, len);
        room -= len;
        i += len;
    }
    return out + "\r\n";
}

std::string MarksIcsText(const TCalendarMarks& marks, int fromYear, int toYear,
                         TDateTime stampUtc) {
    std::string out;
    out += IcsFoldLine("BEGIN:VCALENDAR");
    out += IcsFoldLine("VERSION:2.0");
    out += IcsFoldLine("PRODID:-//Tempora//Calendar marks//ZH");
    out += IcsFoldLine("CALSCALE:GREGORIAN");
    const std::string stamp = StampText(stampUtc);
    for (const TMarkEntry& m : marks.Entries()) {
        const std::string summary = IcsEscape(m.note.empty() ? "日历标记" : m.note);
        const bool lunar = m.name[0] - '0' == TFestivalList::ftLunar;
        for (TDateTime day : MarkDatesInYears(m.name, m.reminder.rule, fromYear, toYear)) {
            out += IcsFoldLine("BEGIN:VEVENT");
            out += IcsFoldLine("UID:" + m.name + "-" + DateText(day) + "@mark.tempora");
            out += IcsFoldLine("DTSTAMP:" + stamp);
            out += IcsFoldLine("DTSTART;VALUE=DATE:" + DateText(day));
            out += IcsFoldLine("DTEND;VALUE=DATE:" + DateText(day + 1));
            out += IcsFoldLine("SUMMARY:" + summary);
            if (lunar) {
                const LunarDate l = SolarToLunar(day);
                out += IcsFoldLine("DESCRIPTION:农历" + LunarMonthText(l.Month, l.IsLeap) +
                                   LunarDayText(l.Day));
            }
            out += IcsFoldLine("TRANSP:TRANSPARENT");
            if (m.reminder.onDay)
                AddAlarm(out, summary, 0, m.reminder.minuteOfDay);
            if (m.reminder.daysBefore > 0)
                AddAlarm(out, summary, m.reminder.daysBefore, m.reminder.minuteOfDay);
            out += IcsFoldLine("END:VEVENT");
        }
    }
    out += IcsFoldLine("END:VCALENDAR");
    return out;
}

bool WriteMarksIcsFile(const std::string& path, const TCalendarMarks& marks, int fromYear,
                       int years, TDateTime stampUtc) {
    return years > 0 &&
           WriteFileAtomic(path, MarksIcsText(marks, fromYear, fromYear + years - 1, stampUtc));
}

}  // namespace tempora
