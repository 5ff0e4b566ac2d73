#include "display/myLEDFont.h"

#include <climits>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

using namespace tempora;
using Rect = TLEDFontNum::Rect;
using Art = std::vector<std::string>;

namespace {

constexpr uint32_t kBack = 0x000000;
constexpr uint32_t kLit = 0xFF00FF;
constexpr uint32_t kDark = 3618615;

// The bar's time digits: 15 x 19 cells, stroke 3, 3 apart, 6 and 2 from the
// edge.
void ApplyBarValues(TLEDFontNum& led) {
    led.SetOffSetX(6);
    led.SetOffSetY(2);
    led.SetWordWidth(15);
    led.SetWordHeight(19);
    led.SetThick(3);
    led.SetSpace(3);
    led.SetBGColor(kBack);
    led.SetLightColor(kLit);
    led.SetDarkColor(kDark);
}

// What each of the first `cells` cells of a bar-sized rendering shows, one
// character per polygon in polygon order (top, upper right, lower right,
// bottom, lower left, upper left, middle, point, upper and lower colon dot):
// 'L' lit, 'd' dark, '.' background. One pixel inside each polygon is read.
std::vector<std::string> ReadCells(const Bitmap& pic, int cells) {
    static const Bitmap::Point probes[TLEDFontNum::kPolygonCount] = {
        {7, 1}, {10, 5}, {10, 13}, {7, 17}, {1, 13}, {1, 5}, {6, 9}, {14, 18}, {14, 5}, {14, 13}};
    std::vector<std::string> out;
    for (int i = 0; i < cells; ++i) {
        std::string cell;
        for (const Bitmap::Point& p : probes) {
            const uint32_t c = pic.GetPixel(6 + 18 * i + p.x, 2 + p.y);
            cell += c == kLit ? 'L' : c == kDark ? 'd' : c == kBack ? '.' : '?';
        }
        out.push_back(cell);
    }
    return out;
}

bool AllBackground(const Bitmap& pic) {
    for (int y = 0; y < pic.Height(); ++y) {
        for (int x = 0; x < pic.Width(); ++x) {
            if (pic.At(x, y) != kBack)
                return false;
        }
    }
    return true;
}

Art ToArt(const Bitmap& pic) {
    Art rows;
    for (int y = 0; y < pic.Height(); ++y) {
        std::string row;
        for (int x = 0; x < pic.Width(); ++x) {
            const uint32_t c = pic.At(x, y);
            row += c == kLit ? '#' : c == kDark ? 'd' : c == kBack ? '.' : '?';
        }
        rows.push_back(row);
    }
    return rows;
}

// Counts the control's notifications.
struct Recorder {
    std::vector<Rect> invalidated;
    int rendered = 0;
    explicit Recorder(TLEDFontNum& led) {
        led.OnInvalidate = [this](Rect r) { invalidated.push_back(r); };
        led.OnRendered = [this] { ++rendered; };
    }
};

}  // namespace

TEST(LEDFontNum, CellGeometryOfTheBarsDigits) {
    using P = Bitmap::Point;
    const TLEDFontNum::CellPolygons expected = {{
        {P{8, 2}, {10, 4}, {13, 4}, {15, 2}, {15, 2}, {15, 2}},
        {P{17, 3}, {15, 5}, {15, 8}, {17, 10}, {17, 10}, {17, 10}},
        {P{17, 12}, {15, 14}, {15, 17}, {17, 19}, {17, 19}, {17, 19}},
        {P{15, 20}, {13, 18}, {10, 18}, {8, 20}, {8, 20}, {8, 20}},
        {P{6, 19}, {8, 17}, {8, 14}, {6, 12}, {6, 12}, {6, 12}},
        {P{6, 10}, {8, 8}, {8, 5}, {6, 3}, {6, 3}, {6, 3}},
        {P{9, 10}, {8, 11}, {9, 12}, {14, 12}, {15, 11}, {14, 10}},
        {P{19, 18}, {19, 21}, {22, 21}, {22, 18}, {19, 18}, {19, 18}},
        {P{19, 6}, {22, 6}, {22, 9}, {19, 9}, {19, 9}, {19, 9}},
        {P{19, 14}, {22, 14}, {22, 17}, {19, 17}, {19, 17}, {19, 17}},
    }};
    const TLEDFontNum::CellPolygons got = TLEDFontNum::CellGeometry(6, 2, 15, 19, 3);
    for (int i = 0; i < TLEDFontNum::kPolygonCount; ++i) {
        for (int v = 0; v < TLEDFontNum::kVertexCount; ++v) {
            EXPECT_EQ(got[i][v].x, expected[i][v].x) << "polygon " << i << " vertex " << v;
            EXPECT_EQ(got[i][v].y, expected[i][v].y) << "polygon " << i << " vertex " << v;
        }
    }

    // A one-pixel stroke flattens the middle bar into a line on the middle row.
    const auto thin = TLEDFontNum::CellGeometry(10, 20, 9, 7, 1)[TLEDFontNum::kMiddleBar];
    for (int v = 0; v < TLEDFontNum::kVertexCount; ++v) {
        EXPECT_EQ(thin[v].x, v < 3 ? 12 : 15) << v;
        EXPECT_EQ(thin[v].y, 23) << v;
    }

    // The second cell of the bar starts at x = 24: its top bar begins at 26.
    TLEDFontNum led;
    ApplyBarValues(led);
    led.SetText("88");
    std::vector<Bitmap::Point> firsts;
    led.DrawPolygons([&](std::span<const Bitmap::Point> points, uint32_t color) {
        EXPECT_EQ(color, kLit);
        firsts.push_back(points[0]);
    });
    ASSERT_EQ(firsts.size(), 14u);
    EXPECT_EQ(firsts[7].x, 26);
    EXPECT_EQ(firsts[7].y, 2);
}

