#include "Bitmap.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace tempora {

namespace {

// Rounds toward positive infinity; den > 0.
int64_t CeilDiv(int64_t num, int64_t den) {
    int64_t q = num / den;
    if (num % den > 0)
        ++q;
    return q;
}

bool CoordOk(Bitmap::Point p) {
    return p.x >= -Bitmap::kMaxCoord && p.x <= Bitmap::kMaxCoord && p.y >= -Bitmap::kMaxCoord &&
           p.y <= Bitmap::kMaxCoord;
}

// The part of a width x height block copied between two pictures that lies
// inside both; false when nothing does.
struct CopyArea {
    int dstX, dstY, srcX, srcY, width, height;
};

bool ClipCopy(const Bitmap& dst, const Bitmap& src, int dstX, int dstY, int srcX, int srcY,
              int width, int height, CopyArea& out) {
    const auto clip1d = [](int64_t dstPos, int64_t dstSize, int64_t srcPos, int64_t srcSize,
                           int64_t length, int& dstOut, int& srcOut, int& lengthOut) {
        const int64_t lo = std::max<int64_t>({0, -dstPos, -srcPos});
        const int64_t hi = std::min<int64_t>({length, dstSize - dstPos, srcSize - srcPos});
        if (hi <= lo)
            return false;
        dstOut = static_cast<int>(dstPos + lo);
        srcOut = static_cast<int>(srcPos + lo);
        lengthOut = static_cast<int>(hi - lo);
        return true;
    };
    return clip1d(dstX, dst.Width(), srcX, src.Width(), width, out.dstX, out.srcX, out.width) &&
           clip1d(dstY, dst.Height(), srcY, src.Height(), height, out.dstY, out.srcY, out.height);
}

}  // namespace

Bitmap::Bitmap(Bitmap&& other) noexcept
    : width_(std::exchange(other.width_, 0)),
      height_(std::exchange(other.height_, 0)),
      pixels_(std::move(other.pixels_)) {
    other.pixels_.clear();
}

Bitmap& Bitmap::operator=(Bitmap&& other) noexcept {
    if (this != &other) {
        width_ = std::exchange(other.width_, 0);
        height_ = std::exchange(other.height_, 0);
        pixels_ = std::move(other.pixels_);
        other.pixels_.clear();
    }
    return *this;
}

bool Bitmap::SizeAllowed(int64_t width, int64_t height) {
    return width >= 0 && height >= 0 && width <= kMaxSide && height <= kMaxSide &&
           width * height <= kMaxPixels;
}

bool Bitmap::Create(int width, int height, uint32_t color) {
    if (!SizeAllowed(width, height))
        return false;
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height), color);
    pixels_.swap(pixels);
    width_ = width;
    height_ = height;
    return true;
}

bool Bitmap::Contains(int x, int y) const {
    return x >= 0 && y >= 0 && x < width_ && y < height_;
}

uint32_t Bitmap::GetPixel(int x, int y) const {
    return Contains(x, y) ? At(x, y) : kInvalidColor;
}

bool Bitmap::SetPixel(int x, int y, uint32_t color) {
    if (!Contains(x, y))
        return false;
    At(x, y) = color;
    return true;
}

void Bitmap::Fill(uint32_t color) {
    std::fill(pixels_.begin(), pixels_.end(), color);
}

void Bitmap::FillRect(int x, int y, int width, int height, uint32_t color) {
    const int64_t left = std::max<int64_t>(x, 0);
    const int64_t top = std::max<int64_t>(y, 0);
    const int64_t right = std::min<int64_t>(int64_t{x} + width, width_);
    const int64_t bottom = std::min<int64_t>(int64_t{y} + height, height_);
    if (left >= right || top >= bottom)
        return;
    for (int64_t row = top; row < bottom; ++row) {
        uint32_t* p = Row(static_cast<int>(row));
        std::fill(p + left, p + right, color);
    }
}

void Bitmap::CopyRect(int dstX, int dstY, const Bitmap& src, int srcX, int srcY, int width,
                      int height) {
    if (&src == this) {
        const Bitmap copy(src);
        CopyRect(dstX, dstY, copy, srcX, srcY, width, height);
        return;
    }
    CopyArea a;
    if (!ClipCopy(*this, src, dstX, dstY, srcX, srcY, width, height, a))
        return;
    for (int row = 0; row < a.height; ++row) {
        std::memcpy(Row(a.dstY + row) + a.dstX, src.Row(a.srcY + row) + a.srcX,
                    static_cast<size_t>(a.width) * 4);
    }
}

