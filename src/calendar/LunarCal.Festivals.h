// Festival tables and marked days of the calendar, matched on three kinds of
// key: Gregorian MMDD, lunar MMDD (MM00 = the last day of the month before MM)
// and weekday rules MMNW (N 1..5 the n-th such weekday of the month, 5..9
// counted back from the month's end in weeks of seven days; W 0 = Sunday).
#pragma once

#include "LunarCal.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tempora {

// A sorted list of lines (case-insensitive order; a line equal to one already
// present is not added again), each carrying a colour 0x00BBGGRR.
class TColorStringList {
public:
    struct Line {
        std::string text;
        int32_t color = 0;
    };

    TColorStringList() = default;
    // Plain text lines, as a form stores them: colour 0.
    TColorStringList(std::initializer_list<std::string_view> lines);
    explicit TColorStringList(const std::vector<std::string>& lines);

    bool Add(std::string_view text, int32_t color);
    int IndexOf(std::string_view text) const;  // -1 when absent
    void Delete(int index);                    // ignores an index out of range
    void Clear() {
        lines_.clear();
        heads_.clear();
    }
    // The first line whose part before "=" is `key`, or nullptr.
    const Line* FindKey(std::string_view key) const;

    size_t Count() const { return lines_.size(); }
    const Line& operator[](size_t i) const { return lines_[i]; }
    const std::vector<Line>& Lines() const { return lines_; }

private:
    // The index of the first line that does not sort before `text`.
    size_t LowerBound(std::string_view text) const;

    std::vector<Line> lines_;
    // The first four bytes of each line, folded, as one big-endian number:
    // they order as the lines do, so a search compares numbers and reads
    // whole texts only among lines that begin alike.
    std::vector<uint32_t> heads_;
};

// A look-up result; color -1 when nothing matched.
struct FestivalMatch {
    std::string text;
    int32_t color = -1;
    bool operator==(const FestivalMatch&) const = default;
};

inline constexpr int32_t kNoColor = -1;

class TFestivalList {
public:
    enum Type { ftSolar = 0, ftLunar = 1, ftWeek = 2 };

    // Starts with the built-in tables: Gregorian festivals in red, lunar ones
    // in purple, weekday rules in navy.
    TFestivalList();

    // The calendar window's own copies of the three festival tables (colour 0;
    // 0520 reads 母亲节 instead of 国际母亲节).
    void LoadWindowTables();

    const TColorStringList& SolarFestivals() const { return solarFestivals_; }
    const TColorStringList& LunarFestivals() const { return lunarFestivals_; }
    const TColorStringList& WeekFestivals() const { return weekFestivals_; }
    const TColorStringList& SolarMarks() const { return solarMarks_; }
    const TColorStringList& LunarMarks() const { return lunarMarks_; }
    const TColorStringList& WeekMarks() const { return weekMarks_; }
    void SetSolarFestivals(TColorStringList lines) { solarFestivals_ = std::move(lines); }
    void SetLunarFestivals(TColorStringList lines) { lunarFestivals_ = std::move(lines); }
    void SetWeekFestivals(TColorStringList lines) { weekFestivals_ = std::move(lines); }
    void SetSolarMarks(TColorStringList lines) { solarMarks_ = std::move(lines); }
    void SetLunarMarks(TColorStringList lines) { lunarMarks_ = std::move(lines); }
    void SetWeekMarks(TColorStringList lines) { weekMarks_ = std::move(lines); }

    // Replaces the line of the same key; false (nothing changed) for a type
    // outside 0..2, an empty key or one holding "=", or a blank text.
    bool AddFestival(int type, std::string_view key, int32_t color, std::string_view text);
    // false for a type outside 0..2 or an empty key.
    bool AddMark(int type, std::string_view key, int32_t color);
    void DeleteMark(int type, std::string_view key);

    FestivalMatch SolarFestivalOf(TDateTime date) const;
    // The leap flag is not part of the key.
    FestivalMatch LunarFestivalOf(const LunarDate& lunar) const;
    // The last-week rule, when it matches, wins over the n-th-week rule.
    FestivalMatch WeekFestivalOf(TDateTime date) const;
    int32_t SolarMarkColorOf(TDateTime date) const;
    int32_t LunarMarkColorOf(const LunarDate& lunar) const;
    int32_t WeekMarkColorOf(TDateTime date) const;

    // All festivals of the day joined by blanks: the month-end lunar one, the
    // lunar one, the Gregorian one, the weekday rule; colour of the first.
    FestivalMatch FestivalTextOf(TDateTime date) const;
    // The same for a caller that has the lunar dates of the day and of the
    // next day already (a walk over many days converts each day once).
    FestivalMatch FestivalTextOf(TDateTime date, const LunarDate& today,
                                 const LunarDate& tomorrow) const;
    // Lunar mark, else Gregorian mark, else weekday-rule mark; -1 for none.
    int32_t MarkColorOf(TDateTime date) const;

private:
    TColorStringList* FestivalsOf(int type);
    TColorStringList* MarksOf(int type);

    TColorStringList solarFestivals_;
    TColorStringList lunarFestivals_;
    TColorStringList weekFestivals_;
    TColorStringList solarMarks_;
    TColorStringList lunarMarks_;
    TColorStringList weekMarks_;
};

// The calendar's hover hint of a day, lines separated by "\n", each
// "label= value": 公元, 农历, 干支 and, when the day has any, 节日.
std::string CalendarHintText(TDateTime day, const TFestivalList& festivals, bool useISO8601);

}  // namespace tempora
