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

    // Reads Holiday.lst and Marks.rec from `dataDir` (with or without the
    // closing separator); a missing file means no holidays or no marks.
    // False when Holiday.lst could not be read.
    bool Load(const std::string& dataDir);

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

    // The marks' colour: every marked day is flagged again in it.
    void SetMarkColor(int32_t color);

private:
    TFestivalList festivals_;
    TCalendarMarks marks_;
    THolidayList holidays_;
};

}  // namespace tempora
