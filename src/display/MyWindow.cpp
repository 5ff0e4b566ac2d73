#include "MyWindow.h"

#include <algorithm>
#include <utility>

namespace tempora {

namespace {

constexpr uint32_t kKey = Bitmap::kKeyColor;

constexpr uint32_t Rgb(int r, int g, int b) {
    return static_cast<uint32_t>(r | (g << 8) | (b << 16));
}

// The colour `step` of `steps` (0-based) on the way from `from` to `to`.
uint32_t Mix(uint32_t from, uint32_t to, int step, int steps) {
    if (steps <= 1)
        return from;
    uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const int a = static_cast<int>((from >> shift) & 0xFF);
        const int b = static_cast<int>((to >> shift) & 0xFF);
        out |= static_cast<uint32_t>(a + (b - a) * step / (steps - 1)) << shift;
    }
    return out;
}

// A picture of width x height filled with the key colour; empty when a side
// is not positive, so that every copy or stretch into it does nothing.
Bitmap KeyStrip(int width, int height) {
    Bitmap strip;
    if (width > 0 && height > 0)
        strip.Create(width, height, kKey);
    return strip;
}

// Rounds the corners of `pic` along circles of `radius` whose pixels lie
// inside the picture: corner pixels outside become see-through, the ones on
// the curve take `rim`. `corners` picks them: 1 top-left, 2 top-right,
// 4 bottom-left, 8 bottom-right.
void RoundCorners(Bitmap& pic, double radius, int corners, uint32_t rim) {
    const int w = pic.Width(), h = pic.Height(), n = static_cast<int>(radius + 0.5);
    const auto outside = [&](int x, int y) {  // x, y counted from the corner
        if (x < 0 || y < 0)
            return true;
        const double dx = x + 0.5 - radius, dy = y + 0.5 - radius;
        return x < radius && y < radius && dx * dx + dy * dy > radius * radius;
    };
    for (int c = 0; c < 4; ++c) {
        if (!(corners & (1 << c)))
            continue;
        const bool right = c & 1, bottom = c & 2;
        for (int y = 0; y < n && y < h; ++y) {
            for (int x = 0; x < n && x < w; ++x) {
                const int px = right ? w - 1 - x : x, py = bottom ? h - 1 - y : y;
                if (outside(x, y))
                    pic.At(px, py) = kKey;
                else if (outside(x - 1, y) || outside(x, y - 1))
                    pic.At(px, py) = rim;
            }
        }
    }
}

// The plain close button: a tab hanging from the caption's rim, with a white
// cross.
Bitmap PlainCloseButton(uint32_t top, uint32_t bottom, uint32_t rim) {
    constexpr int kW = 43, kH = 17;
    Bitmap b;
    b.Create(kW, kH, rim);
    for (int y = 1; y < kH - 1; ++y)
        b.FillRect(1, y, kW - 2, 1, Mix(top, bottom, y - 1, kH - 2));
    b.FillRect(0, 0, kW, 1, rim);
    RoundCorners(b, 3.5, 4 | 8, rim);
    const uint32_t white = Rgb(255, 255, 255);
    const int cx = kW / 2, cy = kH / 2 - 1;
    for (int t = 0; t < 2; ++t) {  // two pixels thick
        b.DrawLine({cx - 4 + t, cy - 3}, {cx + 4 + t, cy + 5}, white);
        b.DrawLine({cx + 3 + t, cy - 3}, {cx - 5 + t, cy + 5}, white);
    }
    return b;
}

}  // namespace

TWinSkin PlainWinSkin() {
    constexpr int kW = 100, kH = 50;
    const uint32_t rim = Rgb(40, 56, 80);
    const uint32_t captionTop = Rgb(92, 122, 162), captionBottom = Rgb(54, 80, 116);
    const uint32_t captionLine = Rgb(34, 48, 70);
    const uint32_t body = Rgb(247, 247, 247);

    TWinSkin skin;
    Bitmap& t = skin.frame;
    t.Create(kW, kH, body);
    for (int y = 1; y < TMyWindow::kCaptionHeight - 1; ++y)
        t.FillRect(0, y, kW, 1,
                   Mix(captionTop, captionBottom, y - 1, TMyWindow::kCaptionHeight - 2));
    t.FillRect(0, TMyWindow::kCaptionHeight - 1, kW, 1, captionLine);
    t.FillRect(0, 0, kW, 1, rim);
    t.FillRect(0, kH - 1, kW, 1, rim);
    t.FillRect(0, 0, 1, kH, rim);
    t.FillRect(kW - 1, 0, 1, kH, rim);
    // The window's own shape cuts its corners with ellipses of kCornerEllipse;
    // the rim follows the same curve.
    RoundCorners(t, TMyWindow::kCornerEllipse / 2.0, 1 | 2 | 4 | 8, rim);

    skin.closeUp = PlainCloseButton(Rgb(108, 138, 178), Rgb(66, 94, 132), rim);
    skin.closeHot = PlainCloseButton(Rgb(226, 92, 76), Rgb(180, 46, 38), Rgb(110, 28, 24));
    skin.captionColor = Rgb(255, 255, 255);
    return skin;
}