TEST(LEDFontNum, BarTimeFitsSixCellsWithColonsAfterTheSecondAndFourthDigit) {
    TLEDFontNum led;
    ASSERT_EQ(led.Width(), TLEDFontNum::kInitialWidth);
    ASSERT_EQ(led.Height(), TLEDFontNum::kInitialHeight);
    led.SetBounds(54, 5, led.Width(), led.Height());
    ApplyBarValues(led);
    led.SetText("00:00:00");
    EXPECT_EQ(led.Bounds(), (Rect{54, 5, 117, 23}));

    // The parent repaints both the old and the new area, and its paint
    // renders at the new size.
    Recorder rec(led);
    led.SetText("00:00:00");
    led.Paint();
    EXPECT_TRUE(rec.invalidated.empty());
    Bitmap bar;
    ASSERT_TRUE(bar.Create(332, 34, 0x123456));
    led.PaintTo(bar);
    ASSERT_EQ(led.Picture().Width(), 117);
    ASSERT_EQ(led.Picture().Height(), 23);
    const std::string zero = "LLLLLL....", zeroColon = "LLLLLL..LL";
    EXPECT_EQ(ReadCells(led.Picture(), 6),
              (std::vector<std::string>{zero, zeroColon, zero, zeroColon, zero, zero}));
    EXPECT_EQ(bar.At(53, 5), 0x123456u);
    EXPECT_EQ(bar.At(54, 5), kBack);
    EXPECT_EQ(bar.At(54 + 116, 5 + 22), kBack);
    EXPECT_EQ(bar.At(54 + 117, 5), 0x123456u);
    // The colon of the second digit: columns 37 to 40, rows 6 to 9 and 14 to 17.
    EXPECT_EQ(bar.At(54 + 37, 5 + 6), kLit);
    EXPECT_EQ(bar.At(54 + 40, 5 + 17), kLit);
    EXPECT_EQ(bar.At(54 + 41, 5 + 17), kBack);
}

TEST(LEDFontNum, MarkSpaceWidensTheGapAfterAMarkAndCentresTheMarkInIt) {
    const auto draw = [](int markSpace, std::vector<Bitmap::Point>& firsts) {
        TLEDFontNum led;
        ApplyBarValues(led);
        led.SetMarkSpace(markSpace);
        led.SetText("8:8");
        led.DrawPolygons(
            [&](std::span<const Bitmap::Point> points, uint32_t) { firsts.push_back(points[0]); });
        return led.Width();
    };
    std::vector<Bitmap::Point> plain, spaced;
    EXPECT_EQ(draw(0, plain), 2 * 15 + 3 + 2 * 6);
    EXPECT_EQ(draw(4, spaced), 2 * 15 + 3 + 4 + 2 * 6);
    // Seven segments, the colon's two dots, seven segments.
    ASSERT_EQ(plain.size(), 16u);
    ASSERT_EQ(spaced.size(), 16u);
    for (size_t i = 0; i < plain.size(); ++i) {
        const int moved = i < 7 ? 0 : i < 9 ? 2 : 4;
        EXPECT_EQ(spaced[i].x, plain[i].x + moved) << i;
        EXPECT_EQ(spaced[i].y, plain[i].y) << i;
    }
}

