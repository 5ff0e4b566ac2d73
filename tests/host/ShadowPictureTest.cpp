#include "display/ShadowPicture.h"

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

using namespace tempora;

namespace {

using Grid = std::vector<std::vector<int>>;

constexpr uint32_t kKey = Bitmap::kKeyColor;
constexpr uint32_t kFace = 0x404040;

uint32_t Grey(int v, uint32_t top = 0) {
    const auto b = static_cast<uint32_t>(v);
    return top << 24 | b << 16 | b << 8 | b;
}

// The blue byte of every pixel: the shadow's strength.
Grid Strengths(const Bitmap& pic) {
    Grid g(pic.Height(), std::vector<int>(pic.Width()));
    for (int y = 0; y < pic.Height(); ++y) {
        for (int x = 0; x < pic.Width(); ++x)
            g[y][x] = (pic.At(x, y) >> 16) & 0xFF;
    }
    return g;
}

// An owner face of `w` x `h` in kFace with the see-through parts given.
Bitmap Face(int w, int h, std::vector<TShadowRect> holes) {
    Bitmap face;
    face.Create(w, h, kFace);
    for (const TShadowRect& r : holes)
        face.FillRect(r.left, r.top, r.right - r.left, r.bottom - r.top, kKey);
    return face;
}

TShadowOwner Owner(int w, int h) {
    TShadowOwner o;
    o.width = w;
    o.height = h;
    return o;
}

// An owner showing `face` with the see-through colour `key`.
TShadowOwner Keyed(const Bitmap& face, std::optional<uint32_t> key = kKey) {
    TShadowOwner o = Owner(face.Width(), face.Height());
    o.keyColor = key;
    o.client = &face;
    return o;
}

TShadowPicture Built(const TShadowOwner& owner) {
    TShadowPicture shadow;
    EXPECT_TRUE(shadow.Build(owner));
    return shadow;
}

}  // namespace

// A 2 x 2 white block at (1, 1), radius 1, worked out by hand pixel by pixel.
// The top row's upper samples are the row itself (half of it already
// rewritten), the rows below read rewritten rows above, and the bottom row
// reads itself again below.
TEST(ShadowBlurPass, MatchesTheHandWorkedSixBySix) {
    Bitmap pic;
    pic.Create(6, 6, Grey(0, 0x5A));
    for (int y : {1, 2}) {
        for (int x : {1, 2})
            pic.At(x, y) = Grey(255, 0x5A);
    }
    ShadowBlurPass(pic, 1);

    const Grid expected = {
        {63, 79, 83, 84, 21, 5},    //
        {99, 100, 104, 89, 22, 6},  //
        {49, 50, 47, 31, 23, 7},    //
        {24, 24, 20, 17, 9, 7},     //
        {12, 11, 10, 7, 6, 4},      //
        {5, 6, 6, 5, 4, 3},
    };
    EXPECT_EQ(Strengths(pic), expected);
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 6; ++x)
            ASSERT_EQ(pic.At(x, y), Grey(expected[y][x], 0x5A)) << x << "," << y;
    }
}

// Each colour byte is averaged on its own, the fourth byte stays, and radii
// beyond the picture just clamp.
TEST(ShadowBlurPass, KeepsUniformPicturesAndTheFourthByte) {
    struct Case {
        int w, h, radius;
        uint32_t pixel;
    };
    for (const Case& c : {Case{5, 4, 1, 0xA5FF01FF}, Case{3, 7, 3, 0x01FFFFFF},
                          Case{1, 1, 2, 0xFF00FF00}, Case{4, 4, 50, 0x7F807F80}}) {
        Bitmap pic;
        pic.Create(c.w, c.h, c.pixel);
        const Bitmap before = pic;
        ShadowBlurPass(pic, c.radius);
        EXPECT_EQ(pic, before) << std::hex << c.pixel << " radius " << c.radius;
    }
    Bitmap empty;
    ShadowBlurPass(empty, 1);
    EXPECT_TRUE(empty.Empty());
}

// A plain owner: the picture is 16 px larger on every side, nothing under the
// owner, a shadow that is strongest along its outline and fades outward. It
// reaches 1 + 2 + 3 px upward; downward the passes, working in place, carry
// it further: a drop shadow, lit from above.
TEST(ShadowPicture, PlainOwnerCastsAShadowFadingFromItsOutline) {
    const TShadowPicture shadow = Built(Owner(40, 20));
    const Grid g = Strengths(shadow.Strength());
    ASSERT_EQ(shadow.Strength().Width(), 72);
    ASSERT_EQ(shadow.Strength().Height(), 52);
    for (int y = 0; y < 52; ++y) {
        for (int x = 0; x < 72; ++x) {
            const bool under = x >= 16 && x < 56 && y >= 16 && y < 36;
            if (under || y < 16 - 6) {
                ASSERT_EQ(g[y][x], 0) << x << "," << y;
            }
        }
    }
    // From the middle of each edge outward: positive next to the owner, never
    // growing further out.
    struct Walk {
        int x, y, dx, dy, steps;
    };
    for (const Walk& w : {Walk{15, 26, -1, 0, 8}, Walk{56, 26, 1, 0, 8}, Walk{36, 15, 0, -1, 6},
                          Walk{36, 36, 0, 1, 14}}) {
        EXPECT_GT(g[w.y][w.x], 0) << w.x << "," << w.y;
        for (int i = 1; i < w.steps; ++i) {
            const int x = w.x + i * w.dx, y = w.y + i * w.dy;
            EXPECT_LE(g[y][x], g[y - w.dy][x - w.dx]) << x << "," << y;
        }
    }
    EXPECT_GT(g[40][36], 0);
    // The colour bytes stay equal: the picture is grey.
    const uint32_t p = shadow.Strength().At(14, 26);
    EXPECT_EQ(p & 0xFF, (p >> 8) & 0xFF);
    EXPECT_EQ(p & 0xFF, (p >> 16) & 0xFF);
}

