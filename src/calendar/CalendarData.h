// The calendar's data of a day, in one place for every reader: the bar's
// tooltip and tray hint, the mark reminder, the calendar window's grid and
// tempora-cal. It holds the festival tables as the calendar window shows
// them, the user's marks (Marks.rec) and the public holidays (Holiday.lst).
//
// The program owns one and hands it to the calendar window by reference, so
// a mark the user edits there is what the bar's tooltip and reminder read.
#pragma once

#include <string>

#include "calendar/CalendarMarks.h"
#include "calendar/Holiday.h"
#include "calendar/LunarCal.Festivals.h"
#include "core/DateTime.h"

namespace tempora {

class TCalendarData {
public:
    // The festival tables of the calendar window; no marks, no holidays.
    TCalendarData();
    TCalendarData(const TCalendarData&) = delete;
    TCalendarData& operator=(const TCalendarData&) = delete;

    // Reads Marks.rec and the holidays from `dataDir` (with or without the
    // closing separator); a missing file means no holidays or no marks.
    // The holidays combine, year by year, HolidayUpdates.lst (the years the
    // user imported or the program fetched), the data folder's Holiday.lst
    // (the shipped file itself in a portable installation, else the copy made
    // at first use, which the user may have extended by hand) and the
    // shipped Holiday.lst of `shippedDir` when that is another folder: a
    // year comes from the first of them that has it, unless a later one
    // holds it from a later notice (THolidayList::PlanMerge). So a new
    // release's years show up in a user's copy, and a year the user imported
    // is never replaced by an older release's. False when no Holiday.lst
    // could be read.
    bool Load(const std::string& dataDir, const std::string& shippedDir = {});

    // The festival tables with the marked days flagged in the mark colour.
    const TFestivalList& Festivals() const { return festivals_; }
    TFestivalList& Festivals() { return festivals_; }
    // The marks; a caller that changes them passes Festivals() along, as
    // TCalendarMarks asks, so that the flags follow.
    const TCalendarMarks& Marks() const { return marks_; }
    TCalendarMarks& Marks() { return marks_; }

    // The day's festivals joined by blanks; empty for none.
    std::string FestivalTextOf(TDateTime date) const;
    // The note of the day's Gregorian mark; empty for none.
    std::string SolarMarkNoteOf(TDateTime date) const;
    // The calendar's 标记 line: Gregorian note, then "*" + lunar note.
    std::string MarksTextOf(TDateTime date) const { return marks_.MarksTextOf(date); }
    HolidayInfo HolidayOf(TDateTime date) const { return holidays_.Of(date); }
    const THolidayList& Holidays() const { return holidays_; }
    // The calendar's hint line on the holidays of a day, "label= value": the
    // notice of a holiday day ("来源= 国办发明电〔2025〕7号 2025-11-04",
    // nothing when the file does not name it), or for a day of a year the
    // data does not cover "假日= " + HolidaysMissingText. Empty otherwise.
    std::string HolidayNoteOf(TDateTime date) const;

    // Checks a file offered from outside (bytes as read) whole and what it
    // would add to or change in the holidays; nothing is taken yet.
    THolidayCheck CheckUpdate(const std::string& bytes, THolidayList& incoming,
                              std::vector<THolidayChange>& changes) const;
    // Writes the changed years into the data folder's HolidayUpdates.lst
    // (atomically) and takes them. False, nothing changed, when the file
    // could not be written.
    bool ApplyUpdate(const THolidayList& incoming, const std::vector<THolidayChange>& changes);

    // The marks' colour: every marked day is flagged again in it.
    void SetMarkColor(int32_t color);

private:
    TFestivalList festivals_;
    TCalendarMarks marks_;
    THolidayList holidays_;
    std::string dataDir_;  // ends in a separator
};

// "2027年放假安排尚未收录": the calendar's line for a year without data.
std::string HolidaysMissingText(int year);

}  // namespace tempora
