#include "CalTool.h"

#include "calendar/CalendarData.h"
#include "calendar/LunarCal.h"
#include "calendar/MarkIcs.h"
#include "core/ClockSource.h"
#include "core/DateTime.h"
#include "core/FileSys.h"
#include "core/Text.h"
#include "timesvc/WorldTime.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tempora {

namespace {

const char kUsage[] =
    "usage: tempora-cal [--data DIR] [--at \"YYYY-MM-DD HH:MM:SS\"] COMMAND\n"
    "  tsv FROM TO      one tab-separated row per day, FROM and TO as YYYY-MM-DD\n"
    "  day DATE         the day's Gregorian, lunar, GanZhi, term, festival and holiday data\n"
    "  month YYYY-MM    a month grid with the lunar day, term or festival under each day\n"
    "  terms YEAR       the 24 solar terms of the year with their instants\n"
    "  term-table       the solved term instants of 1899 .. 2101 as the C++ table the\n"
    "                   calendar answers from (src/calendar/LunarCal.TermTable.inc)\n"
    "  workdays FROM TO one line per day, YYYY-MM-DD, a tab and 1 for a working day or 0\n"
    "                   for a day off, by the rule the timed tasks and chimes follow\n"
    "  holidays-coverage  the years whose holiday notices the data holds whole, one a line\n"
    "  world            one tab-separated row per city of TimeZone.lst: its time and\n"
    "                   whether daylight saving applies, at the UTC instant --at (default now)\n"
    "  ics MARKS_FILE FROM_YEAR TO_YEAR\n"
    "                   the marks of a Marks.rec (with the MarkReminders.rec beside it) as an\n"
    "                   iCalendar file, one all-day event per date; --at sets its DTSTAMP (UTC)\n"
    "Dates 1900-01-31 .. 2100-12-31; instants in China Standard Time (UTC+8).\n"
    "Holidays and cities come from Holiday.lst and TimeZone.lst beside this program,\n"
    "or in DIR with --data DIR.\n";

const TDateTime kFirstDay = 32;    // 1900-01-31, lunar 1900-01-01
const TDateTime kLastDay = 73415;  // 2100-12-31
constexpr int kFirstYear = 1900;
constexpr int kLastYear = 2100;

class UsageError {
public:
    explicit UsageError(std::string message) : message_(std::move(message)) {}
    const std::string& Message() const { return message_; }

private:
    std::string message_;
};

TDateTime ParseDay(const std::string& text) {
    TDateTime day = 0;
    if (text.size() != 10 || !ParseStamp(text, day)) {
        throw UsageError("bad date '" + text + "', expected YYYY-MM-DD");
    }
    if (day < kFirstDay || day > kLastDay) {
        throw UsageError("date out of range 1900-01-31 .. 2100-12-31: " + text);
    }
    return day;
}

int ParseYear(const std::string& text) {
    uint64_t year = 0;
    if (text.size() != 4 || !ParseUnsigned(text, year)) {
        throw UsageError("bad year '" + text + "', expected YYYY");
    }
    if (year < kFirstYear || year > kLastYear) {
        throw UsageError("year out of range 1900 .. 2100: " + text);
    }
    return static_cast<int>(year);
}

// Rounded to the second, as the instant is shown.
std::string InstantText(TDateTime t) {
    return FormatStamp(std::round(t * 86400.0) / 86400.0);
}

std::string HolidayText(const HolidayInfo& h) {
    if (h.kind == HolidayKind::None)
        return {};
    return h.kind == HolidayKind::WorkDay ? h.name + "(班)" : h.name;
}

// A non-negative number in at least width digits, zeros in front.
void AppendPadded(std::string& row, int value, int width) {
    char text[12];
    int at = sizeof text;
    do {
        text[--at] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value > 0 && at > 0);
    while (at > static_cast<int>(sizeof text) - width)
        text[--at] = '0';
    row.append(text + at, sizeof text - static_cast<size_t>(at));
}

// Some 73,000 rows: they are built in one reused buffer, written a block of
// rows at a time.
void RunTsv(TDateTime from, TDateTime to, const TCalendarData& data, std::ostream& out) {
    out << "date\tlunar_year\tlunar_month\tlunar_day\tleap\tgz_year\tgz_month\tgz_day\tzodiac"
           "\tterm\tterm_instant\tfestival\tholiday\n";
    constexpr size_t kBlock = 64 * 1024;
    std::string row;
    row.reserve(kBlock + 256);
    // Each day's lunar date is converted once: the festivals look at the
    // next day's as well (a lunar month's last day).
    LunarDate next = SolarToLunar(from);
    for (TDateTime day = from; day <= to; day += 1) {
        const LunarDate l = next;
        next = SolarToLunar(day + 1);
        const GanZhiDate g = GanZhiOf(day);
        const int term = SolarTermIndexOfDay(day);
        const DateParts d = DecodeDate(day);
        AppendPadded(row, d.year, 4);
        row += '-';
        AppendPadded(row, d.month, 2);
        row += '-';
        AppendPadded(row, d.day, 2);
        for (int part : {l.Year, l.Month, l.Day}) {
            row += '\t';
            AppendPadded(row, part, 1);
        }
        row += l.IsLeap ? "\t1\t" : "\t0\t";
        row += GanZhiText(g.YearCycle);
        row += '\t';
        row += GanZhiText(g.MonthCycle);
        row += '\t';
        row += GanZhiText(g.DayCycle);
        row += '\t';
        row += ZodiacText(g.YearCycle);
        row += '\t';
        if (term >= 0) {
            row += SolarTermName(term);
            row += '\t';
            row += InstantText(SolarTermInstant(d.year, term));
        } else {
            row += '\t';
        }
        row += '\t';
        row += data.Festivals().FestivalTextOf(day, l, next).text;
        row += '\t';
        row += HolidayText(data.HolidayOf(day));
        row += '\n';
        if (row.size() >= kBlock || day + 1 > to) {
            out.write(row.data(), static_cast<std::streamsize>(row.size()));
            row.clear();
        }
    }
}

void RunDay(TDateTime day, const TCalendarData& data, std::ostream& out) {
    std::string hint = CalendarHintText(day, data.Festivals(), false);
    const int term = SolarTermIndexOfDay(day);
    if (term >= 0) {
        hint += "\n节气= " + SolarTermName(term) + " " +
                InstantText(SolarTermInstant(DecodeDate(day).year, term));
    }
    const HolidayInfo holiday = data.HolidayOf(day);
    if (holiday.kind != HolidayKind::None) {
        hint += "\n假日= " + holiday.name +
                (holiday.kind == HolidayKind::DayOff ? " 放假" : " 调休上班");
    }
    // Each "label= value" line shows as the hint shows it: "label: value".
    size_t start = 0;
    while (start <= hint.size()) {
        size_t end = hint.find('\n', start);
        if (end == std::string::npos)
            end = hint.size();
        const std::string line = hint.substr(start, end - start);
        const size_t eq = line.find('=');
        if (eq == std::string::npos) {
            out << line << '\n';
        } else {
            out << line.substr(0, eq) << ":" << line.substr(eq + 1) << '\n';
        }
        start = end + 1;
    }
}

// Terminal columns of a UTF-8 text: the program's non-ASCII texts are Chinese,
// two columns a character.
int Columns(const std::string& s) {
    int columns = 0;
    for (size_t i = 0; i < s.size(); i += Utf8SequenceLength(s, i))
        columns += static_cast<unsigned char>(s[i]) < 0x80 ? 1 : 2;
    return columns;
}

std::string PadRight(const std::string& s, int width) {
    return s + std::string(static_cast<size_t>(std::max(0, width - Columns(s))), ' ');
}

std::string TrimRight(std::string s) {
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    return s;
}

// The first `count` characters of a UTF-8 text.
std::string FirstChars(const std::string& s, int count) {
    size_t end = 0;
    for (int n = 0; n < count && end < s.size(); ++n)
        end += Utf8SequenceLength(s, end);
    return s.substr(0, end);
}

// What a cell shows under its number: the term, else a short festival name,
// else the lunar month on its first day, else the lunar day.
std::string CellText(TDateTime day, const TCalendarData& data) {
    const std::string term = SolarTermOfDay(day);
    if (!term.empty())
        return term;
    const std::string festival = data.Festivals().FestivalTextOf(day).text;
    const std::string first = festival.substr(0, festival.find(' '));
    if (!first.empty() && FirstChars(first, 3) == first)
        return first;
    const LunarDate l = SolarToLunar(day);
    if (l.Day == 0)
        return {};
    return l.Day == 1 ? LunarMonthText(l.Month, l.IsLeap) : LunarDayText(l.Day);
}

void RunMonth(int year, int month, const TCalendarData& data, std::ostream& out) {
    constexpr int kCell = 7;
    const TDateTime first = EncodeDate(year, month, 1);
    const int days = DaysInMonth(year, month);
    const std::string title = std::to_string(year) + "年" + std::to_string(month) + "月";
    out << std::string(static_cast<size_t>((kCell * 7 - Columns(title)) / 2), ' ') << title << '\n';
    std::string header;
    for (int w = 0; w < 7; ++w)
        header += PadRight("  " + WeekdayText(w).substr(6), kCell);
    out << TrimRight(header) << '\n';

    const int lead = DayOfWeek(first) - 1;
    for (int row = 0; row * 7 < lead + days; ++row) {
        std::string numbers, texts;
        for (int col = 0; col < 7; ++col) {
            const int d = row * 7 + col - lead + 1;
            if (d < 1 || d > days) {
                numbers += std::string(kCell, ' ');
                texts += std::string(kCell, ' ');
                continue;
            }
            const TDateTime day = first + (d - 1);
            char num[16];
            std::snprintf(num, sizeof num, "%3d", d);
            const HolidayInfo h = data.HolidayOf(day);
            const char* flag = h.kind == HolidayKind::DayOff    ? "休"
                               : h.kind == HolidayKind::WorkDay ? "班"
                                                                : "";
            numbers += PadRight(std::string(num) + flag, kCell);
            texts += PadRight(CellText(day, data), kCell);
        }
        out << TrimRight(numbers) << '\n' << TrimRight(texts) << '\n';
    }

    // The full texts that the cells had to shorten or leave out.
    for (int d = 1; d <= days; ++d) {
        const TDateTime day = first + (d - 1);
        std::string line;
        const int term = SolarTermIndexOfDay(day);
        if (term >= 0) {
            line += "  " + SolarTermName(term) + " " +
                    InstantText(SolarTermInstant(year, term)).substr(11);
        }
        const std::string festival = data.Festivals().FestivalTextOf(day).text;
        if (!festival.empty())
            line += "  " + festival;
        if (line.empty())
            continue;
        char num[16];
        std::snprintf(num, sizeof num, "%2d", d);
        out << num << "日" << line << '\n';
    }

    // One line per public holiday: its days off and make-up working days.
    std::vector<std::string> names;
    std::vector<std::pair<std::string, std::string>> dayLists;
    for (int d = 1; d <= days; ++d) {
        const HolidayInfo h = data.HolidayOf(first + (d - 1));
        if (h.kind == HolidayKind::None)
            continue;
        const auto at = std::find(names.begin(), names.end(), h.name);
        const size_t i = static_cast<size_t>(at - names.begin());
        if (at == names.end()) {
            names.push_back(h.name);
            dayLists.emplace_back();
        }
        std::string& list = h.kind == HolidayKind::DayOff ? dayLists[i].first : dayLists[i].second;
        list.append(" ").append(std::to_string(d)).append("日");
    }
    for (size_t i = 0; i < names.size(); ++i) {
        out << "假日: " << names[i];
        if (!dayLists[i].first.empty())
            out << "  放假" << dayLists[i].first;
        if (!dayLists[i].second.empty())
            out << "  调休上班" << dayLists[i].second;
        out << '\n';
    }
}

void RunTerms(int year, std::ostream& out) {
    for (int n = 0; n < kSolarTermCount; ++n) {
        const TDateTime t = SolarTermInstant(year, n);
        out << SolarTermName(n) << "  " << InstantText(t) << "  " << WeekdayText(DayOfWeek(t) - 1)
            << '\n';
    }
}

// Hex floats, so that the compiler reads back exactly the solved values.
void RunTermTable(std::ostream& out) {
    out << "// Generated by `tempora-cal term-table`: each year's solar term instants,\n"
           "// 1899 .. 2101, solved from the series. LunarCalTermsTest holds them equal.\n";
    for (int year = kTermTableFirstYear; year <= kTermTableLastYear; ++year) {
        out << "{";
        for (int n = 0; n < kSolarTermCount; ++n) {
            char text[40];
            std::snprintf(text, sizeof text, "%a", SolveSolarTermInstant(year, n));
            out << (n == 0 ? "" : n % 4 == 0 ? ",\n " : ", ") << text;
        }
        out << "},  // " << year << '\n';
    }
}

// The same decisions as the world-time dialog; false when the file cannot be read.
bool RunWorld(const std::string& path, TDateTime utc, std::ostream& out) {
    if (!FileExists(path))
        return false;
    out << "country\tname\tother_name\tlocal\tdst\n";
    for (const TCountryData& country : LoadTimeZoneFile(path)) {
        for (const TCityData& city : country.cities) {
            const TCityTime t = CityTimeAt(city, utc);
            out << country.name << '\t' << city.name << '\t' << city.otherName << '\t'
                << FormatStamp(t.local) << '\t' << (t.daylight ? '1' : '0') << '\n';
        }
    }
    return true;
}

void Expect(const std::vector<std::string>& positional, size_t count) {
    if (positional.size() != count)
        throw UsageError("wrong number of arguments");
}

}  // namespace

