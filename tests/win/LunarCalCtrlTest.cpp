// The calendar grid's window: mouse, keys, focus, painting and the hint popup.
#include "calendar/LunarCal_win.h"
#include "calendar/UnitCalendar.h"

#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "WinTestUtil.h"
#include "core/ClockSource.h"
#include "core/Encoding.h"
#include "core/Handles_win.h"
#include "win/PictureBlit_win.h"
#include "win/Window_win.h"

using namespace tempora;

namespace {

// A plain top-level window that holds the grid where the calendar window does.
class THostForm final : public TWindow {
public:
    bool Make() {
        return CreateWin(L"TemporaLunarCalTestForm", L"calendar",
                         WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 100, 100, 332, 320);
    }
};

// Installs a clock for as long as it lives.
struct InstalledClock {
    explicit InstalledClock(const ClockSource& clock) { ClockSource::Install(&clock); }
    ~InstalledClock() { ClockSource::Install(nullptr); }
};

class LunarCalCtrl : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(form_.Make());
        ASSERT_TRUE(cal_.Create(form_.Handle(), 3, 43, kCalendarGridWidth, kCalendarGridHeight));
        SetUpCalendarGrid(cal_.Grid());
        cal_.OnChange = [this] { ++changes_; };
        UpdateWindow(cal_.Handle());
    }

    POINT CentreOf(TDateTime day) const {
        const TLunarCal& g = cal_.Grid();
        const TCalRect r = g.CellRect(static_cast<int>(day - g.FirstCellDate()));
        return {r.left + r.width / 2, r.top + r.height / 2};
    }
    void Send(UINT msg, WPARAM wp, POINT p) {
        SendMessageW(cal_.Handle(), msg, wp, MAKELPARAM(p.x, p.y));
    }
    static HWND HintWindow() { return FindWindowW(L"TCalendarHint", nullptr); }

    // 10 February 2026, noon in China, before the grid takes its first date.
    FakeClock clock_{std::llround(ToUnixSeconds(EncodeDateTime(2026, 2, 10, 4, 0, 0)) * 1000.0)};
    InstalledClock installed_{clock_};
    THostForm form_;
    TLunarCalCtrl cal_;
    int changes_ = 0;
};

TEST_F(LunarCalCtrl, ClickSelectsADayAndPaintsIt) {
    const TDateTime day = EncodeDate(2026, 2, 20);
    const POINT p = CentreOf(day);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, p);
    Send(WM_LBUTTONUP, 0, p);
    EXPECT_EQ(cal_.Grid().Date(), day);
    EXPECT_EQ(changes_, 1);
    EXPECT_EQ(GetFocus(), cal_.Handle());

    // Dragging moves the selection on.
    const POINT next = CentreOf(day + 1);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, p);
    Send(WM_MOUSEMOVE, MK_LBUTTON, next);
    Send(WM_LBUTTONUP, 0, next);
    EXPECT_EQ(cal_.Grid().Date(), day + 1);
    EXPECT_EQ(changes_, 2);

    // The invalidated cells reach the screen: the outline of the new day.
    UpdateWindow(cal_.Handle());
    const TCalRect cell =
        cal_.Grid().CellRect(static_cast<int>(day + 1 - cal_.Grid().FirstCellDate()));
    Bitmap shown;
    WindowDc dc(cal_.Handle());
    ASSERT_TRUE(ReadPicture(dc.Get(), cell.left, cell.top, cell.width, cell.height, shown));
    EXPECT_EQ(shown.At(1, 1), TLunarCal::kSelectedColor);
    EXPECT_EQ(shown.At(cell.width - 2, cell.height - 2), TLunarCal::kSelectedColor);
    Bitmap painted;
    cal_.Grid().Paint(painted);
    Bitmap expected;
    expected.Create(cell.width, cell.height);
    expected.CopyRect(0, 0, painted, cell.left, cell.top, cell.width, cell.height);
    EXPECT_TRUE(shown == expected);
}

TEST_F(LunarCalCtrl, RightClickReportsTheClientPoint) {
    POINT got{-1, -1};
    cal_.OnRightClick = [&](int x, int y) { got = {x, y}; };
    Send(WM_RBUTTONDOWN, MK_RBUTTON, POINT{40, 120});
    EXPECT_EQ(got.x, 40);
    EXPECT_EQ(got.y, 120);
    EXPECT_EQ(changes_, 0);
}

