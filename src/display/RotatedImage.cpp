#include "RotatedImage.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

namespace tempora {

namespace {

// Into -180 .. 180 by whole turns; fmod first so that a huge angle costs no
// long loop.
double NormalizeAngle(double angle) {
    if (!std::isfinite(angle))
        return 0;
    double t = std::fabs(angle) > 720 ? std::fmod(angle, 360.0) : angle;
    while (t > 180)
        t -= 360;
    while (t < -180)
        t += 360;
    return t;
}

// Sine and cosine of a normalised angle in degrees, exact at multiples of
// 90 so that those turns filter nothing.
void SinCos(double degrees, double& s, double& c) {
    if (degrees == 0) {
        s = 0, c = 1;
    } else if (degrees == 90) {
        s = 1, c = 0;
    } else if (degrees == -90) {
        s = -1, c = 0;
    } else if (degrees == 180 || degrees == -180) {
        s = 0, c = -1;
    } else {
        const double r = degrees * std::numbers::pi / 180;
        s = std::sin(r);
        c = std::cos(r);
    }
}

uint32_t Lerp(uint32_t a, uint32_t b, uint32_t f) {
    // Two channels at a time; f is 0 .. 255 out of 256.
    const uint32_t g = 256 - f;
    const uint32_t rb = (((a & 0xFF00FF) * g + (b & 0xFF00FF) * f) >> 8) & 0xFF00FF;
    const uint32_t ag = ((((a >> 8) & 0xFF00FF) * g + ((b >> 8) & 0xFF00FF) * f)) & 0xFF00FF00;
    return rb | ag;
}

// The overlap of [a, a + n) with [b, b + m), as a start and a length.
bool Overlap(int64_t a, int64_t n, int64_t b, int64_t m, int& start, int& length) {
    const int64_t lo = std::max(a, b);
    const int64_t hi = std::min(a + n, b + m);
    if (hi <= lo)
        return false;
    start = static_cast<int>(lo);
    length = static_cast<int>(hi - lo);
    return true;
}

}  // namespace

Bitmap TurnPicture(const Bitmap& src, double angle, uint32_t key) {
    const double t = NormalizeAngle(angle);
    const double r = -t * std::numbers::pi / 180;
    const int64_t s = static_cast<int64_t>(std::trunc(std::sin(r) * 65536));
    const int64_t c = static_cast<int64_t>(std::trunc(std::cos(r) * 65536));
    const int64_t w = src.Width(), h = src.Height();
    const int64_t outW = (w * std::abs(c) + h * std::abs(s)) >> 16;
    const int64_t outH = (w * std::abs(s) + h * std::abs(c)) >> 16;
    Bitmap out;
    if (!Bitmap::SizeAllowed(outW, outH) ||
        !out.Create(static_cast<int>(outW), static_cast<int>(outH), key)) {
        return {};
    }
    const int64_t gx = outW / 2 - ((outW % 2 == 0 && (t == 0 || t == 90)) ? 1 : 0);
    const int64_t gy = outH / 2 - ((outH % 2 == 0 && (t == 0 || t == -90)) ? 1 : 0);
    const int64_t cx = outW - 1 - gx;
    const int64_t cy = gy;
    for (int64_t y = 0; y < outH; ++y) {
        const int64_t dy = cy - y;
        uint32_t* row = out.Row(static_cast<int>(y));
        // Floor divisions by 65536 are arithmetic shifts of the products.
        int64_t sxNum = -cx * c - dy * s;
        int64_t syNum = -cx * s + dy * c;
        for (int64_t x = 0; x < outW; ++x, sxNum += c, syNum += s) {
            const int64_t sx = (sxNum >> 16) + w / 2;
            const int64_t sy = h - 1 - ((syNum >> 16) + h / 2);
            if (sx >= 0 && sx < w && sy >= 0 && sy < h)
                row[x] = src.At(static_cast<int>(sx), static_cast<int>(sy));
        }
    }
    return out;
}

void TRotatedImage::SetAngle(double angle) {
    if (!std::isfinite(angle) || angle == angle_)
        return;
    angle_ = angle;
    Rebuild();
}

void TRotatedImage::SetPicture(Bitmap picture) {
    if (picture == picture_)
        return;
    picture_ = std::move(picture);
    Rebuild();
}

void TRotatedImage::SetFlag(bool& field, bool on) {
    if (on == field)
        return;
    field = on;
    Rebuild();
}

void TRotatedImage::SetAutoSize(bool on) {
    SetFlag(autoSize_, on);
}
void TRotatedImage::SetCenter(bool on) {
    SetFlag(center_, on);
}
void TRotatedImage::SetStretch(bool on) {
    SetFlag(stretch_, on);
}
void TRotatedImage::SetTransparent(bool on) {
    SetFlag(transparent_, on);
}
void TRotatedImage::SetUniqueSize(bool on) {
    SetFlag(uniqueSize_, on);
}

void TRotatedImage::SetBounds(int left, int top, int width, int height) {
    left_ = left;
    top_ = top;
    if (autoSize_ && !prepared_.Empty())
        return;
    width_ = std::max(0, width);
    height_ = std::max(0, height);
}

void TRotatedImage::Rebuild() {
    const int w = picture_.Width(), h = picture_.Height();
    if (w < 1 || h < 1) {
        prepared_ = {};
        return;
    }
    key_ = picture_.At(0, h - 1) & 0xFFFFFF;
    const bool whole = std::fmod(angle_, 360.0) == 0;
    Bitmap turned = whole ? picture_ : TurnPicture(picture_, angle_, key_);
    if (uniqueSize_) {
        const double side = std::round(std::hypot(w + 2.0, h + 2.0));
        Bitmap square;
        if (side <= Bitmap::kMaxSide &&
            square.Create(static_cast<int>(side), static_cast<int>(side), key_)) {
            const int x = center_ ? (square.Width() - turned.Width()) / 2 : 0;
            const int y = center_ ? (square.Height() - turned.Height()) / 2 : 0;
            square.CopyRect(x, y, turned, 0, 0, turned.Width(), turned.Height());
        }
        prepared_ = std::move(square);
    } else {
        prepared_ = std::move(turned);
    }
    if (autoSize_ && !prepared_.Empty()) {
        width_ = prepared_.Width();
        height_ = prepared_.Height();
    }
}

void TRotatedImage::Paint(Bitmap& target, int clipLeft, int clipTop, int clipWidth,
                          int clipHeight) const {
    if (prepared_.Empty())
        return;
    // What may be drawn: the control, within the clip and the target.
    int areaX, areaW, areaY, areaH;
    if (!Overlap(left_, width_, clipLeft, clipWidth, areaX, areaW) ||
        !Overlap(areaX, areaW, 0, target.Width(), areaX, areaW) ||
        !Overlap(top_, height_, clipTop, clipHeight, areaY, areaH) ||
        !Overlap(areaY, areaH, 0, target.Height(), areaY, areaH)) {
        return;
    }
    const Bitmap* shown = &prepared_;
    int x = left_, y = top_;
    Bitmap stretched;
    if (stretch_) {
        if (!stretched.Create(width_, height_, key_))
            return;
        stretched.StretchRect(0, 0, width_, height_, prepared_, 0, 0, prepared_.Width(),
                              prepared_.Height());
        shown = &stretched;
    } else if (center_) {
        x += (width_ - prepared_.Width()) / 2;
        y += (height_ - prepared_.Height()) / 2;
    }
    int drawX, drawW, drawY, drawH;
    if (!Overlap(x, shown->Width(), areaX, areaW, drawX, drawW) ||
        !Overlap(y, shown->Height(), areaY, areaH, drawY, drawH)) {
        return;
    }
    if (transparent_) {
        target.CopyTransparent(drawX, drawY, *shown, drawX - x, drawY - y, drawW, drawH, key_);
    } else {
        target.CopyRect(drawX, drawY, *shown, drawX - x, drawY - y, drawW, drawH);
    }
}

void TSmoothHand::SetPicture(const Bitmap& picture) {
    width_ = picture.Width();
    height_ = picture.Height();
    if (Empty() || !padded_.Create(width_ + 2, height_ + 2, 0)) {
        width_ = height_ = 0;
        padded_ = {};
        return;
    }
    const uint32_t key = picture.At(0, height_ - 1) & 0xFFFFFF;
    for (int y = 0; y < height_; ++y) {
        const uint32_t* s = picture.Row(y);
        uint32_t* d = padded_.Row(y + 1) + 1;
        for (int x = 0; x < width_; ++x) {
            const uint32_t rgb = s[x] & 0xFFFFFF;
            d[x] = rgb == key ? 0 : rgb | 0xFF000000;
        }
    }
}

void TSmoothHand::Render(double angle, int pivotX, int pivotY, int clipWidth, int clipHeight,
                         Bitmap& layer, int& layerLeft, int& layerTop) const {
    layer = {};
    layerLeft = layerTop = 0;
    if (Empty())
        return;
    double s, c;
    SinCos(NormalizeAngle(angle), s, c);
    const double w = width_, h = height_;
    // The hand's centre on the parent, in continuous coordinates.
    const double px = pivotX - (width_ + 1) / 2 + w / 2;
    const double py = pivotY - (height_ + 1) / 2 + h / 2;
    // What the turned hand and its filtering reach.
    const double ex = (w * std::fabs(c) + h * std::fabs(s)) / 2 + 1;
    const double ey = (w * std::fabs(s) + h * std::fabs(c)) / 2 + 1;
    const int64_t x0 = std::max<int64_t>(0, static_cast<int64_t>(std::floor(px - ex)));
    const int64_t y0 = std::max<int64_t>(0, static_cast<int64_t>(std::floor(py - ey)));
    const int64_t x1 = std::min<int64_t>(clipWidth, static_cast<int64_t>(std::ceil(px + ex)));
    const int64_t y1 = std::min<int64_t>(clipHeight, static_cast<int64_t>(std::ceil(py + ey)));
    if (x1 <= x0 || y1 <= y0 || !layer.Create(static_cast<int>(x1 - x0), static_cast<int>(y1 - y0)))
        return;
    layerLeft = static_cast<int>(x0);
    layerTop = static_cast<int>(y0);

    // Each layer pixel's centre, turned back into the padded hand, less half
    // a pixel: the top-left of the four samples, in 16.16 fixed point.
    constexpr double kOne = 65536;
    const int64_t du = std::llround(c * kOne), dv = std::llround(s * kOne);
    const int64_t limitU = int64_t{width_ + 1} << 16, limitV = int64_t{height_ + 1} << 16;
    const int stride = padded_.Width();
    const uint32_t* base = padded_.Pixels();
    for (int64_t y = y0; y < y1; ++y) {
        const double dx = x0 + 0.5 - px, dy = y + 0.5 - py;
        int64_t u = std::llround((dx * c - dy * s + w / 2 + 0.5) * kOne);
        int64_t v = std::llround((dx * s + dy * c + h / 2 + 0.5) * kOne);
        uint32_t* out = layer.Row(static_cast<int>(y - y0));
        for (int64_t x = x0; x < x1; ++x, u += du, v += dv, ++out) {
            if (u < 0 || v < 0 || u >= limitU || v >= limitV)
                continue;
            const uint32_t* p = base + (v >> 16) * stride + (u >> 16);
            const uint32_t p00 = p[0], p10 = p[1], p01 = p[stride], p11 = p[stride + 1];
            if ((p00 | p10 | p01 | p11) == 0)
                continue;
            const uint32_t fx = static_cast<uint32_t>(u >> 8) & 0xFF;
            const uint32_t fy = static_cast<uint32_t>(v >> 8) & 0xFF;
            *out = Lerp(Lerp(p00, p10, fx), Lerp(p01, p11, fx), fy);
        }
    }
}

void BlendLayer(Bitmap& target, const Bitmap& face, uint32_t key, const Bitmap& layer,
                int layerLeft, int layerTop, int clipLeft, int clipTop, int clipWidth,
                int clipHeight) {
    if (face.Width() != target.Width() || face.Height() != target.Height())
        return;
    int x0, w, y0, h;
    if (!Overlap(layerLeft, layer.Width(), clipLeft, clipWidth, x0, w) ||
        !Overlap(x0, w, 0, target.Width(), x0, w) ||
        !Overlap(layerTop, layer.Height(), clipTop, clipHeight, y0, h) ||
        !Overlap(y0, h, 0, target.Height(), y0, h)) {
        return;
    }
    key &= 0xFFFFFF;
    for (int y = y0; y < y0 + h; ++y) {
        const uint32_t* l = layer.Row(y - layerTop) + (x0 - layerLeft);
        const uint32_t* f = face.Row(y) + x0;
        uint32_t* d = target.Row(y) + x0;
        for (int i = 0; i < w; ++i) {
            const uint32_t a = l[i] >> 24;
            if (a == 0 || (f[i] & 0xFFFFFF) == key)
                continue;
            // 255 maps to 256, so full coverage replaces the pixel outright.
            const uint32_t keep = 256 - (a + (a >> 7));
            const uint32_t rb = (((d[i] & 0xFF00FF) * keep) >> 8) & 0xFF00FF;
            const uint32_t g = (((d[i] & 0x00FF00) * keep) >> 8) & 0x00FF00;
            d[i] = (rb + (l[i] & 0xFF00FF)) | (g + (l[i] & 0x00FF00));
        }
    }
}

}  // namespace tempora