TMyWindow::TMyWindow(const TWinSkin& skin)
    : frame_(skin.frame),
      closeUp_(skin.closeUp),
      closeHot_(skin.closeHot),
      captionColor_(skin.captionColor & 0xFFFFFF) {
    if (closeUp_.Empty()) {
        const TWinSkin plain = PlainWinSkin();
        closeUp_ = plain.closeUp;
        closeHot_ = plain.closeHot;
    } else if (closeHot_.Empty()) {
        closeHot_ = closeUp_;
    }
}

TMyWindow TMyWindow::Plain() {
    return TMyWindow(PlainWinSkin());
}

namespace {

// `picture` stretched from 100 % to `scale`, nearest pixel: the frame's
// rims and gradients stay crisp lines.
Bitmap Stretched(const Bitmap& picture, TScale scale) {
    Bitmap out;
    if (picture.Empty() || !out.Create(scale.Px(picture.Width()), scale.Px(picture.Height()), kKey))
        return picture;
    out.StretchRect(0, 0, out.Width(), out.Height(), picture, 0, 0, picture.Width(),
                    picture.Height());
    return out;
}

}  // namespace

TMyWindow TMyWindow::AtScale(TScale scale) const {
    TMyWindow out = *this;
    out.scale_ = scale;
    if (scale == TScale{})
        return out;
    out.frame_ = Stretched(frame_, scale);
    out.closeUp_ = Stretched(closeUp_, scale);
    out.closeHot_ = Stretched(closeHot_, scale);
    return out;
}

Bitmap TMyWindow::ComposeFrame(int width, int height) const {
    return ComposeDialogFrame(frame_, width, height, scale_);
}

TSkinRect TMyWindow::ClosePlace(int formWidth) const {
    return {formWidth - closeUp_.Width() - scale_.Px(kCloseRight), scale_.Px(kCloseTop),
            closeUp_.Width(), closeUp_.Height()};
}

void TMyWindow::DrawTitle(Bitmap& frame, TGlyphRasterizer& glyphs, const TFontSpec& font,
                          std::string_view title) const {
    if (title.empty() || frame.Empty())
        return;
    const TSize size = glyphs.Measure(font, 1, title);
    // Nothing of the title beyond the frame's right edge can be seen.
    const int left = scale_.Px(kTitleLeft);
    const int width = std::min(size.Width, frame.Width() - left);
    if (width <= 0 || size.Height <= 0)
        return;
    TCoverageMask mask;
    mask.Resize(width, std::min(size.Height, frame.Height()));
    glyphs.Draw(font, 1, title, mask);
    BlendMask(frame, mask, left, TitleTop(size.Height, scale_), 100, captionColor_);
}