void Bitmap::CopyTransparent(int dstX, int dstY, const Bitmap& src, int srcX, int srcY, int width,
                             int height, uint32_t key) {
    if (&src == this) {
        const Bitmap copy(src);
        CopyTransparent(dstX, dstY, copy, srcX, srcY, width, height, key);
        return;
    }
    CopyArea a;
    if (!ClipCopy(*this, src, dstX, dstY, srcX, srcY, width, height, a))
        return;
    const uint32_t keyRgb = key & 0xFFFFFF;
    for (int row = 0; row < a.height; ++row) {
        const uint32_t* s = src.Row(a.srcY + row) + a.srcX;
        uint32_t* d = Row(a.dstY + row) + a.dstX;
        for (int i = 0; i < a.width; ++i) {
            if ((s[i] & 0xFFFFFF) != keyRgb)
                d[i] = s[i];
        }
    }
}

// The platform's COLORONCOLOR stretch walks source and target like the two
// axes of a Bresenham line. In closed form, for S source and D target pixels
// and target index d counted from 0:
//   enlarging (S <= D): d takes source floor(((2d + 1) * S - 1) / (2 * D)),
//     i.e. the source pixel under the centre of target pixel d, a centre that
//     falls exactly on a boundary taking the left (upper) pixel;
//   shrinking (S > D): source pixel s goes to target ceil((2s + 1) * D / (2 * S)) - 1
//     and the last source pixel to arrive wins ("delete scans"), so d takes
//     source floor((2 * (d + 1) * S - D) / (2 * D)).
// A target one pixel wide sees the source one pixel narrower (S - 1 for S > 1),
// a quirk of the platform's stretch that we keep so pictures match.
int Bitmap::StretchSource(int d, int srcLength, int dstLength) {
    int64_t s = srcLength;
    const int64_t dd = dstLength;
    if (dd == 1 && s > 1)
        --s;
    if (s <= dd)
        return static_cast<int>(((2 * int64_t{d} + 1) * s - 1) / (2 * dd));
    return static_cast<int>((2 * (int64_t{d} + 1) * s - dd) / (2 * dd));
}

void Bitmap::StretchRect(int dstX, int dstY, int dstWidth, int dstHeight, const Bitmap& src,
                         int srcX, int srcY, int srcWidth, int srcHeight) {
    if (dstWidth <= 0 || dstHeight <= 0 || srcWidth <= 0 || srcHeight <= 0)
        return;
    if (&src == this) {
        const Bitmap copy(src);
        StretchRect(dstX, dstY, dstWidth, dstHeight, copy, srcX, srcY, srcWidth, srcHeight);
        return;
    }
    // Target indices inside this picture, and for each its source column or -1.
    const int64_t colLo = std::max<int64_t>(0, -int64_t{dstX});
    const int64_t colHi = std::min<int64_t>(dstWidth, int64_t{width_} - dstX);
    const int64_t rowLo = std::max<int64_t>(0, -int64_t{dstY});
    const int64_t rowHi = std::min<int64_t>(dstHeight, int64_t{height_} - dstY);
    if (colLo >= colHi || rowLo >= rowHi)
        return;

    std::vector<int> srcCol(static_cast<size_t>(colHi - colLo));
    for (int64_t d = colLo; d < colHi; ++d) {
        const int64_t s = int64_t{srcX} + StretchSource(static_cast<int>(d), srcWidth, dstWidth);
        srcCol[static_cast<size_t>(d - colLo)] =
            s >= 0 && s < src.width_ ? static_cast<int>(s) : -1;
    }
    for (int64_t d = rowLo; d < rowHi; ++d) {
        const int64_t sy = int64_t{srcY} + StretchSource(static_cast<int>(d), srcHeight, dstHeight);
        if (sy < 0 || sy >= src.height_)
            continue;
        const uint32_t* s = src.Row(static_cast<int>(sy));
        uint32_t* out = Row(static_cast<int>(dstY + d)) + (dstX + colLo);
        for (size_t i = 0; i < srcCol.size(); ++i) {
            if (srcCol[i] >= 0)
                out[i] = s[srcCol[i]];
        }
    }
}

