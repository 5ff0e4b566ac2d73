// The dialog frame's pictures and places: composition, title, close button
// and caption strip, and frames made from damaged packages.
#include "display/MyWindow.h"

#include <algorithm>
#include <string>

#include <gtest/gtest.h>

#include "core/IniFile.h"

using namespace tempora;

namespace {

constexpr uint32_t kKey = Bitmap::kKeyColor;

// A template whose every pixel names its own place: x in the red byte, y in
// the green byte, 1 in the blue byte (so never magenta).
Bitmap PlaceTemplate(int w, int h) {
    Bitmap t;
    t.Create(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x)
            t.At(x, y) = static_cast<uint32_t>(x | y << 8 | 1 << 16);
    }
    return t;
}

struct Source {
    int x, y;
};
Source Decode(uint32_t c) {
    return {static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF)};
}

// A half-open range, or an exact value when lo + 1 == hi.
struct Range {
    int lo, hi;
    bool Has(int v) const { return v >= lo && v < hi; }
};

// Which template pixels may land on target pixel (x, y) of a wt x ht frame
// made from a ws x hs template; false for the see-through ring.
bool Allowed(int x, int y, int wt, int ht, int ws, int hs, Range& rx, Range& ry) {
    if (x <= 0 || y <= 0 || x >= wt - 1 || y >= ht - 1)
        return false;
    const auto exact = [](int v) { return Range{v, v + 1}; };
    if (y < 29) {  // corners and top edge
        ry = exact(y - 1);
        rx = x < 21 ? exact(x - 1) : x >= wt - 21 ? exact(ws - 20 + x - (wt - 21)) : Range{21, 81};
    } else if (y >= ht - 11) {  // bottom corners and edge
        ry = exact(hs - 10 + y - (ht - 11));
        rx = x < 11         ? exact(x - 1)
             : x >= wt - 11 ? exact(ws - 10 + x - (wt - 11))
                            : Range{10, ws - 10};
    } else {  // side edges and centre
        rx = x < 11         ? exact(x - 1)
             : x >= wt - 11 ? exact(ws - 10 + x - (wt - 11))
                            : Range{10, ws - 10};
        ry = x < 11 || x >= wt - 11 ? Range{28, 40} : Range{28, hs - 10};
    }
    return true;
}

// A rasteriser whose every title is a solid block `height` rows high, six
// columns per byte, so that the title's place shows exactly.
class SolidGlyphs final : public TGlyphRasterizer {
public:
    explicit SolidGlyphs(int height) : height_(height) {}
    TSize Measure(const TFontSpec&, int, std::string_view text) override {
        return {static_cast<int>(text.size()) * 6, height_};
    }
    void Draw(const TFontSpec&, int, std::string_view, TCoverageMask& grey) override {
        for (int y = 0; y < grey.Height(); ++y)
            std::fill(grey.Row(y), grey.Row(y) + grey.Width(), uint8_t{255});
    }

private:
    int height_;
};

TWinSkin SkinWithTemplate(Bitmap frame) {
    TWinSkin skin;
    skin.frame = std::move(frame);
    skin.closeUp.Create(43, 17, 0x00FF00);
    skin.closeHot.Create(43, 17, 0x0000FF);
    skin.captionColor = 0xFFFFFF;
    return skin;
}

}  // namespace

// Every target pixel comes from the template part that owns its place, or
// stays see-through where the template cannot supply it; a complete template
// leaves nothing see-through but the outermost ring, and its stretched parts
// run from their first source pixel to their last.
TEST(MyWindowFrame, EveryPixelComesFromItsPartOfTheTemplate) {
    struct Case {
        int ws, hs, wt, ht;
    };
    const Case cases[] = {
        {100, 50, 300, 200},  // the default template on the usual dialog
        {100, 50, 472, 353},  // the options dialog
        {100, 60, 300, 200},  // a centre of 22 rows squeezed to 12 first
        {120, 45, 312, 156},  // a centre of 7 rows, a wider top edge source
        {100, 50, 42, 40},    // just the corners
        {10, 10, 300, 200},   // damaged: smaller than every part
        {30, 20, 100, 60},    // damaged: corners only partly there
        {90, 39, 200, 100},   // damaged: no centre rows, a partial top edge
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.ws << "x" << c.hs << " on " << c.wt << "x" << c.ht);
        const Bitmap t = PlaceTemplate(c.ws, c.hs);
        const Bitmap f = ComposeDialogFrame(t, c.wt, c.ht);
        ASSERT_EQ(f.Width(), c.wt);
        ASSERT_EQ(f.Height(), c.ht);
        const bool complete = c.ws >= 81 && c.hs >= 40;
        int wrong = 0, holes = 0;
        for (int y = 0; y < c.ht; ++y) {
            for (int x = 0; x < c.wt; ++x) {
                Range rx{}, ry{};
                const uint32_t px = f.At(x, y);
                if (!Allowed(x, y, c.wt, c.ht, c.ws, c.hs, rx, ry)) {
                    wrong += px != kKey;
                    continue;
                }
                if (px == kKey) {
                    ++holes;
                    continue;
                }
                const Source s = Decode(px);
                wrong += !rx.Has(s.x) || !ry.Has(s.y);
            }
        }
        EXPECT_EQ(wrong, 0);
        if (!complete)
            continue;
        EXPECT_EQ(holes, 0);
        if (c.wt < 122 || c.ht < 52)
            continue;  // a dialog this small squeezes its edges
        // Stretches that do not shrink reach both ends of their source, in order.
        EXPECT_EQ(Decode(f.At(21, 5)).x, 21);
        EXPECT_EQ(Decode(f.At(c.wt - 22, 5)).x, 80);
        EXPECT_EQ(Decode(f.At(5, 29)).y, 28);
        EXPECT_EQ(Decode(f.At(5, c.ht - 12)).y, 39);
        EXPECT_EQ(Decode(f.At(11, c.ht / 2)).x, 10);
        EXPECT_EQ(Decode(f.At(c.wt - 12, c.ht / 2)).x, c.ws - 11);
        if (c.hs - 38 <= 12) {
            EXPECT_EQ(Decode(f.At(c.wt / 2, 29)).y, 28);
            EXPECT_EQ(Decode(f.At(c.wt / 2, c.ht - 12)).y, c.hs - 11);
        }
        for (int x = 22; x < c.wt - 21; ++x)
            ASSERT_LE(Decode(f.At(x - 1, 5)).x, Decode(f.At(x, 5)).x) << x;
        for (int y = 30; y < c.ht - 11; ++y)
            ASSERT_LE(Decode(f.At(c.wt / 2, y - 1)).y, Decode(f.At(c.wt / 2, y)).y) << y;
    }
}