Bitmap ComposeDialogFrame(const Bitmap& t, int wt, int ht, TScale scale) {
    Bitmap out;
    if (!out.Create(wt, ht, kKey))
        return {};
    const int ws = t.Width(), hs = t.Height();
    // The parts' sizes at the template's scale: corner, caption, rim, the
    // top edge's source and its widening, and the side's source rows.
    const int cw = scale.Px(20), ch = scale.Px(TMyWindow::kCaptionHeight), rim = scale.Px(10);
    const int topAt = scale.Px(21), topW = scale.Px(60), topWide = scale.Px(80);
    const int sideH = scale.Px(12);
    // Corners one pixel in from the edges, unscaled.
    out.CopyRect(1, 1, t, 0, 0, cw, ch);
    out.CopyRect(wt - 1 - cw, 1, t, ws - cw, 0, cw, ch);
    // The top edge widens to 80 columns first, then spans the gap between the
    // corners; its rows are never scaled.
    Bitmap top = KeyStrip(topWide, ch);
    top.StretchRect(0, 0, topWide, ch, t, topAt, 0, topW, ch);
    out.StretchRect(1 + cw, 1, wt - 2 - 2 * cw, ch, top, 0, 0, topWide, ch);
    out.CopyRect(1, ht - 1 - rim, t, 0, hs - rim, rim, rim);
    out.CopyRect(wt - 1 - rim, ht - 1 - rim, t, ws - rim, hs - rim, rim, rim);
    Bitmap side = KeyStrip(rim, sideH);
    side.CopyRect(0, 0, t, 0, ch, rim, sideH);
    out.StretchRect(1, 1 + ch, rim, ht - 2 - ch - rim, side, 0, 0, rim, sideH);
    side.Fill(kKey);
    side.CopyRect(0, 0, t, ws - rim, ch, rim, sideH);
    out.StretchRect(wt - 1 - rim, 1 + ch, rim, ht - 2 - ch - rim, side, 0, 0, rim, sideH);
    Bitmap bottom = KeyStrip(ws - 2 * rim, rim);
    bottom.CopyRect(0, 0, t, rim, hs - rim, ws - 2 * rim, rim);
    out.StretchRect(1 + rim, ht - 1 - rim, wt - 2 - 2 * rim, rim, bottom, 0, 0, ws - 2 * rim, rim);
    // The centre becomes 12 rows high whatever the template holds.
    Bitmap centre = KeyStrip(ws - 2 * rim, sideH);
    centre.StretchRect(0, 0, ws - 2 * rim, sideH, t, rim, ch, ws - 2 * rim, hs - ch - rim);
    out.StretchRect(1 + rim, 1 + ch, wt - 2 - 2 * rim, ht - 2 - ch - rim, centre, 0, 0,
                    ws - 2 * rim, sideH);
    // A dialog narrower or lower than two corners would have them reach its
    // outermost pixels; the ring stays see-through.
    out.FillRect(0, 0, wt, 1, kKey);
    out.FillRect(0, ht - 1, wt, 1, kKey);
    out.FillRect(0, 0, 1, ht, kKey);
    out.FillRect(wt - 1, 0, 1, ht, kKey);
    return out;
}

int TitleTop(int textHeight, TScale scale) {
    return (scale.Px(TMyWindow::kCaptionHeight) - 1 - textHeight) / 2 + scale.Px(2);
}

TFontSpec TitleFont(int dpi) {
    TFontSpec font;
    font.Name = "宋体";
    // Points to pixels the way the platform does it: rounded to nearest.
    font.Height = -((TMyWindow::kTitlePoints * dpi + 36) / 72);
    font.Bold = true;
    return font;
}

bool InDragStrip(int x, int y, int width, TScale scale) {
    return x >= 0 && x < width && y >= 0 && y < scale.Px(TMyWindow::kCaptionHeight);
}

Bitmap PlainViewBackground(int width, int height, int captionBand) {
    const int w = width, h = height;
    Bitmap b;
    b.Create(w, h, 0xF6F3EF);
    b.FillRect(0, 0, w, captionBand, 0x584A3C);
    b.FillRect(0, 0, w, 1, 0x3A3028);
    b.FillRect(0, h - 1, w, 1, 0x3A3028);
    b.FillRect(0, 0, 1, h, 0x3A3028);
    b.FillRect(w - 1, 0, 1, h, 0x3A3028);
    for (const auto& [x, y] : {std::pair{0, 0},
                               {1, 0},
                               {0, 1},
                               {w - 1, 0},
                               {w - 2, 0},
                               {w - 1, 1},
                               {0, h - 1},
                               {1, h - 1},
                               {0, h - 2},
                               {w - 1, h - 1},
                               {w - 2, h - 1},
                               {w - 1, h - 2}}) {
        b.At(x, y) = Bitmap::kKeyColor;
    }
    return b;
}

Bitmap PlainViewButton() {
    Bitmap b;
    b.Create(11, 11, 0x806A58);
    for (int y = 0; y < 3; ++y)
        b.FillRect(2 + y, 4 + y, 7 - 2 * y, 1, 0xF6F3EF);
    return b;
}

}  // namespace tempora
