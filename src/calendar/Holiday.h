// China's public holidays: days off and the make-up working days around them,
// as announced year by year. They come from Holiday.lst (GBK, CR LF):
//
//     @2027|国办发明电〔2026〕5号|2026-11-05     a year's header: the notice's
//     2027-01-01|元旦|1                           number and date (both may be
//     2027-01-04|元旦|0                           left empty), then its days
//
// one "yyyy-mm-dd|name|1" line per day off, "|0" for a make-up working day.
// The entries under a header belong to that year and fall between the
// December before it and its own December. Files without headers (those of
// older versions, or typed by hand) still load: an entry belongs to its
// date's year, a December working day to the next year (New Year's make-up
// days come before it). Older versions skip the header lines.
//
// A year counts as covered when its days off include 1 January, 1 May and 1
// October, which every year's notice holds: a year with fewer entries is one
// that was cut short.
#pragma once

#include "core/DateTime.h"
#include "core/WorkingDay.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace tempora {

struct HolidayInfo {
    std::string name;
    HolidayKind kind = HolidayKind::None;
    bool operator==(const HolidayInfo&) const = default;
};

// One year's notice.
struct THolidayYear {
    std::string source;                   // the notice's number; empty when unknown
    std::string published;                // its date, "yyyy-mm-dd"; empty when unknown
    std::map<int64_t, HolidayInfo> days;  // by DayNumber
    bool operator==(const THolidayYear&) const = default;

    // Its days off include 1 January, 1 May and 1 October of `year`.
    bool Complete(int year) const;
};

// What merging one file into the holidays does to a year.
struct THolidayChange {
    int year = 0;
    bool replaces = false;  // false: the year is new
    bool operator==(const THolidayChange&) const = default;
};

class THolidayList : public IHolidayDays {
public:
    // Lines that do not parse (and blank or "#" lines) are skipped; a later
    // line for the same date replaces an earlier one. Returns the days read.
    size_t LoadFromLines(const std::vector<std::string>& utf8Lines);
    // false, leaving the list empty, when the file cannot be read.
    bool LoadFromFile(const std::string& path);

    // Kind None and an empty name for a day that is not listed.
    HolidayInfo Of(TDateTime date) const;
    HolidayKind KindOf(TDateTime date) const override { return Of(date).kind; }
    size_t Count() const { return index_.size(); }

    // The years whose notices the list holds whole, ascending.
    std::vector<int> CoveredYears() const;
    bool Covers(int year) const;
    // The notice of the year the day belongs to; null when there is none.
    const THolidayYear* YearOf(TDateTime date) const;
    const std::map<int, THolidayYear>& Years() const { return years_; }

    // The years `incoming` would add or replace: a year the list lacks is
    // added; a year it holds is replaced by a complete one when its own is
    // incomplete, or differs and comes from an earlier notice (`incoming`'s
    // published date is later; a date beats none). Ascending by year.
    std::vector<THolidayChange> PlanMerge(const THolidayList& incoming) const;
    // Applies PlanMerge; returns what it changed.
    std::vector<THolidayChange> Merge(const THolidayList& incoming);
    // Puts the given years of `from` in, replacing what the list has of them.
    void TakeYears(const THolidayList& from, const std::vector<THolidayChange>& changes);

    // The file's lines: per year its header, then its days by date.
    std::vector<std::string> Lines() const;
    // Writes Lines() atomically; false leaves the file as it was.
    bool SaveToFile(const std::string& path) const;

private:
    void Rebuild();

    std::map<int, THolidayYear> years_;
    std::map<int64_t, HolidayInfo> index_;  // every year's days, for Of
};

// The result of the strict check of a file offered from outside.
struct THolidayCheck {
    bool ok = false;
    size_t line = 0;      // the first bad line, 1-based; 0 for the file as a whole
    std::string message;  // why, in Chinese, naming the line: "第 3 行：日期不存在"
};

// Files from outside are refused beyond this size (the shipped one is 20 KB).
inline constexpr size_t kHolidayFileLimit = 1 << 20;

// Checks the raw bytes of a Holiday.lst-format file whole and, only when
// every line is good, fills `out`: each line blank, a "#" comment, a year
// header with a four-digit year (and a valid date when it has one) or an
// entry with an existing date, a name and 1 or 0; every entry within its
// year; no day both 休 and 班; every year covered whole; no control bytes
// but tab, CR and LF; at least one year. GBK, or UTF-8 after a byte-order
// mark.
THolidayCheck CheckHolidayFile(const std::string& bytes, THolidayList& out);

// "2027年（新增）", "2026年（更新为 国办发明电〔2026〕1号）" lines for a confirmation.
std::string DescribeChanges(const THolidayList& incoming,
                            const std::vector<THolidayChange>& changes);

inline constexpr const char* kHolidayFileName = "Holiday.lst";
// The years the user imported or the program fetched, in the data folder.
// No release ships it, so a new release's Holiday.lst never replaces them.
inline constexpr const char* kHolidayUpdatesFileName = "HolidayUpdates.lst";

}  // namespace tempora
