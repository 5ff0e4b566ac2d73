// Layouts written at 100 % and shown at another display scale: the scale's
// own rounding, and the dialog frame, the bar's date line and the calendar
// grid at 100, 125, 150, 175 and 200 %, whose parts stay inside their
// panels and whose texts stay inside their cells.
#include "core/Scale.h"

#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "calendar/LunarCal.Grid.h"
#include "calendar/UnitCalendar.h"
#include "core/ClockSource.h"
#include "core/DateTime.h"
#include "display/MyWindow.h"
#include "display/SmoothCtrls.h"
#include "display/SmoothFont.h"

using namespace tempora;

namespace {

// The scales the program meets most: 100 % to 200 % in steps of a quarter.
constexpr int kPercents[] = {100, 125, 150, 175, 200};

TScale AtPercent(int percent) {
    return TScale{TScale::kBaseDpi * percent / 100};
}

}  // namespace

TEST(DisplayScale, PixelsPercentsAndFontHeightsRound) {
    struct Case {
        int dpi, px100, px, percent, height9pt;
    };
    const Case cases[] = {
        {96, 15, 15, 100, -12},    {120, 15, 19, 125, -15},  // 18.75
        {144, 15, 23, 150, -18},                             // 22.5: halves away from zero
        {144, -15, -23, 150, -18},                           // and mirrored below zero
        {168, 15, 26, 175, -21},   {192, 15, 30, 200, -24},
        {106, 100, 110, 110, -13},  // a scale of no list scales continuously
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dpi);
        const TScale s{c.dpi};
        EXPECT_EQ(s.Px(c.px100), c.px);
        EXPECT_EQ(s.Percent(), c.percent);
        EXPECT_EQ(s.FontHeight(9), c.height9pt);
    }
    // What the system cannot mean reads as 100 %.
    EXPECT_EQ(ScaleOfDpi(0), TScale{});
    EXPECT_EQ(ScaleOfDpi(5000), TScale{});
}

TEST(DisplayScale, TheUsersScaleMultipliesTheMonitors) {
    struct Case {
        int monitorDpi, percent, dpi;
    };
    const Case cases[] = {
        {144, 0, 144},  // 0 follows the monitor
        {96, 150, 144},  {144, 200, 288},
        {120, 125, 150}, {480, 400, 960},  // kept within what a scale can be
        {96, 10, 48},    {96, -50, 96},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(UserScale(TScale{c.monitorDpi}, c.percent).dpi, c.dpi)
            << c.monitorDpi << " dpi at " << c.percent << " %";
    }
}

TEST(DisplayScale, DialogFrameTakesItsPartsAtTheScale) {
    const TMyWindow plain = TMyWindow::Plain();
    const uint32_t captionLine = plain.FrameTemplate().At(50, TMyWindow::kCaptionHeight - 1);
    const uint32_t body = plain.FrameTemplate().At(50, 40);
    TBlockGlyphs glyphs;
    for (const int percent : kPercents) {
        SCOPED_TRACE(percent);
        const TScale s = AtPercent(percent);
        const TMyWindow frame = plain.AtScale(s);
        const int w = s.Px(472), h = s.Px(353), caption = s.Px(TMyWindow::kCaptionHeight);
        EXPECT_EQ(frame.CaptionHeight(), caption);
        Bitmap f = frame.ComposeFrame(w, h);
        ASSERT_EQ(f.Width(), w);
        // The caption strip ends in its line, one pixel in from the window's
        // top, and the body lies below it.
        EXPECT_EQ(f.At(w / 2, caption), captionLine);
        EXPECT_EQ(f.At(w / 2, caption + s.Px(2)), body);
        EXPECT_EQ(f.At(w / 2, h / 2), body);
        EXPECT_TRUE(InDragStrip(w / 2, caption - 1, w, s));
        EXPECT_FALSE(InDragStrip(w / 2, caption + 1, w, s));

        // The close button in the caption strip, clear of the right rim.
        const TSkinRect close = frame.ClosePlace(w);
        EXPECT_EQ(close.width, s.Px(43));
        EXPECT_GE(close.top, 0);
        EXPECT_LE(close.top + close.height, caption);
        EXPECT_EQ(close.left + close.width, w - s.Px(TMyWindow::kCloseRight));

        // The title in its font at this scale fits the strip.
        const TFontSpec font = TitleFont(s.dpi);
        const int textHeight = glyphs.Measure(font, 1, "系统设置").Height;
        EXPECT_EQ(textHeight, -s.FontHeight(TMyWindow::kTitlePoints));
        EXPECT_GE(TitleTop(textHeight, s), 1);
        EXPECT_LE(TitleTop(textHeight, s) + textHeight, caption);
    }
}