TEST_F(LunarCalCtrl, KeysMoveTheSelection) {
    EXPECT_EQ(SendMessageW(cal_.Handle(), WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS);
    SetFocus(cal_.Handle());
    struct Step {
        WPARAM key;
        TDateTime after;
    };
    const Step steps[] = {
        {VK_RIGHT, EncodeDate(2026, 2, 11)}, {VK_DOWN, EncodeDate(2026, 2, 18)},
        {VK_NEXT, EncodeDate(2026, 3, 18)},  {VK_HOME, EncodeDate(2026, 3, 1)},
        {VK_UP, EncodeDate(2026, 2, 22)},    {VK_END, EncodeDate(2026, 2, 28)},
    };
    for (const Step& s : steps) {
        SendMessageW(cal_.Handle(), WM_KEYDOWN, s.key, 0);
        EXPECT_EQ(cal_.Grid().Date(), s.after) << s.key;
    }
    EXPECT_EQ(changes_, 6);

    // With shift held the keys do nothing.
    BYTE keys[256];
    ASSERT_TRUE(GetKeyboardState(keys));
    keys[VK_SHIFT] = 0x80;
    SetKeyboardState(keys);
    SendMessageW(cal_.Handle(), WM_KEYDOWN, VK_LEFT, 0);
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(cal_.Grid().Date(), EncodeDate(2026, 2, 28));
}

TEST_F(LunarCalCtrl, HintShowsOverADayWithoutTakingTheFocus) {
    SetFocus(cal_.Handle());
    const TDateTime day = EncodeDate(2026, 2, 16);
    const POINT p = CentreOf(day);
    Send(WM_MOUSEMOVE, 0, p);
    const HWND hint = HintWindow();
    ASSERT_NE(hint, nullptr);
    EXPECT_TRUE(IsWindowVisible(hint));
    EXPECT_EQ(GetFocus(), cal_.Handle());
    EXPECT_EQ(SendMessageW(hint, WM_NCHITTEST, 0, 0), HTTRANSPARENT);

    wchar_t text[512] = {};
    GetWindowTextW(hint, text, 512);
    EXPECT_EQ(WideToUtf8(text), cal_.Grid().HintTextOf(day));
    EXPECT_EQ(WideToUtf8(text).rfind("公元= 2026年2月16日", 0), 0u);

    const LONG_PTR ex = GetWindowLongPtrW(hint, GWL_EXSTYLE);
    for (const LONG_PTR bit : {LONG_PTR{WS_EX_TOOLWINDOW}, LONG_PTR{WS_EX_TOPMOST},
                               LONG_PTR{WS_EX_NOACTIVATE}, LONG_PTR{WS_EX_LAYERED}})
        EXPECT_TRUE(ex & bit) << std::hex << bit;
    EXPECT_TRUE(GetClassLongPtrW(hint, GCL_STYLE) & CS_DROPSHADOW);

    // 16 pixels right of and below the pointer, as large as its text.
    POINT screen = p;
    ClientToScreen(cal_.Handle(), &screen);
    RECT wr;
    GetWindowRect(hint, &wr);
    EXPECT_EQ(wr.left, screen.x + 16);
    EXPECT_EQ(wr.top, screen.y + 16);
    RECT cr;
    GetClientRect(hint, &cr);
    EXPECT_EQ(cr.right, cal_.Grid().Hint().Width());
    EXPECT_EQ(cr.bottom, cal_.Grid().Hint().Height());

    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(hint, nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 255);
    cal_.SetHintAlpha(200);
    ASSERT_TRUE(GetLayeredWindowAttributes(hint, nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 200);

    // The week row hides it, so does leaving the control.
    Send(WM_MOUSEMOVE, 0, POINT{160, 10});
    EXPECT_FALSE(IsWindowVisible(hint));
    Send(WM_MOUSEMOVE, 0, p);
    EXPECT_TRUE(IsWindowVisible(hint));
    SendMessageW(cal_.Handle(), WM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(IsWindowVisible(hint));
}

}  // namespace
