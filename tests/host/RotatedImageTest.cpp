// The turned picture control and the smooth hand: sizes, centres and pixel
// mapping of the nearest-pixel turn, the prepared square, painting, and the
// filtered hand's edges against a picture worked out by hand.
#include "display/RotatedImage.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace tempora;

namespace {

constexpr uint32_t kKey = Bitmap::kKeyColor;

// A picture whose every pixel names its own place, magenta at the bottom-left
// so that magenta is its key colour.
Bitmap Numbered(int w, int h) {
    Bitmap b;
    b.Create(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.At(x, y) = static_cast<uint32_t>(y * 256 + x + 1);
    b.At(0, h - 1) = kKey;
    return b;
}

TRotatedImage HandControl(Bitmap picture, double angle) {
    TRotatedImage c;
    c.SetAutoSize(true);
    c.SetCenter(true);
    c.SetTransparent(true);
    c.SetPicture(std::move(picture));
    c.SetAngle(angle);
    return c;
}

}  // namespace

TEST(TurnPicture, QuarterTurnOfATallPictureMapsEveryPixel) {
    const Bitmap src = Numbered(10, 40);
    const Bitmap turned = TurnPicture(src, 90, kKey);
    ASSERT_EQ(turned.Width(), 40);
    ASSERT_EQ(turned.Height(), 10);
    // Counter-clockwise: the source's top row runs down the left side, its
    // right column along the top. With the centre rules at 90 degrees, result
    // (x, y) takes source (10 - y, x - 1); the first column and row have none.
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 40; ++x) {
            const int sx = 10 - y, sy = x - 1;
            const uint32_t want = sx < 10 && sy >= 0 ? src.At(sx, sy) : kKey;
            ASSERT_EQ(turned.At(x, y), want) << x << "," << y;
        }
    }
}

TEST(TurnPicture, AnglesNormaliseAndZeroIsTheIdentity) {
    const Bitmap src = Numbered(7, 12);
    EXPECT_EQ(TurnPicture(src, 0, kKey), src);
    EXPECT_EQ(TurnPicture(src, 540, kKey), TurnPicture(src, 180, kKey));
    EXPECT_EQ(TurnPicture(src, -190, kKey), TurnPicture(src, 170, kKey));
    EXPECT_EQ(TurnPicture(src, -468, kKey), TurnPicture(src, -108, kKey));
    EXPECT_EQ(TurnPicture(src, 1e18 + 90, kKey).Empty(), false);
    // Half a turn of an odd-sized picture puts every pixel opposite.
    const Bitmap half = TurnPicture(src, 180, kKey);
    ASSERT_EQ(half.Width(), 7);
    ASSERT_EQ(half.Height(), 12);
    EXPECT_EQ(half.At(3, 6), src.At(3, 5));
}

TEST(RotatedImage, PreparedSquareCentresTheTurnedPicture) {
    const Bitmap src = Numbered(10, 40);
    TRotatedImage c = HandControl(src, 90);
    // round(sqrt(12^2 + 42^2)) = 44, the same for every angle.
    ASSERT_EQ(c.Prepared().Width(), 44);
    ASSERT_EQ(c.Prepared().Height(), 44);
    EXPECT_EQ(c.Width(), 44);
    EXPECT_EQ(c.Height(), 44);
    const Bitmap turned = TurnPicture(src, 90, kKey);
    Bitmap expected;
    expected.Create(44, 44, kKey);
    expected.CopyRect(2, 17, turned, 0, 0, 40, 10);
    EXPECT_EQ(c.Prepared(), expected);

    // Whole turns show the picture unturned, centred in the same square.
    expected.Fill(kKey);
    expected.CopyRect(17, 2, src, 0, 0, 10, 40);
    for (double angle : {0.0, 360.0, -720.0}) {
        c.SetAngle(angle);
        EXPECT_EQ(c.Prepared(), expected) << angle;
    }
    // Without Center the turned picture sits at the square's corner; without
    // UniqueSize it is the prepared picture itself.
    c.SetAngle(90);
    c.SetCenter(false);
    expected.Fill(kKey);
    expected.CopyRect(0, 0, turned, 0, 0, 40, 10);
    EXPECT_EQ(c.Prepared(), expected);
    c.SetUniqueSize(false);
    EXPECT_EQ(c.Prepared(), turned);
    EXPECT_EQ(c.Width(), 40);
    EXPECT_EQ(c.Height(), 10);
}

