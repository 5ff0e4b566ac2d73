#include "calendar/LunarCal.Grid.h"

#include <cmath>
#include <limits>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "calendar/UnitCalendar.h"
#include "core/ClockSource.h"

using namespace tempora;

namespace {

// Milliseconds of a moment in China's time zone (UTC+8, FakeClock's default).
int64_t ChinaMillis(int y, int m, int d, int hour = 12) {
    return std::llround(ToUnixSeconds(EncodeDateTime(y, m, d, hour, 0, 0)) * 1000.0) -
           int64_t{480} * 60 * 1000;
}

int CountColor(const Bitmap& pic, const TCalRect& r, uint32_t color) {
    int n = 0;
    for (int y = std::max(r.top, 0); y < std::min(r.Bottom(), pic.Height()); ++y) {
        for (int x = std::max(r.left, 0); x < std::min(r.Right(), pic.Width()); ++x)
            n += pic.At(x, y) == color;
    }
    return n;
}

class LunarCalGrid : public ::testing::Test {
protected:
    void SetUp() override { ClockSource::Install(&clock_); }
    void TearDown() override { ClockSource::Install(nullptr); }

    // The look the calendar window gives the grid.
    static void WindowSettings(TLunarCal& cal) { SetUpCalendarGrid(cal); }

    int IndexOf(const TLunarCal& cal, TDateTime day) const {
        return static_cast<int>(day - cal.FirstCellDate());
    }