TEST(LEDFontNum, MarksBelongToTheCharacterBeforeThem) {
    const std::string blank = "..........";
    struct Case {
        const char* text;
        std::vector<std::string> cells;
    } cases[] = {
        {"1.2.3", {".LL....L..", "LL.LL.LL..", "LLLL..L..."}},
        {".5", {"L.LL.LL..."}},  // a leading mark belongs to nothing
        {"12:34.5", {".LL.......", "LL.LL.L.LL", "LLLL..L...", ".LL..LLL..", "L.LL.LL..."}},
        {"- 1", {"......L...", blank, ".LL......."}},
        {"8:.:", {"LLLLLLLLLL"}},
        {" :-.a.", {blank, "......L...", blank}},  // marks light only after digits
        {"\xE4\xB8\xAD"
         "1",
         {blank, ".LL......."}},  // one cell per UTF-8 character
        {"\xE4\xB8"
         "7",
         {blank, "LLL......."}},  // a cut sequence still takes one cell
        {":", {}},
        {"", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        TLEDFontNum led;
        ApplyBarValues(led);
        led.SetAutoSize(false);
        led.SetBounds(0, 0, 160, 23);
        led.SetText(c.text);
        led.Paint();
        if (c.cells.empty()) {
            EXPECT_TRUE(AllBackground(led.Picture()));
            continue;
        }
        std::vector<std::string> expected = c.cells;
        expected.push_back(blank);  // and nothing after the last cell
        EXPECT_EQ(ReadCells(led.Picture(), static_cast<int>(expected.size())), expected);
    }
}

TEST(LEDFontNum, UnlitSegmentsAndColorsThatEqualTheBackground) {
    struct Case {
        const char* text;
        bool drawDark;
        uint32_t dark, light;
        std::string cell;
    } cases[] = {
        {"1.", false, kDark, kLit, ".LL....L.."},
        {"1.", true, kDark, kLit, "dLLddddLdd"},  // marks are drawn unlit too
        {"1.", true, kBack, kLit, ".LL....L.."},
        {"1.", true, kDark, kBack, "dddddddddd"},
        {"1.", false, kDark, kBack, ".........."},
        {"x:", true, kDark, kLit, "dddddddddd"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + (c.drawDark ? " dark" : "") + " " +
                     std::to_string(c.dark) + " " + std::to_string(c.light));
        TLEDFontNum led;
        ApplyBarValues(led);
        led.SetDarkColor(c.dark);
        led.SetLightColor(c.light);
        led.SetDrawDarkColor(c.drawDark);
        led.SetText(c.text);
        led.Paint();
        EXPECT_EQ(ReadCells(led.Picture(), 1), std::vector<std::string>{c.cell});
    }
}

TEST(LEDFontNum, OneCellInPixels) {
    // The bar's cell at 1, 1 with its colon: trapezoid strokes one pixel
    // apart, the marks in the column at the cell's right edge.
    TLEDFontNum led;
    ApplyBarValues(led);
    led.SetAutoSize(false);
    led.SetBounds(0, 0, 19, 21);
    led.SetOffSetX(1);
    led.SetOffSetY(1);
    led.SetText("8:");
    led.Paint();
    // clang-format off
    const Art expected = {
        "...................",
        "...########........",
        ".#..######..#......",
        ".##..####..##......",
        ".###......###......",
        ".###......###.####.",
        ".###......###.####.",
        ".###......###.####.",
        ".##........##.####.",
        ".#..######..#......",
        "...########........",
        ".#..######..#......",
        ".##........##......",
        ".###......###.####.",
        ".###......###.####.",
        ".###......###.####.",
        ".###......###.####.",
        ".##..####..##......",
        ".#..######..#......",
        "...########........",
        "...................",
    };
    // clang-format on
    EXPECT_EQ(ToArt(led.Picture()), expected);
}

TEST(LEDFontNum, SettersKeepValidValuesAndActOnlyOnChange) {
    struct Case {
        const char* name;
        std::function<void(TLEDFontNum&)> set;
        std::function<int(const TLEDFontNum&)> get;
        int expected;
        bool invalidates;
    } cases[] = {
        {"WordHeight 20 is kept odd", [](auto& l) { l.SetWordHeight(20); },
         [](auto& l) { return l.WordHeight(); }, 21, true},
        {"WordHeight 12 = 4 * Thick", [](auto& l) { l.SetWordHeight(12); },
         [](auto& l) { return l.WordHeight(); }, 13, true},
        {"WordHeight 11 < 4 * Thick", [](auto& l) { l.SetWordHeight(11); },
         [](auto& l) { return l.WordHeight(); }, 19, false},
        {"WordHeight 18 stores 19 again", [](auto& l) { l.SetWordHeight(18); },
         [](auto& l) { return l.WordHeight(); }, 19, false},
        {"WordWidth 7 > 2 * Thick", [](auto& l) { l.SetWordWidth(7); },
         [](auto& l) { return l.WordWidth(); }, 7, true},
        {"WordWidth 6 = 2 * Thick", [](auto& l) { l.SetWordWidth(6); },
         [](auto& l) { return l.WordWidth(); }, 15, false},
        {"Thick 4", [](auto& l) { l.SetThick(4); }, [](auto& l) { return l.Thick(); }, 4, true},
        {"Thick 8: 16 >= WordWidth 15", [](auto& l) { l.SetThick(8); },
         [](auto& l) { return l.Thick(); }, 3, false},
        {"Thick 5: 19 >= WordHeight 19", [](auto& l) { l.SetThick(5); },
         [](auto& l) { return l.Thick(); }, 3, false},
        {"Thick unchanged", [](auto& l) { l.SetThick(3); }, [](auto& l) { return l.Thick(); }, 3,
         false},
        {"OffSetX takes any value", [](auto& l) { l.SetOffSetX(-5); },
         [](auto& l) { return l.OffSetX(); }, -5, true},
        {"OffSetY takes any value", [](auto& l) { l.SetOffSetY(INT_MIN); },
         [](auto& l) { return l.OffSetY(); }, INT_MIN, true},
        {"Space takes any value", [](auto& l) { l.SetSpace(0); }, [](auto& l) { return l.Space(); },
         0, true},
        {"BGColor", [](auto& l) { l.SetBGColor(0x4A424A); },
         [](auto& l) { return static_cast<int>(l.BGColor()); }, 0x4A424A, true},
        {"LightColor unchanged", [](auto& l) { l.SetLightColor(kLit); },
         [](auto& l) { return static_cast<int>(l.LightColor()); }, static_cast<int>(kLit), false},
        {"DarkColor", [](auto& l) { l.SetDarkColor(1); },
         [](auto& l) { return static_cast<int>(l.DarkColor()); }, 1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TLEDFontNum led;
        ApplyBarValues(led);
        led.SetText("00:00:00");
        led.Paint();
        const Bitmap before = led.Picture();
        Recorder rec(led);
        c.set(led);
        EXPECT_EQ(c.get(led), c.expected);
        EXPECT_EQ(rec.invalidated,
                  c.invalidates ? std::vector<Rect>{led.Bounds()} : std::vector<Rect>{});
        // These wait for the next paint.
        EXPECT_EQ(rec.rendered, 0);
        EXPECT_EQ(led.Picture(), before);
    }
}

TEST(LEDFontNum, TextAndDarkSegmentsRenderAtOnceWhileVisible) {
    TLEDFontNum led;
    ApplyBarValues(led);
    led.SetBounds(54, 5, 117, 23);
    led.SetText("00:00:00");
    Recorder rec(led);

    led.SetText("12:34:56");
    EXPECT_EQ(rec.rendered, 1);
    EXPECT_EQ(ReadCells(led.Picture(), 1)[0], ".LL.......");
    led.SetText("12:34:56");
    led.SetDrawDarkColor(true);
    EXPECT_EQ(rec.rendered, 2);
    EXPECT_EQ(ReadCells(led.Picture(), 1)[0], "dLLddddddd");
    EXPECT_TRUE(rec.invalidated.empty());

    // Hidden, it neither renders nor fits itself; shown again, it asks for a
    // paint.
    const Bitmap before = led.Picture();
    led.SetVisible(false);
    EXPECT_FALSE(led.HitTest(60, 10));
    led.SetText("1");
    led.Paint();
    EXPECT_EQ(rec.rendered, 2);
    EXPECT_EQ(led.Picture(), before);
    EXPECT_EQ(led.Width(), 117);
    led.SetVisible(true);
    EXPECT_TRUE(led.HitTest(54, 5));
    EXPECT_TRUE(led.HitTest(170, 27));
    EXPECT_FALSE(led.HitTest(171, 27));
    EXPECT_FALSE(led.HitTest(53, 5));
    EXPECT_EQ(rec.invalidated, (std::vector<Rect>{{54, 5, 117, 23}, {54, 5, 117, 23}}));

    rec.invalidated.clear();
    led.Paint();  // one cell now: 15 + 12 wide, repainting the old and the new
                  // area
    EXPECT_EQ(rec.invalidated, (std::vector<Rect>{{54, 5, 117, 23}, {54, 5, 27, 23}}));
    EXPECT_EQ(ReadCells(led.Picture(), 1)[0], "dLLddddddd");
}

TEST(LEDFontNum, AutoSizeFitsTheTextButKeepsAWidthOfOneMore) {
    const auto initial = [](TLEDFontNum&) {};
    const auto bar = [](TLEDFontNum& l) { ApplyBarValues(l); };
    struct Case {
        const char* name;
        std::function<void(TLEDFontNum&)> setup;
        const char* text;
        Rect start;
        Rect expected;
    } cases[] = {
        // 2 * 17 + 4 + 2 * 4 = 46: the created control is one wider and stays.
        {"created size for \"00\"", initial, "00", {0, 0, 47, 38}, {0, 0, 47, 38}},
        {"\"000\"", initial, "000", {0, 0, 47, 38}, {0, 0, 67, 37}},
        {"bar time", bar, "00:00:00", {3, 4, 47, 38}, {3, 4, 117, 23}},
        {"one wider keeps the height too", bar, "00:00:00", {0, 0, 118, 50}, {0, 0, 118, 50}},
        {"empty text: 2 * OffSetX - Space", bar, "", {0, 0, 47, 38}, {0, 0, 9, 23}},
        {"a negative width fits as 0",
         [](TLEDFontNum& l) {
             ApplyBarValues(l);
             l.SetOffSetX(-20);
         },
         "",
         {0, 0, 47, 38},
         {0, 0, 0, 23}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TLEDFontNum led;
        led.SetAutoSize(false);
        c.setup(led);
        led.SetText(c.text);
        led.SetBounds(c.start.left, c.start.top, c.start.width, c.start.height);
        led.Paint();
        EXPECT_EQ(led.Bounds(), c.start);  // AutoSize off: no change
        // Turning it on fits exactly, without the slack; so start from the
        // slack case again before painting.
        led.SetAutoSize(true);
        led.SetBounds(c.start.left, c.start.top, c.start.width, c.start.height);
        Recorder rec(led);
        led.Paint();
        EXPECT_EQ(led.Bounds(), c.expected);
        rec.invalidated.clear();
        led.Paint();  // settled: no further change
        EXPECT_TRUE(rec.invalidated.empty());
    }

    TLEDFontNum led;
    ApplyBarValues(led);
    led.SetAutoSize(false);
    led.SetText("00:00:00");
    led.SetBounds(0, 0, 118, 50);
    led.SetAutoSize(true);
    EXPECT_EQ(led.Bounds(), (Rect{0, 0, 117, 23}));
}

TEST(LEDFontNum, ExtremeValuesNeitherCrashNorOverflow) {
    struct Case {
        const char* name;
        std::function<void(TLEDFontNum&)> set;
    } cases[] = {
        {"far offsets",
         [](TLEDFontNum& l) {
             l.SetOffSetX(INT_MAX);
             l.SetOffSetY(INT_MIN);
         }},
        {"huge cells",
         [](TLEDFontNum& l) {
             l.SetWordWidth(INT_MAX);
             l.SetWordHeight(INT_MAX - 1);
             l.SetSpace(INT_MAX);
         }},
        {"negative stroke and cells",
         [](TLEDFontNum& l) {
             l.SetThick(-1000000);
             l.SetWordWidth(-1999999);
             l.SetSpace(INT_MIN);
         }},
        {"long text", [](TLEDFontNum& l) { l.SetSpace(-18); }},
    };
    const std::string longText(200000, '8');
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TLEDFontNum led;
        ApplyBarValues(led);
        led.SetDrawDarkColor(true);
        led.SetAutoSize(false);
        led.SetBounds(0, 0, 117, 23);
        c.set(led);
        led.SetText(longText);
        led.Paint();
        led.SetAutoSize(true);
        for (int i = 0; i < 3; ++i)
            led.Paint();
        EXPECT_GE(led.Width(), 0);
        EXPECT_GE(led.Height(), 0);
        EXPECT_LE(led.Picture().Width(), Bitmap::kMaxSide);
    }
}