TEST(RotatedImage, EmptyPictureAndRefusedAngles) {
    TRotatedImage c = HandControl(Bitmap{}, 30);
    EXPECT_TRUE(c.Prepared().Empty());
    EXPECT_EQ(c.Width(), 105);
    EXPECT_EQ(c.Height(), 105);
    Bitmap noWidth;
    noWidth.Create(0, 40);
    c.SetPicture(noWidth);
    EXPECT_TRUE(c.Prepared().Empty());
    EXPECT_EQ(c.Width(), 105);

    c.SetPicture(Numbered(4, 6));
    c.SetAngle(std::nan(""));
    c.SetAngle(INFINITY);
    EXPECT_EQ(c.Angle(), 30);
}

TEST(RotatedImage, PaintLeavesTheKeyColourAndStaysInsideControlAndClip) {
    // A 3 x 3 picture: magenta at the bottom-left makes magenta see-through.
    Bitmap src;
    src.Create(3, 3, 0x00FF00);
    src.At(0, 2) = kKey;
    TRotatedImage c;
    c.SetTransparent(true);
    c.SetUniqueSize(false);
    c.SetPicture(src);
    c.SetBounds(2, 1, 3, 3);
    Bitmap target;
    target.Create(8, 6, 0x111111);
    c.Paint(target, 0, 0, 8, 6);
    EXPECT_EQ(target.At(2, 1), 0x00FF00u);
    EXPECT_EQ(target.At(4, 3), 0x00FF00u);
    EXPECT_EQ(target.At(2, 3), 0x111111u);  // the key pixel is not drawn
    EXPECT_EQ(target.At(1, 1), 0x111111u);

    // Centred in a larger control; the clip cuts the right column off.
    target.Fill(0x111111);
    c.SetCenter(true);
    c.SetBounds(0, 0, 7, 5);
    c.Paint(target, 0, 0, 4, 6);
    EXPECT_EQ(target.At(2, 1), 0x00FF00u);
    EXPECT_EQ(target.At(3, 3), 0x00FF00u);
    EXPECT_EQ(target.At(4, 1), 0x111111u);

    // Stretched over the whole control, opaque.
    target.Fill(0x111111);
    c.SetTransparent(false);
    c.SetStretch(true);
    c.SetBounds(1, 0, 6, 6);
    c.Paint(target, 0, 0, 8, 6);
    EXPECT_EQ(target.At(1, 0), 0x00FF00u);
    EXPECT_EQ(target.At(6, 5), 0x00FF00u);
    EXPECT_EQ(target.At(1, 5), kKey);
    EXPECT_EQ(target.At(0, 0), 0x111111u);
    EXPECT_EQ(target.At(7, 5), 0x111111u);
}

TEST(RotatedImage, MagentaKeyedPictureLeavesTurnedCornersSeeThrough) {
    Bitmap src;
    src.Create(6, 20, 0xFFFFFF);
    src.At(0, 19) = kKey;
    TRotatedImage c = HandControl(src, -30);
    EXPECT_EQ(c.KeyColor(), kKey);
    Bitmap target;
    target.Create(c.Width(), c.Height(), 0x202020);
    c.Paint(target, 0, 0, c.Width(), c.Height());
    // The square's corners hold no part of the turned picture.
    EXPECT_EQ(target.At(0, 0), 0x202020u);
    EXPECT_EQ(target.At(c.Width() - 1, c.Height() - 1), 0x202020u);
    EXPECT_EQ(target.At(c.Width() / 2, c.Height() / 2), 0xFFFFFFu);
}