    FakeClock clock_{ChinaMillis(2026, 2, 10)};
    TBlockGlyphs glyphs_;
};

TEST_F(LunarCalGrid, FirstCellRule) {
    struct Case {
        int year, month;
        bool iso;
        TDateTime first;
    };
    const Case cases[] = {
        {2009, 2, false, EncodeDate(2009, 1, 25)},  // starts on a Sunday: a full row before
        {2009, 8, false, EncodeDate(2009, 7, 26)},  // starts on a Saturday
        {2009, 6, true, EncodeDate(2009, 5, 25)},   // starts on a Monday, Monday first
        {2009, 2, true, EncodeDate(2009, 1, 26)},   // a Sunday is the last column
    };
    for (const Case& c : cases) {
        TLunarCal cal(glyphs_);
        cal.SetUseISO8601(c.iso);
        cal.SetDate(EncodeDate(c.year, c.month, 15));
        EXPECT_EQ(cal.FirstCellDate(), c.first) << c.year << "-" << c.month << " iso " << c.iso;
    }

    // Every month of the range: its days among the 42 cells, at least one
    // day of the month before, the first column's weekday.
    TLunarCal cal(glyphs_);
    for (const bool iso : {false, true}) {
        cal.SetUseISO8601(iso);
        for (int y = 1900; y <= 2100; ++y) {
            for (int m = 1; m <= 12; ++m) {
                cal.SetDate(EncodeDate(y, m, 1));
                const TDateTime first = cal.FirstCellDate();
                const TDateTime d1 = EncodeDate(y, m, 1);
                ASSERT_GE(d1 - first, 1) << y << "-" << m;
                ASSERT_LE(d1 - first, 7) << y << "-" << m;
                ASSERT_LE(d1 + DaysInMonth(y, m) - 1 - first, 41) << y << "-" << m;
                ASSERT_EQ(iso ? DayOfWeekISO(first) : DayOfWeek(first), 1) << y << "-" << m;
            }
        }
    }
}

TEST_F(LunarCalGrid, WeekRowFollowsTheFirstWeekday) {
    // Plain text paints exact colours: Sunday red, Saturday maroon.
    for (const bool iso : {false, true}) {
        TLunarCal cal(glyphs_);
        cal.SetUseISO8601(iso);
        Bitmap pic;
        cal.Paint(pic);
        const int W = cal.Layout().cellWidth, H = cal.Layout().cellHeight;
        const int sunday = iso ? 6 : 0, saturday = iso ? 5 : 6;
        for (int col = 0; col < 7; ++col) {
            const TCalRect head{col * W, 0, W, H};
            EXPECT_EQ(CountColor(pic, head, 0x0000FF) > 0, col == sunday) << iso << " " << col;
            EXPECT_EQ(CountColor(pic, head, 0x000080) > 0, col == saturday) << iso << " " << col;
        }
        // The first cell is the first column's weekday: Monday with ISO weeks.
        EXPECT_EQ(DayOfWeekISO(cal.FirstCellDate()), iso ? 1 : 7);
    }
}

TEST_F(LunarCalGrid, LayoutOfEveryStylePair) {
    // 350 x 280: cells 50 x 40; with both scales 2.5 the right part is 20
    // wide and the bottom part 16 high. Festival font 11 pixels: "九" is 12
    // wide, so the bottom part takes four (8 bytes), the right part not three.
    struct Case {
        TLunarCalStyle lunarStyle, ftvStyle;
        TCalRect day, lunar, festival;
        int maxBytes;
    };
    const TCalRect bottom{0, 24, 50, 16}, rightAbove{30, 0, 20, 24}, right{30, 0, 20, 40};
    const Case cases[] = {
        {csBottom, csBottom, {0, 0, 50, 24}, bottom, bottom, 8},
        {csBottom, csRight, {0, 0, 30, 24}, bottom, rightAbove, 4},
        {csBottom, csNone, {0, 0, 50, 24}, bottom, {}, 6},
        {csRight, csBottom, {0, 0, 30, 24}, rightAbove, bottom, 8},
        {csRight, csRight, {0, 0, 30, 40}, right, right, 4},
        {csRight, csNone, {0, 0, 30, 40}, right, {}, 6},
        {csNone, csBottom, {0, 0, 50, 24}, {}, bottom, 8},
        {csNone, csRight, {0, 0, 30, 40}, {}, right, 4},
        {csNone, csNone, {0, 0, 50, 40}, {}, {}, 6},
    };
    for (const Case& c : cases) {
        TLunarCal cal(glyphs_);
        cal.SetAutoFontSize(false);
        TFontSpec ftv = cal.CalColors().FtvTextFont();
        ftv.Height = FontHeightOfSize(8, 96);
        cal.CalColors().SetFtvTextFont(ftv);
        cal.SetSize(350, 280);
        cal.SetVerticalScale(2.5);
        cal.SetLunarCalStyle(c.lunarStyle);
        cal.SetFtvCalStyle(c.ftvStyle);
        const TLunarCal::TLayout& L = cal.Layout();
        const std::string what = std::to_string(c.lunarStyle) + "/" + std::to_string(c.ftvStyle);
        EXPECT_EQ(L.weekRow, (TCalRect{0, 0, 350, 40})) << what;
        EXPECT_EQ(L.dayArea, (TCalRect{0, 40, 350, 240})) << what;
        EXPECT_EQ(L.dayNumber, c.day) << what;
        EXPECT_EQ(L.lunar, c.lunar) << what;
        EXPECT_EQ(L.festival, c.festival) << what;
        EXPECT_EQ(L.maxFestivalBytes, c.maxBytes) << what;
    }
}

TEST_F(LunarCalGrid, ScalesRoundHalfToEvenAndTinyOnesAreIgnored) {
    TLunarCal cal(glyphs_);
    cal.SetSize(315, 280);  // cells 45 x 40
    cal.SetHorizonScale(2.0);
    EXPECT_EQ(cal.Layout().lunar.width, 22);  // 22.5
    cal.SetSize(245, 280);                    // cells 35 wide
    EXPECT_EQ(cal.Layout().lunar.width, 18);  // 17.5
    for (const double bad : {0.0, 0.0009, -0.0009, std::numeric_limits<double>::quiet_NaN()}) {
        cal.SetHorizonScale(bad);
        cal.SetVerticalScale(bad);
    }
    EXPECT_EQ(cal.HorizonScale(), 2.0);
    EXPECT_EQ(cal.VerticalScale(), 4.0);
}

TEST_F(LunarCalGrid, AutoFontSizeFitsTheSubAreas) {
    // 300 x 210: cells 42 x 30, day number 25 x 22, lunar text 17 x 22.
    TLunarCal cal(glyphs_);
    const TLunarCalColors& c = cal.CalColors();
    EXPECT_EQ(cal.Layout().dayNumber, (TCalRect{0, 0, 25, 22}));
    EXPECT_EQ(c.DayTextFont().Height, FontHeightOfSize(16, 96));  // 21 pixels; 17 pt is 23
    // "九九九" fits 17 pixels at no size from 5 up: 4.
    EXPECT_EQ(c.LunarTextFont().Height, FontHeightOfSize(4, 96));
    // Without fitting, the sizes stay as set.
    TLunarCal fixed(glyphs_);
    fixed.SetAutoFontSize(false);
    fixed.SetSize(600, 420);
    EXPECT_EQ(fixed.CalColors().DayTextFont().Height, FontHeightOfSize(16, 96));
    EXPECT_EQ(fixed.CalColors().LunarTextFont().Height, FontHeightOfSize(4, 96));
}

TEST_F(LunarCalGrid, FestivalTextsAreCutAtCharacterBoundaries) {
    struct Case {
        std::string text;
        int maxBytes;
        std::string shown;
    };
    const Case cases[] = {
        {"世界湿地日", 6, "世界…"}, {"A世界湿地", 6, "A世…"},  // an odd single byte: one byte less
        {"AB世界湿地", 6, "AB世…"},                            // an even count: the full four
        {"九九九", 6, "九九九"},                               // fits exactly
        {"ABCDEFG", 6, "ABCD…"},    {"", 6, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CutFestivalText(c.text, c.maxBytes), c.shown) << c.text;

    // A festival part that fits three characters shows a nine-character
    // festival as two and "…".
    TLunarCal cal(glyphs_);
    cal.SetAutoFontSize(false);
    TFontSpec ftv = cal.CalColors().FtvTextFont();
    ftv.Height = FontHeightOfSize(8, 96);
    cal.CalColors().SetFtvTextFont(ftv);
    cal.SetSize(280, 280);  // cells 40 wide: 36 pixels of "九" fit, 48 do not
    cal.SetLunarCalStyle(csBottom);
    cal.SetFtvCalStyle(csBottom);
    cal.SetVerticalScale(2.5);
    EXPECT_EQ(cal.Layout().maxFestivalBytes, 6);
    cal.FtvList().SetSolarFestivals(TColorStringList{"0203=一二三四五六七八九"});
    const TCellContent cell = cal.CellContent(IndexOf(cal, EncodeDate(2026, 2, 3)));
    EXPECT_EQ(cell.festivalText, "一二…");
    EXPECT_TRUE(cell.lunarText.empty());
}

TEST_F(LunarCalGrid, YearAndMonthClampTheDay) {
    TLunarCal cal(glyphs_);
    cal.SetDate(EncodeDate(2024, 3, 31));
    cal.SetMonth(2);
    EXPECT_EQ(cal.Date(), EncodeDate(2024, 2, 29));
    cal.SetYear(2023);
    EXPECT_EQ(cal.Date(), EncodeDate(2023, 2, 28));
    cal.SetMonth(13);
    EXPECT_EQ(cal.Date(), EncodeDate(2023, 12, 28));
    cal.SetMonth(0);
    EXPECT_EQ(cal.Date(), EncodeDate(2023, 1, 28));
    cal.SetYear(2500);
    EXPECT_EQ(cal.Date(), EncodeDate(2100, 1, 28));
    cal.SetYear(-4);
    EXPECT_EQ(cal.Date(), EncodeDate(1900, 1, 28));
}

TEST_F(LunarCalGrid, SetDateIgnoresOutOfRangeAndRepaintsWhatChanged) {
    TLunarCal cal(glyphs_);
    cal.SetDate(EncodeDate(2026, 2, 10));
    int changes = 0;
    std::vector<TCalRect> dirty;
    cal.OnChange = [&] { ++changes; };
    cal.OnInvalidate = [&](const TCalRect& r) { dirty.push_back(r); };

    for (const TDateTime x :
         {EncodeDate(2101, 1, 1), EncodeDate(1899, 12, 31), EncodeDateTime(2026, 2, 10, 18, 30, 0),
          std::numeric_limits<double>::quiet_NaN()}) {
        cal.SetDate(x);
    }
    EXPECT_EQ(changes, 0);
    EXPECT_TRUE(dirty.empty());
    EXPECT_EQ(cal.Date(), EncodeDate(2026, 2, 10));

    // Within the month: the old and the new cell.
    cal.SetDate(EncodeDateTime(2026, 2, 12, 9, 0, 0));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(cal.Date(), EncodeDate(2026, 2, 12));
    EXPECT_EQ(dirty, (std::vector<TCalRect>{cal.CellRect(IndexOf(cal, EncodeDate(2026, 2, 10))),
                                            cal.CellRect(IndexOf(cal, EncodeDate(2026, 2, 12)))}));
    // Another month: the day area.
    dirty.clear();
    cal.SetDate(EncodeDate(2100, 12, 31));
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(dirty, std::vector<TCalRect>{cal.Layout().dayArea});
}

TEST_F(LunarCalGrid, RepaintingTheInvalidatedPartsMatchesAFullPaint) {
    // Smooth text with shadows strays over cell edges; repainting only what
    // the grid invalidates must still give the full picture.
    TLunarCal cal(glyphs_);
    WindowSettings(cal);
    cal.SetSmoothText(true);
    cal.SetShadowFont(true);
    cal.SetShowGrid(true);
    cal.SetHolidayLookup([](TDateTime d) {
        return d == EncodeDate(2026, 2, 16) ? HolidayInfo{"春节", HolidayKind::DayOff}
                                            : HolidayInfo{};
    });
    Bitmap shown;
    cal.Paint(shown);
    std::vector<TCalRect> dirty;
    cal.OnInvalidate = [&](const TCalRect& r) { dirty.push_back(r); };
    for (const TDateTime d : {EncodeDate(2026, 2, 16), EncodeDate(2026, 2, 17),
                              EncodeDate(2026, 3, 2), EncodeDate(2026, 3, 9)}) {
        dirty.clear();
        cal.SetDate(d);
        for (const TCalRect& r : dirty)
            cal.Paint(shown, r);
        Bitmap full;
        cal.Paint(full);
        ASSERT_TRUE(shown == full) << DecodeDate(d).month << "-" << DecodeDate(d).day;
    }
}

TEST_F(LunarCalGrid, TodayShowsAsTodayWithTheOutline) {
    TLunarCal cal(glyphs_);  // today, 10 February 2026, is selected
    WindowSettings(cal);
    cal.SetShadowFont(false);  // no text shadow over the outline's pixels
    const int index = IndexOf(cal, EncodeDate(2026, 2, 10));
    const TCellContent today = cal.CellContent(index);
    EXPECT_EQ(today.dayText, "今天");
    EXPECT_EQ(today.dayColor, TLunarCal::kTodayColor);
    EXPECT_EQ(cal.CellContent(index + 1).dayText, "11");

    Bitmap pic;
    cal.Paint(pic);
    const TCalRect cell = cal.CellRect(index);
    EXPECT_GT(CountColor(pic, today.day, TLunarCal::kTodayColor), 0);
    // The 2-pixel outline from (left + 1, top + 1) to (right - 1, bottom - 1).
    for (const auto& [x, y] :
         std::vector<std::pair<int, int>>{{cell.left, cell.top},
                                          {cell.left + 1, cell.top + 1},
                                          {cell.Right() - 2, cell.Bottom() - 2},
                                          {cell.Right() - 3, cell.top + 5},
                                          {cell.left + 5, cell.Bottom() - 3}}) {
        EXPECT_EQ(pic.At(x, y), TLunarCal::kSelectedColor) << x << "," << y;
    }
    EXPECT_NE(pic.At(cell.Right() - 1, cell.top + 5), TLunarCal::kSelectedColor);
    EXPECT_NE(pic.At(cell.left + 2, cell.top + 5), TLunarCal::kSelectedColor);

    // Elsewhere the number; no outline left on the old cell.
    cal.SetDate(EncodeDate(2026, 2, 11));
    cal.Paint(pic);
    EXPECT_EQ(CountColor(pic, cell, TLunarCal::kSelectedColor), 0);
    EXPECT_GT(CountColor(pic, today.day, TLunarCal::kTodayColor), 0);
}

TEST_F(LunarCalGrid, LunarTexts) {
    TLunarCal cal(glyphs_);
    WindowSettings(cal);
    cal.SetDate(EncodeDate(2020, 5, 15));
    const auto at = [&](int m, int d) {
        return cal.CellContent(IndexOf(cal, EncodeDate(2020, m, d)));
    };
    EXPECT_EQ(at(5, 23).lunarText, "闰四月");  // the first day of the leap fourth month
    EXPECT_EQ(at(5, 24).lunarText, "初二");
    const TCellContent term = at(5, 20);  // 小满
    EXPECT_EQ(term.lunarText, "小满");
    EXPECT_EQ(term.lunarColor, cal.CalColors().LunarTermColor());
    const TCellContent trailing = at(4, 28);  // 立夏 is 5 May; 28 April a trailing day
    EXPECT_FALSE(trailing.inMonth);
    EXPECT_EQ(trailing.lunarColor, 0xC8C8C8u);
    EXPECT_EQ(trailing.dayColor, 0xC8C8C8u);
    cal.SetChineseEar(true);
    EXPECT_EQ(at(5, 24).lunarText, GanZhiText(GanZhiOf(EncodeDate(2020, 5, 24)).DayCycle));
    EXPECT_EQ(at(5, 20).lunarText, "小满");  // a term keeps its place

    // Out of range, no lunar text at all.
    cal.SetChineseEar(false);
    cal.SetDate(EncodeDate(1900, 1, 10));
    EXPECT_EQ(cal.CellContent(IndexOf(cal, EncodeDate(1900, 1, 10))).lunarText, "");
}

TEST_F(LunarCalGrid, BothBelowShowTheFestivalOrElseTheLunarText) {
    TLunarCal cal(glyphs_);
    WindowSettings(cal);
    cal.SetFtvCalStyle(csBottom);
    const TDateTime valentine = EncodeDate(2026, 2, 14), plain = EncodeDate(2026, 2, 5);
    ASSERT_TRUE(cal.FtvList().FestivalTextOf(plain).text.empty());
    const TCellContent festival = cal.CellContent(IndexOf(cal, valentine));
    EXPECT_EQ(festival.festivalText, CutFestivalText("西方情人节", cal.Layout().maxFestivalBytes));
    EXPECT_EQ(festival.festivalColor, 0x0000FFu);  // the built-in Gregorian colour
    EXPECT_TRUE(festival.lunarText.empty());
    const TCellContent lunar = cal.CellContent(IndexOf(cal, plain));
    EXPECT_EQ(lunar.lunarText, "十八");
    EXPECT_TRUE(lunar.festivalText.empty());

    // Right and below: both.
    cal.SetLunarCalStyle(csRight);
    const TCellContent both = cal.CellContent(IndexOf(cal, valentine));
    EXPECT_FALSE(both.festivalText.empty());
    EXPECT_EQ(both.lunarText, "廿七");
}

TEST_F(LunarCalGrid, VerticalTextsTakeThreeCharactersALine) {
    TLunarCal cal(glyphs_);
    cal.SetAutoFontSize(false);
    cal.SetSize(350, 280);
    cal.SetLunarCalStyle(csRight);
    cal.SetFtvCalStyle(csRight);
    cal.SetShowVertical(true);
    const TCellContent c = cal.CellContent(IndexOf(cal, EncodeDate(2026, 2, 14)));
    // Written top to bottom the maximum is 6 bytes: "西方…".
    ASSERT_EQ(c.festivalText, "西方…");
    const TCalRect area = cal.Layout().festival;
    const TCalRect cell = cal.CellRect(IndexOf(cal, EncodeDate(2026, 2, 14)));
    const int line = -cal.CalColors().FtvTextFont().Height;  // a block glyph is as high as the font
    EXPECT_EQ(c.festival,
              (TCalRect{cell.left + area.left + 2, cell.top + area.top + area.height / 3 - line,
                        line + 1, 3 * line}));
}

TEST_F(LunarCalGrid, HolidayBadgesSitInAFreeCorner) {
    const std::map<TDateTime, HolidayInfo> holidays = {
        {EncodeDate(2026, 2, 14), {"春节", HolidayKind::WorkDay}},
        {EncodeDate(2026, 2, 16), {"春节", HolidayKind::DayOff}},
        {EncodeDate(2026, 3, 1), {"测试", HolidayKind::DayOff}},  // a trailing day
    };
    TLunarCal cal(glyphs_);
    WindowSettings(cal);
    Bitmap plain;
    cal.Paint(plain);
    std::map<TDateTime, TCellContent> before;
    for (int i = 0; i < 42; ++i)
        before[cal.CellContent(i).date] = cal.CellContent(i);
    cal.SetHolidayLookup([&](TDateTime d) {
        const auto it = holidays.find(d);
        return it == holidays.end() ? HolidayInfo{} : it->second;
    });
    Bitmap badged;
    cal.Paint(badged);

    std::vector<TCalRect> cells;
    for (int i = 0; i < 42; ++i) {
        const TCellContent c = cal.CellContent(i);
        const TCalRect cell = cal.CellRect(i);
        const bool listed = holidays.count(c.date) != 0;
        EXPECT_EQ(c.holiday != HolidayKind::None, listed) << i;
        EXPECT_EQ(!c.badge.Empty(), listed) << i;
        if (!listed) {
            EXPECT_EQ(c.day, before[c.date].day) << i;
            continue;
        }
        cells.push_back(cell);
        // Top-right within the selection outline, clear of the day number
        // and the lunar text, the number still in its cell.
        EXPECT_EQ(c.badge.Right(), cell.Right() - 3) << i;
        EXPECT_EQ(c.badge.top, cell.top + 2) << i;
        EXPECT_GE(c.day.left, cell.left + 3) << i;
        EXPECT_GE(c.badge.height, 8) << i;
        EXPECT_FALSE(c.badge.Intersects(c.day)) << i;
        EXPECT_FALSE(c.badge.Intersects(c.lunar)) << i;
        EXPECT_EQ(c.lunar, before[c.date].lunar) << i;

        // A number that stepped left for the badge is whole: every pixel of
        // its ink moved with it.
        const TCalRect was = before[c.date].day;
        const int dx = c.day.left - was.left;
        EXPECT_LE(dx, 0) << i;
        int ink = 0;
        for (int y = was.top; y < was.Bottom(); ++y) {
            for (int x = was.left; x < was.Right(); ++x) {
                if (plain.At(x, y) != c.dayColor)
                    continue;
                ++ink;
                ASSERT_EQ(badged.At(x + dx, y), c.dayColor) << i << ": " << x << "," << y;
            }
        }
        EXPECT_GT(ink, 20) << i;
    }
    // Nothing changed outside the holidays' cells.
    for (int y = 0; y < plain.Height(); ++y) {
        for (int x = 0; x < plain.Width(); ++x) {
            if (plain.At(x, y) == badged.At(x, y))
                continue;
            ASSERT_TRUE(std::any_of(cells.begin(), cells.end(),
                                    [&](const TCalRect& r) { return r.Contains(x, y); }))
                << x << "," << y;
        }
    }
    const auto badgeOf = [&](TDateTime d) { return cal.CellContent(IndexOf(cal, d)).badge; };
    // Red for the day off, and in its cell only there; grey for the working day.
    const TCalRect offCell = cal.CellRect(IndexOf(cal, EncodeDate(2026, 2, 16)));
    EXPECT_GT(CountColor(badged, badgeOf(EncodeDate(2026, 2, 16)), TLunarCal::kDayOffColor), 0);
    EXPECT_EQ(CountColor(badged, badgeOf(EncodeDate(2026, 2, 16)), TLunarCal::kDayOffColor),
              CountColor(badged, offCell, TLunarCal::kDayOffColor));
    EXPECT_GT(CountColor(badged, badgeOf(EncodeDate(2026, 2, 14)), TLunarCal::kWorkDayColor), 0);
    // Another month's day steps back towards the background.
    EXPECT_EQ(CountColor(badged, badgeOf(EncodeDate(2026, 3, 1)), TLunarCal::kDayOffColor), 0);
    EXPECT_GT(CountColor(badged, badgeOf(EncodeDate(2026, 3, 1)), 0x7F7FFF), 0);

    // The hint says it.
    EXPECT_EQ(
        cal.HintTextOf(EncodeDate(2026, 2, 16)),
        CalendarHintText(EncodeDate(2026, 2, 16), cal.FtvList(), false) + "\n假日= 春节 (休)");
    EXPECT_EQ(
        cal.HintTextOf(EncodeDate(2026, 2, 14)),
        CalendarHintText(EncodeDate(2026, 2, 14), cal.FtvList(), false) + "\n假日= 春节 (班)");
    EXPECT_EQ(cal.HintTextOf(EncodeDate(2026, 2, 13)),
              CalendarHintText(EncodeDate(2026, 2, 13), cal.FtvList(), false));
}

TEST_F(LunarCalGrid, CrowdedBadgeMovesDownOrStaysAway) {
    // Today is a day off: 今天 fills the top of the cell.
    clock_.Set(ChinaMillis(2026, 2, 16));
    TLunarCal cal(glyphs_);
    WindowSettings(cal);
    cal.SetHolidayLookup([](TDateTime) { return HolidayInfo{"春节", HolidayKind::DayOff}; });
    for (const bool smooth : {false, true}) {
        cal.SetSmoothText(smooth);
        for (int i = 0; i < 42; ++i) {
            const TCellContent c = cal.CellContent(i);
            EXPECT_FALSE(c.badge.Empty()) << i;
            EXPECT_FALSE(c.badge.Intersects(c.day)) << i;
            EXPECT_FALSE(c.badge.Intersects(c.lunar)) << i;
            EXPECT_FALSE(c.day.Intersects(c.lunar)) << i;
            const TCalRect cell = cal.CellRect(i);
            EXPECT_GE(c.lunar.left, cell.left + 3) << i;
        }
        const TCellContent today = cal.CellContent(IndexOf(cal, EncodeDate(2026, 2, 16)));
        ASSERT_EQ(today.dayText, "今天");
        const TCalRect cell = cal.CellRect(IndexOf(cal, EncodeDate(2026, 2, 16)));
        EXPECT_EQ(today.badge.Bottom(), cell.Bottom() - 3);
    }
}

TEST_F(LunarCalGrid, MarksFillTheCellOrShowThePicture) {
    TLunarCal cal(glyphs_);
    WindowSettings(cal);
    cal.SetMarkImage(nullptr);  // the colour first
    cal.SetShowBackMonth(false);
    cal.FtvList().AddMark(TFestivalList::ftSolar, "0205", 0x0100FFFF);  // stray high bits
    const TCalRect cell = cal.CellRect(IndexOf(cal, EncodeDate(2026, 2, 5)));
    Bitmap pic;
    cal.Paint(pic);
    EXPECT_EQ(pic.At(cell.left + 1, cell.top + 1), 0x00FFFFu);
    EXPECT_EQ(pic.At(cell.Right() - 1, cell.Bottom() - 1), 0x00FFFFu);

    // A picture instead: at (left + 3, bottom - 14), magenta see-through.
    auto mark = std::make_shared<Bitmap>();
    mark->Create(4, 4, 0x123456);
    mark->SetPixel(0, 0, Bitmap::kKeyColor);
    cal.SetMarkImage(mark);
    cal.Paint(pic);
    EXPECT_EQ(pic.At(cell.left + 1, cell.top + 1), 0xFFFFFFu);
    EXPECT_EQ(pic.At(cell.left + 3, cell.Bottom() - 14), 0xFFFFFFu);
    EXPECT_EQ(pic.At(cell.left + 4, cell.Bottom() - 14), 0x123456u);
    EXPECT_EQ(pic.At(cell.left + 6, cell.Bottom() - 11), 0x123456u);
}

TEST_F(LunarCalGrid, DayAreaBackground) {
    TLunarCal cal(glyphs_);
    WindowSettings(cal);
    cal.SetShowBackMonth(false);
    const TCalRect area = cal.Layout().dayArea;
    const int x = area.left + 2, y = area.Bottom() - 2;  // below the six rows
    Bitmap pic;
    const auto image = [](uint32_t color) {
        auto b = std::make_shared<Bitmap>();
        b->Create(2, 2, color);
        return b;
    };
    cal.SetBackImage(image(0x112233));
    cal.Paint(pic);
    EXPECT_EQ(pic.At(x, y), 0xFFFFFFu);  // not shown yet
    cal.SetShowBackImage(true);
    cal.Paint(pic);
    EXPECT_EQ(pic.At(x, y), 0x112233u);
    cal.SetBackImage(image(0x445566));
    cal.Paint(pic);
    EXPECT_EQ(pic.At(x, y), 0x445566u);
    cal.SetShowBackImage(false);
    cal.CalColors().SetDayBackColor(0x778899);
    cal.Paint(pic);
    EXPECT_EQ(pic.At(x, y), 0x778899u);

    // The month number, in its own colour, in the middle of the day area.
    cal.SetShowBackMonth(true);
    TFontSpec back = cal.CalColors().BackMonthTextFont();
    back.Color = 0x00AA00;
    cal.CalColors().SetBackMonthTextFont(back);
    cal.Paint(pic);
    EXPECT_GT(CountColor(pic, area, 0x00AA00), 0);
    cal.SetShowBackMonth(false);
    cal.Paint(pic);
    EXPECT_EQ(CountColor(pic, area, 0x00AA00), 0);
}

TEST_F(LunarCalGrid, BorderGridAndWeekLine) {
    TLunarCal cal(glyphs_);
    WindowSettings(cal);
    const int W = cal.Layout().cellWidth, H = cal.Layout().cellHeight;
    Bitmap pic;
    cal.Paint(pic);
    // Without the grid, a line under the weekday names in their colour.
    EXPECT_EQ(pic.At(2, H - 2), cal.ResolveColor(clActiveCaption));
    EXPECT_EQ(pic.At(1, H - 2), 0xFFFFFFu);
    EXPECT_EQ(pic.At(W, H + 5), 0xFFFFFFu);

    cal.SetShowGrid(true);
    cal.SetShowBorder(true);
    cal.Paint(pic);
    EXPECT_EQ(pic.At(2, H - 2), 0xFFFFFFu);
    EXPECT_EQ(pic.At(W, 3), 0xC0C0C0u);
    EXPECT_EQ(pic.At(6 * W, H + 5), 0xC0C0C0u);
    EXPECT_EQ(pic.At(W + 3, H + 2 * H), 0xC0C0C0u);
    EXPECT_EQ(pic.At(0, 100), 0x808080u);
    EXPECT_EQ(pic.At(cal.Width() - 1, cal.Height() - 1), 0x808080u);
}

TEST_F(LunarCalGrid, MouseAndKeys) {
    TLunarCal cal(glyphs_);
    WindowSettings(cal);
    int changes = 0, clicks = 0;
    cal.OnChange = [&] { ++changes; };
    cal.OnClick = [&] { ++clicks; };
    // Presses (or drags to) the middle of a day's cell.
    const auto press = [&](TDateTime d, bool drag) {
        const TCalRect r = cal.CellRect(IndexOf(cal, d));
        if (drag)
            cal.MouseDrag(r.left + r.width / 2, r.top + r.height / 2);
        else
            cal.MouseDown(r.left + r.width / 2, r.top + r.height / 2);
    };

    press(EncodeDate(2026, 2, 20), false);
    EXPECT_EQ(cal.Date(), EncodeDate(2026, 2, 20));
    press(EncodeDate(2026, 2, 21), true);
    EXPECT_EQ(cal.Date(), EncodeDate(2026, 2, 21));
    press(EncodeDate(2026, 2, 21), false);  // the same day: no change
    EXPECT_EQ(changes, 2);
    // A trailing day selects it and turns the month.
    press(EncodeDate(2026, 3, 2), false);
    EXPECT_EQ(cal.Date(), EncodeDate(2026, 3, 2));
    // Below the six rows nothing happens.
    cal.MouseDown(5, 7 * cal.Layout().cellHeight + 1);
    EXPECT_EQ(cal.Date(), EncodeDate(2026, 3, 2));

    struct Step {
        int key;
        TDateTime after;
    };
    cal.SetDate(EncodeDate(2024, 3, 31));
    const Step steps[] = {
        {ckPageUp, EncodeDate(2024, 2, 29)}, {ckPageDown, EncodeDate(2024, 3, 29)},
        {ckHome, EncodeDate(2024, 3, 1)},    {ckEnd, EncodeDate(2024, 3, 31)},
        {ckRight, EncodeDate(2024, 4, 1)},   {ckLeft, EncodeDate(2024, 3, 31)},
        {ckUp, EncodeDate(2024, 3, 24)},     {ckDown, EncodeDate(2024, 3, 31)},
    };
    for (const Step& s : steps) {
        EXPECT_TRUE(cal.KeyDown(s.key, false));
        EXPECT_EQ(cal.Date(), s.after) << s.key;
    }
    EXPECT_FALSE(cal.KeyDown(ckRight, true));
    EXPECT_FALSE(cal.KeyDown('A', false));
    EXPECT_EQ(cal.Date(), EncodeDate(2024, 3, 31));
    EXPECT_TRUE(cal.KeyDown(ckEnter, false));
    EXPECT_EQ(clicks, 1);
    // The range ends hold.
    cal.SetDate(EncodeDate(2100, 12, 31));
    cal.KeyDown(ckPageDown, false);
    cal.KeyDown(ckRight, false);
    EXPECT_EQ(cal.Date(), EncodeDate(2100, 12, 31));
}

TEST_F(LunarCalGrid, ArrowsAndSelectCellAt) {
    TLunarCal cal(glyphs_);
    cal.SetDate(EncodeDate(2024, 2, 29));
    const TLunarCal::TLayout& L = cal.Layout();
    ASSERT_FALSE(L.prevYear.Empty());
    // The arrows straddle the top edge; their lower half is in the week row.
    const auto press = [&](const TCalRect& r) { cal.MouseDown(r.left, r.Bottom() - 1); };
    press(L.prevYear);
    EXPECT_EQ(cal.Date(), EncodeDate(2023, 2, 28));
    press(L.nextMonth);
    EXPECT_EQ(cal.Date(), EncodeDate(2023, 3, 28));
    press(L.nextYear);
    EXPECT_EQ(cal.Date(), EncodeDate(2024, 3, 28));
    press(L.prevMonth);
    EXPECT_EQ(cal.Date(), EncodeDate(2024, 2, 28));
    EXPECT_LT(L.prevYear.Right(), L.prevMonth.left);
    EXPECT_EQ(L.nextYear.Right(), cal.Width() - 5);
    cal.SetShowArrow(false);
    press(L.prevYear);
    EXPECT_EQ(cal.Date(), EncodeDate(2024, 2, 28));

    // SelectCellAt takes days of the displayed month only.
    const TCalRect trailing = cal.CellRect(0);  // 28 January
    EXPECT_FALSE(cal.SelectCellAt(trailing.left + 1, trailing.top + 1));
    const TCalRect tenth = cal.CellRect(IndexOf(cal, EncodeDate(2024, 2, 10)));
    EXPECT_TRUE(cal.SelectCellAt(tenth.left + 1, tenth.top + 1));
    EXPECT_EQ(cal.Date(), EncodeDate(2024, 2, 10));
    EXPECT_FALSE(cal.SelectCellAt(3, 3));  // the week row
}

TEST_F(LunarCalGrid, HoverHintFollowsTheCells) {
    TLunarCal cal(glyphs_);
    const TCalRect a = cal.CellRect(IndexOf(cal, EncodeDate(2026, 2, 16)));
    const TCalRect b = cal.CellRect(IndexOf(cal, EncodeDate(2026, 2, 17)));
    using R = TCalHintRequest;
    EXPECT_EQ(cal.HintAt(a.left + 2, a.top + 3), (R{R::ShowMoved, a.left + 18, a.top + 19}));
    EXPECT_EQ(cal.Hint().Text(), cal.HintTextOf(EncodeDate(2026, 2, 16)));
    EXPECT_EQ(cal.HintAt(a.left + 9, a.top + 9), (R{R::Show, 0, 0}));
    EXPECT_EQ(cal.HintAt(b.left, b.top), (R{R::ShowMoved, b.left + 16, b.top + 16}));
    EXPECT_EQ(cal.Hint().Text(), cal.HintTextOf(EncodeDate(2026, 2, 17)));

    // Over an arrow: its name at the pointer; back over the day, the day again.
    const TCalRect arrow = cal.Layout().nextYear;
    EXPECT_EQ(cal.HintAt(arrow.left, arrow.Bottom() - 1),
              (R{R::ShowMoved, arrow.left, arrow.Bottom() - 1}));
    EXPECT_EQ(cal.Hint().Text(), "下一年");
    EXPECT_EQ(cal.HintAt(b.left, b.top).action, R::ShowMoved);
    EXPECT_EQ(cal.Hint().Text(), cal.HintTextOf(EncodeDate(2026, 2, 17)));

    // Elsewhere, or with hints off: hidden.
    EXPECT_EQ(cal.HintAt(cal.Width() / 2, 3).action, R::Hide);
    cal.SetShowHint(false);
    EXPECT_EQ(cal.HintAt(a.left + 2, a.top + 3).action, R::Hide);
}

TEST(CalendarHint, LabelsAndValues) {
    TBlockGlyphs glyphs;
    TCalendarHint hint(glyphs);  // 12-pixel block glyphs: 6 per ASCII character
    hint.SetText("公元= 2026年\r\n\r\n农历= 腊月\n没有等号\n");
    using L = TCalendarHint::TLine;
    EXPECT_EQ(hint.Lines(), (std::vector<L>{{"公元= 2026年", "公元:", " 2026年"},
                                            {"农历= 腊月", "农历:", " 腊月"},
                                            {"没有等号", "", "没有等号"}}));
    EXPECT_EQ(hint.LabelWidth(), 30);
    EXPECT_EQ(hint.Width(), 24 + 36 + 12 + 10);
    EXPECT_EQ(hint.Height(), 3 * 12 + 10);

    Bitmap pic;
    hint.Paint(pic, 0xE1FFFF);
    ASSERT_EQ(pic.Width(), hint.Width());
    // Labels red from x 5, values black from 5 + the widest label.
    EXPECT_GT(CountColor(pic, {5, 5, 30, 12}, 0x0000FF), 0);
    EXPECT_EQ(CountColor(pic, {5, 5, 30, 12}, 0x000000), 0);
    EXPECT_GT(CountColor(pic, {35, 5, 40, 12}, 0x000000), 0);
    EXPECT_EQ(CountColor(pic, {5, 29, 30, 12}, 0x0000FF), 0);  // the line without a label
    EXPECT_EQ(pic.At(0, 0), 0xE1FFFFu);

    // No "=" anywhere: no labels at all.
    hint.SetText("上一年");
    EXPECT_EQ(hint.Lines(), (std::vector<L>{{"上一年", "", "上一年"}}));
    EXPECT_EQ(hint.LabelWidth(), 0);
    hint.SetText("");
    EXPECT_EQ(hint.Width(), 0);
    EXPECT_EQ(hint.Height(), 0);

    hint.SetAlpha(200);
    hint.SetAlpha(256);
    hint.SetAlpha(-1);
    EXPECT_EQ(hint.Alpha(), 200);
}

TEST_F(LunarCalGrid, SettersActOnlyOnChange) {
    TLunarCal cal(glyphs_);
    int repaints = 0;
    cal.OnInvalidate = [&](const TCalRect& r) {
        EXPECT_EQ(r, (TCalRect{0, 0, cal.Width(), cal.Height()}));
        ++repaints;
    };
    cal.SetShowBackMonth(true);
    cal.SetLunarCalStyle(csRight);
    cal.SetVerticalScale(4.0);
    cal.CalColors().SetSundayColor(0x0000FF);
    cal.CalColors().SetDayTextFont(cal.CalColors().DayTextFont());
    EXPECT_EQ(repaints, 0);
    cal.SetShowBackMonth(false);
    cal.CalColors().SetSundayColor(0x00FF00);
    EXPECT_EQ(repaints, 2);

    // A font set through the colours becomes the measuring font's pattern.
    TFontSpec day = cal.CalColors().DayTextFont();
    day.Name = "Arial";
    cal.CalColors().SetDayTextFont(day);
    EXPECT_EQ(cal.Font(), day);
    // Unknown style values are refused.
    cal.SetFtvCalStyle(static_cast<TLunarCalStyle>(7));
    EXPECT_EQ(cal.FtvCalStyle(), csBottom);
}

}  // namespace
