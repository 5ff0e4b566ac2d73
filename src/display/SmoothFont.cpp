#include "SmoothFont.h"

#include "core/Text.h"

#include <algorithm>
#include <cstdlib>

namespace tempora {

namespace {

// Keeps a hostile text or font size from asking for gigabytes: the
// supersampled grey picture stays below 16 M pixels; whatever lies beyond is
// cut off on the right (or at the bottom).
constexpr int64_t kMaxGreyPixels = int64_t{1} << 24;

int Clamp100(int v) {
    return std::clamp(v, 0, 100);
}

// Characters of a UTF-8 text, as NextCodePoint steps through it.
int64_t CountChars(std::string_view text) {
    int64_t n = 0;
    for (size_t pos = 0; pos < text.size(); pos += Utf8SequenceLength(text, pos))
        ++n;
    return n;
}

// The next code point of a UTF-8 text; a malformed byte stands for itself.
char32_t NextCodePoint(std::string_view text, size_t& pos) {
    const size_t length = Utf8SequenceLength(text, pos);
    const auto lead = static_cast<unsigned char>(text[pos]);
    char32_t cp = length == 1 ? lead : lead & (0x7F >> length);
    for (size_t i = 1; i < length; ++i)
        cp = (cp << 6) | (static_cast<unsigned char>(text[pos + i]) & 0x3F);
    pos += length;
    return cp;
}

}  // namespace

int QualityScale(TTextQuality quality) {
    switch (quality) {
        case tqHigh:
            return 4;
        case tqNormal:
            return 3;
        case tqLow:
            return 2;
        case tqNone:
            break;
    }
    return 1;
}

int64_t RoundDivEven(int64_t num, int64_t den) {
    const int64_t q = FloorDiv(num, den);
    const int64_t r = FloorMod(num, den);
    return 2 * r > den || (2 * r == den && (q & 1) != 0) ? q + 1 : q;
}

void TCoverageMask::Resize(int width, int height) {
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    stride_ = (width_ + 3) & ~3;
    bits_.assign(static_cast<size_t>(stride_) * static_cast<size_t>(height_), 0);
}

// Mask pixel (r, c) from the s x s block whose top-left grey pixel is (s·r, s·c):
//   tqHigh   the 16 values summed, >> 4;
//   tqNormal the 9 values with the top-right and bottom-left corners halved
//            (truncated), summed, >> 3 — a rounded corner weighting that sums
//            to at most 255;
//   tqLow    the 4 values summed, >> 2;
//   tqNone   the value itself.
void DownsampleMask(const TCoverageMask& grey, TTextQuality quality, TCoverageMask& mask) {
    const int s = QualityScale(quality);
    mask.Resize(grey.Width() / s, grey.Height() / s);
    for (int r = 0; r < mask.Height(); ++r) {
        uint8_t* out = mask.Row(r);
        const uint8_t* g0 = grey.Row(s * r);
        if (s == 1) {
            std::copy(g0, g0 + mask.Width(), out);
            continue;
        }
        const uint8_t* g1 = grey.Row(s * r + 1);
        for (int c = 0; c < mask.Width(); ++c) {
            const int x = s * c;
            int sum = 0;
            switch (s) {
                case 4: {
                    for (int dy = 0; dy < 4; ++dy) {
                        const uint8_t* g = grey.Row(s * r + dy) + x;
                        sum += g[0] + g[1] + g[2] + g[3];
                    }
                    out[c] = static_cast<uint8_t>(sum >> 4);
                    break;
                }
                case 3: {
                    const uint8_t* g2 = grey.Row(s * r + 2) + x;
                    sum = g0[x] + g0[x + 1] + g0[x + 2] / 2;
                    sum += g1[x] + g1[x + 1] + g1[x + 2];
                    sum += g2[0] / 2 + g2[1] + g2[2];
                    out[c] = static_cast<uint8_t>(sum >> 3);
                    break;
                }
                default:
                    sum = g0[x] + g0[x + 1] + g1[x] + g1[x + 1];
                    out[c] = static_cast<uint8_t>(sum >> 2);
                    break;
            }
        }
    }
}

void BlurMask(TCoverageMask& mask, int strength, std::vector<int>& work) {
    const int w = mask.Width(), h = mask.Height();
    if (w == 0 || h == 0)
        return;
    const int f = static_cast<int>(RoundDivEven(int64_t{Clamp100(strength)} * 255, 100));
    // Row sums of five, then column sums of five of those: the 5 x 5 sums of
    // the unchanged mask, neighbours outside clamped to the nearest edge.
    const size_t cells = static_cast<size_t>(w) * h;
    work.resize(cells + w + 4);
    int* rowSums = work.data();
    int* padded = work.data() + cells;  // one row with two edge copies each side
    for (int y = 0; y < h; ++y) {
        const uint8_t* m = mask.Row(y);
        padded[0] = padded[1] = m[0];
        for (int x = 0; x < w; ++x)
            padded[x + 2] = m[x];
        padded[w + 2] = padded[w + 3] = m[w - 1];
        int* out = rowSums + static_cast<size_t>(y) * w;
        for (int x = 0; x < w; ++x)
            out[x] = padded[x] + padded[x + 1] + padded[x + 2] + padded[x + 3] + padded[x + 4];
    }
    for (int y = 0; y < h; ++y) {
        const int* r[5];
        for (int k = 0; k < 5; ++k)
            r[k] = rowSums + static_cast<size_t>(std::clamp(y + k - 2, 0, h - 1)) * w;
        uint8_t* m = mask.Row(y);
        for (int x = 0; x < w; ++x) {
            const int sum = r[0][x] + r[1][x] + r[2][x] + r[3][x] + r[4][x];
            const int v = (sum + 12) / 25;  // 25 is odd: no halves to settle
            const int p = m[x];
            m[x] = static_cast<uint8_t>(f == 255 ? v : p + (((v - p) * f) >> 8));
        }
    }
}

void BlendMask(Bitmap& surface, const TCoverageMask& mask, int x, int y, int alpha,
               uint32_t color) {
    const int k = Clamp100(alpha) * 256 / 100;
    if (k == 0)
        return;
    const int x0 = std::max(0, -x), x1 = std::min(mask.Width(), surface.Width() - x);
    const int y0 = std::max(0, -y), y1 = std::min(mask.Height(), surface.Height() - y);
    const int cr = color & 0xFF, cg = (color >> 8) & 0xFF, cb = (color >> 16) & 0xFF;
    for (int my = y0; my < y1; ++my) {
        const uint8_t* m = mask.Row(my);
        uint32_t* row = surface.Row(y + my);
        for (int mx = x0; mx < x1; ++mx) {
            uint32_t& px = row[x + mx];
            const int w = (m[mx] * k) >> 8;
            if (w == 0)
                continue;
            if (w == 255) {
                px = color & 0xFFFFFF;
                continue;
            }
            const uint32_t p = px;
            const int r = p & 0xFF, g = (p >> 8) & 0xFF, b = (p >> 16) & 0xFF;
            const int nr = r + (((cr - r) * w) >> 8);
            const int ng = g + (((cg - g) * w) >> 8);
            const int nb = b + (((cb - b) * w) >> 8);
            px = static_cast<uint32_t>(nr | (ng << 8) | (nb << 16));
        }
    }
}

void TSmoothFont::SetQuality(TTextQuality quality) {
    if (quality <= tqNone)
        quality_ = quality;
}

TSize TSmoothFont::MaskSize(std::string_view text, int scale) {
    const TSize m = glyphs_.Measure(font_, scale, text);
    int64_t w = (std::max(m.Width, 0) + int64_t{scale} - 1) / scale;
    int64_t h = (std::max(m.Height, 0) + int64_t{scale} - 1) / scale;
    if (font_.Italic && !text.empty() && w > 0) {
        // Italic strokes lean past the measured width; make room for them.
        w += RoundDivEven(3 * w, 10 * std::max<int64_t>(CountChars(text), 1));
    }
    const int64_t area = kMaxGreyPixels / (int64_t{scale} * scale);
    h = std::min<int64_t>({h, Bitmap::kMaxSide, area});
    if (h > 0)
        w = std::min<int64_t>({w, Bitmap::kMaxSide, area / h});
    return {static_cast<int>(w), static_cast<int>(h)};
}

TSize TSmoothFont::TextExtent(std::string_view text) {
    TSize size = MaskSize(text, QualityScale(quality_));
    if (effect_.Shadow.Enabled) {
        size.Width += std::abs(effect_.Shadow.OffsetX);
        size.Height += std::abs(effect_.Shadow.OffsetY);
    }
    return size;
}

void TSmoothFont::BuildMask(std::string_view text) {
    const int s = QualityScale(quality_);
    const TSize size = MaskSize(text, s);
    grey_.Resize(size.Width * s, size.Height * s);
    if (size.Width > 0 && size.Height > 0)
        glyphs_.Draw(font_, s, text, grey_);
    DownsampleMask(grey_, quality_, mask_);
}

void TSmoothFont::PaintText(int x, int y, std::string_view text) {
    if (text.empty() || surface_ == nullptr)
        return;
    const TTextShadow& shadow = effect_.Shadow;
    int tx = x, ty = y;
    if (shadow.Enabled) {
        tx += std::max(0, -int{shadow.OffsetX});
        ty += std::max(0, -int{shadow.OffsetY});
    }
    BuildMask(text);
    if (shadow.Enabled) {
        shadow_ = mask_;
        if (Clamp100(shadow.Blur) != 0)
            BlurMask(shadow_, shadow.Blur, blurWork_);
        BlendMask(*surface_, shadow_, x + std::max(0, int{shadow.OffsetX}),
                  y + std::max(0, int{shadow.OffsetY}),
                  Clamp100(effect_.Alpha) * Clamp100(shadow.Alpha) / 100, shadow.Color);
    }
    if (Clamp100(effect_.Blur) != 0)
        BlurMask(mask_, effect_.Blur, blurWork_);
    BlendMask(*surface_, mask_, tx, ty, effect_.Alpha, font_.Color);
}

namespace {

struct BlockMetrics {
    int em;    // line height
    int half;  // advance of an ASCII character; others take twice this
};

BlockMetrics Metrics(const TFontSpec& font, int scale) {
    const int height = font.Height == 0 ? 12 : std::clamp(std::abs(font.Height), 1, 1000);
    const int em = height * scale;
    const int half = font.Width > 0 ? std::min(font.Width, 1000) * scale : (em + 1) / 2;
    return {em, half};
}

bool IsSpace(char32_t cp) {
    return cp == U' ' || cp == U'\u3000';
}

}  // namespace

TSize TBlockGlyphs::Measure(const TFontSpec& font, int scale, std::string_view text) {
    const BlockMetrics m = Metrics(font, scale);
    int64_t width = 0;
    for (size_t pos = 0; pos < text.size();)
        width += NextCodePoint(text, pos) < 0x80 ? m.half : 2 * m.half;
    return {static_cast<int>(std::min<int64_t>(width, 1 << 30)), m.em};
}

void TBlockGlyphs::Draw(const TFontSpec& font, int scale, std::string_view text,
                        TCoverageMask& grey) {
    for (int y = 0; y < grey.Height(); ++y)
        std::fill(grey.Row(y), grey.Row(y) + grey.Width(), uint8_t{0});
    const BlockMetrics m = Metrics(font, scale);
    const int t = std::max(1, m.em / 12) * (font.Bold ? 2 : 1);
    // Fills columns [x0, x1) of rows [y0, y1), italic rows shifted right the
    // more the higher they lie.
    const auto band = [&](int64_t x0, int64_t x1, int y0, int y1) {
        for (int y = std::max(y0, 0); y < std::min(y1, grey.Height()); ++y) {
            const int64_t shift = font.Italic ? (m.em - 1 - y) / 4 : 0;
            const int64_t lo = std::max<int64_t>(x0 + shift, 0);
            const int64_t hi = std::min<int64_t>(x1 + shift, grey.Width());
            for (int64_t x = lo; x < hi; ++x)
                grey.Row(y)[x] = 255;
        }
    };
    int64_t x = 0;
    for (size_t pos = 0; pos < text.size() && x < grey.Width();) {
        const char32_t cp = NextCodePoint(text, pos);
        const int adv = cp < 0x80 ? m.half : 2 * m.half;
        if (!IsSpace(cp)) {
            band(x + t, x + adv - t, t, 2 * t);                // top
            band(x + t, x + adv - t, m.em - 2 * t, m.em - t);  // bottom
            band(x + t, x + 2 * t, t, m.em - t);               // left
            band(x + adv - 2 * t, x + adv - t, t, m.em - t);   // right
            if (cp & 1)
                band(x + t, x + adv - t, m.em / 2, m.em / 2 + t);  // bar
            if (cp & 2)
                band(x + adv / 2, x + adv / 2 + t, t, m.em - t);  // stem
        }
        x += adv;
    }
    if (font.Underline)
        band(0, x, m.em - t, m.em);
    if (font.StrikeOut)
        band(0, x, m.em / 2 - t, m.em / 2);
}

}  // namespace tempora