// See-through pixels along the edge cast no shadow of their own: an owner
// whose left 8 columns are see-through has exactly the shadow of an owner
// 8 px narrower standing where its visible part stands.
TEST(ShadowPicture, SeeThroughEdgeShadowsLikeTheVisibleShapeAlone) {
    const Bitmap wideFace = Face(48, 20, {{0, 0, 8, 20}});
    const TShadowPicture wide = Built(Keyed(wideFace));
    const TShadowPicture narrow = Built(Owner(40, 20));
    const Grid w = Strengths(wide.Strength());
    const Grid n = Strengths(narrow.Strength());
    for (int y = 0; y < 52; ++y) {
        for (int x = 0; x < 80; ++x)
            ASSERT_EQ(w[y][x], x >= 8 ? n[y][x - 8] : 0) << x << "," << y;
    }
}

// Inside the owner: visible pixels are fully transparent, see-through pixels
// keep the blur that falls into them, strongest along the hole's rim.
TEST(ShadowPicture, VisiblePixelsHideTheShadowHolesKeepTheirBlur) {
    const TShadowRect hole{10, 8, 30, 22};
    const Bitmap face = Face(40, 30, {hole});
    const TShadowPicture shadow = Built(Keyed(face));
    const Grid g = Strengths(shadow.Strength());
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x) {
            if (face.At(x, y) != kKey) {
                ASSERT_EQ(g[y + 16][x + 16], 0) << x << "," << y;
            }
        }
    }
    EXPECT_GT(g[16 + 8][16 + 20], 0);                        // top rim of the hole
    EXPECT_GT(g[16 + 21][16 + 20], 0);                       // bottom rim
    EXPECT_GT(g[16 + 15][16 + 10], 0);                       // left rim
    EXPECT_GT(g[16 + 15][16 + 29], 0);                       // right rim
    EXPECT_LT(g[16 + 15][16 + 20], g[16 + 8][16 + 20] / 2);  // the middle, 7 px in
    // Outside, the owner still casts its ring.
    EXPECT_GT(g[31][15], 0);
}

// The bar's look: see-through corners round the shadow off instead of
// leaving a hole-shaped dark block, and the picture follows the key colour
// the owner names (the face's magenta is no key under another colour).
TEST(ShadowPicture, OnlyTheOwnersKeyColorLetsTheShadowThrough) {
    const Bitmap face = Face(30, 12, {{0, 0, 2, 2}});
    const TShadowPicture keyed = Built(Keyed(face));
    const TShadowPicture otherKey = Built(Keyed(face, 0x00FF00));
    const TShadowPicture noKey = Built(Keyed(face, std::nullopt));
    EXPECT_GT(Strengths(keyed.Strength())[16][16], 0);
    EXPECT_EQ(Strengths(otherKey.Strength())[16][16], 0);
    EXPECT_EQ(otherKey.Strength(), noKey.Strength());
    EXPECT_NE(keyed.Strength(), noKey.Strength());
}

// A window region shapes the shadow: the notch of an L-shaped window gets
// shadow, the window's own pixels none.
TEST(ShadowPicture, RegionShapesTheSilhouette) {
    // An L: the full-width top half, then only the left half below.
    TShadowOwner l = Owner(40, 20);
    l.region = {{0, 0, 40, 10}, {0, 10, 20, 20}};
    const TShadowPicture shadow = Built(l);
    const Grid g = Strengths(shadow.Strength());
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 40; ++x) {
            if (y < 10 || x < 20) {
                ASSERT_EQ(g[y + 16][x + 16], 0) << x << "," << y;
            }
        }
    }
    EXPECT_GT(g[16 + 11][16 + 21], 0);                        // in the notch, by the inner corner
    EXPECT_LT(g[16 + 19][16 + 39], g[16 + 11][16 + 21] / 4);  // the notch's far corner
}

