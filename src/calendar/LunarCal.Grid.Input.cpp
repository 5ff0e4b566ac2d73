#include "calendar/LunarCal.Grid.Internal.h"

namespace tempora {

using namespace lunar_grid;

void TLunarCal::MouseDown(int x, int y) {
    if (layout_.dayArea.Contains(x, y)) {
        MouseDrag(x, y);
        return;
    }
    if (!showArrow_)
        return;
    if (layout_.prevYear.Contains(x, y))
        MoveDate(-12);
    else if (layout_.prevMonth.Contains(x, y))
        MoveDate(-1);
    else if (layout_.nextMonth.Contains(x, y))
        MoveDate(1);
    else if (layout_.nextYear.Contains(x, y))
        MoveDate(12);
}

void TLunarCal::MouseDrag(int x, int y) {
    const int index = CellAt(x, y);
    if (index >= 0 && CellDate(index) != date_)
        SetDate(CellDate(index));
}

bool TLunarCal::KeyDown(int key, bool shiftState) {
    if (shiftState)
        return false;
    switch (key) {
        case ckPageUp:
            MoveDate(-1);
            break;
        case ckPageDown:
            MoveDate(1);
            break;
        case ckHome:
            SetDate(EncodeDate(year_, month_, 1));
            break;
        case ckEnd:
            SetDate(EncodeDate(year_, month_, DaysInMonth(year_, month_)));
            break;
        case ckLeft:
            SetDate(date_ - 1);
            break;
        case ckRight:
            SetDate(date_ + 1);
            break;
        case ckUp:
            SetDate(date_ - 7);
            break;
        case ckDown:
            SetDate(date_ + 7);
            break;
        case ckEnter:
            if (OnClick)
                OnClick();
            break;
        default:
            return false;
    }
    return true;
}

}  // namespace tempora