// GDI's line with a cosmetic 1-pixel pen, in closed form. Along the major axis
// (x when |dx| > |dy|, else y; M = major length, m = minor length) pixel k,
// 0 <= k < M, sits at minor offset ceil((2*k*m - M + bias) / (2*M)). The bias,
// 1 for x-major lines going up and y-major lines going left, settles a line
// that passes exactly halfway between two pixels so that a line covers the
// same pixels whichever way it is drawn. The end point is not drawn, so the
// segments of a polyline meet without overlap.
void Bitmap::DrawLine(Point from, Point to, uint32_t color) {
    if (!CoordOk(from) || !CoordOk(to))
        return;
    const int64_t dx = int64_t{to.x} - from.x;
    const int64_t dy = int64_t{to.y} - from.y;
    if (dx == 0 && dy == 0)
        return;
    const bool xMajor = std::abs(dx) > std::abs(dy);
    const int64_t major = xMajor ? std::abs(dx) : std::abs(dy);
    const int64_t minor = xMajor ? std::abs(dy) : std::abs(dx);
    const int64_t bias = xMajor ? (dy < 0) : (dx < 0);
    const int64_t majorStart = xMajor ? from.x : from.y;
    const int64_t minorStart = xMajor ? from.y : from.x;
    const int64_t majorInc = (xMajor ? dx : dy) > 0 ? 1 : -1;
    const int64_t minorInc = (xMajor ? dy : dx) >= 0 ? 1 : -1;
    const int64_t majorLimit = xMajor ? width_ : height_;
    const int64_t minorLimit = xMajor ? height_ : width_;

    // Only the steps whose major coordinate is inside the picture.
    int64_t kLo = 0;
    int64_t kHi = major;
    if (majorInc > 0) {
        kLo = std::max(kLo, -majorStart);
        kHi = std::min(kHi, majorLimit - majorStart);
    } else {
        kLo = std::max(kLo, majorStart - majorLimit + 1);
        kHi = std::min(kHi, majorStart + 1);
    }
    for (int64_t k = kLo; k < kHi; ++k) {
        const int64_t n = CeilDiv(2 * k * minor - major + bias, 2 * major);
        const int64_t b = minorStart + minorInc * n;
        if (b < 0 || b >= minorLimit)
            continue;
        const int64_t a = majorStart + majorInc * k;
        if (xMajor) {
            At(static_cast<int>(a), static_cast<int>(b)) = color;
        } else {
            At(static_cast<int>(b), static_cast<int>(a)) = color;
        }
    }
}

// The interior follows the platform's polygon scan conversion: pixel (x, y) is
// filled when the point (x, y) is inside by the alternate rule. An edge counts
// on the rows from its upper end up to but not including its lower one, and
// crosses row y at the exact x rounded up; a row is filled from each odd
// crossing up to but not including the next one. So points on a left or top
// edge are in, points on a right or bottom edge are out, and horizontal edges
// play no part: a w x h rectangle fills exactly w x h pixels, and the pen of
// Polygon() then adds the right column and bottom row.
void Bitmap::FillPolygon(std::span<const Point> points, uint32_t color) {
    if (points.size() < 2 || Empty())
        return;
    struct Edge {
        int64_t x0, y0, y1, dx, dy;
    };
    std::vector<Edge> edges;
    edges.reserve(points.size());
    int64_t yMin = INT64_MAX;
    int64_t yMax = INT64_MIN;
    for (size_t i = 0; i < points.size(); ++i) {
        const Point a = points[i];
        const Point b = points[(i + 1) % points.size()];
        if (!CoordOk(a))
            return;
        if (a.y == b.y)
            continue;
        const Point top = a.y < b.y ? a : b;
        const Point bottom = a.y < b.y ? b : a;
        edges.push_back(
            {top.x, top.y, bottom.y, int64_t{bottom.x} - top.x, int64_t{bottom.y} - top.y});
        yMin = std::min<int64_t>(yMin, top.y);
        yMax = std::max<int64_t>(yMax, bottom.y);
    }
    if (edges.empty())
        return;

    std::vector<int64_t> crossings;
    crossings.reserve(edges.size());
    const int64_t rowEnd = std::min<int64_t>(yMax, height_);
    for (int64_t y = std::max<int64_t>(yMin, 0); y < rowEnd; ++y) {
        crossings.clear();
        for (const Edge& e : edges) {
            if (y >= e.y0 && y < e.y1)
                crossings.push_back(e.x0 + CeilDiv(e.dx * (y - e.y0), e.dy));
        }
        std::sort(crossings.begin(), crossings.end());
        uint32_t* row = Row(static_cast<int>(y));
        for (size_t i = 0; i + 1 < crossings.size(); i += 2) {
            const int64_t left = std::max<int64_t>(crossings[i], 0);
            const int64_t right = std::min<int64_t>(crossings[i + 1], width_);
            if (left < right)
                std::fill(row + left, row + right, color);
        }
    }
}

void Bitmap::Polygon(std::span<const Point> points, uint32_t brushColor, uint32_t penColor) {
    if (points.size() < 2 || !std::all_of(points.begin(), points.end(), CoordOk))
        return;
    FillPolygon(points, brushColor);
    for (size_t i = 0; i < points.size(); ++i) {
        DrawLine(points[i], points[(i + 1) % points.size()], penColor);
    }
}

}  // namespace tempora
