#include "display/SmoothFont.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

using namespace tempora;

namespace {

using Grid = std::vector<std::vector<int>>;

// Glyphs given directly at the supersampled resolution: Measure answers the
// grid's size whatever the scale, Draw copies the grid.
class GridGlyphs final : public TGlyphRasterizer {
public:
    explicit GridGlyphs(Grid grid) : grid_(std::move(grid)) {}
    TSize Measure(const TFontSpec&, int, std::string_view) override {
        return {static_cast<int>(grid_[0].size()), static_cast<int>(grid_.size())};
    }
    void Draw(const TFontSpec&, int, std::string_view, TCoverageMask& grey) override {
        for (int y = 0; y < grey.Height(); ++y) {
            for (int x = 0; x < grey.Width(); ++x) {
                const bool in =
                    y < static_cast<int>(grid_.size()) && x < static_cast<int>(grid_[y].size());
                grey.At(x, y) = static_cast<uint8_t>(in ? grid_[y][x] : 0);
            }
        }
    }

private:
    Grid grid_;
};

Grid MaskValues(const TCoverageMask& mask) {
    Grid out(mask.Height(), std::vector<int>(mask.Width()));
    for (int y = 0; y < mask.Height(); ++y) {
        for (int x = 0; x < mask.Width(); ++x)
            out[y][x] = mask.At(x, y);
    }
    return out;
}

TCoverageMask MaskOf(const Grid& values) {
    TCoverageMask mask;
    mask.Resize(static_cast<int>(values[0].size()), static_cast<int>(values.size()));
    for (int y = 0; y < mask.Height(); ++y) {
        for (int x = 0; x < mask.Width(); ++x)
            mask.At(x, y) = static_cast<uint8_t>(values[y][x]);
    }
    return mask;
}

// The mask that PaintText builds for a grid, drawn on a scratch picture.
Grid PaintedMask(const Grid& grid, TTextQuality quality) {
    GridGlyphs glyphs(grid);
    TSmoothFont font(glyphs);
    Bitmap pic;
    pic.Create(8, 8);
    font.SetSurface(&pic);
    font.SetQuality(quality);
    font.PaintText(0, 0, "x");
    return MaskValues(font.Mask());
}

}  // namespace

TEST(SmoothFont, EachQualityReducesItsBlocksExactly) {
    struct Case {
        TTextQuality quality;
        Grid grid;
        Grid mask;
    };
    const Case cases[] = {
        // 16 values summed >> 4: full ink stays 255, one hole costs 16.
        {tqHigh,
         {{255, 255, 255, 255, 255, 255, 255, 255},
          {255, 255, 255, 255, 255, 255, 255, 255},
          {255, 255, 255, 255, 255, 255, 255, 255},
          {255, 255, 255, 255, 255, 255, 255, 0}},
         {{255, 239}}},
        // The top-right and bottom-left corners count half (truncated), the
        // sum >> 3; so full ink gives 254.
        {tqNormal,
         {{10, 20, 31, 255, 255, 255}, {40, 50, 60, 255, 255, 255}, {71, 80, 90, 255, 255, 255}},
         {{50, 254}}},
        // 4 values summed >> 2; a partial block on the right and at the
        // bottom counts its missing pixels as no ink.
        {tqLow, {{255, 0, 255}, {0, 255, 255}, {100, 100, 100}}, {{127, 127}, {50, 25}}},
        {tqNone, {{0, 1, 128, 255}}, {{0, 1, 128, 255}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PaintedMask(c.grid, c.quality), c.mask) << "quality " << int(c.quality);
}

TEST(SmoothFont, MaskSizeRoundsUpAndWidensItalic) {
    // 10 characters measuring 50 pixels: italic adds round(50 / 10 * 0.3) = 2.
    GridGlyphs glyphs(Grid(12, std::vector<int>(50, 255)));
    TSmoothFont font(glyphs);
    font.SetQuality(tqNone);
    const std::string ten = "0123456789";
    EXPECT_EQ(font.TextExtent(ten), (TSize{50, 12}));
    TFontSpec italic;
    italic.Italic = true;
    font.SetFont(italic);
    EXPECT_EQ(font.TextExtent(ten), (TSize{52, 12}));
    // Characters, not bytes: 5 Chinese characters (15 bytes) add round(3.0) = 3.
    EXPECT_EQ(font.TextExtent("一二三四五"), (TSize{53, 12}));
    // 50 x 12 at s = 3 is a 17 x 4 mask (each side rounded up); italic adds
    // round(17 / 10 * 0.3) = 1.
    font.SetQuality(tqNormal);
    EXPECT_EQ(font.TextExtent(ten), (TSize{18, 4}));

    // The shadow's offsets count whichever way they point.
    TTextEffect effect;
    effect.Shadow.Enabled = true;
    effect.Shadow.OffsetX = -1;
    effect.Shadow.OffsetY = 1;
    font.SetFont(TFontSpec{});
    font.SetQuality(tqNone);
    font.SetEffect(effect);
    EXPECT_EQ(font.TextExtent(ten), (TSize{51, 13}));
}

TEST(SmoothFont, RoundingTakesHalvesToTheEvenNeighbour) {
    struct Case {
        int64_t num, den, expected;
    };
    const Case cases[] = {
        {2550, 100, 26},    // blur strength 10
        {7650, 100, 76},    // blur strength 30
        {20400, 100, 204},  // blur strength 80
        {15, 10, 2},       {25, 10, 2}, {26, 10, 3}, {-5, 2, -2}, {-7, 2, -4}, {-26, 10, -3},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RoundDivEven(c.num, c.den), c.expected) << c.num << " / " << c.den;
}

TEST(SmoothFont, BlurMixesTheClampedFiveByFiveMean) {
    std::vector<int> work;
    // A mask one row high: every row of the 5 x 5 window is that row, and
    // columns beyond the edges repeat the edge pixel. Means 50.2, 100.4, 150.6.
    const Grid row = {{0, 0, 251}};
    struct Case {
        int strength;
        Grid expected;
    };
    const Case cases[] = {
        {0, {{0, 0, 251}}},
        {100, {{50, 100, 151}}},
        // f = 204: p + floor((v - p) * 204 / 256), flooring below zero too.
        {80, {{39, 79, 171}}},
    };
    for (const Case& c : cases) {
        TCoverageMask mask = MaskOf(row);
        BlurMask(mask, c.strength, work);
        EXPECT_EQ(MaskValues(mask), c.expected) << "strength " << c.strength;
    }

    // The window reaches two pixels each way and reads the unchanged mask.
    Grid dot(7, std::vector<int>(7, 0));
    dot[3][3] = 250;
    TCoverageMask mask = MaskOf(dot);
    BlurMask(mask, 100, work);
    for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 7; ++x) {
            const bool near = std::abs(x - 3) <= 2 && std::abs(y - 3) <= 2;
            EXPECT_EQ(mask.At(x, y), near ? 10 : 0) << x << "," << y;
        }
    }
}