int RunCalTool(const std::vector<std::string>& args, const std::string& exeDir, std::ostream& out,
               std::ostream& err) {
    try {
        std::string dataDir = exeDir;
        std::string at;
        std::vector<std::string> positional;
        for (size_t i = 0; i < args.size(); ++i) {
            if (args[i] == "--data") {
                if (i + 1 == args.size())
                    throw UsageError("--data needs a folder");
                dataDir = args[++i];
            } else if (args[i].rfind("--data=", 0) == 0) {
                dataDir = args[i].substr(7);
            } else if (args[i] == "--at") {
                if (i + 1 == args.size())
                    throw UsageError("--at needs an instant");
                at = args[++i];
            } else if (args[i].rfind("--at=", 0) == 0) {
                at = args[i].substr(5);
            } else if (args[i] == "-h" || args[i] == "--help") {
                out << kUsage;
                return 0;
            } else {
                positional.push_back(args[i]);
            }
        }
        if (positional.empty()) {
            err << kUsage;
            return 2;
        }
        const std::string& command = positional[0];
        if (!at.empty() && command != "world" && command != "ics")
            throw UsageError("--at is for world and ics only");

        TCalendarData data;
        data.Load(dataDir);

        if (command == "tsv") {
            Expect(positional, 3);
            const TDateTime from = ParseDay(positional[1]);
            const TDateTime to = ParseDay(positional[2]);
            if (from > to)
                throw UsageError("FROM is after TO");
            RunTsv(from, to, data, out);
        } else if (command == "workdays") {
            Expect(positional, 3);
            const TDateTime from = ParseDay(positional[1]);
            const TDateTime to = ParseDay(positional[2]);
            if (from > to)
                throw UsageError("FROM is after TO");
            for (TDateTime day = from; day <= to; day += 1) {
                out << FormatDateTime("yyyy-mm-dd", day) << '\t'
                    << (IsWorkingDay(day, &data.Holidays()) ? '1' : '0') << '\n';
            }
        } else if (command == "holidays-coverage") {
            Expect(positional, 1);
            for (const int year : data.Holidays().CoveredYears())
                out << year << '\n';
        } else if (command == "day") {
            Expect(positional, 2);
            RunDay(ParseDay(positional[1]), data, out);
        } else if (command == "month") {
            Expect(positional, 2);
            const std::string& ym = positional[1];
            uint64_t month = 0;
            if (ym.size() != 7 || ym[4] != '-' || !ParseUnsigned(ym.substr(5), month)) {
                throw UsageError("bad month '" + ym + "', expected YYYY-MM");
            }
            const int year = ParseYear(ym.substr(0, 4));
            if (month < 1 || month > 12)
                throw UsageError("bad month '" + ym + "'");
            RunMonth(year, static_cast<int>(month), data, out);
        } else if (command == "terms") {
            Expect(positional, 2);
            RunTerms(ParseYear(positional[1]), out);
        } else if (command == "term-table") {
            Expect(positional, 1);
            RunTermTable(out);
        } else if (command == "world") {
            Expect(positional, 1);
            TDateTime utc = ClockSource::Current().NowUtc();
            if (!at.empty() && !ParseStamp(at, utc))
                throw UsageError("bad instant '" + at + "', expected \"YYYY-MM-DD HH:MM:SS\"");
            std::string path = dataDir;
            if (!path.empty() && path.back() != '/' && path.back() != '\\')
                path += kPathSep;
            path += kTimeZoneFileName;
            if (!RunWorld(path, utc, out)) {
                err << "tempora-cal: cannot read " << path << '\n';
                return 1;
            }
        } else if (command == "ics") {
            Expect(positional, 4);
            const int from = ParseYear(positional[2]), to = ParseYear(positional[3]);
            if (from > to)
                throw UsageError("FROM_YEAR is after TO_YEAR");
            TDateTime utc = ClockSource::Current().NowUtc();
            if (!at.empty() && !ParseStamp(at, utc))
                throw UsageError("bad instant '" + at + "', expected \"YYYY-MM-DD HH:MM:SS\"");
            const std::string& marksFile = positional[1];
            std::string bytes;
            if (!ReadFileBytes(marksFile, bytes)) {
                err << "tempora-cal: cannot read " << marksFile << '\n';
                return 1;
            }
            TCalendarMarks marks;
            TFestivalList flags;
            marks.ReadMarks(bytes, flags);
            const size_t sep = marksFile.find_last_of("/\\");
            const std::string dir = sep == std::string::npos ? "" : marksFile.substr(0, sep + 1);
            if (ReadFileBytes(dir + kMarkRemindersFileName, bytes))
                marks.ReadReminders(bytes);
            out << MarksIcsText(marks, from, to, utc);
        } else {
            throw UsageError("unknown command '" + command + "'");
        }
        return out ? 0 : 1;
    } catch (const UsageError& e) {
        err << "tempora-cal: " << e.Message() << " (tempora-cal --help)\n";
        return 2;
    }
}

}  // namespace tempora