TEST(MyWindowFrame, DefaultTemplateOnA300By200Dialog) {
    const Bitmap t = PlaceTemplate(100, 50);
    const Bitmap f = ComposeDialogFrame(t, 300, 200);
    // The corners' top-left pixels, and the first pixel of what lies before them.
    EXPECT_EQ(f.At(1, 1), t.At(0, 0));
    EXPECT_EQ(f.At(279, 1), t.At(80, 0));
    EXPECT_EQ(f.At(1, 189), t.At(0, 40));
    EXPECT_EQ(f.At(289, 189), t.At(90, 40));
    EXPECT_EQ(f.At(298, 28), t.At(99, 27));
    EXPECT_EQ(f.At(298, 198), t.At(99, 49));
    // The top edge spans x 21..278, the left edge y 29..188.
    EXPECT_EQ(Decode(f.At(20, 1)).x, 19);
    EXPECT_EQ(Decode(f.At(21, 1)).x, 21);
    EXPECT_EQ(Decode(f.At(278, 1)).x, 80);
    EXPECT_EQ(Decode(f.At(1, 28)).y, 27);
    EXPECT_EQ(Decode(f.At(1, 29)).y, 28);
    EXPECT_EQ(Decode(f.At(1, 188)).y, 39);
}

TEST(MyWindowFrame, DegenerateSizesGiveAnEmptyOrSeeThroughPicture) {
    const Bitmap t = PlaceTemplate(100, 50);
    for (auto [w, h] : {std::pair{0, 0}, {-3, 10}, {10, -1}, {40000, 10}}) {
        EXPECT_TRUE(ComposeDialogFrame(t, w, h).Empty()) << w << "x" << h;
    }
    // Corners larger than the dialog never reach its outermost pixels.
    for (auto [w, h] : {std::pair{1, 1}, {3, 3}, {15, 12}, {30, 20}}) {
        const Bitmap f = ComposeDialogFrame(t, w, h);
        ASSERT_EQ(f.Width(), w);
        for (int x = 0; x < w; ++x)
            EXPECT_TRUE(f.At(x, 0) == kKey && f.At(x, h - 1) == kKey) << w << "x" << h;
        for (int y = 0; y < h; ++y)
            EXPECT_TRUE(f.At(0, y) == kKey && f.At(w - 1, y) == kKey) << w << "x" << h;
    }
    // An empty template leaves everything see-through.
    const Bitmap f = ComposeDialogFrame(Bitmap{}, 60, 50);
    EXPECT_EQ(std::count(f.Pixels(), f.Pixels() + 60 * 50, kKey), 60 * 50);
}

// The title sits at x 10 and y (27 - h) div 2 + 2 in the caption colour,
// without background.
TEST(MyWindowFrame, TitlePlacement) {
    for (auto [height, top] : {std::pair{14, 8}, {12, 9}}) {
        SCOPED_TRACE(height);
        EXPECT_EQ(TitleTop(height), top);
        TWinSkin skin = SkinWithTemplate(PlaceTemplate(100, 50));
        skin.captionColor = 0x123456;
        const TMyWindow frame(skin);
        const Bitmap before = frame.ComposeFrame(300, 200);
        Bitmap after = before;
        SolidGlyphs glyphs(height);
        frame.DrawTitle(after, glyphs, TitleFont(96), "标题");  // 6 bytes: 36 columns
        for (int y = 0; y < 200; ++y) {
            for (int x = 0; x < 300; ++x) {
                const bool inTitle = x >= 10 && x < 46 && y >= top && y < top + height;
                ASSERT_EQ(after.At(x, y), inTitle ? 0x123456u : before.At(x, y)) << x << "," << y;
            }
        }
    }
    // A title wider than the frame is cut at its edge; one taller than the
    // strip starts above it.
    TMyWindow frame(SkinWithTemplate(PlaceTemplate(100, 50)));
    Bitmap small = frame.ComposeFrame(30, 20);
    SolidGlyphs tall(40);
    frame.DrawTitle(small, tall, TitleFont(96), std::string(50, 'x'));
    EXPECT_EQ(small.At(29, 0), frame.CaptionColor());
    EXPECT_EQ(small.At(9, 0), kKey);
}