TEST(DisplayScale, BarDateLineFontFollowsTheScaleAndTheDateFits) {
    TBlockGlyphs glyphs;
    const std::string longest = FormatChineseDate(EncodeDate(2026, 12, 30));  // 星期三
    for (const int percent : kPercents) {
        SCOPED_TRACE(percent);
        const TScale s = AtPercent(percent);
        TFadeText fade(glyphs);
        ConfigureBarDateLine(fade);
        SetBarDateLineScale(fade, s);
        for (const char* name : {"FontCN", "FontAD"}) {
            const TFontLabel& item = fade.Fonts()[fade.Fonts().IndexOf(name)];
            EXPECT_EQ(item.Font.Height, s.FontHeight(9)) << name;
        }
        const TFontLabel& cn = fade.Fonts()[fade.Fonts().IndexOf("FontCN")];
        EXPECT_EQ(cn.Effect.Shadow.OffsetX, s.Px(1));
        // The date line is 154 x 20 at 100 %.
        const TSize size = glyphs.Measure(cn.Font, 1, longest);
        EXPECT_LE(size.Width + cn.Effect.Shadow.OffsetX, s.Px(154));
        EXPECT_LE(size.Height + cn.Effect.Shadow.OffsetY, s.Px(20));
    }
}

class DisplayScaleGrid : public ::testing::Test {
protected:
    void SetUp() override { ClockSource::Install(&clock_); }
    void TearDown() override { ClockSource::Install(nullptr); }

    // 28 February 2026, noon in China (UTC+8, FakeClock's default).
    FakeClock clock_{std::llround(ToUnixSeconds(EncodeDateTime(2026, 2, 28, 4, 0, 0)) * 1000.0)};
    TBlockGlyphs glyphs_;
};

TEST_F(DisplayScaleGrid, CalendarGridFillsItsPlaceAndItsTextsFitTheirCells) {
    for (const int percent : kPercents) {
        SCOPED_TRACE(percent);
        const TScale s = AtPercent(percent);
        TLunarCal cal(glyphs_, s.dpi);
        SetUpCalendarGrid(cal);
        EXPECT_EQ(cal.Width(), s.Px(kCalendarGridWidth));
        EXPECT_EQ(cal.Height(), s.Px(kCalendarGridHeight));
        const TLunarCal::TLayout& L = cal.Layout();
        const TCalRect cell{0, 0, L.cellWidth, L.cellHeight};
        // Seven columns and seven rows (the week row and six weeks) in the grid.
        EXPECT_LE(7 * L.cellWidth, cal.Width());
        EXPECT_GT(8 * L.cellWidth, cal.Width());
        EXPECT_LE(L.dayArea.top + 6 * L.cellHeight, cal.Height());
        for (const TCalRect& part : {L.dayNumber, L.lunar}) {
            EXPECT_FALSE(part.Empty());
            EXPECT_TRUE(part.left >= 0 && part.top >= 0 && part.Right() <= cell.Right() &&
                        part.Bottom() <= cell.Bottom())
                << part.left << "," << part.top << " " << part.width << "x" << part.height;
        }
        // Fonts keep their points: they grow with the scale and still fit.
        const TLunarCalColors& c = cal.CalColors();
        EXPECT_EQ(c.DayTextFont().Height, FontHeightOfSize(16, s.dpi));
        EXPECT_EQ(c.LunarTextFont().Height, FontHeightOfSize(8, s.dpi));
        const TSize day = glyphs_.Measure(c.DayTextFont(), 1, "28");
        EXPECT_LE(day.Width, L.dayNumber.width);
        EXPECT_LE(day.Height, L.dayNumber.height);
        const TSize lunar = glyphs_.Measure(c.LunarTextFont(), 1, "廿九");
        EXPECT_LE(lunar.Width, L.lunar.width);
        EXPECT_LE(lunar.Height, L.lunar.height);
    }
}

TEST_F(DisplayScaleGrid, AGridTakingAnotherScaleKeepsItsPointSizes) {
    // A grid set up at 100 % that comes to 200 %, as when its window moves
    // to another monitor, and one made there, end alike.
    const TScale twice = AtPercent(200);
    TLunarCal moved(glyphs_);
    SetUpCalendarGrid(moved);
    moved.SetPixelsPerInch(twice.dpi);
    moved.SetSize(twice.Px(kCalendarGridWidth), twice.Px(kCalendarGridHeight));
    TLunarCal made(glyphs_, twice.dpi);
    SetUpCalendarGrid(made);
    EXPECT_EQ(moved.Layout().cellWidth, made.Layout().cellWidth);
    EXPECT_EQ(moved.Layout().cellHeight, made.Layout().cellHeight);
    EXPECT_EQ(moved.Layout().dayNumber, made.Layout().dayNumber);
    EXPECT_EQ(moved.Layout().lunar, made.Layout().lunar);
    const TLunarCalColors &a = moved.CalColors(), &b = made.CalColors();
    EXPECT_EQ(a.TitleTextFont().Height, b.TitleTextFont().Height);
    EXPECT_EQ(a.WeekTextFont().Height, b.WeekTextFont().Height);
    EXPECT_EQ(a.DayTextFont().Height, b.DayTextFont().Height);
    EXPECT_EQ(a.LunarTextFont().Height, b.LunarTextFont().Height);
    // The autosized fonts come out at about the same points at any scale.
    TLunarCal small(glyphs_), large(glyphs_, twice.dpi);
    large.SetSize(twice.Px(small.Width()), twice.Px(small.Height()));
    EXPECT_NEAR(FontSizeOfHeight(large.CalColors().DayTextFont().Height, twice.dpi),
                FontSizeOfHeight(small.CalColors().DayTextFont().Height, 96), 1);
    // The month arrows keep their inset from the title's ends.
    EXPECT_EQ(large.Layout().nextYear.Right(), large.Width() - twice.Px(5));
}