TEST(SmoothFont, BlendWeightsFollowAlpha) {
    struct Case {
        uint32_t background;
        int coverage;
        int alpha;
        uint32_t color;
        uint32_t expected;
    };
    const Case cases[] = {
        {0x102030, 255, 100, 0xABCDEF, 0xABCDEF},  // k 256, w 255: the colour exactly
        {0x000000, 255, 70, 0xFFFFFF, 0xB1B1B1},   // k 179, w 178: 255 * 178 >> 8 = 177
        {0x000000, 1, 70, 0xFFFFFF, 0x000000},     // w 0 leaves the pixel
        {0xC9C8C8, 128, 100, 0x000000, 0x646464},  // 200 - 100, 201 + floor(-100.5)
        {0x404040, 255, 0, 0xFFFFFF, 0x404040},    // alpha 0
        {0x404040, 255, 250, 0xFFFFFF, 0xFFFFFF},  // alpha beyond 100 taken as 100
    };
    for (const Case& c : cases) {
        Bitmap pic;
        pic.Create(1, 1, c.background);
        BlendMask(pic, MaskOf({{c.coverage}}), 0, 0, c.alpha, c.color);
        EXPECT_EQ(pic.At(0, 0), c.expected) << std::hex << c.background << " " << c.coverage;
    }
}

TEST(SmoothFont, BlendSkipsWhatLiesOutsideTheSurface) {
    Bitmap pic;
    pic.Create(3, 3, 0);
    const TCoverageMask mask = MaskOf(Grid(4, std::vector<int>(4, 255)));
    for (const auto& [x, y] : {std::pair{-2, -2}, {2, 2}, {-10, 0}, {5, 5}})
        BlendMask(pic, mask, x, y, 100, 0xFFFFFF);
    EXPECT_EQ(pic.At(0, 0), 0xFFFFFFu);  // from -2, -2
    EXPECT_EQ(pic.At(1, 1), 0xFFFFFFu);
    EXPECT_EQ(pic.At(2, 2), 0xFFFFFFu);  // from 2, 2
    EXPECT_EQ(pic.At(2, 0), 0u);
    EXPECT_EQ(pic.At(0, 2), 0u);
}

