// The GDI glyphs behind TSmoothFont and the bar's date line drawn with them.
// Under Wine 宋体 is WenQuanYi Zen Hei (the test prefix's font substitute).
#include "display/SmoothCtrls.h"
#include "display/SmoothCtrls_win.h"
#include "display/SmoothFont.h"
#include "display/SmoothFont_win.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "core/Bmp.h"

using namespace tempora;

namespace {

const std::string kDateLine = "2026年12月10日 星期四";

TFontSpec Song12() {
    TFontSpec font;  // 宋体, 12-pixel characters
    font.Color = 0xFFFFFF;
    return font;
}

struct MaskStats {
    int ink = 0;    // pixels with any coverage
    int solid = 0;  // pixels of full coverage
    int left = -1, right = -1;
};

MaskStats Stats(const TCoverageMask& mask) {
    MaskStats s;
    for (int y = 0; y < mask.Height(); ++y) {
        for (int x = 0; x < mask.Width(); ++x) {
            const int v = mask.At(x, y);
            if (v == 0)
                continue;
            ++s.ink;
            s.solid += v == 255;
            s.left = s.left < 0 ? x : std::min(s.left, x);
            s.right = std::max(s.right, x);
        }
    }
    return s;
}

bool SameMask(const TCoverageMask& a, const TCoverageMask& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height())
        return false;
    for (int y = 0; y < a.Height(); ++y) {
        for (int x = 0; x < a.Width(); ++x) {
            if (a.At(x, y) != b.At(x, y))
                return false;
        }
    }
    return true;
}

// The bar's dark glass strip, top to bottom.
Bitmap BarBackground() {
    Bitmap bar;
    bar.Create(332, 34);
    for (int y = 0; y < bar.Height(); ++y) {
        const auto mix = [&](int top, int bottom) { return top + (bottom - top) * y / 33; };
        const uint32_t c =
            static_cast<uint32_t>(mix(58, 20) | mix(66, 23) << 8 | mix(82, 30) << 16);
        bar.FillRect(0, y, bar.Width(), 1, c);
    }
    return bar;
}

}  // namespace

TEST(SmoothFontGdi, ChineseDateMaskIsSolidAndRepeatable) {
    TGdiGlyphs glyphs;
    TSmoothFont font(glyphs);
    font.SetQuality(tqNone);
    font.SetFont(Song12());
    const TSize extent = font.TextExtent(kDateLine);
    // Seven 12-pixel characters and nine narrow ones.
    EXPECT_GE(extent.Width, 7 * 11 + 9 * 5);
    EXPECT_LE(extent.Width, 7 * 13 + 9 * 8);
    EXPECT_GE(extent.Height, 12);
    EXPECT_LE(extent.Height, 16);

    Bitmap pic;
    pic.Create(extent.Width, extent.Height);
    font.SetSurface(&pic);
    font.PaintText(0, 0, kDateLine);
    const TCoverageMask first = font.Mask();
    EXPECT_EQ(first.Width(), extent.Width);
    EXPECT_EQ(first.Height(), extent.Height);
    const MaskStats s = Stats(first);
    // Without supersampling the glyphs are plain black and white, and the
    // strokes reach across the whole line.
    EXPECT_GT(s.ink, 300);
    EXPECT_EQ(s.solid, s.ink);
    EXPECT_LE(s.left, 2);
    EXPECT_GE(s.right, extent.Width - 14);

    font.PaintText(0, 0, kDateLine);
    EXPECT_TRUE(SameMask(first, font.Mask()));
}

TEST(SmoothFontGdi, SupersamplingGivesGreyEdgesAtTheSameSize) {
    TGdiGlyphs glyphs;
    TSmoothFont font(glyphs);
    font.SetFont(Song12());
    font.SetQuality(tqNone);
    const TSize plain = font.TextExtent(kDateLine);
    Bitmap pic;
    pic.Create(200, 20);
    font.SetSurface(&pic);
    for (TTextQuality q : {tqHigh, tqNormal, tqLow}) {
        font.SetQuality(q);
        const TSize size = font.TextExtent(kDateLine);
        EXPECT_NEAR(size.Width, plain.Width, 3) << int(q);
        EXPECT_NEAR(size.Height, plain.Height, 2) << int(q);
        font.PaintText(0, 0, kDateLine);
        const MaskStats s = Stats(font.Mask());
        EXPECT_GT(s.ink, 300) << int(q);
        EXPECT_GT(s.ink - s.solid, s.ink / 4) << "grey edges, quality " << int(q);
    }
}

TEST(SmoothFontGdi, InstallationLabels) {
    const TWinSystemLabels labels;
    EXPECT_FALSE(labels.RegisteredOwner().empty());
    EXPECT_EQ(labels.AppTitle(), "嘀嗒桌面时钟");
}

// The date line as the bar shows it. With TEMPORA_DATELINE_BMP set, the
// picture is also saved there, for a look at it.
TEST(SmoothFontGdi, BarDateLineIsCentredOverTheBar) {
    TGdiGlyphs glyphs;
    TFadeText fade(glyphs);
    const Bitmap background = BarBackground();
    fade.SetParentBackground(&background);
    ConfigureBarDateLine(fade);
    fade.Loaded();
    fade.BeginUpdate();
    fade.Lines()[0] = "<FontCN>" + kDateLine;
    fade.EndUpdate();
    fade.ShowLine(0);
    while (fade.FadeTimerRunning())
        fade.OnFadeTimer();
    Bitmap bar = background;
    fade.Paint(bar);

    int left = bar.Width(), right = -1, top = bar.Height(), bottom = -1;
    for (int y = 0; y < bar.Height(); ++y) {
        for (int x = 0; x < bar.Width(); ++x) {
            if (bar.At(x, y) != background.At(x, y)) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    // Everything drawn lies in the control (173, 12, 154 x 20), centred.
    EXPECT_GE(left, 173);
    EXPECT_LE(right, 173 + 153);
    EXPECT_GE(top, 12);
    EXPECT_LE(bottom, 12 + 19);
    EXPECT_NEAR((left + right) / 2.0, 173 + 77, 3);
    EXPECT_NEAR((top + bottom) / 2.0, 12 + 10, 3);

    Bitmap again = background;
    fade.Paint(again);
    EXPECT_EQ(again, bar);

    if (const char* path = std::getenv("TEMPORA_DATELINE_BMP")) {
        std::ofstream out(path, std::ios::binary);
        out << EncodeBmp(bar);
        EXPECT_TRUE(out.good());
    }
}
