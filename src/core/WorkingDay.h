// Whether a day is a working day in China: Monday to Friday, unless the
// year's holiday notice makes it a day off (休), and the weekend days the
// notice makes working days (班). The scheduler, the missed-task search, the
// chimes and tempora-cal all ask this one rule.
#pragma once

#include "core/DateTime.h"

namespace tempora {

// What the holiday notices say of a day.
enum class HolidayKind { None, DayOff, WorkDay };

// The notices' days, as the holiday list (calendar/Holiday.h) answers them.
class IHolidayDays {
public:
    virtual ~IHolidayDays() = default;
    // None for a day no notice names.
    virtual HolidayKind KindOf(TDateTime date) const = 0;
};

// `holidays` may be null: then only the weekday counts.
bool IsWorkingDay(TDateTime date, const IHolidayDays* holidays);

// Which days a timed task runs on (stored in War.lst beside the schedule).
enum class DayRule { Any, WorkingDays, DaysOff };

// True when the rule lets something run on that date.
bool DayRuleAllows(DayRule rule, TDateTime date, const IHolidayDays* holidays);

}  // namespace tempora
