#include "core/Bitmap.h"

#include <climits>
#include <cstdlib>
#include <map>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

using namespace tempora;
using Art = std::vector<std::string>;

namespace {

constexpr uint32_t kBack = 0x000000;
constexpr uint32_t kBrush = 0x00FF00;
constexpr uint32_t kPen = 0x0000FF;

// One character per pixel: '.' background, '#' brush, 'o' pen, otherwise the
// character that `extra` names for the colour, '?' for anything else.
Art ToArt(const Bitmap& pic, const std::map<uint32_t, char>& extra = {}) {
    Art rows;
    for (int y = 0; y < pic.Height(); ++y) {
        std::string row;
        for (int x = 0; x < pic.Width(); ++x) {
            const uint32_t c = pic.At(x, y);
            const auto it = extra.find(c);
            row += it != extra.end() ? it->second
                   : c == kBack      ? '.'
                   : c == kBrush     ? '#'
                   : c == kPen       ? 'o'
                                     : '?';
        }
        rows.push_back(row);
    }
    return rows;
}

Bitmap Blank(int w, int h) {
    Bitmap pic;
    EXPECT_TRUE(pic.Create(w, h, kBack));
    return pic;
}

// A picture from art: each character is its own colour value.
Bitmap FromArt(const Art& art) {
    Bitmap pic = Blank(static_cast<int>(art[0].size()), static_cast<int>(art.size()));
    for (int y = 0; y < pic.Height(); ++y) {
        for (int x = 0; x < pic.Width(); ++x)
            pic.At(x, y) = static_cast<unsigned char>(art[y][x]);
    }
    return pic;
}

Art Chars(const Bitmap& pic) {
    Art rows;
    for (int y = 0; y < pic.Height(); ++y) {
        std::string row;
        for (int x = 0; x < pic.Width(); ++x)
            row += static_cast<char>(pic.At(x, y));
        rows.push_back(row);
    }
    return rows;
}

}  // namespace

TEST(Bitmap, CreateRefusesAbsurdSizesAndKeepsTheOldPicture) {
    Bitmap pic;
    EXPECT_TRUE(pic.Empty());
    ASSERT_TRUE(pic.Create(3, 2, 0x123456));
    EXPECT_EQ(pic.StrideBytes(), 12u);
    EXPECT_EQ(pic.Row(1), pic.Pixels() + 3);  // top-down rows, no padding
    EXPECT_EQ(pic.At(2, 1), 0x123456u);

    struct Case {
        int64_t w, h;
        bool ok;
    } cases[] = {
        {0, 0, true},
        {0, 7, true},
        {-1, 5, false},
        {5, -1, false},
        {Bitmap::kMaxSide, 1, true},
        {Bitmap::kMaxSide + 1, 1, false},
        {4096, 8192, true},  // exactly kMaxPixels
        {4096, 8193, false},
        {Bitmap::kMaxSide, Bitmap::kMaxSide, false},
        {INT_MAX, INT_MAX, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + " x " + std::to_string(c.h));
        EXPECT_EQ(Bitmap::SizeAllowed(c.w, c.h), c.ok);
    }
    EXPECT_FALSE(pic.Create(-1, 5));
    EXPECT_FALSE(pic.Create(INT_MAX, INT_MAX));
    EXPECT_FALSE(pic.Create(Bitmap::kMaxSide, Bitmap::kMaxSide));
    EXPECT_EQ(pic.Width(), 3);
    EXPECT_EQ(pic.At(0, 0), 0x123456u);

    Bitmap moved = std::move(pic);
    EXPECT_EQ(moved.Width(), 3);
    EXPECT_TRUE(pic.Empty());  // NOLINT(bugprone-use-after-move): moved-from is empty by contract
    EXPECT_EQ(pic.Width(), 0);
    Bitmap copy = moved;
    copy.At(0, 0) = 1;
    EXPECT_EQ(moved.At(0, 0), 0x123456u);  // copies do not share pixels
}

