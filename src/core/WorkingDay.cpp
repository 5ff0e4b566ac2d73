#include "core/WorkingDay.h"

namespace tempora {

bool IsWorkingDay(TDateTime date, const IHolidayDays* holidays) {
    switch (holidays ? holidays->KindOf(date) : HolidayKind::None) {
        case HolidayKind::DayOff:
            return false;
        case HolidayKind::WorkDay:
            return true;
        case HolidayKind::None:
            break;
    }
    return DayOfWeekISO(date) <= 5;
}

bool DayRuleAllows(DayRule rule, TDateTime date, const IHolidayDays* holidays) {
    switch (rule) {
        case DayRule::WorkingDays:
            return IsWorkingDay(date, holidays);
        case DayRule::DaysOff:
            return !IsWorkingDay(date, holidays);
        case DayRule::Any:
            break;
    }
    return true;
}

}  // namespace tempora
