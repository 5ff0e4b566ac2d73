// The in-memory 32-bit picture that every control draws into and every window
// copies to the screen in one transfer.
//
// A pixel is a uint32_t laid out 0x00BBGGRR, the platform's colour value, so
// colours from settings and skins are stored as they are. Rows are top-down,
// contiguous, StrideBytes() = Width() * 4 apart. In memory a pixel is the bytes
// R, G, B, 0, so the Win32 shell hands the buffer to GDI without copying by
// describing it as a top-down (negative height) 32-bit BI_BITFIELDS DIB with
// the masks red 0x0000FF, green 0x00FF00, blue 0xFF0000.
//
// Drawing operations clip against the picture and, for copies, against the
// source, the way GDI does: pixels that would land outside are skipped.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace tempora {

class Bitmap {
public:
    // Pictures beyond these are refused: no window of the program comes near
    // them, and a hostile file must not make us allocate gigabytes.
    static constexpr int kMaxSide = 32767;
    static constexpr int64_t kMaxPixels = int64_t{1} << 25;  // 128 MiB of pixels
    // Polygon and line vertices must lie within this distance of the origin in
    // both coordinates; keeps the exact integer arithmetic within 64 bits.
    static constexpr int kMaxCoord = 1 << 24;

    // Magenta: the see-through colour of every skinned window and picture.
    static constexpr uint32_t kKeyColor = 0xFF00FF;
    // What GetPixel answers outside the picture (the platform's CLR_INVALID).
    static constexpr uint32_t kInvalidColor = 0xFFFFFFFF;

    struct Point {
        int x = 0;
        int y = 0;
    };

    Bitmap() = default;  // empty, 0 x 0
    Bitmap(const Bitmap&) = default;
    Bitmap& operator=(const Bitmap&) = default;
    // A moved-from picture is empty.
    Bitmap(Bitmap&& other) noexcept;
    Bitmap& operator=(Bitmap&& other) noexcept;

    // Resizes to width x height filled with `colour`. 0 x 0 is allowed (empty);
    // a negative side, or a size beyond kMaxSide / kMaxPixels, returns false and
    // leaves the picture unchanged.
    bool Create(int width, int height, uint32_t color = 0);
    static bool SizeAllowed(int64_t width, int64_t height);

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Empty() const { return width_ == 0 || height_ == 0; }
    size_t StrideBytes() const { return static_cast<size_t>(width_) * 4; }

    // Row access for pixel algorithms and the Win32 shell; y must be in range.
    uint32_t* Row(int y) { return pixels_.data() + static_cast<size_t>(y) * width_; }
    const uint32_t* Row(int y) const { return pixels_.data() + static_cast<size_t>(y) * width_; }
    uint32_t* Pixels() { return pixels_.data(); }
    const uint32_t* Pixels() const { return pixels_.data(); }

    // Unchecked access; x and y must be in range.
    uint32_t& At(int x, int y) { return Row(y)[x]; }
    uint32_t At(int x, int y) const { return Row(y)[x]; }
    // Checked access: outside the picture GetPixel gives kInvalidColour and
    // SetPixel does nothing and returns false.
    bool Contains(int x, int y) const;
    uint32_t GetPixel(int x, int y) const;
    bool SetPixel(int x, int y, uint32_t color);

    void Fill(uint32_t color);
    // Fills the rectangle, clipped to the picture; an empty rectangle does nothing.
    void FillRect(int x, int y, int width, int height, uint32_t color);

    // Copies width x height pixels from (srcX, srcY) of `src` to (dstX, dstY).
    // Pixels whose source or target lies outside its picture are skipped.
    // `src` may be this picture; overlapping areas copy as if through a buffer.
    void CopyRect(int dstX, int dstY, const Bitmap& src, int srcX, int srcY, int width, int height);
    // The same, but source pixels whose colour (low 24 bits) equals that of
    // `key` are not copied.
    void CopyTransparent(int dstX, int dstY, const Bitmap& src, int srcX, int srcY, int width,
                         int height, uint32_t key = kKeyColor);
    // Nearest-pixel stretch of the source rectangle onto the target rectangle,
    // with the platform's COLORONCOLOR mapping (see Bitmap.cpp for the exact
    // rule). Sizes must be positive, otherwise nothing happens. Target pixels
    // whose source pixel lies outside `src` are left unchanged.
    void StretchRect(int dstX, int dstY, int dstWidth, int dstHeight, const Bitmap& src, int srcX,
                     int srcY, int srcWidth, int srcHeight);
    // The source index that target index `d` (0-based within the target span)
    // takes when `srcLength` pixels are stretched onto `dstLength`; both > 0.
    static int StretchSource(int d, int srcLength, int dstLength);

    // GDI's LineTo with a 1-pixel solid pen: from `from` up to but not
    // including `to`.
    void DrawLine(Point from, Point to, uint32_t color);
    // The interior of a polygon (closed implicitly), filled by the alternate
    // (even-odd) rule without any outline. Fewer than 2 points draw nothing.
    void FillPolygon(std::span<const Point> points, uint32_t color);
    // GDI's Polygon() with a solid brush and a 1-pixel solid pen: the interior
    // as FillPolygon, then the closed outline with DrawLine along every edge.
    void Polygon(std::span<const Point> points, uint32_t brushColor, uint32_t penColor);

    bool operator==(const Bitmap& other) const = default;

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<uint32_t> pixels_;
};

}  // namespace tempora
