#include "WorldTime.h"

#include "core/Encoding.h"
#include "core/FileSys.h"
#include "core/LineFile.h"
#include "core/Text.h"

#include <algorithm>
#include <cmath>

namespace tempora {

namespace {

constexpr int64_t kMsPerMinute = 60000;
constexpr int64_t kMsPerDay = 86400000;
// Instants are compared in whole milliseconds, so that a switch happens
// exactly at its second whatever the rounding of the day fractions.
// Beyond these days (about the years 1 and 9999) nothing is converted.
constexpr double kFirstDay = -693593, kLastDay = 2958465;

bool InRange(TDateTime t) {
    return t >= kFirstDay && t <= kLastDay;  // false for NaN as well
}

int64_t ToMillis(TDateTime t) {
    return std::llround(t * static_cast<double>(kMsPerDay));
}

TDateTime FromMillis(int64_t ms) {
    return static_cast<double>(ms) / static_cast<double>(kMsPerDay);
}

// A rule number: 0 when the text is no number or out of any sensible range.
int NumberOrZero(std::string_view text) {
    int64_t value = 0;
    if (!ParseInt(TrimBlanks(text), value) || value < -1000 || value > 1000)
        return 0;
    return static_cast<int>(value);
}

// "Mon".."Sun" in any case: 1 = Sunday .. 7 = Saturday; 0 for anything else.
int WeekdayOf(std::string_view name) {
    static constexpr std::string_view kNames[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    for (int i = 0; i < 7; ++i) {
        if (EqualsNoCase(name, kNames[i]))
            return i + 1;
    }
    return 0;
}

// The day part of a rule: a number, or a weekday with its week of the month.
bool ParseDay(std::string_view text, TDstRule& rule) {
    text = TrimBlanks(text);
    if (text.size() == 4) {
        const int weekday = WeekdayOf(text.substr(0, 3));
        const char week = text[3];
        if (weekday != 0) {
            rule.weekday = weekday;
            if (week >= '1' && week <= '4')
                rule.week = week - '0';
            else if (week == 'L' || week == 'l')
                rule.week = TDstRule::kLastWeek;
            else
                return false;
            return true;
        }
    }
    rule.day = NumberOrZero(text);
    // Any year's length of the month: 29 February is a day of leap years.
    return rule.day >= 1 && rule.month >= 1 && rule.month <= 12 &&
           rule.day <= DaysInMonth(2000, rule.month);
}

// The offset field: an optional sign, digits, an optional fraction. The
// fraction's digits are divided once, so that 5.75 reads as exactly 5.75.
double ParseOffset(std::string_view text) {
    text = TrimBlanks(text);
    bool negative = false;
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    int64_t whole = 0, fraction = 0, scale = 1;
    bool digits = false, point = false;
    for (const char c : text) {
        if (c == '.' && !point) {
            point = true;
        } else if (c >= '0' && c <= '9') {
            digits = true;
            if (!point) {
                whole = whole * 10 + (c - '0');
                if (whole > kMaxUtcOffset)
                    return 0;
            } else if (scale < 1000000000) {
                fraction = fraction * 10 + (c - '0');
                scale *= 10;
            }
        } else {
            return 0;
        }
    }
    const double value = static_cast<double>(whole) + static_cast<double>(fraction) / scale;
    if (!digits || value > kMaxUtcOffset)
        return 0;
    return negative ? -value : value;
}

// A text field as shown: no blanks at either end, control characters as
// blanks, at most kMaxZoneFieldChars characters.
std::string TextField(std::string_view field) {
    field = Trim(field);
    std::string out;
    size_t pos = 0;
    for (size_t chars = 0; pos < field.size() && chars < kMaxZoneFieldChars; ++chars) {
        const size_t len = Utf8SequenceLength(field, pos);
        const unsigned char c = static_cast<unsigned char>(field[pos]);
        if (len == 1 && (c < 0x20 || c == 0x7F))
            out += ' ';
        else
            out.append(field.substr(pos, len));
        pos += len;
    }
    return std::string(TrimBlanks(out));
}

bool HasNonAscii(std::string_view bytes) {
    return std::any_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

}  // namespace

TRuleParse ParseDstRule(std::string_view field, TDstRule& rule) {
    rule = TDstRule{};
    field = Trim(field);
    const size_t slash = field.find('/');
    if (slash == std::string_view::npos)
        return TRuleParse::None;
    const size_t blank = field.find(' ', slash + 1);
    if (blank == std::string_view::npos)
        return TRuleParse::None;
    const size_t colon = field.find(':', blank + 1);
    if (colon == std::string_view::npos)
        return TRuleParse::None;

    TDstRule r;
    r.month = NumberOrZero(field.substr(0, slash));
    r.hour = NumberOrZero(field.substr(blank + 1, colon - blank - 1));
    r.minute = NumberOrZero(field.substr(colon + 1));
    const bool dayOk = ParseDay(field.substr(slash + 1, blank - slash - 1), r);
    if (!dayOk || r.month < 1 || r.month > 12 || r.hour < 0 || r.hour > 23 || r.minute < 0 ||
        r.minute > 59) {
        return TRuleParse::Impossible;
    }
    rule = r;
    return TRuleParse::Rule;
}

std::vector<TCountryData> ParseTimeZoneLines(const std::vector<std::string>& utf8Lines) {
    std::vector<TCountryData> countries;
    // The run of lines with one country goes on across skipped lines.
    std::string lastCountry;
    for (const std::string& raw : utf8Lines) {
        const std::string_view line = Trim(raw);
        if (line.empty())
            continue;
        std::string_view fields[8];
        size_t start = 0;
        for (std::string_view& field : fields) {
            if (start > line.size())
                break;
            const size_t bar = std::min(line.find('|', start), line.size());
            field = line.substr(start, bar - start);
            start = bar + 1;
        }

        TCityData city;
        const std::string country = TextField(fields[1]);
        city.otherName = TextField(fields[2]);
        city.name = TextField(fields[3]);
        if (country.empty() || city.name.empty())
            continue;  // nothing to list it under, or nothing to list
        city.utcOffset = ParseOffset(fields[0]);
        city.zoneText = TextField(fields[4]);
        city.positionText = TextField(fields[5]);
        if (ParseDstRule(fields[6], city.dstStart) == TRuleParse::Impossible ||
            ParseDstRule(fields[7], city.dstEnd) == TRuleParse::Impossible) {
            continue;
        }

        if (countries.empty() || country != lastCountry)
            countries.push_back(TCountryData{country, {}});
        lastCountry = country;
        countries.back().cities.push_back(std::move(city));
    }
    return countries;
}

std::vector<TCountryData> ParseTimeZoneText(std::string_view bytes) {
    constexpr std::string_view kBom = "\xEF\xBB\xBF";
    const bool bom = bytes.substr(0, kBom.size()) == kBom;
    if (bom)
        bytes.remove_prefix(kBom.size());
    // Saved as UTF-8 by an editor: Chinese GBK text is almost never valid UTF-8.
    const bool utf8 = IsValidUtf8(bytes) && (bom || HasNonAscii(bytes));
    return ParseTimeZoneLines(SplitLines(utf8 ? std::string(bytes) : GbkToUtf8(bytes)));
}

std::vector<TCountryData> LoadTimeZoneFile(const std::string& path) {
    std::string bytes;
    if (!ReadFileBytes(path, bytes))
        return {};
    return ParseTimeZoneText(bytes);
}

TDateTime DstRuleInstant(const TDstRule& rule, int year) {
    if (!rule.IsSet())
        return 0;
    const int days = DaysInMonth(year, rule.month);
    int day = std::min(rule.day, days);
    if (rule.weekday != 0) {
        const int firstWeekday = DayOfWeek(EncodeDate(year, rule.month, 1));
        const int first = 1 + (rule.weekday - firstWeekday + 7) % 7;
        day = rule.week == TDstRule::kLastWeek ? first + (days - first) / 7 * 7
                                               : first + (rule.week - 1) * 7;
    }
    return EncodeDate(year, rule.month, day) + EncodeTime(rule.hour, rule.minute, 0);
}

int OffsetMinutes(double utcOffsetHours) {
    if (!(std::fabs(utcOffsetHours) <= kMaxUtcOffset))
        return 0;
    const double hours = std::trunc(utcOffsetHours);
    return static_cast<int>(hours) * 60 +
           static_cast<int>(std::lround((utcOffsetHours - hours) * 60));
}

TDateTime CityStandardTime(const TCityData& city, TDateTime utc) {
    if (!InRange(utc))
        return utc;
    return FromMillis(ToMillis(utc) + OffsetMinutes(city.utcOffset) * kMsPerMinute);
}

bool IsDaylightTime(const TCityData& city, TDateTime standardTime) {
    if (!city.HasDaylightSaving() || !InRange(standardTime))
        return false;
    const int year = DecodeDate(standardTime).year;
    const int64_t now = ToMillis(standardTime);
    const int64_t start = ToMillis(DstRuleInstant(city.dstStart, year));
    const int64_t end = ToMillis(DstRuleInstant(city.dstEnd, year));
    if (end >= start)
        return now >= start && now < end;
    return now >= start || now < end;
}

TCityTime CityTimeAt(const TCityData& city, TDateTime utc) {
    TCityTime result;
    const TDateTime standard = CityStandardTime(city, utc);
    result.local = standard;
    if (!InRange(standard) || !city.HasDaylightSaving())
        return result;
    const int year = DecodeDate(standard).year;
    result.dstStart = DstRuleInstant(city.dstStart, year);
    result.dstEnd = DstRuleInstant(city.dstEnd, year);
    result.daylight = IsDaylightTime(city, standard);
    if (result.daylight)
        result.local = FromMillis(ToMillis(standard) + 60 * kMsPerMinute);
    return result;
}

std::string BeijingDifferenceText(int cityOffsetMinutes) {
    constexpr int kBeijingOffsetMinutes = 8 * 60;
    const int difference = cityOffsetMinutes - kBeijingOffsetMinutes;
    if (difference == 0)
        return "与北京时间相同";
    const int magnitude = difference < 0 ? -difference : difference;
    std::string text = difference > 0 ? "比北京时间快 " : "比北京时间慢 ";
    if (magnitude >= 60)
        text += std::to_string(magnitude / 60) + " 小时";
    if (magnitude % 60 != 0) {
        if (magnitude >= 60)
            text += ' ';
        text += std::to_string(magnitude % 60) + " 分";
    }
    return text;
}

TCityLabels CityLabels(const std::string& country, const TCityData& city, TDateTime utc) {
    const TCityTime t = CityTimeAt(city, utc);
    TCityLabels labels;
    labels.title = country + " - " + city.name + " " + city.otherName;
    labels.time =
        FormatDateTime("yyyy年mm月dd日 hh:mm:ss", t.local) + " " + (t.daylight ? "(夏时制)" : "");
    labels.zone = "时区: " + city.zoneText;
    labels.position = "位置: " + city.positionText;
    labels.beijing = BeijingDifferenceText(OffsetMinutes(city.utcOffset) + (t.daylight ? 60 : 0));
    if (city.HasDaylightSaving()) {
        labels.dstStart = "夏时制开始日期: " + FormatChineseMinute(t.dstStart);
        labels.dstEnd = "夏时制结束日期: " + FormatChineseMinute(t.dstEnd);
    }
    return labels;
}

}  // namespace tempora