// A frame widens the silhouette; a region, a client picture or a frame that
// lies partly or wholly outside the picture is clipped, never read or
// written outside.
TEST(ShadowPicture, OddShapesStayInsideThePicture) {
    TShadowOwner framedOwner = Owner(20, 10);
    framedOwner.growX = 2;
    framedOwner.growY = 1;
    const Grid framed = Strengths(Built(framedOwner).Strength());
    EXPECT_EQ(framed[16 + 5][16 - 2], 0);  // under the frame
    EXPECT_GT(framed[16 + 5][16 - 3], 0);

    const Bitmap bigFace = Face(500, 400, {{0, 0, 500, 400}});
    std::vector<TShadowOwner> odd(7, Owner(10, 10));
    odd[0].region = {{-100, -100, 5, 5}, {8, 8, 1000, 1000}};
    odd[1].region = {{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}};
    odd[2].region = {{7, 7, 3, 3}};
    odd[3] = Keyed(bigFace);
    odd[3].width = odd[3].height = 10;
    odd[3].clientLeft = -250;
    odd[3].clientTop = -200;
    odd[4] = odd[3];
    odd[4].clientLeft = INT32_MAX;
    odd[5].growX = INT32_MAX;
    odd[5].growY = INT32_MIN;
    odd[6] = Owner(0, 0);
    for (const TShadowOwner& owner : odd) {
        TShadowPicture shadow;
        EXPECT_TRUE(shadow.Build(owner));
        EXPECT_EQ(shadow.Strength().Width(), owner.width + 32);
        EXPECT_EQ(shadow.Strength().Height(), owner.height + 32);
    }
    // An owner with nothing to shadow gives a clear picture.
    EXPECT_EQ(Strengths(Built(Owner(0, 0)).Strength()), Grid(32, std::vector<int>(32, 0)));
}

TEST(ShadowPicture, RefusesImpossibleSizes) {
    for (const auto& [w, h] : {std::pair{-1, 10}, std::pair{10, -40}, std::pair{INT32_MAX, 1},
                               std::pair{40000, 40000}}) {
        TShadowPicture shadow;
        ASSERT_TRUE(shadow.Build(Owner(10, 10)));
        EXPECT_FALSE(shadow.Build(Owner(w, h))) << w << " x " << h;
        EXPECT_TRUE(shadow.Strength().Empty());
        EXPECT_TRUE(shadow.NeedsBuild(w, h, std::nullopt));
    }
}

// Rebuilding is needed only for a new size, a new key colour or on request.
TEST(ShadowPicture, NeedsBuildOnlyWhenSomethingChanged) {
    TShadowPicture shadow;
    EXPECT_TRUE(shadow.NeedsBuild(30, 10, kKey));
    const Bitmap face = Face(30, 10, {});
    shadow.Build(Keyed(face));

    struct Case {
        int w, h;
        std::optional<uint32_t> key;
        bool needed;
    };
    for (const Case& c : {Case{30, 10, kKey, false}, Case{30, 10, kKey | 0xFF000000, false},
                          Case{30, 10, std::nullopt, false}, Case{31, 10, kKey, true},
                          Case{30, 9, kKey, true}, Case{30, 10, 0x00FF00, true}}) {
        EXPECT_EQ(shadow.NeedsBuild(c.w, c.h, c.key), c.needed)
            << c.w << " x " << c.h << " key " << std::hex << c.key.value_or(0xDEAD);
    }
    shadow.Invalidate();
    EXPECT_TRUE(shadow.NeedsBuild(30, 10, kKey));
    shadow.Build(Owner(30, 10));
    // A key appearing on an owner that had none changes the picture.
    EXPECT_TRUE(shadow.NeedsBuild(30, 10, kKey));
}

// The layered picture: alpha from the strength, the colour premultiplied.
TEST(PremultiplyShadow, TakesAlphaFromTheStrengthAndScalesTheColor) {
    const TShadowPicture shadow = Built(Owner(4, 2));
    const Bitmap& s = shadow.Strength();
    std::vector<uint32_t> black(static_cast<size_t>(s.Width()) * s.Height(), 0xDEADBEEF);
    PremultiplyShadow(s, 0, black.data());
    for (int y = 0; y < s.Height(); ++y) {
        for (int x = 0; x < s.Width(); ++x)
            ASSERT_EQ(black[y * s.Width() + x], (s.At(x, y) & 0xFF0000) << 8) << x << "," << y;
    }

    struct Case {
        int alpha;
        uint32_t expected;  // 0xAARRGGBB
    };
    const uint32_t color = 0xFF8040;  // blue 255, green 128, red 64
    Bitmap strengths;
    strengths.Create(5, 1);
    const Case cases[] = {
        {0, 0}, {255, 0xFF4080FF}, {128, 0x80204080}, {1, 0x01000001}, {254, 0xFE3F7FFE}};
    for (int i = 0; i < 5; ++i)
        strengths.At(i, 0) = Grey(cases[i].alpha);
    std::vector<uint32_t> out(5);
    PremultiplyShadow(strengths, color, out.data());
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(out[i], cases[i].expected) << "alpha " << cases[i].alpha;
}