// A 3 x 4 hand, its bottom row magenta, turned a quarter about (10, 10): its
// 3 x 3 opaque part then spans x 7.5 .. 10.5 and y 8.5 .. 11.5, so every
// pixel along its outline is half covered and each corner a quarter. On a
// grey face the filtered hand shows this, worked out with the blend's
// 8-bit arithmetic (alpha 127 on the sides, 63 at the corners).
TEST(SmoothHand, QuarterTurnEdgesMatchAPictureWorkedOutByHand) {
    Bitmap hand;
    hand.Create(3, 4, 0xFFFFFF);
    for (int x = 0; x < 3; ++x)
        hand.At(x, 3) = kKey;
    TSmoothHand smooth;
    smooth.SetPicture(hand);
    Bitmap layer;
    int left = 0, top = 0;
    smooth.Render(90, 10, 10, 20, 20, layer, left, top);
    ASSERT_FALSE(layer.Empty());

    Bitmap face;
    face.Create(20, 20, 0x404040);
    Bitmap out = face;
    BlendLayer(out, face, kKey, layer, left, top, 0, 0, 20, 20);

    const uint32_t g = 0x404040;
    const auto grey = [](uint32_t v) { return v | v << 8 | v << 16; };
    const uint32_t side = grey(159), corner = grey(111), full = 0xFFFFFF;
    Bitmap expected = face;
    const uint32_t rows[4][4] = {{corner, side, side, corner},
                                 {side, full, full, side},
                                 {side, full, full, side},
                                 {corner, side, side, corner}};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            expected.At(7 + x, 8 + y) = rows[y][x];
    EXPECT_EQ(out, expected);
    EXPECT_EQ(out.At(6, 10), g);

    // See-through pixels of the face stay as they are under the hand.
    face.At(8, 9) = kKey;
    out = face;
    BlendLayer(out, face, kKey, layer, left, top, 0, 0, 20, 20);
    EXPECT_EQ(out.At(8, 9), kKey);
    EXPECT_EQ(out.At(9, 9), full);
}

TEST(SmoothHand, WholeAndHalfTurnsFilterNothing) {
    Bitmap hand;
    hand.Create(4, 9, kKey);
    hand.FillRect(1, 0, 2, 7, 0x3366CC);
    TSmoothHand smooth;
    smooth.SetPicture(hand);
    Bitmap face;
    face.Create(30, 30, 0x808080);
    for (double angle : {0.0, 180.0, -360.0}) {
        Bitmap layer, out = face;
        int left = 0, top = 0;
        smooth.Render(angle, 15, 15, 30, 30, layer, left, top);
        BlendLayer(out, face, kKey, layer, left, top, 0, 0, 30, 30);
        // Unturned, the picture sits at (15 - 2, 15 - 5); turned by half,
        // its bar hangs from the centre downward.
        Bitmap expected = face;
        if (std::fmod(angle, 360.0) == 0)
            expected.FillRect(14, 10, 2, 7, 0x3366CC);
        else
            expected.FillRect(14, 12, 2, 7, 0x3366CC);
        EXPECT_EQ(out, expected) << angle;
    }
}

TEST(SmoothHand, HandOutsideTheClipGivesAnEmptyLayer) {
    Bitmap hand;
    hand.Create(4, 4, 0xFFFFFF);
    hand.At(0, 3) = kKey;
    TSmoothHand smooth;
    smooth.SetPicture(hand);
    Bitmap layer;
    int left = 0, top = 0;
    smooth.Render(45, -100, 500, 50, 50, layer, left, top);
    EXPECT_TRUE(layer.Empty());
    smooth.SetPicture(Bitmap{});
    smooth.Render(45, 10, 10, 50, 50, layer, left, top);
    EXPECT_TRUE(layer.Empty());
}