TEST(Bitmap, CheckedPixelAccess) {
    Bitmap pic = Blank(4, 3);
    EXPECT_TRUE(pic.SetPixel(3, 2, kPen));
    EXPECT_EQ(pic.GetPixel(3, 2), kPen);
    for (auto [x, y] : {std::pair{-1, 0}, {0, -1}, {4, 0}, {0, 3}, {INT_MIN, INT_MAX}}) {
        SCOPED_TRACE(std::to_string(x) + "," + std::to_string(y));
        EXPECT_FALSE(pic.SetPixel(x, y, kPen));
        EXPECT_EQ(pic.GetPixel(x, y), Bitmap::kInvalidColor);
    }
    EXPECT_EQ(ToArt(pic), (Art{"....", "....", "...o"}));
}

TEST(Bitmap, FillRectClipsToThePicture) {
    struct Case {
        int x, y, w, h;
        Art expected;
    } cases[] = {
        {1, 1, 2, 1, {".....", ".##..", "....."}},
        {-2, -5, 4, 7, {"##...", "##...", "....."}},
        {3, 1, 100, 100, {".....", "...##", "...##"}},
        {0, 0, 0, 3, {".....", ".....", "....."}},
        {2, 2, -1, -1, {".....", ".....", "....."}},
        {INT_MAX, INT_MAX, INT_MAX, INT_MAX, {".....", ".....", "....."}},
        {INT_MIN, 1, INT_MAX, 1, {".....", ".....", "....."}},
        {-10, -10, INT_MAX, INT_MAX, {"#####", "#####", "#####"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
        Bitmap pic = Blank(5, 3);
        pic.FillRect(c.x, c.y, c.w, c.h, kBrush);
        EXPECT_EQ(ToArt(pic), c.expected);
    }
}

TEST(Bitmap, CopiesClipOnBothSides) {
    const Bitmap src = FromArt({"abc", "def"});
    struct Case {
        int dstX, dstY, srcX, srcY, w, h;
        Art expected;
    } cases[] = {
        {1, 1, 0, 0, 3, 2, {"....", ".abc", ".def"}},
        // The source rectangle reaches past the source: only real pixels land.
        {0, 0, 1, -1, 3, 3, {"....", "bc..", "ef.."}},
        // The target rectangle reaches past the target.
        {-1, 2, 0, 0, 3, 2, {"....", "....", "bc.."}},
        {3, 0, 0, 0, 3, 2, {"...a", "...d", "...."}},
        {0, 0, 0, 0, -3, 2, {"....", "....", "...."}},
        {INT_MIN, 0, INT_MAX, 0, INT_MAX, 2, {"....", "....", "...."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.dstX) + "," + std::to_string(c.dstY));
        Bitmap pic = FromArt({"....", "....", "...."});
        pic.CopyRect(c.dstX, c.dstY, src, c.srcX, c.srcY, c.w, c.h);
        EXPECT_EQ(Chars(pic), c.expected);
    }
    // Copying a picture onto itself with overlap reads the pixels as they were.
    Bitmap self = FromArt({"abcde", "fghij"});
    self.CopyRect(1, 0, self, 0, 0, 4, 2);
    EXPECT_EQ(Chars(self), (Art{"aabcd", "ffghi"}));
    self = FromArt({"abcde", "fghij"});
    self.CopyRect(0, 1, self, 1, 0, 4, 1);
    EXPECT_EQ(Chars(self), (Art{"abcde", "bcdej"}));
}

TEST(Bitmap, TransparentCopySkipsTheKeyColor) {
    Bitmap src = Blank(3, 2);
    src.At(0, 0) = Bitmap::kKeyColor;
    src.At(1, 0) = kPen;
    src.At(2, 0) = 0xFF000000 | Bitmap::kKeyColor;  // the top byte is not part of the colour
    src.At(0, 1) = 0xFE00FF;                        // near magenta is a colour
    src.At(1, 1) = kBrush;
    src.At(2, 1) = Bitmap::kKeyColor;

    Bitmap pic;
    ASSERT_TRUE(pic.Create(4, 3, 0x777777));
    pic.CopyTransparent(1, 1, src, 0, 0, 3, 2);
    EXPECT_EQ(ToArt(pic, {{0x777777, '-'}, {0xFE00FF, 'n'}}), (Art{"----", "--o-", "-n#-"}));

    // Another key, and clipping on both sides.
    ASSERT_TRUE(pic.Create(2, 2, 0x777777));
    pic.CopyTransparent(-1, 0, src, 0, 0, 3, 5, kPen);
    EXPECT_EQ(ToArt(pic, {{0x777777, '-'}, {Bitmap::kKeyColor, 'k'}, {0xFFFF00FF, 'K'}}),
              (Art{"-K", "#k"}));
}

TEST(Bitmap, StretchMapsTargetPixelsToSourcePixels) {
    struct Case {
        int src, dst;
        std::vector<int> expected;
    } cases[] = {
        {4, 4, {0, 1, 2, 3}},
        {1, 3, {0, 0, 0}},
        {2, 3, {0, 0, 1}},
        {2, 5, {0, 0, 0, 1, 1}},  // the centre of target 2 falls on the boundary: left pixel
        {3, 2, {1, 2}},           // shrinking keeps the last source pixel of each group
        {5, 2, {2, 4}},
        {7, 3, {1, 4, 6}},
        {3, 1, {1}},  // a one-pixel target sees the source one pixel narrower
        {1, 1, {0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.src) + " -> " + std::to_string(c.dst));
        std::vector<int> got;
        for (int d = 0; d < c.dst; ++d)
            got.push_back(Bitmap::StretchSource(d, c.src, c.dst));
        EXPECT_EQ(got, c.expected);
    }
    // Every target pixel takes a source pixel inside the source span.
    for (int s = 1; s <= 40; ++s) {
        for (int d = 1; d <= 40; ++d) {
            int last = 0;
            for (int i = 0; i < d; ++i) {
                const int got = Bitmap::StretchSource(i, s, d);
                ASSERT_GE(got, last) << s << " -> " << d;
                ASSERT_LT(got, s) << s << " -> " << d;
                last = got;
            }
        }
    }

    const Bitmap src = FromArt({"ab", "cd"});
    Bitmap pic = FromArt({".....", ".....", "....."});
    pic.StretchRect(0, 0, 5, 3, src, 0, 0, 2, 2);
    EXPECT_EQ(Chars(pic), (Art{"aaabb", "aaabb", "cccdd"}));
    // Target partly outside the picture, source rectangle partly outside the
    // source: 2 x 3 onto 4 x 4 maps columns 0 0 1 1 and rows -1 0 0 1; column
    // -1 and row 3 of the target are off the picture, and the source row -1
    // does not exist, so the first target row stays.
    pic = FromArt({".....", ".....", "....."});
    pic.StretchRect(-1, 0, 4, 4, src, 0, -1, 2, 3);
    EXPECT_EQ(Chars(pic), (Art{".....", "abb..", "abb.."}));
    pic = FromArt({"...", "..."});
    pic.StretchRect(0, 0, 3, 2, pic, 0, 0, 0, 2);  // empty source: nothing
    pic.StretchRect(0, 0, 2, 1, pic, 0, 0, 1, 1);  // onto itself
    EXPECT_EQ(Chars(pic), (Art{"...", "..."}));
}

TEST(Bitmap, PolygonMatchesTheGdiPixels) {
    // Brush '#' and pen 'o' differ here, so the art shows which pixels the fill
    // and which the outline gives; the expected pixels are those of the
    // platform's polygon scan conversion and cosmetic pen.
    struct Case {
        const char* name;
        std::vector<Bitmap::Point> points;
        int top;  // the first row shown; the rows above stay empty
        Art expected;
    } cases[] = {
        {"rectangle",
         {{1, 1}, {5, 1}, {5, 4}, {1, 4}},
         0,
         {".......", ".ooooo.", ".o###o.", ".o###o.", ".ooooo.", "......."}},
        {"triangle",
         {{1, 1}, {8, 3}, {3, 7}},
         0,
         {"..........", ".oo.......", ".o#oooo...", "..o####oo.", "..o####o..", "..o##oo...",
          "...oo.....", "...o......", ".........."}},
        {"triangle drawn backwards",
         {{3, 7}, {8, 3}, {1, 1}},
         0,
         {"..........", ".oo.......", ".o#oooo...", "..o####oo.", "..o####o..", "..o##oo...",
          "...oo.....", "...o......", ".........."}},
        {"bow tie",
         {{0, 0}, {6, 4}, {6, 0}, {0, 4}},
         0,
         {"o.....o.", "ooo.ooo.", "o##o##o.", "ooo.ooo.", "o.....o.", "........"}},
        // The LED's middle bar and upper right stroke at the bar's size (15 x 19, stroke 3).
        {"LED middle bar",
         {{9, 10}, {8, 11}, {9, 12}, {14, 12}, {15, 11}, {14, 10}},
         10,
         {".........oooooo...", "........o######o..", ".........oooooo..."}},
        {"LED upper right stroke",
         {{17, 3}, {15, 5}, {15, 8}, {17, 10}, {17, 10}, {17, 10}},
         3,
         {".................o.", "................oo.", "...............o#o.",
          "...............o#o.", "...............o#o.", "...............o#o.",
          "................oo.", ".................o."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bitmap pic = Blank(static_cast<int>(c.expected[0].size()),
                           c.top + static_cast<int>(c.expected.size()));
        pic.Polygon(c.points, kBrush, kPen);
        const Art rows = ToArt(pic);
        EXPECT_EQ(Art(rows.begin() + c.top, rows.end()), c.expected);
        for (int y = 0; y < c.top; ++y) {
            EXPECT_EQ(rows[y].find_first_not_of('.'), std::string::npos) << y;
        }
    }
}

TEST(Bitmap, FillUsesTheAlternateRuleAndLeavesTheOutlineToThePen) {
    Bitmap pic = Blank(11, 10);
    const std::vector<Bitmap::Point> star = {{5, 0}, {8, 9}, {0, 3}, {10, 3}, {2, 9}};
    pic.FillPolygon(star, kBrush);
    EXPECT_EQ(ToArt(pic), (Art{
                              "...........",
                              ".....#.....",
                              ".....#.....",
                              "####..####.",
                              "..##...##..",
                              "...#...#...",
                              "...#..#....",
                              "...##.##...",
                              "...#...#...",
                              "...........",
                          }));
    // A rectangle's interior is exactly its w x h pixels; the right column and
    // bottom row belong to the pen.
    pic = Blank(5, 4);
    pic.FillPolygon(std::vector<Bitmap::Point>{{1, 1}, {4, 1}, {4, 3}, {1, 3}}, kBrush);
    EXPECT_EQ(ToArt(pic), (Art{".....", ".###.", ".###.", "....."}));
    // Fewer than two points, or a degenerate polygon, fill nothing.
    pic = Blank(5, 4);
    pic.Polygon(std::vector<Bitmap::Point>{{1, 1}}, kBrush, kPen);
    pic.FillPolygon(std::vector<Bitmap::Point>{{0, 0}, {4, 3}}, kBrush);
    EXPECT_EQ(ToArt(pic), (Art{".....", ".....", ".....", "....."}));
}

namespace {

// The platform's cosmetic pen as an incremental Bresenham walk (octant bias
// included), plotting every pixel of the unclipped line.
std::set<std::pair<int, int>> ReferenceLine(Bitmap::Point a, Bitmap::Point b) {
    std::set<std::pair<int, int>> out;
    const int dx = b.x - a.x, dy = b.y - a.y;
    const int adx = std::abs(dx), ady = std::abs(dy);
    const bool xMajor = adx > ady;
    const int bias = xMajor ? (dy < 0) : (dx < 0);
    const int xInc = dx > 0 ? 1 : -1, yInc = dy > 0 ? 1 : -1;
    int x = a.x, y = a.y;
    const int major = xMajor ? adx : ady, minor = xMajor ? ady : adx;
    int err = 2 * minor - major;
    for (int i = 0; i < major; ++i) {
        out.insert({x, y});
        const bool step = err + bias > 0;
        err += step ? 2 * minor - 2 * major : 2 * minor;
        if (xMajor) {
            x += xInc;
            if (step)
                y += yInc;
        } else {
            y += yInc;
            if (step)
                x += xInc;
        }
    }
    return out;
}

// Pixel (x, y) of the alternate-rule interior: an odd number of edges, counted
// on rows [top, bottom), cross row y at or left of x.
bool ReferenceInside(const std::vector<Bitmap::Point>& poly, int x, int y) {
    int crossings = 0;
    for (size_t i = 0; i < poly.size(); ++i) {
        Bitmap::Point a = poly[i], b = poly[(i + 1) % poly.size()];
        if (a.y == b.y)
            continue;
        if (a.y > b.y)
            std::swap(a, b);
        if (y < a.y || y >= b.y)
            continue;
        // crossing x = a.x + (b.x - a.x) * (y - a.y) / (b.y - a.y) <= x
        if (int64_t{b.x - a.x} * (y - a.y) <= int64_t{x - a.x} * (b.y - a.y))
            ++crossings;
    }
    return crossings % 2 == 1;
}

}  // namespace

TEST(Bitmap, LinesAndFillsAgreeWithReferenceWalksAndClipExactly) {
    std::mt19937 rng(20240204);
    std::uniform_int_distribution<int> coord(-12, 30);
    for (int round = 0; round < 400; ++round) {
        std::vector<Bitmap::Point> poly(3 + round % 4);
        for (auto& p : poly)
            p = {coord(rng), coord(rng)};
        SCOPED_TRACE(round);

        // Outline only (brush = background) against the reference walk,
        // on a picture that cuts through the shape.
        Bitmap pic = Blank(20, 16);
        pic.Polygon(poly, kBack, kPen);
        std::set<std::pair<int, int>> pen;
        for (size_t i = 0; i < poly.size(); ++i) {
            const auto seg = ReferenceLine(poly[i], poly[(i + 1) % poly.size()]);
            pen.insert(seg.begin(), seg.end());
        }
        for (int y = 0; y < pic.Height(); ++y) {
            for (int x = 0; x < pic.Width(); ++x) {
                ASSERT_EQ(pic.At(x, y) == kPen, pen.count({x, y}) == 1) << x << "," << y;
            }
        }

        pic = Blank(20, 16);
        pic.FillPolygon(poly, kBrush);
        for (int y = 0; y < pic.Height(); ++y) {
            for (int x = 0; x < pic.Width(); ++x) {
                ASSERT_EQ(pic.At(x, y) == kBrush, ReferenceInside(poly, x, y)) << x << "," << y;
            }
        }
    }
}

TEST(Bitmap, FarAwayVerticesAreClippedOrRefused) {
    // A triangle reaching a million pixels out still draws its visible part
    // (and quickly: only visible steps are walked).
    Bitmap pic = Blank(6, 4);
    pic.Polygon(std::vector<Bitmap::Point>{{-1000000, -1000000}, {1000000, 0}, {0, 1000000}},
                kBrush, kPen);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(pic.At(x, y), kBrush) << x << "," << y;
    }
    pic.DrawLine({-5000000, 2}, {5000000, 2}, kPen);
    EXPECT_EQ(ToArt(pic), (Art{"######", "######", "oooooo", "######"}));
    // Beyond kMaxCoord nothing is drawn at all.
    pic = Blank(6, 4);
    pic.Polygon(std::vector<Bitmap::Point>{{0, 0}, {Bitmap::kMaxCoord + 1, 0}, {0, 3}}, kBrush,
                kPen);
    pic.DrawLine({INT_MIN, 0}, {INT_MAX, 3}, kPen);
    EXPECT_EQ(ToArt(pic), (Art{"......", "......", "......", "......"}));
}
