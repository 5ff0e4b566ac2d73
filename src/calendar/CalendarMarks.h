// Calendar marks: short notes on a month and day that recur every year, on the
// Gregorian or on the lunar calendar, kept in Marks.rec in the data folder.
//
// Marks.rec is GBK text with CR LF line ends, one mark a line: the name, a
// type digit and a four-digit key, then "=" and the note:
//     00501=劳动节        Gregorian 1 May
//     10815=中秋          lunar month 8 day 15, in a leap month 8 as well
//     00230=              a day that never comes still keeps its line
// Type 0 is Gregorian (key MMDD), 1 lunar (MMDD), 2 a weekday rule (MMNW as
// in the festival tables); the digits 3-9 are kept but flag no day. The file
// is written sorted and rewritten whole on every change.
//
// Reading is forgiving: the lines that are marks load, the rest is dropped
// (and goes at the next save):
// - a file with the UTF-8 byte-order mark, or well-formed UTF-8 whose
//   characters beyond ASCII all take three or four bytes (as Chinese does),
//   reads as UTF-8, anything else as GBK;
// - blank lines, lines whose sixth character is not "=" and lines whose key
//   is not a month 01-12 and a day 01-31 (type 2: a week 1-9 and a weekday
//   0-6; types 3-9: four digits) are dropped;
// - a first character that is no digit counts as 0 (and becomes "0");
// - of several lines with one name the first wins;
// - control characters in a note become blanks, and a note is cut to 50 GBK
//   bytes without splitting a character.
#pragma once

#include "LunarCal.Festivals.h"
#include "MarkOccurrences.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tempora {

inline constexpr char kMarksFileName[] = "Marks.rec";
inline constexpr size_t kMarkNoteMaxBytes = 50;  // in GBK bytes, two per Chinese character
inline constexpr int32_t kMarkColor = 0x80FFFF;  // the colour marked days get unless the skin says

// True for a name Marks.rec keeps (see above): type digit and key.
bool IsMarkName(std::string_view name);
// False for a Gregorian name whose day no year has (00230, 00431): such a
// mark could never show, so PutMark and EditMarkAt refuse it.
bool IsPossibleMarkDay(std::string_view name);
// A date the calendar can hold, so that decoding it is safe.
bool IsCalendarDate(TDateTime x);
// The mark editor's counter of a note: "12/50字节".
std::string MarkNoteCounterText(std::string_view note);
// `text` cut to at most `maxBytes` GBK bytes at a character boundary.
std::string CutToGbkBytes(std::string_view text, size_t maxBytes);

// The lunar key of the Gregorian key MMDD in the current year (the installed
// clock's), as MMDD; a part that is no number reads as 1. Empty when that day
// does not exist this year (0230, or 0229 in a common year) or lies outside
// the lunar tables.
std::optional<std::string> LunarKeyOf(std::string_view solarKey);
// The Gregorian key of the lunar key MMDD in the lunar year and month kind
// (leap or not) of today: while today lies in a leap month, only that month's
// number exists. "0101" when that lunar date does not exist.
std::string SolarKeyOf(std::string_view lunarKey);

// The marks list: Marks.rec's lines in memory. Every line holds a valid
// name and no two lines share one; the festival list given to the calls
// that change marks flags the marked days.
class TCalendarMarks {
public:
    int32_t MarkColor() const { return color_; }
    // The colour of the marks registered from now on.
    void SetMarkColor(int32_t color) { color_ = color; }

    // Replaces the list with the marks of dataDir + Marks.rec (none when it
    // is missing or unreadable) and registers each in `festivals`; the marks
    // registered before are unregistered first. Their reminders come from
    // dataDir + MarkReminders.rec.
    void LoadMarks(const std::string& dataDir, TFestivalList& festivals);
    // The same with the bytes of a Marks.rec; the marks have no reminders.
    void ReadMarks(std::string_view fileBytes, TFestivalList& festivals);
    // The reminders of the listed marks from the bytes of a MarkReminders.rec.
    void ReadReminders(std::string_view fileBytes);
    // Sorts the list and replaces dataDir + Marks.rec with it, and
    // MarkReminders.rec with the reminders, atomically. False when a file
    // could not be written: the list stays as it is, and so does that file.
    bool SaveMarks(const std::string& dataDir);
    // Ordinary case-insensitive order, which is type, month, day.
    void Sort();

    const std::vector<std::string>& Lines() const { return lines_; }
    // The line of that name (compared without regard to case), or -1.
    int IndexOfName(std::string_view name) const;

    // Flag and unflag the days of a mark name in `festivals`, in the mark colour.
    void RegisterMark(TFestivalList& festivals, std::string_view name) const;
    void UnregisterMark(TFestivalList& festivals, std::string_view name) const;

    // The note of type 0 or 1 and key MMDD; empty for any other type.
    std::string MarkNoteOf(int type, std::string_view key) const;
    // The mark line's text of a day: its Gregorian note, then, when it has a
    // lunar note, two blanks (after a Gregorian note only) and "*" + that note.
    std::string MarksTextOf(TDateTime date) const;

    // Gives `name` the note (cleaned as on reading): its line is replaced,
    // or one is appended; the day is registered. The line's index, or -1
    // (nothing changed) when `name` is no mark name or no possible day.
    int PutMark(TFestivalList& festivals, std::string_view name, std::string_view note);
    // Replaces line `index` by name=note: the old name is unregistered, the
    // new one registered, and another line that held the new name goes. The
    // line's index afterwards, or -1 (nothing changed) for an index out of
    // range or a name that is no mark name or no possible day.
    int EditMarkAt(TFestivalList& festivals, size_t index, std::string_view name,
                   std::string_view note);
    // Removes line `index` and unregisters its name; nothing for an index out of range.
    void DeleteMarkAt(TFestivalList& festivals, size_t index);
    // Removes the mark of that name, if any, and unregisters the name.
    void DeleteMark(TFestivalList& festivals, std::string_view name);

    // The reminder settings of a mark name; defaults (no reminder) for a
    // name without any. A mark keeps its settings through EditMarkAt and
    // loses them when it goes.
    TMarkReminder ReminderOf(std::string_view name) const;
    // Gives the listed mark `name` these settings; nothing for a name not listed.
    void SetReminder(std::string_view name, const TMarkReminder& reminder);
    const TMarkReminderMap& Reminders() const { return reminders_; }
    // Every mark with its note and settings, in list order.
    std::vector<TMarkEntry> Entries() const;

private:
    std::vector<std::string> lines_;
    TMarkReminderMap reminders_;
    int32_t color_ = kMarkColor;
};

}  // namespace tempora