TEST(MyWindowFrame, TitleFontIsSongTi10PointsBold) {
    const TFontSpec at96 = TitleFont(96);
    EXPECT_EQ(at96.Name, "宋体");
    EXPECT_EQ(at96.Height, -13);
    EXPECT_TRUE(at96.Bold);
    EXPECT_EQ(TitleFont(120).Height, -17);
    EXPECT_EQ(TitleFont(144).Height, -20);
}

TEST(MyWindowFrame, CloseButtonPlaceAndDragStrip) {
    const TMyWindow frame(SkinWithTemplate(PlaceTemplate(100, 50)));
    EXPECT_EQ(frame.ClosePlace(300), (TSkinRect{247, 1, 43, 17}));
    EXPECT_EQ(frame.ClosePlace(472), (TSkinRect{419, 1, 43, 17}));

    struct Case {
        int x, y;
        bool in;
    };
    for (const Case& c : {Case{0, 0, true}, Case{299, 27, true}, Case{150, 28, false},
                          Case{-1, 5, false}, Case{300, 5, false}, Case{5, -1, false}}) {
        EXPECT_EQ(InDragStrip(c.x, c.y, 300), c.in) << c.x << "," << c.y;
    }
}

// A package whose WIN rectangles lie outside its picture, or are smaller
// than the template's parts, still gives a frame, a title and a close button
// that can be clicked.
TEST(MyWindowFrame, DamagedPackageRectangles) {
    Bitmap picture;
    picture.Create(100, 67, 0x404040);
    struct Case {
        const char* name;
        const char* keys;
        int closeWidth;
    };
    const Case cases[] = {
        {"outside the picture",
         "[WIN]\nWinLeft=500\nWinTop=-300\nCloseBtnLeft=-80\nCloseBtnTop=90\n"
         "CloseBtnHotLeft=200\n",
         43},
        {"partly outside", "[WIN]\nWinLeft=60\nWinTop=40\nCloseBtnLeft=90\nCloseBtnTop=60\n", 43},
        {"smaller than the parts",
         "[WIN]\nWinWidth=10\nWinHeight=10\nCloseBtnWidth=0\nCloseBtnHeight=0\n", 43},
        {"no hover picture", "[WIN]\nCloseBtnWidth=20\nCloseBtnHotWidth=0\n", 20},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TWinSkin skin;
        ASSERT_TRUE(WinSkinFrom(TIniFile("x", c.keys), picture, skin));
        const TMyWindow frame(skin);
        Bitmap f = frame.ComposeFrame(300, 200);
        ASSERT_EQ(f.Width(), 300);
        SolidGlyphs glyphs(14);
        frame.DrawTitle(f, glyphs, TitleFont(96), "标题");
        const TSkinRect close = frame.ClosePlace(300);
        EXPECT_EQ(close.width, c.closeWidth);
        EXPECT_GT(close.height, 0);
        EXPECT_EQ(close.left + close.width, 290);
        EXPECT_FALSE(frame.CloseHot().Empty());
        for (int x = 0; x < 300; ++x)
            ASSERT_EQ(f.At(x, 199), kKey);
    }
}

// Our own frame has no holes: only the outermost ring and the corners that
// the window's rounded shape cuts away are see-through.
TEST(MyWindowFrame, PlainFrameIsWholeInsideTheRoundedShape) {
    const TMyWindow plain = TMyWindow::Plain();
    EXPECT_EQ(plain.FrameTemplate().Width(), 100);
    EXPECT_EQ(plain.FrameTemplate().Height(), 50);
    EXPECT_EQ(plain.ClosePlace(300), (TSkinRect{247, 1, 43, 17}));
    EXPECT_FALSE(plain.CloseUp() == plain.CloseHot());
    for (auto [w, h] : {std::pair{300, 200}, {312, 156}, {472, 353}}) {
        const Bitmap f = plain.ComposeFrame(w, h);
        int holes = 0;
        for (int y = 1; y < h - 1; ++y) {
            for (int x = 1; x < w - 1; ++x) {
                const bool corner = (x < 8 || x >= w - 8) && (y < 8 || y >= h - 8);
                holes += !corner && f.At(x, y) == kKey;
            }
        }
        EXPECT_EQ(holes, 0) << w << "x" << h;
        // The caption strip and the body differ, and the title reads on the strip.
        EXPECT_NE(f.At(w / 2, 14), f.At(w / 2, h / 2));
        EXPECT_NE(f.At(w / 2, 14), plain.CaptionColor());
    }
}
