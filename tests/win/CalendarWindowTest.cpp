// The calendar view on a real window: its month buttons, what it shows when
// it opens again, its menu painter over many menus and its day hint when a
// dialog opens.
#include "calendar/UnitCalendar_win.h"
#include "calendar/UnitEditMark_win.h"

#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "DialogScript.h"
#include "WinTestUtil.h"
#include "core/ClockSource.h"

using namespace tempora;
using namespace tempora::test;

namespace {

// Noon, China time, on the given day.
int64_t NoonInChina(int y, int m, int d) {
    return std::llround(ToUnixSeconds(EncodeDateTime(y, m, d, 4, 0, 0)) * 1000.0);
}

class Owner : public TWindow {
public:
    bool Make() {
        return CreateWin(L"TemporaCalendarWindowTestOwner", L"owner", WS_POPUP, 0, 0, 0, 10, 10);
    }
};

class CalendarWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ClockSource::Install(&clock_);
        ASSERT_TRUE(owner_.Make());
        // An empty data folder: the plain look, no marks, no holidays.
        ASSERT_TRUE(calendar_.Create(owner_.Handle()));
    }
    void TearDown() override { ClockSource::Install(nullptr); }

    void Click(TFrmCalendar::TArea area) {
        const RECT r = calendar_.AreaRect(area);
        SendMessageW(calendar_.Handle(), WM_LBUTTONDOWN, MK_LBUTTON,
                     MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2));
    }
    TDateTime Shown() { return calendar_.Grid().Date(); }

    FakeClock clock_{NoonInChina(2026, 2, 10)};
    Owner owner_;
    TCalendarData data_;
    TFrmCalendar calendar_{"C:\\no-such-folder\\", data_};
};

}  // namespace

TEST_F(CalendarWindow, MonthArrowsAndTodayButton) {
    EXPECT_EQ(Shown(), EncodeDate(2026, 2, 10));
    Click(TFrmCalendar::aNextMonth);
    EXPECT_EQ(Shown(), EncodeDate(2026, 3, 10));
    Click(TFrmCalendar::aPrevMonth);
    Click(TFrmCalendar::aPrevMonth);
    EXPECT_EQ(Shown(), EncodeDate(2026, 1, 10));
    // Across the year, the day lowered to the month's length.
    calendar_.Grid().SetDate(EncodeDate(2026, 12, 31));
    Click(TFrmCalendar::aNextMonth);
    Click(TFrmCalendar::aNextMonth);
    EXPECT_EQ(Shown(), EncodeDate(2027, 2, 28));
    Click(TFrmCalendar::aToday);
    EXPECT_EQ(Shown(), EncodeDate(2026, 2, 10));
    EXPECT_EQ(calendar_.Info().monthCaption, "02月");
    // The buttons lie on the window, apart, clear of the grid and the pickers.
    const RECT prev = calendar_.AreaRect(TFrmCalendar::aPrevMonth);
    const RECT today = calendar_.AreaRect(TFrmCalendar::aToday);
    const RECT next = calendar_.AreaRect(TFrmCalendar::aNextMonth);
    EXPECT_LT(prev.right, today.left);
    EXPECT_LT(today.right, next.left);
    EXPECT_LE(next.right, calendar_.Width());
    EXPECT_GE(prev.top, TFrmCalendar::kGridTop + kCalendarGridHeight);
}

TEST_F(CalendarWindow, OpeningAgainShowsTodayNotTheMonthBrowsedLast) {
    ShowWindow(calendar_.Handle(), SW_SHOWNOACTIVATE);
    calendar_.Grid().SetDate(EncodeDate(2030, 5, 1));
    ShowWindow(calendar_.Handle(), SW_HIDE);
    clock_.Set(NoonInChina(2026, 2, 11));
    ShowWindow(calendar_.Handle(), SW_SHOWNOACTIVATE);
    EXPECT_EQ(Shown(), EncodeDate(2026, 2, 11));
    EXPECT_EQ(calendar_.Info().yearCaption, "2026年");
}

TEST_F(CalendarWindow, MenuPainterKeepsOnlyTheItemsOfLiveMenus) {
    size_t afterFirst = 0;
    for (int i = 0; i < 5; ++i) {
        MenuHandle menu = calendar_.BuildMarkMenu(i % 2 == 0);
        ASSERT_TRUE(menu);
        if (i == 0)
            afterFirst = calendar_.MenuPainter().ItemCount();
    }
    MenuHandle last = calendar_.BuildMarkMenu(true);
    EXPECT_EQ(calendar_.MenuPainter().ItemCount(), afterFirst);
}

TEST_F(CalendarWindow, DayHintHidesWhenADialogOpens) {
    ShowWindow(calendar_.Handle(), SW_SHOWNOACTIVATE);
    TLunarCalCtrl& grid = calendar_.GridControl();
    const TCalRect cell = calendar_.Grid().CellRect(
        static_cast<int>(EncodeDate(2026, 2, 16) - calendar_.Grid().FirstCellDate()));
    SendMessageW(grid.Handle(), WM_MOUSEMOVE, 0,
                 MAKELPARAM(cell.left + cell.width / 2, cell.top + cell.height / 2));
    const HWND hint = grid.HintWindow();
    ASSERT_NE(hint, nullptr);
    ASSERT_TRUE(IsWindowVisible(hint));

    bool hintWithEditor = true;
    Script script({{Dialog(TFrmEditMark::kClassName), [&](HWND w) {
                        hintWithEditor = IsWindowVisible(hint) != FALSE;
                        Press(w, IDCANCEL);
                    }}});
    calendar_.RunCommand(TFrmCalendar::PM_Mark);
    EXPECT_EQ(script.Left(), 0u);
    EXPECT_FALSE(hintWithEditor);
}
