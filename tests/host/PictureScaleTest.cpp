// Resizing skin pictures: the see-through colour stays exact at every size.
#include "display/PictureScale.h"

#include <cmath>
#include <string>

#include <gtest/gtest.h>

using namespace tempora;

namespace {

constexpr uint32_t kKey = Bitmap::kKeyColor;

uint32_t Rgb(int r, int g, int b) {
    return static_cast<uint32_t>(r | g << 8 | b << 16);
}

// A ring (a disc with a hole) on see-through ground, drawn in greens: every
// drawn colour has red and blue at most 90 and green at least 150, so any
// magenta mixed into a pixel shows as red or blue above 90 or green below
// 150.
constexpr double kOuter = 0.42, kInner = 0.18;  // radii, as parts of the side

Bitmap Ring(int side) {
    Bitmap pic;
    pic.Create(side, side, kKey);
    const double c = side / 2.0;
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const double d = std::hypot(x + 0.5 - c, y + 0.5 - c) / side;
            if (d <= kOuter && d >= kInner)
                pic.At(x, y) = Rgb(x * 90 / side, 150 + y * 105 / side, 90 - x * 90 / side);
        }
    }
    return pic;
}

}  // namespace

TEST(PictureScale, KeyStaysExactAtEveryFactor) {
    struct Case {
        int from, to;
    };
    // Shrinking, growing by whole and broken factors, and the odd sizes in between.
    for (const Case c : {Case{48, 24},
                         {48, 38},
                         {40, 50},
                         {40, 60},
                         {40, 70},
                         {40, 80},
                         {40, 120},
                         {40, 44},
                         {37, 53}}) {
        SCOPED_TRACE(std::to_string(c.from) + " -> " + std::to_string(c.to));
        const Bitmap out = ScalePicture(Ring(c.from), c.to, c.to);
        ASSERT_EQ(out.Width(), c.to);
        ASSERT_EQ(out.Height(), c.to);
        const double centre = c.to / 2.0;
        for (int y = 0; y < c.to; ++y) {
            for (int x = 0; x < c.to; ++x) {
                const uint32_t p = out.At(x, y);
                // How far inside the ring the pixel's centre lies, in target pixels.
                const double d = std::hypot(x + 0.5 - centre, y + 0.5 - centre);
                const double inside = std::min(kOuter * c.to - d, d - kInner * c.to);
                if (inside > 1.5) {
                    ASSERT_NE(p, kKey) << "hole at " << x << "," << y;
                }
                if (inside < -1.5) {
                    ASSERT_EQ(p, kKey) << "spill at " << x << "," << y;
                }
                if (p == kKey)
                    continue;
                const int r = p & 0xFF, g = p >> 8 & 0xFF, b = p >> 16 & 0xFF;
                ASSERT_TRUE(r <= 90 && b <= 90 && g >= 150)
                    << "magenta mixed in at " << x << "," << y << ": " << std::hex << p;
            }
        }
    }
}

TEST(PictureScale, WholeFactorsRepeatPixelsAndEqualSizeCopies) {
    Bitmap pic;
    pic.Create(3, 2);
    const uint32_t colours[] = {0x102030, kKey, 0x405060, 0x708090, 0xA0B0C0, kKey};
    for (int i = 0; i < 6; ++i)
        pic.At(i % 3, i / 3) = colours[i];
    EXPECT_EQ(ScalePicture(pic, 3, 2), pic);
    const Bitmap big = ScalePicture(pic, 6, 6);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x)
            ASSERT_EQ(big.At(x, y), pic.At(x / 2, y / 3)) << x << "," << y;
}

TEST(PictureScale, AverageThatLandsOnTheKeyIsNudged) {
    // Two drawn colours, each a step from magenta, average to magenta itself.
    Bitmap pic;
    pic.Create(2, 1);
    pic.At(0, 0) = 0xFE00FF;
    pic.At(1, 0) = 0xFF00FE;
    const Bitmap one = ScalePicture(pic, 1, 1);
    EXPECT_NE(one.At(0, 0), kKey);
    // A picture of another key keeps that key and treats magenta as a colour.
    Bitmap other;
    other.Create(2, 2, 0x00FF00);
    other.At(0, 0) = kKey;
    const Bitmap half = ScalePicture(other, 1, 1, 0x00FF00);
    EXPECT_EQ(half.At(0, 0), 0x00FF00u);
}

TEST(PictureScale, EmptyOrRefusedSizesGiveAnEmptyPicture) {
    const Bitmap ring = Ring(8);
    EXPECT_TRUE(ScalePicture(Bitmap(), 4, 4).Empty());
    EXPECT_TRUE(ScalePicture(ring, 0, 4).Empty());
    EXPECT_TRUE(ScalePicture(ring, 4, -1).Empty());
    EXPECT_TRUE(ScalePicture(ring, Bitmap::kMaxSide + 1, 1).Empty());
}