TEST(SmoothFont, ShadowGoesOppositeTheTextAndTheTextBlendsOverIt) {
    GridGlyphs glyphs({{255, 255}});
    TSmoothFont font(glyphs);
    font.SetQuality(tqNone);
    TFontSpec white;
    white.Color = 0xFFFFFF;
    font.SetFont(white);
    TTextEffect effect;
    effect.Shadow.Enabled = true;
    effect.Shadow.Blur = 0;
    effect.Shadow.OffsetX = -1;
    effect.Shadow.OffsetY = 1;
    font.SetEffect(effect);
    Bitmap pic;
    pic.Create(5, 4, 0);
    font.SetSurface(&pic);
    font.PaintText(1, 1, "x");
    // Text one pixel right of x at y, shadow at x one pixel below; the
    // shadow's alpha 70 blends 0x44 with weight 178: 47 = 0x2F.
    const std::vector<std::vector<uint32_t>> expected = {
        {0, 0, 0, 0, 0},
        {0, 0, 0xFFFFFF, 0xFFFFFF, 0},
        {0, 0x2F2F2F, 0x2F2F2F, 0, 0},
        {0, 0, 0, 0, 0},
    };
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(pic.At(x, y), expected[y][x]) << x << "," << y;
    }

    // Offsets 1, 0: the shadow lies under the text's right pixel, which the
    // text covers fully.
    effect.Shadow.OffsetX = 1;
    effect.Shadow.OffsetY = 0;
    font.SetEffect(effect);
    pic.Fill(0);
    font.PaintText(0, 0, "x");
    EXPECT_EQ(pic.At(0, 0), 0xFFFFFFu);
    EXPECT_EQ(pic.At(1, 0), 0xFFFFFFu);
    EXPECT_EQ(pic.At(2, 0), 0x2F2F2Fu);
}

TEST(SmoothFont, DefaultShadowIsBlurredAndFaint) {
    TBlockGlyphs glyphs;
    TSmoothFont font(glyphs);
    font.SetQuality(tqNone);
    TFontSpec white;
    white.Color = 0xFFFFFF;
    font.SetFont(white);
    TTextEffect effect;
    effect.Shadow.Enabled = true;
    font.SetEffect(effect);
    Bitmap pic;
    pic.Create(40, 20, 0);
    font.SetSurface(&pic);
    font.PaintText(0, 0, "年");
    // The shadow spreads beyond the glyph box but never reaches its colour.
    int shadowPixels = 0;
    for (int y = 0; y < pic.Height(); ++y) {
        for (int x = 0; x < pic.Width(); ++x) {
            const uint32_t c = pic.At(x, y);
            if (c != 0 && c != 0xFFFFFF) {
                ++shadowPixels;
                EXPECT_LT(c & 0xFF, 0x44u);
            }
        }
    }
    EXPECT_GT(shadowPixels, 0);
    // The glyph's box ends at 10, 10; its shadow, 2, 2 further and blurred,
    // reaches 13, 13.
    EXPECT_NE(pic.At(13, 13), 0u);
}

TEST(SmoothFont, NothingIsDrawnForEmptyTextOrWithoutSurface) {
    TBlockGlyphs glyphs;
    TSmoothFont font(glyphs);
    TFontSpec white;
    white.Color = 0xFFFFFF;
    font.SetFont(white);
    Bitmap pic;
    pic.Create(20, 20, 0x123456);
    const Bitmap before = pic;
    font.PaintText(0, 0, "年");  // no surface yet
    font.SetSurface(&pic);
    font.PaintText(0, 0, "");
    EXPECT_EQ(pic, before);
    font.PaintText(0, 0, "年");
    EXPECT_NE(pic, before);
}

TEST(SmoothFont, EveryQualityDrawsTheStandInGlyphsAtTheirSize) {
    TBlockGlyphs glyphs;
    TSmoothFont font(glyphs);
    TFontSpec white;
    white.Color = 0xFFFFFF;
    font.SetFont(white);
    Bitmap pic;
    pic.Create(120, 16, 0);
    font.SetSurface(&pic);
    for (TTextQuality q : {tqHigh, tqNormal, tqLow, tqNone}) {
        font.SetQuality(q);
        EXPECT_EQ(font.TextExtent("2026年12月"), (TSize{60, 12})) << int(q);
        font.PaintText(0, 0, "2026年12月");
        EXPECT_EQ(font.Mask().Width(), 60);
        EXPECT_EQ(font.Mask().Height(), 12);
        int ink = 0;
        for (int y = 0; y < 12; ++y) {
            for (int x = 0; x < 60; ++x)
                ink += font.Mask().At(x, y) != 0;
        }
        EXPECT_GT(ink, 100) << int(q);
    }
}

TEST(SmoothFont, HugeTextIsCutToABoundedMask) {
    TBlockGlyphs glyphs;
    TSmoothFont font(glyphs);
    font.SetQuality(tqHigh);
    TFontSpec huge;
    huge.Height = -100000;  // taken as 1000
    font.SetFont(huge);
    const std::string text(200000, 'W');
    const TSize extent = font.TextExtent(text);
    EXPECT_LE(int64_t{extent.Width} * extent.Height * 16, int64_t{1} << 24);
    EXPECT_GT(extent.Width, 0);
    Bitmap pic;
    pic.Create(50, 50, 0);
    font.SetSurface(&pic);
    font.PaintText(-5, -5, text);
    EXPECT_EQ(font.Mask().Width(), extent.Width);
}
